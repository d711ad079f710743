// The program's sounds through Qt Multimedia.
//
// Both sounds go through one output stream that the sink feeds itself: a sound is mixed into
// the stream from its first sample, a new sound replaces the one still playing, and between
// sounds the stream carries silence. The stream stays open for a few seconds after the last
// sound, long enough for the audio server to play out everything it has buffered, and is then
// closed. (A QSoundEffect opens a new stream for every play and drops it, with whatever the
// server had not yet played, as soon as it has handed over its last sample: through a server
// that buffers more than the sound's length nothing is heard at all.)
#include "gui/mainwin/qtsound.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QFile>
#include <QIODevice>
#include <QMediaDevices>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

#include "gui/common/datafilepath.h"

namespace tarn {

namespace {

// Half volume on both channels, the level at start.
constexpr std::uint16_t kStartLevel = 0x8000;
// How long the stream runs on after a sound has ended: more than any audio server buffers.
constexpr int kRunOnMs = 3000;

std::uint32_t U32(const QByteArray& b, qsizetype at) {
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k) v = (v << 8) | static_cast<std::uint8_t>(b[at + k]);
    return v;
}

std::uint16_t U16(const QByteArray& b, qsizetype at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) |
                                      (static_cast<std::uint8_t>(b[at + 1]) << 8));
}

// One sample at `at` as a value in -1 .. 1.
double Sample(const QByteArray& b, qsizetype at, int bits, bool isFloat) {
    if (isFloat) {
        const std::uint32_t raw = U32(b, at);
        float f;
        std::memcpy(&f, &raw, sizeof f);
        return std::isfinite(f) ? std::clamp(static_cast<double>(f), -1.0, 1.0) : 0.0;
    }
    switch (bits) {
        case 8: return (static_cast<std::uint8_t>(b[at]) - 128) / 128.0;
        case 16: return static_cast<std::int16_t>(U16(b, at)) / 32768.0;
        case 24: {
            // The three bytes in the top of 32 bits, so that the sign falls into place.
            const std::uint32_t top =
                (static_cast<std::uint32_t>(U16(b, at)) << 8) |
                (static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 2])) << 24);
            return static_cast<std::int32_t>(top) / 2147483648.0;
        }
        default: return static_cast<std::int32_t>(U32(b, at)) / 2147483648.0;
    }
}

}  // namespace

std::vector<std::int16_t> DecodeWave(const QByteArray& file, int rate) {
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE") return {};
    int tag = 0, channels = 0, bits = 0, align = 0;
    std::uint32_t srcRate = 0;
    qsizetype data = -1, dataBytes = 0;
    for (qsizetype at = 12; at + 8 <= file.size();) {
        const QByteArray id = file.mid(at, 4);
        const qsizetype size = U32(file, at + 4);
        const qsizetype body = at + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= file.size()) {
            tag = U16(file, body);
            channels = U16(file, body + 2);
            srcRate = U32(file, body + 4);
            align = U16(file, body + 12);
            bits = U16(file, body + 14);
            if (tag == 0xFFFE && size >= 26 && body + 26 <= file.size()) tag = U16(file, body + 24);
        } else if (id == "data") {
            data = body;
            dataBytes = std::min(size, file.size() - body);
        }
        at = body + size + (size & 1);
    }
    const bool isFloat = tag == 3 && bits == 32;
    const bool isInt = tag == 1 && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    if (data < 0 || (!isFloat && !isInt) || channels < 1 || srcRate == 0 || rate <= 0 ||
        align < channels * (bits / 8))
        return {};
    const qsizetype frames = dataBytes / align;
    if (frames == 0) return {};
    const qsizetype sampleBytes = bits / 8;
    // The first two channels; a single channel plays on both sides.
    auto channel = [&](qsizetype frame, int c) {
        return Sample(file, data + frame * align + std::min(c, channels - 1) * sampleBytes, bits,
                      isFloat);
    };
    // A sound plays for at most a minute: a wave file with a tiny sample rate in its header
    // would otherwise ask for gigabytes.
    const long double used = std::min<long double>(frames, 60.0L * srcRate);
    const auto outFrames = static_cast<qsizetype>(std::llround(used * rate / srcRate));
    std::vector<std::int16_t> out;
    out.reserve(static_cast<std::size_t>(outFrames) * 2);
    for (qsizetype j = 0; j < outFrames; ++j) {
        const long double t = static_cast<long double>(j) * srcRate / rate;
        const auto i = std::min(static_cast<qsizetype>(t), frames - 1);
        const double f = static_cast<double>(t - i);
        const qsizetype next = std::min(i + 1, frames - 1);
        for (int c = 0; c < 2; ++c) {
            const double v = channel(i, c) * (1 - f) + channel(next, c) * f;
            out.push_back(static_cast<std::int16_t>(
                std::clamp(std::nearbyint(v * 32768.0), -32768.0, 32767.0)));
        }
    }
    return out;
}

