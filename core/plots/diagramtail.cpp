// What every diagram paints last: the names and values of the four dynamic variables (or the
// red notice while none is chosen) and the newest undo entry; plus the dispatch of the four
// drawings and their client sizes.
#include <string>

#include "core/model/numfmt.h"
#include "core/plots/plotkit.h"
#include "core/plots/plots.h"
#include "core/variation/undo.h"

namespace tarn {

using namespace plotkit;

namespace {

void Append(std::string& s, std::string_view piece, std::size_t limit) {
    s += piece;
    if (s.size() > limit) s.resize(limit);
}

}  // namespace

std::string DiagramUndoLine(const Model& m) {
    // Padded with blanks so that a shorter line paints over a longer one in place.
    std::string s = BuildUndoLine(m);
    Append(s, "", 72);
    Append(s, std::string(46, ' '), 118);
    return s;
}

void PaintDynVarBlock(Model& m, Canvas& c, DiagramControls& ui) {
    if (!m.display.DynVarOn) {
        ui.barsVisible = false;
        return;
    }
    ui.barsVisible = true;
    const int x = ScaleX(m, 235);
    if (SlotIsEmpty(m.dyn, 1)) {
        c.SetFontColor(kRed);
        c.TextOut(x, 2, "*******************************");
        c.TextOut(x, ScaleY(m, 12), "* First Select Dimensions *");
        c.TextOut(x, ScaleY(m, 26), "*******************************");
        c.SetFontColor(kBlack);
    } else {
        const int ys[5] = {0, 2, ScaleY(m, 14), ScaleY(m, 26), ScaleY(m, 38)};
        for (int k = 1; k <= 4; ++k) {
            c.TextOut(x, ys[k], m.dyn.DynVarName[k]);
            c.TextOut(ScaleX(m, 363), ys[k], Str(m.dyn.DynVarValue[k], 6, 3));
        }
    }
    ui.barsEnabledSet = true;
    for (int k = 1; k <= 4; ++k) ui.barEnabled[k - 1] = !SlotIsEmpty(m.dyn, k);
}

void PaintDiagramUndoLine(Model& m, Canvas& c, DiagramControls& ui) {
    if (!m.display.UndoOn) {
        ui.undoVisible = false;
        return;
    }
    // Rebuilt before it is painted, so the line always shows the newest entry.
    m.readouts.UndoLine = DiagramUndoLine(m);
    c.TextOut(ScaleX(m, 150), ScaleY(m, 55), m.readouts.UndoLine);
    ui.undoVisible = true;
}

std::string DiagramSubject(DiagramKind kind, const Model& m) {
    if (kind == DiagramKind::Port) {
        std::string_view graph;
        switch (m.diagrams.PortGraphMode) {
            case PortGraphMode::Forward: graph = "forward graph"; break;
            case PortGraphMode::Reverse: graph = "reverse graph"; break;
            case PortGraphMode::Both: graph = "forward and reverse graphs"; break;
        }
        return "Port events against Rev Arm position, " + std::string(graph);
    }
    const int count = PlotCountOf(m);
    if (count == 0) return "No Rev Arm positions";
    std::string s = count == 1 ? "Rev Arm position " : "Rev Arm positions ";
    for (int n = 1; n <= count; ++n) {
        if (n > 1) s += ", ";
        s += Str(m.motion.RevArmPositions[n], 0, 3);
        s += ' ';
        s += DirectionWord(m, m.motion.RevArmPositions[n]);
    }
    return s;
}

ClientSize DiagramClientSize(DiagramKind kind) {
    return kind == DiagramKind::Oval ? ClientSize{632, 426} : ClientSize{632, 414};
}

DiagramControls DrawDiagram(DiagramKind kind, Model& m, Canvas& c) {
    switch (kind) {
        case DiagramKind::Sine: return DrawSineDiagram(m, c);
        case DiagramKind::Oval: return DrawOvalDiagram(m, c);
        case DiagramKind::Steam: return DrawSteamDiagram(m, c);
        case DiagramKind::Port: return DrawPortDiagram(m, c);
    }
    return {};
}

DiagramControls RedrawDiagram(DiagramKind kind, Model& m, Canvas& c) {
    if (kind == DiagramKind::Port && m.diagrams.PortGraphMode == PortGraphMode::Both)
        return PortBothGraphs(m, c);
    c.Clear(kWhite);
    return DrawDiagram(kind, m, c);
}

}  // namespace tarn
