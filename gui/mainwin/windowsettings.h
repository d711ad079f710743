// What the main window remembers between runs, in the program's settings file beside the recent
// designs: where the window stood and how large it was, whether it was maximised, whether the
// picture was fitted to it and at the large font, the smooth-lines switch and the
// true-piston-travel switch.
#pragma once

#include <QList>
#include <QRect>
#include <QString>

#include <memory>
#include <optional>

class QSettings;

namespace tarn {

// The program's settings: the user's own ("" as file), or the given file (tests).
std::unique_ptr<QSettings> OpenProgramSettings(const QString& file);

struct StoredWindow {
    std::optional<QRect> geometry;  // the normal (not maximised) client area, if one is stored
    bool maximised = false;
};
StoredWindow LoadWindowPlacement(QSettings& s);
void StoreWindowPlacement(QSettings& s, const QRect& normalGeometry, bool maximised);

bool LoadSmoothLines(QSettings& s);
void StoreSmoothLines(QSettings& s, bool on);

// How the picture was shown when the window closed: fitted to the window (and not moved since),
// and at the large font.
struct StoredView {
    bool fitted = false;
    bool largeFont = false;
};
StoredView LoadViewChoices(QSettings& s);
void StoreViewChoices(QSettings& s, const StoredView& v);
// The main window's piston read-out and cut-offs following the crosshead's own travel.
bool LoadTruePistonTravel(QSettings& s);
void StoreTruePistonTravel(QSettings& s, bool on);

// A stored client area as it can be shown on the screens there are now (their available
// areas): nothing when too little of it would lie on any screen to take hold of it; cut down to
// the screen it lies most on when it is larger, and moved wholly onto it.
std::optional<QRect> UsableWindowGeometry(const QRect& stored, const QList<QRect>& screens);

}  // namespace tarn
