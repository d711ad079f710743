// Designs with one absurd but finite dimension (1e30, -1e30, the largest float of either sign)
// drawn whole: the main picture with steam, reference points and pivot-data rows, the close-up
// of that dimension, and the four diagrams. Every co-ordinate handed to the canvas must stay in
// a range where the drawing's own integer offsets cannot overflow, and every number printed must
// be finite. (Under the sanitizer build any overflow on the way aborts the test.)
#include <cfloat>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/model/dimensions.h"
#include "core/model/recordingcanvas.h"
#include "core/plots/plots.h"
#include "core/scene/mainscene.h"
#include "scene_fakehost.h"
#include "started_model.h"

namespace tarn {
namespace {

using Kind = CanvasOp::Kind;

// Far outside any window, and still eight times inside the 32-bit range.
constexpr long long kFarOut = 1LL << 28;

// The first op with a co-ordinate beyond kFarOut or a text naming an infinity or NaN, as a
// message; "" when there is none.
std::string FirstBadOp(const RecordingCanvas& c) {
    for (const auto& op : c.Ops()) {
        const int used = op.kind == Kind::Arc                                ? 8
                         : op.kind == Kind::Line || op.kind == Kind::Ellipse ? 4
                         : op.kind == Kind::Clear                            ? 0
                                                                             : 2;
        for (int i = 0; i < used; ++i)
            if (std::llabs(op.c[i]) > kFarOut)
                return "co-ordinate " + std::to_string(op.c[i]) + " of op kind " +
                       std::to_string(static_cast<int>(op.kind));
        if (op.kind == Kind::Text &&
            (op.text.find("Inf") != std::string::npos || op.text.find("NaN") != std::string::npos))
            return "text \"" + op.text + "\"";
    }
    return "";
}

TEST(ExtremeDimensions, EveryPictureStaysInsideTheCanvasRangeAndPrintsFiniteNumbers) {
    const float values[] = {1e30f, -1e30f, FLT_MAX};
    RecordingCanvas canvas;
    for (const DimensionInfo& d : Dimensions()) {
        for (const float v : values) {
            SCOPED_TRACE(std::string(d.name) + " = " + std::to_string(v));
            Model m = test::StartedWithRefPoints();
            SetDimension(m, d.id, v);
            CentreRevArm(m);
            m.display.ShowSteam = true;
            m.display.PivotDataOn = true;
            const int pivots[7] = {0, 2, 3, 5, 7, 18, 19};
            for (int k = 1; k <= 6; ++k) {
                m.refs.SlotUsed[k] = 1;
                m.refs.DataPivots[k] = static_cast<f32>(pivots[k]);
            }
            // Reference point 2 typed in at the far corner of the float range.
            m.pivots.PivotX[20] = -FLT_MAX;
            m.pivots.PivotY[20] = FLT_MAX;
            testing::FakeHost host;
            MainScene scene(m, host);
            canvas.Reset();
            scene.Tick(canvas);
            scene.Tick(canvas);
            ASSERT_EQ(FirstBadOp(canvas), "") << "main picture";

            // The close-up of the dimension itself (17 and 18 have one too).
            m.closeup.GraphicPosId = d.id;
            canvas.Reset();
            scene.Tick(canvas);
            ASSERT_EQ(FirstBadOp(canvas), "") << "close-up";
            m.closeup.GraphicPosId = 0;

            // One curve per diagram. The port diagram, by far the slowest (19 turns of the
            // crank), is drawn for the largest float in every dimension, forward and reverse
            // graph by turns, and for all three values of the gear limits its rows are built on.
            m.diagrams.RevArmCount = 1;
            std::vector<DiagramKind> kinds{DiagramKind::Sine, DiagramKind::Oval,
                                           DiagramKind::Steam};
            if (v == FLT_MAX || d.id == 17 || d.id == 18) kinds.push_back(DiagramKind::Port);
            m.diagrams.PortGraphMode = d.id % 2 ? PortGraphMode::Reverse : PortGraphMode::Forward;
            for (DiagramKind kind : kinds) {
                canvas.Reset();
                RedrawDiagram(kind, m, canvas);
                ASSERT_EQ(FirstBadOp(canvas), "") << "diagram " << static_cast<int>(kind);
            }
        }
    }
}

}  // namespace
}  // namespace tarn
