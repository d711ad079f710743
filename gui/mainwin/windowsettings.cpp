// The main window's remembered settings, each under its own key in the program's settings file.
#include "gui/mainwin/windowsettings.h"

#include <QSettings>

namespace tarn {

namespace {
const QString kSmoothKey = QStringLiteral("Display/SmoothLines");
}  // namespace

std::unique_ptr<QSettings> OpenProgramSettings(const QString& file) {
    if (!file.isEmpty()) return std::make_unique<QSettings>(file, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("tarn1"), QStringLiteral("tarn1"));
}

bool LoadSmoothLines(QSettings& s) { return s.value(kSmoothKey, false).toBool(); }

void StoreSmoothLines(QSettings& s, bool on) {
    s.setValue(kSmoothKey, on);
    s.sync();
}

}  // namespace tarn
