// The pivot data table's text: the lines over a revolution, the formats and limits, the header,
// unpicked columns, steps that do not divide 360 and steps that would never end.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/model/model.h"
#include "core/model/numfmt.h"
#include "core/model/solver.h"
#include "core/plots/pivottable.h"
#include "started_model.h"

using namespace tarn;

namespace {

constexpr int kHeaderLines = 4;

}  // namespace

TEST(PivotDataTable, DefaultStepGives37LinesFrom0To360) {
    Model m = test::StartedModel();
    const auto lines = BuildPivotDataTable(m, "01.02.2024", "13:45");
    ASSERT_EQ(lines.size(), kHeaderLines + 37u);
    EXPECT_EQ(lines[kHeaderLines].substr(0, 7), "   0.00");
    EXPECT_EQ(lines[kHeaderLines + 1].substr(0, 7), "  10.00");
    EXPECT_EQ(lines.back().substr(0, 7), " 360.00");
}

TEST(PivotDataTable, HeaderLinesVerbatim) {
    Model m = test::StartedModel();
    m.design.DesignName = "Test1";
    const auto lines = BuildPivotDataTable(m, "01.02.2024", "13:45");
    EXPECT_EQ(lines[0], "Pivot Data   Test1     01.02.2024   13:45");
    EXPECT_EQ(lines[1], "       Reverse Arm " + Str(m.motion.RevArmPos, 7, 3) +
                            "      Step Angle " + " 10.000");
    EXPECT_EQ(lines[2],
              "  Driver         No.1                   No.2                   No.3              "
              "    No.4                   No.5                  No.6");
    EXPECT_EQ(lines[3],
              "  Angle     Vert   Horz         Vert   Horz          Vert   Horz         Vert   "
              "Horz          Vert   Horz         Vert   Horz");
}

TEST(PivotDataTable, SettingLineKeepsItsRunningLimits) {
    Model m = test::StartedModel();
    m.motion.RevArmPos = 3.0e38f;  // prints far wider than seven characters
    m.motion.StepSetting = 45;
    const auto lines = BuildPivotDataTable(m, "d", "t");
    EXPECT_EQ(lines[1].size(), 29u + 17u + 7u);
    EXPECT_EQ(lines[1].substr(0, 29),
              ("       Reverse Arm " + Str(m.motion.RevArmPos, 7, 3)).substr(0, 29));
    EXPECT_EQ(lines[1].substr(29, 17), "      Step Angle ");
    EXPECT_EQ(lines[1].substr(46), " 45.000");
}

TEST(PivotDataTable, StepThatDoesNotDivide360EndsAtTheLastAngleNotAbove) {
    Model m = test::StartedModel();
    m.motion.StepSetting = 7;
    const auto lines = BuildPivotDataTable(m, "d", "t");
    ASSERT_EQ(lines.size(), kHeaderLines + 52u);  // 0, 7, .., 357
    EXPECT_EQ(lines.back().substr(0, 7), " 357.00");
}

TEST(PivotDataTable, ColumnsListTheirPivotsAndUnpickedOnesPivotZero) {
    Model m = test::StartedModel();
    m.refs.DataPivots[1] = 2;     // crank pin
    m.refs.DataPivots[2] = 3;     // crosshead
    m.refs.DataPivots[5] = 7.6f;  // rounds to pivot 8, the die
    m.refs.DataPivots[6] = 1e9f;  // names no pivot: lists pivot 0
    const auto lines = BuildPivotDataTable(m, "d", "t");
    const std::string& row90 = lines[kHeaderLines + 9];
    Model probe = test::StartedModel();
    probe.motion.CrankAngle = 90;
    SolveLinkage(probe);
    std::string expected = Str(90.0L, 7, 2);
    expected += "   " + Str(probe.pivots.PivotY[2], 7, 3) + "  " +
                Str(probe.pivots.PivotX[2], 7, 3) + "   " + Str(probe.pivots.PivotY[3], 9, 3) +
                "  " + Str(probe.pivots.PivotX[3], 7, 3);
    expected += "   " + Str(0.0L, 9, 3) + "  " + Str(0.0L, 7, 3) + "   " + Str(0.0L, 9, 3) + "  " +
                Str(0.0L, 7, 3);
    expected += "   " + Str(probe.pivots.PivotY[8], 9, 3) + "  " +
                Str(probe.pivots.PivotX[8], 7, 3) + "   " + Str(0.0L, 9, 3) + "  " +
                Str(0.0L, 7, 3);
    EXPECT_EQ(row90, expected);
    EXPECT_NE(row90.find(" -1.500    0.000"), std::string::npos);  // crank pin at 90 degrees
}

TEST(PivotDataTable, CrankAndStepAreWrittenBack) {
    Model m = test::StartedModel();
    m.motion.CrankAngle = 123.25f;
    m.motion.StepAngle = 5;
    BuildPivotDataTable(m, "d", "t");
    EXPECT_EQ(m.motion.CrankAngle, 123.25f);
    EXPECT_EQ(m.motion.StepAngle, 5.0f);
}

TEST(PivotDataTable, StepsThatWouldNeverEndUseTheSmallestStep) {
    for (float step : {-10.0f, 1e-20f, std::nanf("")}) {
        Model m = test::StartedModel();
        m.motion.StepSetting = step;
        const auto lines = BuildPivotDataTable(m, "d", "t");
        // 0.00 up to 360 in steps of 0.01; the float sum drifts a few steps short of 360.
        EXPECT_GE(lines.size(), kHeaderLines + 35900u) << step;
        EXPECT_LE(lines.size(), kHeaderLines + 36001u) << step;
        EXPECT_EQ(lines[kHeaderLines + 1].substr(0, 7), "   0.01");
    }
}

TEST(PivotDataTable, JoinLinesSeparatesWithNewlines) {
    EXPECT_EQ(JoinLines({"a", "b", "c"}), "a\nb\nc");
    EXPECT_EQ(JoinLines({}), "");
}
