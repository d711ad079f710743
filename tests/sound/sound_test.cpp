// The program's sounds as a listener meets them: a private PulseAudio server with a null sink
// stands in for the sound card, the main window runs on its own timer with the Qt sound sink,
// and the sink's monitor is recorded with parec.
//
// The server runs in a temporary folder of its own (its socket, runtime and home folders), so
// it neither sees nor disturbs a desktop's sound; PULSE_SERVER points the program at it. Where
// the server cannot be started the test is skipped.
#include <QApplication>
#include <QAudioSink>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#ifdef __linux__
#include <sys/prctl.h>
#include <csignal>
#endif

#include "gui/mainwin/appwindows.h"
#include "gui/mainwin/mainform.h"
#include "gui/mainwin/qtsound.h"

#ifndef TARN_SOURCE_DIR
#error "TARN_SOURCE_DIR names the source folder (its resources hold the wave files)"
#endif

namespace tarn {
namespace {

constexpr int kRate = 44100;  // the recording's rate, one channel
constexpr int kFrame = 441;   // 10 ms

// A helper process ends with the test, also when the test itself dies.
void TiedToTheTest(QProcess& p) {
#ifdef __linux__
    p.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
#else
    (void)p;
#endif
}

// The server for the whole run, started before Qt opens any audio.
struct AudioServer {
    QTemporaryDir dir;
    QProcess process;
    QString failure;  // empty when the server runs

    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", dir.path());
        env.insert("XDG_RUNTIME_DIR", dir.path() + "/runtime");
        env.insert("PULSE_RUNTIME_PATH", dir.path() + "/runtime");
        env.insert("PULSE_SERVER", Server());
        return env;
    }
    QString Socket() const { return dir.path() + "/native"; }
    QString Server() const { return "unix:" + Socket(); }

