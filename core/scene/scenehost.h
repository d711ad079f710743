// What the main picture needs from the window it is shown in: the window captions, the few
// controls whose state a frame sets, the clock and the sounds. The window implements it with
// Qt; tests implement it with a recorder, so a frame can be checked without a screen.
#pragma once

#include <cstdint>
#include <string>

namespace tarn {

// The windows whose captions every frame rewrites (so the clock in them advances).
enum class CaptionWindow { Main, SineDia, OvalDia, SteamDia, PortDia, DataTable };

class SoundSink {
public:
    virtual ~SoundSink() = default;
    // Both play asynchronously; a new sound cuts off one still playing. A missing file or
    // audio device is silent.
    virtual void PlayExhaust() = 0;
    virtual void PlayError() = 0;
    // Loudness of the exhaust beat, 0 .. 0xFFFF on both channels.
    virtual void SetVolume(std::uint16_t level) = 0;
    virtual void Beep() = 0;
};

// A sink that plays nothing: pictures drawn for export, tests and benchmarks.
class SilentSound final : public SoundSink {
public:
    void PlayExhaust() override {}
    void PlayError() override {}
    void SetVolume(std::uint16_t) override {}
    void Beep() override {}
};

class SceneHost {
public:
    virtual ~SceneHost() = default;
    virtual void SetCaption(CaptionWindow w, const std::string& text) = 0;
    virtual std::string DateText() = 0;  // the system's short date
    virtual std::string TimeText() = 0;  // the system's long time (with seconds)
    // The main window's UnDo button: shown at the given client top, or hidden.
    virtual void SetUndoButton(bool visible, int top) = 0;
    // The hidden menu item that signals a geometry error.
    virtual void SetErrorIndicator(bool visible) = 0;
    // The dynamic-variable bar k (1..4) of the main window.
    virtual void SetDynVarBarEnabled(int k, bool enabled) = 0;
    virtual SoundSink& Sound() = 0;
    // A seed taken from the clock; the steam layer reseeds its generator with it every frame.
    virtual std::uint32_t ClockSeed() = 0;
};

// A host that nothing reaches: a frame drawn again for an export, or a design under a fuzzer. No
// caption, control or sound changes, the clock texts are empty and the seed is fixed, so the
// same model always draws the same picture.
class QuietHost final : public SceneHost {
public:
    void SetCaption(CaptionWindow, const std::string&) override {}
    std::string DateText() override { return {}; }
    std::string TimeText() override { return {}; }
    void SetUndoButton(bool, int) override {}
    void SetErrorIndicator(bool) override {}
    void SetDynVarBarEnabled(int, bool) override {}
    SoundSink& Sound() override { return silent_; }
    std::uint32_t ClockSeed() override { return 0x2545F491u; }

private:
    SilentSound silent_;
};

}  // namespace tarn
