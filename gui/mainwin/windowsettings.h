// What the main window remembers between runs, in the program's settings file beside the recent
// designs: the smooth-lines switch.
#pragma once

#include <QString>

#include <memory>

class QSettings;

namespace tarn {

// The program's settings: the user's own ("" as file), or the given file (tests).
std::unique_ptr<QSettings> OpenProgramSettings(const QString& file);

bool LoadSmoothLines(QSettings& s);
void StoreSmoothLines(QSettings& s, bool on);

}  // namespace tarn
