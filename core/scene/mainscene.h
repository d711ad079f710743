// The main window's clock tick and frame, without any toolkit: solve, map the pivots to the
// screen, fill the cylinder and piston point tables, advance the crank, draw the frame. The
// window calls Tick once per timer event and shows the canvas it drew on.
#pragma once

#include <cstdint>

#include "core/model/canvas.h"
#include "core/model/model.h"
#include "core/scene/closeup.h"
#include "core/scene/scenehost.h"

namespace tarn {

// The main picture's least size: a frame grows with a larger window.
inline constexpr int kFrameWidth = 1280;
inline constexpr int kFrameHeight = 1024;

// The pseudo-random generator of the steam layer (xorshift; any generator would do, only the
// ranges and counts matter).
class SteamRandom {
public:
    void Seed(std::uint32_t s) { state_ = s ? s : 0x9E3779B9u; }
    // An integer 0 <= value < n for n > 0; 0 for n <= 0.
    int Next(int n) {
        if (n <= 0) return 0;
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<int>(
            (static_cast<std::uint64_t>(state_) * static_cast<std::uint32_t>(n)) >> 32);
    }

private:
    std::uint32_t state_ = 0x9E3779B9u;
};

class MainScene {
public:
    MainScene(Model& m, SceneHost& host) : m_(m), host_(host) {}

    // One timer tick: solve, screen points, point tables, advance and wrap the crank, frame.
    CloseupActions Tick(Canvas& frame);
    // The frame alone, drawn from the current state (the tick calls it last).
    CloseupActions RenderFrame(Canvas& frame);

private:
    Model& m_;
    SceneHost& host_;
    SteamRandom random_;
};

// ---- The pieces of a tick and a frame, each usable on its own ----

// ScreenX/ScreenY of pivots 0..20 from the view transform.
void MapPivotsToScreen(Model& m);
// The cylinder (C0..C17) and piston (Q0..Q13) point tables.
void UpdateCylinderPoints(Model& m);
void UpdatePistonPoints(Model& m);
// CrankAngle advanced by StepAngle in the current Direction, wrapped above 360.1 and below 0.
void AdvanceCrank(Model& m);

// Screen point of a model point through the view.
int ScreenXOf(const Model& m, long double x);
int ScreenYOf(const Model& m, long double y);

// Frame layers.
void DrawSteam(Model& m, Canvas& c, SceneHost& host, SteamRandom& random);
void DrawLinkage(Model& m, Canvas& c);
void DrawOverlay(const Model& m, Canvas& c);
void SetFrameCaptions(const Model& m, SceneHost& host);
void DrawUndoLine(Model& m, Canvas& c, SceneHost& host);
void DrawScreenData(Model& m, Canvas& c, SceneHost& host);

// An overlay colour value (0x00BBGGRR as a float) as an RGB pen colour; a value that does not
// round into 0..0xFFFFFF draws black.
Rgb OverlayColour(float value);

// Loudness of an exhaust beat from the other end's density, or -1 to leave it unchanged.
int BeatVolume(int level);

}  // namespace tarn
