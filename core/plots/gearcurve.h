// The gear curve: front and rear cut-off (and on request release and lead) against the reverse
// arm's setting from full forward to full reverse, the classic view of a gear over its range.
// A reference design's curves are drawn dashed over it.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "core/analysis/valveevents.h"
#include "core/model/canvas.h"
#include "core/model/model.h"

namespace tarn {

struct GearCurvePoint {
    float revArmPos = 0;
    double offset = 0;  // from mid gear: negative toward full forward
    bool error = false;
    std::optional<double> frontCutoff, rearCutoff;    // % of the stroke
    std::optional<double> frontRelease, rearRelease;  // % of the stroke
    std::optional<double> frontLead, rearLead;        // the design's length unit
};

struct GearCurve {
    std::vector<GearCurvePoint> points;  // full forward first
    double range = 0;                    // offset of full reverse (full forward is -range)
    std::array<double, kGears.size()> gearOffsets{};  // the gears' offsets, in kGears order
};

inline constexpr int kGearCurveSteps = 41;

// The events at `steps` positions evenly spaced from full forward to full reverse, with the two
// normal positions added, analysed on both cores.
GearCurve ComputeGearCurve(const Model& design, int steps = kGearCurveSteps);

struct GearCurveStyle {
    bool release = false;
    bool lead = false;
};

// The curves on a white width x height picture as a chart: cut-off and release against the left
// axis (percent of the stroke), lead against the right one with a grey line at lead 0, the
// reverse arm's offset from mid gear numbered along the bottom; the gears' lines with their
// names (a name with no room beside its line is left out), a legend; the reference's curves, if
// any, dashed in the same colours. No two texts overlap, measured by the canvas.
void DrawGearCurve(Canvas& c, int width, int height, const GearCurve& design,
                   const GearCurve* reference, const GearCurveStyle& style);

// The curves' colours: front cut-off, rear cut-off, front release, rear release, front lead,
// rear lead.
inline constexpr std::array<Rgb, 6> kGearCurveColours{0x0000C0, 0xC00000, 0x0090A0,
                                                      0xC06000, 0x008000, 0xA000A0};
// The line at lead 0.
inline constexpr Rgb kZeroLeadColour = 0x707070;

}  // namespace tarn
