// The recent designs list: one string list in the settings, read again before every change so
// that two copies of the program running at once do not wipe out each other's entries.
#include "gui/mainwin/recentdesigns.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

#include <algorithm>

namespace tarn {

namespace {
const QString kKey = QStringLiteral("RecentDesigns");

// "&" in a menu text marks the shortcut letter; a path shows it as itself.
QString MenuText(int index, const QString& path) {
    QString shown = QDir::toNativeSeparators(path);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}
}  // namespace

QString RecentDesignKey(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

RecentDesigns::RecentDesigns(QMenu* menu, QObject* parent, const QString& settingsFile)
    : QObject(parent),
      menu_(menu),
      settings_(settingsFile.isEmpty()
                    ? std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                  QStringLiteral("tarn1"), QStringLiteral("tarn1"))
                    : std::make_unique<QSettings>(settingsFile, QSettings::IniFormat)) {
    setObjectName(QStringLiteral("RecentDesignsList"));
    if (menu_) {
        // Another copy of the program may have added to the list since.
        connect(menu_, &QMenu::aboutToShow, this, [this] {
            Load();
            Rebuild();
        });
    }
    Load();
    Rebuild();
}

RecentDesigns::~RecentDesigns() = default;

void RecentDesigns::Load() {
    settings_->sync();
    const QStringList stored = settings_->value(kKey).toStringList();
    paths_.clear();
    for (const QString& p : stored) {
        if (p.isEmpty() || paths_.contains(p) || paths_.size() >= kMaxRecentDesigns) continue;
        paths_ << p;
    }
}

void RecentDesigns::Store() {
    if (paths_.isEmpty()) settings_->remove(kKey);
    else settings_->setValue(kKey, paths_);
    settings_->sync();
    Rebuild();
}

void RecentDesigns::Add(const QString& path) {
    Load();
    const QString key = RecentDesignKey(path);
    paths_.erase(std::remove_if(paths_.begin(), paths_.end(),
                                [&](const QString& p) { return RecentDesignKey(p) == key; }),
                 paths_.end());
    paths_.prepend(key);
    while (paths_.size() > kMaxRecentDesigns) paths_.removeLast();
    Store();
}

void RecentDesigns::Remove(const QString& path) {
    Load();
    const QString key = RecentDesignKey(path);
    paths_.erase(
        std::remove_if(paths_.begin(), paths_.end(),
                       [&](const QString& p) { return p == path || RecentDesignKey(p) == key; }),
        paths_.end());
    Store();
}

void RecentDesigns::Clear() {
    paths_.clear();
    Store();
}

void RecentDesigns::Rebuild() {
    if (!menu_) return;
    // An entry may be rebuilding the menu from its own triggered signal: its action goes later.
    // Its name goes at once, so that only the new entries answer to the names.
    for (QAction* a : menu_->actions()) {
        menu_->removeAction(a);
        if (a->parent() != this) continue;
        a->setObjectName(QString());
        a->deleteLater();
    }
    for (int i = 0; i < paths_.size(); ++i) {
        const QString path = paths_[i];
        auto* a = new QAction(MenuText(i, path), this);
        a->setObjectName(QStringLiteral("RecentDesign%1").arg(i + 1));
        a->setData(path);
        a->setToolTip(QDir::toNativeSeparators(path));
        connect(a, &QAction::triggered, this, [this, path] {
            if (chosen_) chosen_(path);
        });
        menu_->addAction(a);
    }
    if (paths_.isEmpty()) {
        auto* none = new QAction(QStringLiteral("(no recent designs)"), this);
        none->setObjectName(QStringLiteral("NoRecentDesigns"));
        none->setEnabled(false);
        menu_->addAction(none);
    }
    menu_->addSeparator()->setParent(this);
    auto* clear = new QAction(QStringLiteral("&Clear List"), this);
    clear->setObjectName(QStringLiteral("ClearRecentDesigns"));
    clear->setEnabled(!paths_.isEmpty());
    connect(clear, &QAction::triggered, this, &RecentDesigns::Clear);
    menu_->addAction(clear);
}

}  // namespace tarn
