// The program's sounds through Qt Multimedia: the exhaust beat and the error tone, read once
// from the working directory or the installed data folder, and the system beep.
#pragma once

#include <QAudioSink>
#include <QByteArray>
#include <QPointer>

#include <cstdint>
#include <memory>
#include <vector>

#include "core/scene/scenehost.h"

class QTimer;

namespace tarn {

// Decodes a RIFF wave file (8, 16, 24 or 32-bit integer or 32-bit float samples, any rate and
// channel count) to 16-bit stereo frames at `rate`, left and right interleaved; empty when the
// data is not such a file.
std::vector<std::int16_t> DecodeWave(const QByteArray& file, int rate);

class QtSoundSink : public SoundSink {
public:
    // The rate of the one output stream.
    static constexpr int kRate = 44100;

    // Loads "Exhaust.wav" and "Error.wav" (DataFilePath); a missing file stays silent.
    QtSoundSink();
    ~QtSoundSink() override;

    void PlayExhaust() override;
    void PlayError() override;
    void SetVolume(std::uint16_t level) override;
    void Beep() override;

    // The open output stream, or null between sounds.
    const QAudioSink* Stream() const { return stream_.get(); }
    // Stops the stream and hands it to the event loop for deletion; the next sound opens a new
    // one. The sink calls it itself a few seconds after the last sound.
    void CloseStream();

private:
    class Voice;
    void Play(const std::vector<std::int16_t>& sound);

    std::vector<std::int16_t> exhaust_;
    std::vector<std::int16_t> error_;
    std::unique_ptr<Voice> voice_;
    std::unique_ptr<QAudioSink> stream_;
    std::vector<QPointer<QAudioSink>> retired_;  // closed, deleted from the event loop
    std::unique_ptr<QTimer> idle_;
};

}  // namespace tarn
