// The program's sounds through Qt Multimedia: the exhaust beat and the error tone, read once
// from the working directory or the installed data folder, and the system beep.
#pragma once

#include <QSoundEffect>

#include <memory>

#include "mainwin/scene/scenehost.h"

namespace tarn {

class QtSoundSink : public SoundSink {
public:
    // Loads "Exhaust.wav" and "Error.wav" (DataFilePath); a missing file stays silent.
    QtSoundSink();
    ~QtSoundSink() override;

    void PlayExhaust() override;
    void PlayError() override;
    void SetVolume(std::uint16_t level) override;
    void Beep() override;

private:
    void Play(QSoundEffect* effect);
    std::unique_ptr<QSoundEffect> exhaust_;
    std::unique_ptr<QSoundEffect> error_;
};

}  // namespace tarn
