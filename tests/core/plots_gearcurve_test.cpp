// The gear curve: it spans the reverser's range through every gear, agrees with the events table,
// and its points sit where the axes put them.
#include <algorithm>
#include <charconv>
#include <cmath>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/model/recordingcanvas.h"
#include "core/plots/gearcurve.h"
#include "started_model.h"

using namespace tarn;

TEST(GearCurve, SpansTheRangeThroughEveryGearAndAgreesWithTheTable) {
    const Model m = test::StartedModel();
    const GearCurve g = ComputeGearCurve(m);
    ASSERT_GE(g.points.size(), 41u);
    EXPECT_EQ(g.points.front().revArmPos, GearRevArmPos(m, Gear::FullForward));
    EXPECT_EQ(g.points.back().revArmPos, GearRevArmPos(m, Gear::FullReverse));
    EXPECT_TRUE(std::is_sorted(g.points.begin(), g.points.end(),
                               [](const auto& a, const auto& b) { return a.offset < b.offset; }));
    for (Gear gear : kStandardGears) {
        const float pos = GearRevArmPos(m, gear);
        const auto it = std::find_if(g.points.begin(), g.points.end(),
                                     [&](const auto& p) { return p.revArmPos == pos; });
        ASSERT_NE(it, g.points.end()) << GearName(gear);
        const ValveEventsResult r = AnalyseValveEvents(m, pos);
        EXPECT_EQ(it->frontCutoff, r.front.cutoff ? r.front.cutoff->percent : -1);
    }
    // Each gear's name stands over its own line: forward on the left, reverse on the right.
    RecordingCanvas c;
    DrawGearCurve(c, 1000, 300, g, nullptr, {});
    int last = -1;
    for (const char* name : {"full fwd", "normal fwd", "mid", "normal rev", "full rev"}) {
        const CanvasOp* t = c.FindText(name);
        ASSERT_NE(t, nullptr) << name;
        c.SetFont(t->font);
        const int centre = t->c[0] + c.TextWidth(name) / 2;
        EXPECT_GT(centre, last) << name;
        last = centre;
    }
}

TEST(GearCurve, CutOffIsPlottedWhereTheAxesPutItAndTheReferenceIsDashed) {
    const Model m = test::StartedModel();
    const GearCurve g = ComputeGearCurve(m);
    // 500 x 300: the plot runs x 29..487 over offsets -1.8..+1.8 and y 261 (0 %)..57 (100 %),
    // below the legend and two rows of gear names. Normal forward is 1.6 before mid gear:
    // x = 29 + 0.2 / 3.6 * 458 = 54.4; its front cut-off of 82.36 % (the crosshead's
    // travel) stands at y = 261 - 0.8236 * 204 = 93.0.
    RecordingCanvas c;
    DrawGearCurve(c, 500, 300, g, nullptr, {});
    auto frontCutoffLines = [](const RecordingCanvas& rc) {
        std::vector<CanvasOp> out;
        for (const CanvasOp& op : rc.OfKind(CanvasOp::Kind::Line))
            if (op.colour == kGearCurveColours[0] && op.penWidth == 2) out.push_back(op);
        return out;
    };
    const auto solid = frontCutoffLines(c);
    EXPECT_TRUE(std::any_of(solid.begin(), solid.end(),
                            [](const CanvasOp& op) { return op.c[2] == 54 && op.c[3] == 93; }));
    // With a reference, its curve comes in dashes of 6 pixels (each end rounded to a pixel).
    RecordingCanvas withReference;
    DrawGearCurve(withReference, 500, 300, g, &g, {});
    const auto all = frontCutoffLines(withReference);
    ASSERT_GT(all.size(), 2 * solid.size());
    for (std::size_t i = 0; i + solid.size() + 1 < all.size(); ++i)  // the dashes come first
        EXPECT_LE(std::hypot(all[i].c[2] - all[i].c[0], all[i].c[3] - all[i].c[1]),
                  6.0 + std::sqrt(2.0));
}

