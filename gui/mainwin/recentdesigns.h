// File > Recent Designs: the last design files opened or saved, newest first, each once, kept
// in the user's settings between runs. The class keeps the list and fills the submenu; what an
// entry does when chosen is its owner's business.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QMenu;
class QSettings;

namespace tarn {

inline constexpr int kMaxRecentDesigns = 8;

// The form a path takes in the list: the canonical path of an existing file (links and ".."
// resolved), else the cleaned absolute path. Two names of one file give the same key.
QString RecentDesignKey(const QString& path);

class RecentDesigns : public QObject {
    Q_OBJECT
public:
    // Fills `menu` (which may be null) and keeps it up to date. settingsFile "" keeps the list in
    // the user's own settings; a path keeps it in that file instead.
    explicit RecentDesigns(QMenu* menu, QObject* parent = nullptr,
                           const QString& settingsFile = {});
    ~RecentDesigns() override;

    // Newest first.
    QStringList Paths() const { return paths_; }
    // Puts the file at the top of the list, once; the oldest entries beyond eight fall off.
    void Add(const QString& path);
    void Remove(const QString& path);
    void Clear();

    // Called with the entry's path when the user chooses it.
    void SetChooser(std::function<void(const QString&)> chosen) { chosen_ = std::move(chosen); }

private:
    void Load();
    void Store();
    void Rebuild();

    QMenu* menu_;
    std::unique_ptr<QSettings> settings_;
    QStringList paths_;
    std::function<void(const QString&)> chosen_;
};

}  // namespace tarn
