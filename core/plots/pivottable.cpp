// The pivot data table's text: a title line, the reverse-arm and step line, two header lines
// and one line of six co-ordinate pairs for every crank step from 0 to 360 degrees.
#include "core/plots/pivottable.h"

#include "core/model/numfmt.h"
#include "core/model/solver.h"

namespace tarn {

namespace {

void Append(std::string& s, std::string_view piece, std::size_t limit) {
    s += piece;
    if (s.size() > limit) s.resize(limit);
}

// The pivot a column lists; a value that names no pivot lists pivot 0.
int ColumnPivot(const Model& m, int column) {
    const int p = Round(m.refs.DataPivots[column]);
    return p >= 0 && p < kPivotCount ? p : 0;
}

}  // namespace

std::vector<std::string> BuildPivotDataTable(Model& m, std::string_view date,
                                             std::string_view time) {
    std::vector<std::string> lines;
    std::string title = "Pivot Data   ";
    title += m.design.DesignName;
    title += "     ";
    title += date;
    title += "   ";
    title += time;
    lines.push_back(std::move(title));

    std::string setting = "       Reverse Arm ";
    Append(setting, Str(m.motion.RevArmPos, 7, 3), 29);
    Append(setting, "      Step Angle ", 46);
    Append(setting, Str(m.motion.StepSetting, 7, 3), 56);
    lines.push_back(std::move(setting));

    lines.emplace_back(
        "  Driver         No.1                   No.2                   No.3                  "
        "No.4                   No.5                  No.6");
    lines.emplace_back(
        "  Angle     Vert   Horz         Vert   Horz          Vert   Horz         Vert   Horz   "
        "       Vert   Horz         Vert   Horz");

    const f32 savedCrank = m.motion.CrankAngle;
    const f32 savedStep = m.motion.StepAngle;
    m.motion.CrankAngle = 0;
    m.motion.StepAngle = 0;
    const f32 step = m.motion.StepSetting >= kMinTableStep ? m.motion.StepSetting : kMinTableStep;
    while (m.motion.CrankAngle <= 360) {
        std::string line = Str(m.motion.CrankAngle, 7, 2);
        SolveLinkage(m);
        for (int first = 1; first <= 5; first += 2) {
            const int a = ColumnPivot(m, first);
            const int b = ColumnPivot(m, first + 1);
            line += "   ";
            line += Str(m.pivots.PivotY[a], first == 1 ? 7 : 9, 3);
            line += "  ";
            line += Str(m.pivots.PivotX[a], 7, 3);
            line += "   ";
            line += Str(m.pivots.PivotY[b], 9, 3);
            line += "  ";
            line += Str(m.pivots.PivotX[b], 7, 3);
        }
        lines.push_back(std::move(line));
        m.motion.CrankAngle =
            static_cast<f32>(static_cast<long double>(m.motion.CrankAngle) + step);
    }
    m.motion.CrankAngle = savedCrank;
    m.motion.StepAngle = savedStep;
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) out += '\n';
        out += lines[i];
    }
    return out;
}

}  // namespace tarn