namespace {

// A curve made by hand over offsets -2..+2, full and normal gear close together at both ends:
// cut-off from 0 % at mid gear, lead from -0.1 at mid gear to +0.3 at full gear.
GearCurve HandMadeCurve() {
    GearCurve g;
    g.range = 2;
    g.gearOffsets = {-2.0, -1.8, 0.0, 1.8, 2.0};
    for (int k = -20; k <= 20; ++k) {
        GearCurvePoint p;
        p.offset = k / 10.0;
        const double a = std::fabs(p.offset) / 2;
        p.frontCutoff = 80 * a;
        p.rearCutoff = 75 * a;
        p.frontRelease = 50 + 45 * a;
        p.rearRelease = 48 + 45 * a;
        p.frontLead = -0.1 + 0.4 * a;
        p.rearLead = -0.1 + 0.35 * a;
        g.points.push_back(p);
    }
    return g;
}

// The plot as drawn: the longest black level line is the 0 % axis (left to right at the
// bottom), the black upright line from its left end highest up is the left axis.
struct PlotFrame {
    int left = 0, right = 0, top = 0, bottom = 0;
};
PlotFrame FrameOf(const RecordingCanvas& c) {
    PlotFrame f;
    int longest = 0;
    for (const CanvasOp& op : c.OfKind(CanvasOp::Kind::Line))
        if (op.colour == kBlack && op.c[1] == op.c[3] && op.c[2] - op.c[0] > longest) {
            longest = op.c[2] - op.c[0];
            f = {op.c[0], op.c[2], 0, op.c[1]};
        }
    f.top = f.bottom;
    for (const CanvasOp& op : c.OfKind(CanvasOp::Kind::Line))
        if (op.colour == kBlack && op.c[0] == f.left && op.c[2] == f.left)
            f.top = std::min({f.top, op.c[1], op.c[3]});
    return f;
}

struct Label {
    std::string text;
    double middle;  // x of the text's middle
};
// The numbers below the plot, left to right.
std::vector<Label> NumbersBelow(RecordingCanvas& c, const PlotFrame& f) {
    std::vector<Label> out;
    for (const CanvasOp& op : c.OfKind(CanvasOp::Kind::Text)) {
        if (op.c[1] <= f.bottom || op.text.find_first_not_of("-.0123456789") != std::string::npos)
            continue;
        c.SetFont(op.font);
        out.push_back({op.text, op.c[0] + c.TextWidth(op.text) / 2.0});
    }
    std::sort(out.begin(), out.end(),
              [](const Label& a, const Label& b) { return a.middle < b.middle; });
    return out;
}

}  // namespace