// The stream's source: the current sound from its current frame at the current level, then
// silence, for as long as the stream reads. The audio back end may read on its own thread.
class QtSoundSink::Voice : public QIODevice {
public:
    Voice() { open(QIODevice::ReadOnly); }

    void Start(const std::vector<std::int16_t>* sound) {
        std::lock_guard lock(mutex_);
        sound_ = sound;
        at_ = 0;
    }
    void SetLevel(std::uint16_t level) {
        std::lock_guard lock(mutex_);
        level_ = level;
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return (1 << 16) + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* out, qint64 max) override {
        std::lock_guard lock(mutex_);
        const qint64 samples = max / 4 * 2;
        for (qint64 k = 0; k < samples; ++k) {
            std::int16_t v = 0;
            if (sound_ && at_ < sound_->size()) {
                v = static_cast<std::int16_t>((*sound_)[at_] * std::int32_t{level_} / 0xFFFF);
                ++at_;
            }
            std::memcpy(out + k * 2, &v, sizeof v);
        }
        return samples * 2;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    std::mutex mutex_;
    const std::vector<std::int16_t>* sound_ = nullptr;
    std::size_t at_ = 0;
    std::uint16_t level_ = kStartLevel;
};

namespace {
std::vector<std::int16_t> Load(const char* name) {
    QFile f(DataFilePath(QString::fromLatin1(name)));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return DecodeWave(f.readAll(), QtSoundSink::kRate);
}
}  // namespace

QtSoundSink::QtSoundSink()
    : exhaust_(Load("Exhaust.wav")),
      error_(Load("Error.wav")),
      voice_(std::make_unique<Voice>()),
      idle_(std::make_unique<QTimer>()) {
    idle_->setSingleShot(true);
    QObject::connect(idle_.get(), &QTimer::timeout, idle_.get(), [this] { CloseStream(); });
}

QtSoundSink::~QtSoundSink() {
    // Qt runs the event loop while a stream closes: the owner stops its timers first. Every
    // stream is stopped before it is deleted (see CloseStream).
    if (stream_) stream_->stop();
    stream_.reset();
    for (const QPointer<QAudioSink>& s : retired_) {
        if (!s) continue;
        s->stop();
        delete s.data();
    }
}

void QtSoundSink::CloseStream() {
    // Closed from the event loop, never inside the frame that asked for a sound. The stream is
    // stopped first: Qt's PulseAudio back end runs the event loop while it deletes a stream,
    // and a feed it queued for itself while the stream was playing would then reach the
    // server through the stream it has just let go (libpulse's assertion ends the program).
    // A stopped stream ignores that feed.
    if (!stream_) return;
    stream_->stop();
    QAudioSink* s = stream_.release();
    retired_.erase(std::remove(retired_.begin(), retired_.end(), nullptr), retired_.end());
    retired_.push_back(s);
    s->deleteLater();
}

void QtSoundSink::Play(const std::vector<std::int16_t>& sound) {
    // A new sound cuts off the one still playing, also when the new one is missing.
    voice_->Start(&sound);
    if (sound.empty()) return;
    // A stream that stopped (its device went away) is replaced; a passing underrun is not.
    if (stream_ && stream_->state() == QAudio::StoppedState) CloseStream();
    if (!stream_) {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) return;
        QAudioFormat format;
        format.setSampleRate(kRate);
        format.setChannelCount(2);
        format.setSampleFormat(QAudioFormat::Int16);
        stream_ = std::make_unique<QAudioSink>(device, format);
        stream_->start(voice_.get());
    }
    const auto soundMs = static_cast<int>(sound.size() / 2 * 1000 / kRate);
    idle_->start(soundMs + kRunOnMs);
}

void QtSoundSink::PlayExhaust() { Play(exhaust_); }

void QtSoundSink::PlayError() { Play(error_); }

void QtSoundSink::SetVolume(std::uint16_t level) { voice_->SetLevel(level); }

void QtSoundSink::Beep() { QApplication::beep(); }

}  // namespace tarn