    void Start() {
        if (!dir.isValid()) {
            failure = "no temporary folder";
            return;
        }
        QDir(dir.path()).mkpath("runtime");
        process.setProcessEnvironment(Environment());
        TiedToTheTest(process);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start("pulseaudio",
                      {"--daemonize=no", "--exit-idle-time=-1", "--system=false", "-n",
                       "--use-pid-file=false", "--log-target=stderr",
                       "--load=module-null-sink sink_name=tarn",
                       "--load=module-native-protocol-unix auth-anonymous=1 socket=" + Socket()});
        if (!process.waitForStarted(3000)) {
            failure = "pulseaudio did not start: " + process.errorString();
            return;
        }
        QElapsedTimer waited;
        waited.start();
        while (!QFile::exists(Socket()) && waited.elapsed() < 5000 &&
               process.state() == QProcess::Running)
            process.waitForReadyRead(50);
        if (!QFile::exists(Socket())) {
            failure = process.state() == QProcess::Running
                          ? QString("pulseaudio opened no socket in 5 s")
                          : QString("pulseaudio ended with exit code %1").arg(process.exitCode());
            failure += ": " + QString::fromLocal8Bit(process.readAll()).right(400);
            Stop();
        }
    }
    void Stop() {
        if (process.state() == QProcess::NotRunning) return;
        process.terminate();
        if (!process.waitForFinished(3000)) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
};

AudioServer* server = nullptr;

// parec on the null sink's monitor: 16-bit mono at kRate.
class Recorder {
public:
    bool Start(QString& failure) {
        proc_.setProcessEnvironment(server->Environment());
        TiedToTheTest(proc_);
        // A short fragment: the null sink then plays in small blocks, as a sound card would.
        proc_.start("parec", {"--device=tarn.monitor", "--format=s16le", "--channels=1",
                              "--rate=" + QString::number(kRate), "--raw", "--latency-msec=10"});
        if (!proc_.waitForStarted(3000)) {
            failure = "parec did not start: " + proc_.errorString();
            return false;
        }
        // The recording runs once the first samples come.
        QElapsedTimer waited;
        waited.start();
        while (proc_.bytesAvailable() == 0 && waited.elapsed() < 5000 &&
               proc_.state() == QProcess::Running)
            proc_.waitForReadyRead(50);
        if (proc_.bytesAvailable() == 0) {
            failure = "parec recorded nothing";
            return false;
        }
        data_ = proc_.readAllStandardOutput();
        return true;
    }
    // Keeps the output flowing while the test waits.
    void Poll() { data_ += proc_.readAllStandardOutput(); }
    std::vector<double> StopFrames() {
        Poll();
        proc_.terminate();
        if (!proc_.waitForFinished(3000)) {
            proc_.kill();
            proc_.waitForFinished(3000);
        }
        data_ += proc_.readAllStandardOutput();
        std::vector<double> rms;
        const auto* s = reinterpret_cast<const unsigned char*>(data_.constData());
        const qsizetype samples = data_.size() / 2;
        for (qsizetype f = 0; f + kFrame <= samples; f += kFrame) {
            double sum = 0;
            for (qsizetype k = f; k < f + kFrame; ++k) {
                const auto v = static_cast<std::int16_t>(s[2 * k] | (s[2 * k + 1] << 8));
                sum += double(v) * v;
            }
            rms.push_back(std::sqrt(sum / kFrame));
        }
        return rms;
    }

private:
    QProcess proc_;
    QByteArray data_;
};

// The real sink, with the moments the window asked for each sound.
struct Witness : SoundSink {
    QtSoundSink real;
    QElapsedTimer clock;
    std::vector<qint64> exhaust, error;
    std::vector<std::uint16_t> exhaustLevel, errorLevel;
    std::uint16_t level = 0x8000;
    Witness() { clock.start(); }
    void PlayExhaust() override {
        exhaust.push_back(clock.elapsed());
        exhaustLevel.push_back(level);
        real.PlayExhaust();
    }
    void PlayError() override {
        error.push_back(clock.elapsed());
        errorLevel.push_back(level);
        real.PlayError();
    }
    void SetVolume(std::uint16_t l) override {
        level = l;
        real.SetVolume(l);
    }
    void Beep() override {}
};

// Waits while the window's timer runs, reading the recording as it comes.
void Listen(Recorder& rec, int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QTest::qWait(20);
        rec.Poll();
    }
}

struct SoundThroughServer : ::testing::Test {
    void SetUp() override {
        if (!server->failure.isEmpty())
            GTEST_SKIP() << "no audio server to listen to: " << server->failure.toStdString();
        // The program reads its wave files from the working directory.
        ASSERT_TRUE(work.isValid());
        for (const char* f : {"Exhaust.wav", "Error.wav"})
            ASSERT_TRUE(QFile::copy(QString(TARN_SOURCE_DIR "/resources/") + f, work.filePath(f)));
        ASSERT_TRUE(QDir::setCurrent(work.path()));
    }
    void TearDown() override { QDir::setCurrent(before); }
    QTemporaryDir work;
    QString before = QDir::currentPath();
};

// The loudest 10 ms of a 16-bit mono wave file, as an RMS: what a sound played at full
// volume shows in the recording.
double LoudestTenMs(const char* name) {
    QFile f(QString(TARN_SOURCE_DIR "/resources/") + name);
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QByteArray b = f.readAll();
    const qsizetype data = b.indexOf("data");
    const auto u16 = [&](qsizetype at) {
        return static_cast<int>(static_cast<unsigned char>(b[at]) |
                                (static_cast<unsigned char>(b[at + 1]) << 8));
    };
    if (data < 0 || b.indexOf("fmt ") != 12 || u16(22) != 1 || u16(34) != 16) return 0;
    const int window = (u16(24) | (u16(26) << 16)) / 100;
    double loudest = 0;
    for (qsizetype at = data + 8; at + 2 * window <= b.size(); at += 2 * window) {
        double sum = 0;
        for (int k = 0; k < window; ++k) {
            const auto v = static_cast<std::int16_t>(u16(at + 2 * k));
            sum += double(v) * v;
        }
        loudest = std::max(loudest, std::sqrt(sum / window));
    }
    return loudest;
}

// The 10 ms frames at which a sound starts: a frame above `floor` and far louder than the
// 30 ms before it. A sound starts at most once in 150 ms (its first frame may be cut short).
std::vector<std::size_t> Onsets(const std::vector<double>& rms, double floor) {
    std::vector<std::size_t> at;
    for (std::size_t k = 3; k < rms.size(); ++k) {
        const double before = std::max({rms[k - 1], rms[k - 2], rms[k - 3]});
        if (rms[k] >= floor && rms[k] > 3 * before + 1 && (at.empty() || k - at.back() >= 15))
            at.push_back(k);
    }
    return at;
}

// Start, steam off with the crank turning; steam on for about six beats; steam off again; a
// design the solver cannot close, for one error signal. Every sound asked for is heard once,
// in order, soon after it was asked for and at the volume of its moment; between the sounds
// the sink is silent.
TEST_F(SoundThroughServer, ExhaustBeatsAndTheErrorSoundAreHeard) {
    const double exhaustPeak = LoudestTenMs("Exhaust.wav");
    const double errorPeak = LoudestTenMs("Error.wav");
    ASSERT_GT(exhaustPeak, 1000);
    ASSERT_GT(errorPeak, 1000);
    Model m;
    auto* sound = new Witness;
    TMainForm form(m, std::unique_ptr<SoundSink>(sound));
    CreateAppWindows(m, form);
    QString failure;
    Recorder rec;
    ASSERT_TRUE(rec.Start(failure)) << failure.toStdString();
    const qint64 recStart = sound->clock.elapsed();

    Listen(rec, 500);
    form.findChild<QAction*>("SetSteam")->trigger();
    Listen(rec, 2000);
    form.findChild<QAction*>("SetSteam")->trigger();
    Listen(rec, 800);
    const f32 good = m.design.Frame.CouplerLower;
    m.design.Frame.CouplerLower = 100;
    Listen(rec, 300);
    m.design.Frame.CouplerLower = good;
    Listen(rec, 900);
    const std::vector<double> rms = rec.StopFrames();
    form.findChild<QTimer*>("Timer1")->stop();  // no frame while the sound sink closes

    // What was asked for (moment in ms from the recording's start, expected loudness) and what
    // was heard.
    struct Asked {
        qint64 ms;
        double loudness;
    };
    std::vector<Asked> asked;
    for (std::size_t i = 0; i < sound->exhaust.size(); ++i)
        asked.push_back(
            {sound->exhaust[i] - recStart, exhaustPeak * sound->exhaustLevel[i] / 0xFFFF});
    for (std::size_t i = 0; i < sound->error.size(); ++i)
        asked.push_back({sound->error[i] - recStart, errorPeak * sound->errorLevel[i] / 0xFFFF});
    ASSERT_GE(sound->exhaust.size(), 5u);
    ASSERT_EQ(sound->error.size(), 1u);
    double quietest = errorPeak;
    for (const Asked& a : asked) quietest = std::min(quietest, a.loudness);
    const std::vector<std::size_t> heard = Onsets(rms, 0.3 * quietest);

    std::string report = "RMS per 100 ms from the start of the recording:";
    for (std::size_t i = 0; i + 10 <= rms.size(); i += 10) {
        double sum = 0;
        for (std::size_t k = i; k < i + 10; ++k) sum += rms[k] * rms[k];
        report += (i % 200 == 0 ? "\n" : " ") + std::to_string(std::lround(std::sqrt(sum / 10)));
    }
    report += "\nasked for (ms):";
    for (const Asked& a : asked) report += " " + std::to_string(a.ms);
    report += "\nheard from (ms):";
    for (std::size_t k : heard) report += " " + std::to_string(10 * k);
    std::printf("%s\n", report.c_str());

    ASSERT_EQ(heard.size(), asked.size());
    for (std::size_t i = 0; i < asked.size(); ++i) {
        const qint64 late = 10 * static_cast<qint64>(heard[i]) - asked[i].ms;
        EXPECT_GT(late, -50) << "sound " << i + 1;
        EXPECT_LT(late, 500) << "sound " << i + 1;
        const double got = *std::max_element(rms.begin() + heard[i],
                                             rms.begin() + std::min(heard[i] + 15, rms.size()));
        EXPECT_GT(got, 0.6 * asked[i].loudness) << "sound " << i + 1;
        EXPECT_LT(got, 1.6 * asked[i].loudness) << "sound " << i + 1;
    }
    // Silent while the steam display is off: before it was switched on, after the last beat
    // has died away (a beat lasts 280 ms), and after the error sound (340 ms).
    const auto silent = [&](std::size_t from, std::size_t to) {
        return std::all_of(rms.begin() + from, rms.begin() + to, [](double r) { return r < 1; });
    };
    const std::size_t lastBeat = heard[heard.size() - 2], error = heard.back();
    EXPECT_GE(heard.front(), 40u);
    EXPECT_TRUE(silent(0, heard.front() - 1));
    ASSERT_GE(error, lastBeat + 70);
    EXPECT_TRUE(silent(lastBeat + 40, error - 1));
    ASSERT_GE(rms.size(), error + 50);
    EXPECT_TRUE(silent(error + 40, rms.size()));
}

// A thousand streams of the real sink opened, fed and closed, each closed right after its first
// feed: the server's buffer was empty then, so Qt has queued the next feed. Half are closed as
// the run-on closes them (handed to the event loop), half go with the sink itself. Qt's
// PulseAudio back end runs the event loop while it deletes a stream; a feed queued for a
// stream that was not stopped first writes to the stream it has just cleared, and libpulse's
// assertion ends the program. Twenty sinks at a time, so that the 20 ms until the first feed
// is waited for once per twenty cycles.
TEST_F(SoundThroughServer, StreamsClosedWithAFeedQueuedNeverEndTheProgram) {
    constexpr int kSinks = 20;
    constexpr int kCycles = 1000;
    std::vector<std::unique_ptr<QtSoundSink>> sinks(kSinks);
    const auto fed = [](const std::unique_ptr<QtSoundSink>& s) {
        const QAudioSink* stream = s->Stream();
        return stream && stream->bytesFree() < stream->bufferSize();
    };
    QElapsedTimer took;
    took.start();
    int cycles = 0;
    while (cycles < kCycles) {
        for (auto& s : sinks) {
            if (!s) s = std::make_unique<QtSoundSink>();
            s->PlayExhaust();
            ASSERT_NE(s->Stream(), nullptr) << "no stream opened after " << cycles << " cycles";
        }
        // The event loop as the program runs it, until every stream has had its first feed;
        // closed streams are deleted on the way.
        QElapsedTimer waited;
        waited.start();
        while (!std::all_of(sinks.begin(), sinks.end(), fed) && waited.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        ASSERT_TRUE(std::all_of(sinks.begin(), sinks.end(), fed))
            << "no first feed within 5 s after " << cycles << " cycles";
        for (std::size_t k = 0; k < sinks.size(); ++k, ++cycles) {
            if (k % 2) sinks[k]->CloseStream();
            else sinks[k].reset();
        }
    }
    sinks.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::printf("%d streams opened, fed and closed in %lld ms\n", cycles,
                static_cast<long long>(took.elapsed()));
}

}  // namespace
}  // namespace tarn

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (as ctest does before a run) starts no server.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Qt looks for audio devices at the first sound: the program is pointed at the private
    // server before that.
    tarn::AudioServer audio;
    tarn::server = &audio;
    audio.Start();
    if (audio.failure.isEmpty()) qputenv("PULSE_SERVER", audio.Server().toLocal8Bit());
    const int rc = RUN_ALL_TESTS();
    audio.Stop();
    return rc;
}