TEST(GearCurve, NumbersTheReverseArmsOffsetAsWorkedByHandAndDrawsLeadZeroWhereItMaps) {
    const GearCurve g = HandMadeCurve();
    // Offsets -2..+2 over 500 pixels: a tenth of the range is 0.4, the next round step 0.5, and
    // the numbers stand under their offsets. At 240 pixels 0.5 is some 25 pixels, too close for
    // "-1.5" and a gap: whole numbers.
    for (const auto& [width, expected] :
         {std::pair{500, std::vector<std::string>{"-2.0", "-1.5", "-1.0", "-0.5", "0.0", "0.5",
                                                  "1.0", "1.5", "2.0"}},
          std::pair{240, std::vector<std::string>{"-2", "-1", "0", "1", "2"}}}) {
        RecordingCanvas c;
        DrawGearCurve(c, width, 300, g, nullptr, {});
        const PlotFrame f = FrameOf(c);
        ASSERT_GT(f.right - f.left, 100) << width;
        const std::vector<Label> numbers = NumbersBelow(c, f);
        ASSERT_EQ(numbers.size(), expected.size()) << width;
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            EXPECT_EQ(numbers[i].text, expected[i]) << width;
            double v = 0;  // read with "." under any locale
            std::from_chars(expected[i].data(), expected[i].data() + expected[i].size(), v);
            EXPECT_NEAR(numbers[i].middle, f.left + (v + 2) / 4 * (f.right - f.left), 1.0)
                << width << " " << expected[i];
        }
    }

    // Lead runs from -0.1 to +0.3: the axis goes from -0.1 to 0.3 in tenths, lead 0 a quarter of
    // the way up, with its number beside it; none without lead shown.
    RecordingCanvas c;
    DrawGearCurve(c, 500, 300, g, nullptr, {false, true});
    const PlotFrame f = FrameOf(c);
    const double zero = f.bottom - (f.bottom - f.top) / 4.0;
    std::vector<CanvasOp> zeroLines;
    for (const CanvasOp& op : c.OfKind(CanvasOp::Kind::Line))
        if (op.colour == kZeroLeadColour) zeroLines.push_back(op);
    ASSERT_EQ(zeroLines.size(), 1u);
    EXPECT_NEAR(zeroLines[0].c[1], zero, 0.5);
    EXPECT_EQ(zeroLines[0].c[3], zeroLines[0].c[1]);
    EXPECT_EQ(zeroLines[0].c[0], f.left);
    EXPECT_EQ(zeroLines[0].c[2], f.right);
    std::vector<std::string> leadNumbers;
    for (const CanvasOp& op : c.OfKind(CanvasOp::Kind::Text))
        if (op.c[0] > f.right) leadNumbers.push_back(op.text);
    EXPECT_EQ(leadNumbers, (std::vector<std::string>{"-0.1", "0.0", "0.1", "0.2", "0.3"}));
    const CanvasOp* zeroNumber = c.FindText("0.0");
    ASSERT_NE(zeroNumber, nullptr);
    EXPECT_NEAR(zeroNumber->c[1] + c.TextHeight() / 2.0, zero, 1.0);

    RecordingCanvas noLead;
    DrawGearCurve(noLead, 500, 300, g, nullptr, {});
    for (const CanvasOp& op : noLead.OfKind(CanvasOp::Kind::Line))
        EXPECT_NE(op.colour, kZeroLeadColour);
}

TEST(GearCurve, NoTwoTextsOverlapAtAnyWidthAndTheLegendNamesEveryLine) {
    const GearCurve g = HandMadeCurve();
    for (const int width : {1000, 500, 320, 240})
        for (const int height : {300, 180}) {
            RecordingCanvas c;
            DrawGearCurve(c, width, height, g, &g, {true, true});
            struct TextBox {
                std::string text;
                int left, top, right, bottom;
            };
            std::vector<TextBox> boxes;
            for (const CanvasOp& op : c.OfKind(CanvasOp::Kind::Text)) {
                c.SetFont(op.font);
                boxes.push_back({op.text, op.c[0], op.c[1], op.c[0] + c.TextWidth(op.text),
                                 op.c[1] + c.TextHeight()});
            }
            const std::string at = std::to_string(width) + " x " + std::to_string(height);
            for (std::size_t i = 0; i < boxes.size(); ++i) {
                const TextBox& a = boxes[i];
                EXPECT_TRUE(a.left >= 0 && a.right <= width && a.top >= 0 && a.bottom <= height)
                    << at << ": \"" << a.text << "\" leaves the picture";
                for (std::size_t j = i + 1; j < boxes.size(); ++j) {
                    const TextBox& b = boxes[j];
                    EXPECT_FALSE(a.left < b.right && b.left < a.right && a.top < b.bottom &&
                                 b.top < a.bottom)
                        << at << ": \"" << a.text << "\" overprints \"" << b.text << "\"";
                }
            }
            for (const char* name : {"front cut-off", "rear cut-off", "front release",
                                     "rear release", "front lead", "rear lead", "reference", "mid"})
                EXPECT_NE(c.FindText(name), nullptr) << at << ": " << name;
            // Gears close together take a second row of names rather than lose one.
            if (width >= 500) {
                for (const char* name : {"full fwd", "normal fwd", "normal rev", "full rev"})
                    EXPECT_NE(c.FindText(name), nullptr) << at << ": " << name;
            }
        }
}
