// The program's sounds through Qt Multimedia.
#include "mainwin/qtsound.h"

#include <QApplication>
#include <QFileInfo>
#include <QUrl>

#include "mainwin/datafilepath.h"

namespace tarn {

namespace {
// Half volume on both channels, the level at start.
constexpr double kStartVolume = 0x8000 / 65535.0;

std::unique_ptr<QSoundEffect> Load(const char* name) {
    const QString found = DataFilePath(QString::fromLatin1(name));
    if (!QFileInfo::exists(found)) return nullptr;
    const QString path = QFileInfo(found).absoluteFilePath();
    auto effect = std::make_unique<QSoundEffect>();
    effect->setSource(QUrl::fromLocalFile(path));  // loads now, so the first beat is on time
    effect->setVolume(kStartVolume);
    return effect;
}
}  // namespace

QtSoundSink::QtSoundSink() : exhaust_(Load("Exhaust.wav")), error_(Load("Error.wav")) {}

QtSoundSink::~QtSoundSink() = default;

void QtSoundSink::Play(QSoundEffect* effect) {
    // A new sound cuts off the one still playing.
    if (exhaust_) exhaust_->stop();
    if (error_) error_->stop();
    if (effect && effect->status() != QSoundEffect::Error) effect->play();
}

void QtSoundSink::PlayExhaust() { Play(exhaust_.get()); }

void QtSoundSink::PlayError() { Play(error_.get()); }

void QtSoundSink::SetVolume(std::uint16_t level) {
    if (exhaust_) exhaust_->setVolume(level / 65535.0);
}

void QtSoundSink::Beep() { QApplication::beep(); }

}  // namespace tarn
