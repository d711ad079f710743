// The main window's remembered settings, each under its own key in the program's settings file.
// The geometry is kept as a plain rectangle rather than Qt's opaque state, so that a stored window
// can be checked against the screens of today before it is shown.
#include "gui/mainwin/windowsettings.h"

#include <QSettings>

#include <algorithm>

namespace tarn {

namespace {
const QString kGeometryKey = QStringLiteral("MainWindow/Geometry");
const QString kMaximisedKey = QStringLiteral("MainWindow/Maximized");
const QString kSmoothKey = QStringLiteral("Display/SmoothLines");
const QString kFittedKey = QStringLiteral("MainWindow/FittedView");
const QString kLargeFontKey = QStringLiteral("MainWindow/LargeFont");
const QString kTrueTravelKey = QStringLiteral("Display/TruePistonTravel");

// How much of a window must lie on a screen to be taken hold of again.
constexpr int kGripWidth = 64;
constexpr int kGripHeight = 32;
}  // namespace

std::unique_ptr<QSettings> OpenProgramSettings(const QString& file) {
    if (!file.isEmpty()) return std::make_unique<QSettings>(file, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("tarn1"), QStringLiteral("tarn1"));
}

StoredWindow LoadWindowPlacement(QSettings& s) {
    StoredWindow w;
    const QRect r = s.value(kGeometryKey).toRect();
    if (r.isValid()) w.geometry = r;
    w.maximised = s.value(kMaximisedKey, false).toBool();
    return w;
}

void StoreWindowPlacement(QSettings& s, const QRect& normalGeometry, bool maximised) {
    s.setValue(kGeometryKey, normalGeometry);
    s.setValue(kMaximisedKey, maximised);
    s.sync();
}

bool LoadSmoothLines(QSettings& s) { return s.value(kSmoothKey, false).toBool(); }

void StoreSmoothLines(QSettings& s, bool on) {
    s.setValue(kSmoothKey, on);
    s.sync();
}

StoredView LoadViewChoices(QSettings& s) {
    return {s.value(kFittedKey, false).toBool(), s.value(kLargeFontKey, false).toBool()};
}

void StoreViewChoices(QSettings& s, const StoredView& v) {
    s.setValue(kFittedKey, v.fitted);
    s.setValue(kLargeFontKey, v.largeFont);
    s.sync();
}

bool LoadTruePistonTravel(QSettings& s) { return s.value(kTrueTravelKey, false).toBool(); }

void StoreTruePistonTravel(QSettings& s, bool on) {
    s.setValue(kTrueTravelKey, on);
    s.sync();
}

std::optional<QRect> UsableWindowGeometry(const QRect& stored, const QList<QRect>& screens) {
    if (!stored.isValid()) return std::nullopt;
    const QRect* best = nullptr;
    qint64 bestArea = 0;
    for (const QRect& screen : screens) {
        const QRect on = stored & screen;
        if (on.width() < std::min(kGripWidth, stored.width()) ||
            on.height() < std::min(kGripHeight, stored.height()))
            continue;
        const qint64 area = qint64(on.width()) * on.height();
        if (area > bestArea) {
            bestArea = area;
            best = &screen;
        }
    }
    if (!best) return std::nullopt;
    QRect r(stored.topLeft(), stored.size().boundedTo(best->size()));
    r.moveLeft(std::clamp(r.left(), best->left(), best->right() - r.width() + 1));
    r.moveTop(std::clamp(r.top(), best->top(), best->bottom() - r.height() + 1));
    return r;
}

}  // namespace tarn
