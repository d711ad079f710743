// The four-phase pressure model of one cylinder end.
#include "core/plots/steammodel.h"

#include <cmath>

namespace tarn {

namespace {

struct Ops {
    Model& m;
    bool front;
    long double p, q;

    f32& SteamOpen() { return front ? m.solved.FrontSteamOpen : m.solved.RearSteamOpen; }
    f32 ExhaustOpen() const { return front ? m.solved.FrontExhaustOpen : m.solved.RearExhaustOpen; }

    void Decay(SteamEnd& e) const {
        long double v = e.pressure - e.release / 15.0L;
        if (v < 5) v = 5;
        e.pressure = static_cast<f32>(v);
    }
    void Compress(SteamEnd& e) const {
        const long double r = front ? q / (p + 1) : (640 - q) / (641 - p);
        e.pressure = static_cast<f32>(e.pressure + std::pow(r + 0.3L, 4));
    }
    void Admit(SteamEnd& e) {
        f32& o = SteamOpen();
        if (o < 0.005f) o = 0.005f;  // a barely open port still feeds the cylinder
        long double v = e.pressure + o * 100000.0L / (front ? p + 45 : 685 - p);
        if (v > 303) v = 303;
        e.pressure = static_cast<f32>(v);
    }
    void Expand(SteamEnd& e) const {
        const long double v = front ? (q + 100) * e.pressure / (p + 100) * 0.96L
                                    : (740 - q) * e.pressure / (740 - p) * 0.96L;
        e.pressure = static_cast<f32>(v);
    }
};

}  // namespace

f32 ClampToStroke(f32 p) {
    if (!(p >= 0)) return 0;
    return p > 640 ? 640.0f : p;
}

void StepSteamEnd(Model& m, SteamEnd& e, f32 p, f32 q) {
    Ops ops{m, e.front, p, q};
    switch (e.phase) {
        case SteamPhase::Exhaust:
            if (ops.ExhaustOpen() > 0) {
                ops.Decay(e);
            } else {
                ops.Compress(e);
                e.phase = SteamPhase::Compression;
            }
            break;
        case SteamPhase::Compression:
            if (ops.SteamOpen() > 0) {
                ops.Admit(e);
                e.phase = SteamPhase::Admission;
            } else {
                ops.Compress(e);
            }
            // The piston has turned back: the end admits from here on.
            if (e.front ? q < p : q > p) e.phase = SteamPhase::Admission;
            break;
        case SteamPhase::Admission:
            if (ops.SteamOpen() > 0) {
                ops.Admit(e);
            } else {
                ops.Expand(e);
                e.phase = SteamPhase::Expansion;
            }
            if (e.label == '2') e.label = '1';
            break;
        case SteamPhase::Expansion:
            if (ops.ExhaustOpen() > 0) {
                e.release = e.pressure;
                ops.Decay(e);
                e.phase = SteamPhase::Exhaust;
            } else {
                ops.Expand(e);
            }
            if (ops.SteamOpen() > 0) e.phase = SteamPhase::Admission;
            break;
    }
}

}  // namespace tarn
