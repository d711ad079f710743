// Wave files other than the shipped ones (other sample sizes, rates and channel counts) reach
// the output stream with the values a listener expects.
#include <QByteArray>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "gui/mainwin/qtsound.h"

namespace tarn {
namespace {

QByteArray Wave(int tag, int channels, int rate, int bits, const QByteArray& data) {
    auto le = [](quint32 v, int n) {
        QByteArray b;
        for (int k = 0; k < n; ++k) b.append(static_cast<char>((v >> (8 * k)) & 0xFF));
        return b;
    };
    const int align = channels * bits / 8;
    QByteArray fmt = le(tag, 2) + le(channels, 2) + le(rate, 4) + le(rate * align, 4) +
                     le(align, 2) + le(bits, 2);
    // An unknown chunk before the samples is passed over.
    QByteArray body = "WAVE" + QByteArray("LIST") + le(3, 4) + "abc" + '\0' + "fmt " + le(16, 4) +
                      fmt + "data" + le(data.size(), 4) + data;
    return "RIFF" + le(body.size(), 4) + body;
}

using Frames = std::vector<std::int16_t>;

TEST(SoundWave, DecodesToStereoAtTheStreamRate) {
    // 8-bit mono at half the rate: 0, +1/2, -1/2, each output frame halfway interpolated.
    const QByteArray eight("\x80\xC0\x40", 3);
    EXPECT_EQ(DecodeWave(Wave(1, 1, 22050, 8, eight), 44100),
              (Frames{0, 0, 8192, 8192, 16384, 16384, 0, 0, -16384, -16384, -16384, -16384}));
    // 24-bit stereo: +1/2 left, -1/2 right.
    const QByteArray twentyFour("\x00\x00\x40\x00\x00\xC0", 6);
    EXPECT_EQ(DecodeWave(Wave(1, 2, 44100, 24, twentyFour), 44100), (Frames{16384, -16384}));
    // Float samples beyond full scale are clipped, and one that is not a number is silent.
    const float f[] = {2.0f, std::numeric_limits<float>::quiet_NaN(), -0.25f};
    const QByteArray floats(reinterpret_cast<const char*>(f), sizeof f);
    EXPECT_EQ(DecodeWave(Wave(3, 1, 44100, 32, floats), 44100),
              (Frames{32767, 32767, 0, 0, -8192, -8192}));
    // A header claiming one sample a second plays for a minute at most, not for hours.
    EXPECT_EQ(DecodeWave(Wave(1, 1, 1, 8, QByteArray(120, '\x80')), 44100).size(), 60u * 44100 * 2);
    // Not a wave file, or a compressed one: nothing to play.
    EXPECT_TRUE(DecodeWave(QByteArray("RIFF....WAVEdata"), 44100).empty());
    EXPECT_TRUE(DecodeWave(Wave(2, 1, 22050, 4, eight), 44100).empty());
}

}  // namespace
}  // namespace tarn
