// A scene host that records what a frame asks of the window, with a fixed clock and seed.
#pragma once

#include <string>
#include <vector>

#include "core/scene/scenehost.h"

namespace tarn::testing {

struct FakeSound : SoundSink {
    int exhaust = 0, error = 0, beeps = 0;
    std::vector<int> volumes;
    void PlayExhaust() override { ++exhaust; }
    void PlayError() override { ++error; }
    void SetVolume(std::uint16_t level) override { volumes.push_back(level); }
    void Beep() override { ++beeps; }
};

struct FakeHost : SceneHost {
    FakeSound sound;
    std::string captions[6];
    bool undoVisible = false;
    int undoTop = -1;
    bool errorVisible = false;
    int errorShows = 0;
    bool barEnabled[5] = {};
    void SetCaption(CaptionWindow w, const std::string& t) override {
        captions[static_cast<int>(w)] = t;
    }
    std::string DateText() override { return "08/12/2026"; }
    std::string TimeText() override { return "10:11:12"; }
    void SetUndoButton(bool v, int top) override {
        undoVisible = v;
        if (v) undoTop = top;
    }
    void SetErrorIndicator(bool v) override {
        errorVisible = v;
        if (v) ++errorShows;
    }
    void SetDynVarBarEnabled(int k, bool e) override { barEnabled[k] = e; }
    SoundSink& Sound() override { return sound; }
    std::uint32_t ClockSeed() override { return 12345; }
};

}  // namespace tarn::testing
