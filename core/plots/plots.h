// The four diagrams (valve travel against crank angle and against piston travel, the indicator
// diagram, the port events against reverse-arm setting), drawn on a Canvas from the Model, and
// the parts every diagram paints last: the dynamic-variable block and the undo line.
#pragma once

#include <array>
#include <string>

#include "core/model/canvas.h"
#include "core/model/model.h"

namespace tarn {

enum class DiagramKind { Sine, Oval, Steam, Port };

// What a drawing tells its window about the controls the window owns: the four
// dynamic-variable bars and the UnDo button. The bars' enabled states apply only when
// barsEnabledSet is true (with dynamic variables off the drawing leaves them as they were).
struct DiagramControls {
    bool barsVisible = false;
    bool barsEnabledSet = false;
    std::array<bool, 4> barEnabled{};
    bool undoVisible = false;
};

// Client size of each diagram window at the normal font (the frame widens it by FontScaleX).
struct ClientSize {
    int width;
    int height;
};
ClientSize DiagramClientSize(DiagramKind kind);

// Each drawing saves CrankAngle and RevArmPos, sweeps the solver over the crank and the
// reverse-arm positions, paints the dynamic-variable block and the undo line, and writes the two
// values back. The pivots keep the positions of the last sweep step.
DiagramControls DrawSineDiagram(Model& m, Canvas& c);
DiagramControls DrawOvalDiagram(Model& m, Canvas& c);
DiagramControls DrawSteamDiagram(Model& m, Canvas& c);
// Draws the reverse graph when PortGraphMode is Reverse, else the forward graph.
DiagramControls DrawPortDiagram(Model& m, Canvas& c);
// Forward graph after erasing, then the reverse graph over it without the cycle annotation;
// leaves PortGraphMode at Both.
DiagramControls PortBothGraphs(Model& m, Canvas& c);

// The crank angle of sweep step j: the sine diagram's steps 7..73 run from 328 through 360
// (step 11, kept as 360) to 136 of the next turn; the oval's steps 7..52 run down from 32
// through 0 (step 11) and 352 back to 32.
f32 SineSweepAngle(int j);
f32 OvalSweepAngle(int j);

// Draw without erasing.
DiagramControls DrawDiagram(DiagramKind kind, Model& m, Canvas& c);
// Erase to white and draw; the port diagram in mode Both draws both graphs.
DiagramControls RedrawDiagram(DiagramKind kind, Model& m, Canvas& c);

// What a drawing of the diagram plots, for a printed page's title: the reverse-arm positions
// ("Rev Arm positions 4.447 Fwd, 6.247 Cen"), or the port diagram's graph.
std::string DiagramSubject(DiagramKind kind, const Model& m);

// The tail of every drawing (also used by the drawings above).
void PaintDynVarBlock(Model& m, Canvas& c, DiagramControls& ui);
void PaintDiagramUndoLine(Model& m, Canvas& c, DiagramControls& ui);
// The undo line as the diagrams paint it: the newest undo entry, padded with blanks.
std::string DiagramUndoLine(const Model& m);

}  // namespace tarn
