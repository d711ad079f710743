// Small drawing helpers shared by the diagram routines: lines, scaled text positions, the
// window font, the saving of the motion state around a sweep.
#pragma once

#include <string_view>

#include "core/model/canvas.h"
#include "core/model/model.h"
#include "core/model/numfmt.h"

namespace tarn::plotkit {

inline void Line(Canvas& c, int x1, int y1, int x2, int y2) {
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
}

// Text positions that follow the large-font setting.
inline int ScaleX(const Model& m, long double x) { return Round(x * m.display.FontScaleX); }
inline int ScaleY(const Model& m, long double y) { return Round(y * m.display.FontScaleY); }

// The window font: 8 pt sans, black on an opaque white ground; black pen of width 1.
inline void StartDrawing(Canvas& c) {
    c.SetFont(FontSpec{FontFamily::Sans, 8, false, false});
    c.SetFontColor(kBlack);
    c.SetTextBackground(true, kWhite);
    c.SetPenColor(kBlack);
    c.SetPenWidth(1);
}

inline void BoldText(Canvas& c, int x, int y, std::string_view text) {
    c.SetFontBold(true);
    c.TextOut(x, y, text);
    c.SetFontBold(false);
}

// Copies CrankAngle and RevArmPos on entry and writes them back when the drawing ends.
class MotionSave {
public:
    explicit MotionSave(Model& m)
        : m_(m), savedCrankAngle_(m.motion.CrankAngle), savedRevArmPos_(m.motion.RevArmPos) {}
    ~MotionSave() {
        m_.motion.RevArmPos = savedRevArmPos_;
        m_.motion.CrankAngle = savedCrankAngle_;
    }
    MotionSave(const MotionSave&) = delete;
    MotionSave& operator=(const MotionSave&) = delete;

private:
    Model& m_;
    f32 savedCrankAngle_;
    f32 savedRevArmPos_;
};

// Number of reverse-arm positions to plot, kept inside the table of nine.
inline int PlotCountOf(const Model& m) {
    return m.diagrams.RevArmCount < 0 ? 0
                                      : (m.diagrams.RevArmCount > 9 ? 9 : m.diagrams.RevArmCount);
}

// "Cen" for the centre itself, "Fwd" below it, "Rev" above (or equal within 0.05 but not exact).
inline std::string_view DirectionWord(const Model& m, f32 pos) {
    if (pos == m.motion.RevArmPositions[0]) return "Cen";
    return pos < m.motion.RevArmPositions[0] ? "Fwd" : "Rev";
}

}  // namespace tarn::plotkit
