// The state of the valve-gear simulator in named parts: the design, the pivots, the motion, the
// solver's outputs, the view, the display switches, dynamic variables and undo, the overlay.
// The application owns one Model and hands it, or the part a routine needs, by reference.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarn {

using f32 = float;
using i32 = std::int32_t;
using u32 = std::uint32_t;
using ext = long double;  // intermediate arithmetic

// The 17-word cylinder record, in the order the dimension file keeps it (records 4 to 7).
// CylCLAboveDriver, the word before it in the file, is a field of the design itself.
struct CylRecord {
    f32 CylCtrToDriverCtr = 0;
    f32 CylBoreDia = 0;
    f32 CylBoreLen = 0;
    u32 CylSpare = 0;  // a word no dialog shows; travels raw with the record
    f32 CylSteamPortWidth = 0;
    f32 PistonRodLen = 0;
    f32 PistonWidth = 0;
    f32 ValveBoreDia = 0;
    f32 ValveBoreLen = 0;
    f32 ValveBoreCtrToPort = 0;
    f32 ValvePortWidthRear = 0;
    f32 ValveCtrToInsideEdge = 0;
    f32 ValveEndWidthRear = 0;
    f32 ValveCtrToJoint = 0;
    f32 ValveCLToCylCL = 0;
    f32 ValvePortWidthFront = 0;
    f32 ValveEndWidthFront = 0;

    bool operator==(const CylRecord&) const = default;
};
static_assert(sizeof(CylRecord) == 17 * 4, "the cylinder record is 17 contiguous words");

// The nine frame values that the frame defaults copy as one block.
struct FrameBlock {
    f32 MainRodCrankEnd = 0;
    f32 MainRodPistonEnd = 0;
    f32 RadiusRodLen = 0;
    f32 ValveLeverUpperLen = 0;
    f32 ValveLeverLowerLen = 0;
    f32 CouplerUpper = 0;
    f32 CouplerLower = 0;
    f32 AnchorLinkLen = 0;
    f32 ReverseArmLen = 0;

    bool operator==(const FrameBlock&) const = default;
};
static_assert(sizeof(FrameBlock) == 9 * 4, "the frame block is nine contiguous words");

struct FrameDefaultsRecord {
    f32 StrokeLen = 0;
    f32 DriverDia = 0;
    FrameBlock Block;
    f32 LinkRadius = 0;
    f32 RevArmToCentNorm = 0;
    f32 RevArmToCentMax = 0;
    f32 LinkPivotHorz = 0;
    f32 LinkPivotVert = 0;
    f32 AnchorLinkPivotHorz = 0;
    f32 AnchorLinkPivotVert = 0;
    f32 DefCylCLAboveDriver = 0;
    f32 ValveLeverUpperOffset = 0;

    bool operator==(const FrameDefaultsRecord&) const = default;
};

inline constexpr int kPivotCount = 27;  // storage; pivots 0..20 are used
inline constexpr int kOverlayRows = 20;
inline constexpr int kUndoDepth = 20;
// The caption of an empty dynamic-variable slot: 13 blanks and two question marks.
inline const std::string EmptyCaption = "             ??";

// The design: every dimension and the dimension file's own words. The solver places the fixed
// pivots from it (the link's and the anchor link's pivots, the cylinder's and the valve's
// heights); two designs are equal when every one of these values is.
struct Design {
    // Frame and linkage dimensions (ids 1..19)
    f32 DriverDia = 0;
    f32 StrokeLen = 0;
    FrameBlock Frame;  // MainRodCrankEnd .. ReverseArmLen
    f32 LinkRadius = 0;
    f32 RevArmToCentNorm = 0;
    f32 RevArmToCentMax = 0;
    f32 ValveLeverUpperOffset = 0;
    // The fixed pivot the link and the reverse arm turn about (pivots 5 and 6), and the one the
    // anchor link hangs from (pivots 12 and 13), from the driver centre.
    f32 LinkPivotHorz = 0, LinkPivotVert = 0;
    f32 AnchorLinkPivotHorz = 0, AnchorLinkPivotVert = 0;

    // Cylinder and valve dimensions (ids 101..117)
    f32 CylCLAboveDriver = 0;  // the height of the cylinder's centre line: pivot 3's
    CylRecord Cyl;

    std::array<u32, 5> FileSpare{};  // spare words of the dimension file, kept raw
    f32 PlotRevArmPos = 0;           // the diagrams' reverse-arm position, kept in the file
    std::string DesignName = "Nominal";

    bool operator==(const Design&) const = default;
};

// The height of the valve's centre line above the driver centre, where the valve stem (pivot 4)
// runs: CylCLAboveDriver + ValveCLToCylCL, as a stored float.
f32 ValveCLAboveDriver(const Design& d);

// The defaults records, written once at start-up from the dimension table.
struct DesignDefaults {
    FrameDefaultsRecord FrameDefaults;
    CylRecord CylDefaults;
    f32 DefCylCLAboveDriver = 0;

    bool operator==(const DesignDefaults&) const = default;
};

// The pivots: x toward the cylinders, y upward; 0..20 used. The solver writes them, the fixed
// ones (the heights of 3 and 4, 5, 6, 12 and 13) from the design each time it solves; the
// picture writes their screen points. The driver centre (1) stays at the origin.
struct PivotTable {
    std::array<f32, kPivotCount> PivotX{};
    std::array<f32, kPivotCount> PivotY{};
    std::array<i32, kPivotCount> ScreenX{};
    std::array<i32, kPivotCount> ScreenY{};

    bool operator==(const PivotTable&) const = default;
};

// Which way the crank turns: forward the angle grows, in reverse it shrinks.
enum class Direction { Forward, Reverse };
// The direction as the program writes it: "Fwd" or "Rev".
std::string_view DirectionText(Direction d);

// Where the crank and the reverse arm stand and how the crank steps.
struct MotionState {
    f32 CrankAngle = 0;
    f32 StepAngle = 10;
    f32 StepSetting = 10;
    tarn::Direction Direction = tarn::Direction::Forward;
    f32 RevArmPos = 0;
    std::array<f32, 10> RevArmPositions{};
    bool StepSnap = true;

    bool operator==(const MotionState&) const = default;
};

// What the solver works out for one crank angle, and its scratch.
struct SolverOutputs {
    f32 RevArmAngle = 0;      // radians
    f32 LowerLeverAngle = 0;  // radians
    bool GeometryError = false;

    // Scratch: the guards work on these in place.
    f32 SolveValue = 0;
    f32 SolveDivisor = 0;
    f32 SolveAngle = 0;

    // Laps and thresholds (SolveLinkage)
    f32 FrontSteamLap = 0, FrontPortReach = 0, FrontExhaustLap = 0;
    f32 RearSteamLap = 0, RearPortReach = 0, RearExhaustLap = 0;
    f32 ValveDisp = 0;
    f32 FrontAdmitNeg = 0, RearAdmitAt = 0, FrontAdmitAt = 0, RearAdmitNeg = 0;
    f32 FrontExhaustAt = 0, RearExhaustNeg = 0;

    // Piston and port openings (SolveValveEvents)
    f32 PistonPos = 0;
    f32 FrontSteamOpen = 0, FrontExhaustOpen = 0, RearSteamOpen = 0, RearExhaustOpen = 0;

    bool operator==(const SolverOutputs&) const = default;
};

// The main picture's view: zoom and offsets, the normal and default views and the presets.
struct ViewState {
    f32 Zoom = 27, OffsetX = 115, OffsetY = 270;
    f32 DefaultZoom = 27, DefaultOffsetX = 115, DefaultOffsetY = 270;
    f32 NormZoom = 27, NormOffsetX = 115, NormOffsetY = 270;
    f32 ZoomBase = 27, ZoomBaseX = 115, ZoomBaseY = 270;
    std::array<f32, 21> ViewPresets{};

    bool operator==(const ViewState&) const = default;
};

// The display switches and settings of the SetUp and tool menus.
struct DisplaySwitches {
    bool BeepOnError = true;
    bool ShowSteam = false;
    i32 LineWidth = 1;
    bool ScreenData = true;
    f32 FontScaleX = 1.0f, FontScaleY = 1.0f;
    bool UndoOn = false;
    bool DynVarOn = false;
    bool RefPointsOn = false;
    bool PivotDataOn = false;
    bool SmoothLines = false;  // the main picture and the diagrams drawn antialiased
    // The main window's piston read-out and cut-offs follow the crosshead's own travel instead
    // of PistonPos (see ShownPistonPos).
    bool TruePistonTravel = false;

    bool operator==(const DisplaySwitches&) const = default;
};

// The dimension close-up: which dimension, how long it has shown and its blink.
struct CloseUpState {
    i32 GraphicPosId = 0;
    i32 GraphicPosFrames = 0;
    i32 GraphicPosBlink = 0;
    bool GraphicPosFromFrame = true;
    f32 GraphicZoomFactor = 7.5f;

    bool operator==(const CloseUpState&) const = default;
};

// The screen data's read-outs: cut-off detection on the previous frame's values, the texts and
// how long they stay.
struct ReadoutState {
    f32 PrevPistonPos = 0;
    f32 PrevFrontSteamOpen = 0;
    f32 PrevRearSteamOpen = 0;
    std::string FrontCutoffText, RearCutoffText;
    i32 FrontCutoffFrames = 0, RearCutoffFrames = 0;
    i32 GeometryErrorFrames = 0;
    std::string UndoLine;

    bool operator==(const ReadoutState&) const = default;
};

// The last port of a cylinder end to open: none yet, the steam port (admission, then expansion
// once it closes) or the exhaust port (exhaust, then compression).
enum class PortOpened { None, Steam, Exhaust };

// The steam display: each end's state, density and beat, and the cylinder's drawn points.
struct SteamState {
    PortOpened FrontSteamState = PortOpened::None, RearSteamState = PortOpened::None;
    f32 FrontSteamDensity = 20.0f, RearSteamDensity = 20.0f;
    i32 FrontSteamCount = 0, RearSteamCount = 0;
    // The end's exhaust beat sounds at the next opening of its exhaust port.
    bool FrontBeatArmed = false, RearBeatArmed = false;
    f32 FrontBeatLevel = 0, RearBeatLevel = 0;
    std::array<i32, 24> CylPtX{}, CylPtY{};
    std::array<i32, 14> PistonPtX{}, PistonPtY{};

    bool operator==(const SteamState&) const = default;
};

// Reference points (RP1 = pivot 19, RP2 = pivot 20) and the pivot data's chosen pivots.
struct RefPointState {
    bool PivotPickArmed = false;
    i32 PickSlot = 1;
    std::array<f32, 7> DataPivots{};  // index 1..6
    std::array<i32, 7> SlotUsed{};    // index 1..6

    bool operator==(const RefPointState&) const = default;
};

// Dynamic variables: slot 0 is the selection just made, 1..4 belong to the bars.
struct DynamicVariables {
    std::array<i32, 5> DynVarId{};
    std::array<f32, 5> DynVarValue{};
    std::array<std::string, 5> DynVarName{EmptyCaption, EmptyCaption, EmptyCaption, EmptyCaption,
                                          EmptyCaption};
    i32 DynVarSlot = 0;
    // The bars' last positions, index 1..4. Slot k's bar appears in the main window and in each
    // diagram window, and all five share its history, so it lives with the slot.
    std::array<i32, 5> DynVarLastPos{};
    std::array<i32, 5> DynVarPrevPos{};
    f32 DynVarEnterValue = 0;
    f32 Increment = 0.001f;

    bool operator==(const DynamicVariables&) const = default;
};

// Undo: entry 1 newest, 20 oldest, 0 a working place.
// Where the reverse arm stood: its mid gear and normal gears (RevArmPositions[0..3], with the
// arm's pivot PivotX[18]) and its position. A command that moves the mid gear keeps it with its
// undo entries, so that one UnDo puts the arm back too.
struct RevArmPlace {
    bool saved = false;  // false: the entry leaves the arm where it is
    std::array<f32, 4> positions{};
    f32 pivotX = 0;
    f32 pos = 0;

    bool operator==(const RevArmPlace&) const = default;
};

struct UndoStack {
    std::array<i32, kUndoDepth + 1> UndoId{};
    std::array<f32, kUndoDepth + 1> UndoOld{};
    std::array<f32, kUndoDepth + 1> UndoNew{};
    // The dimension's caption; in a group, the group's name ("Optimise Gear").
    std::array<std::string, kUndoDepth + 1> UndoName{};
    // 0: an entry of its own. Otherwise a tag shared by neighbouring entries that one UnDo takes
    // back together (several dimensions changed by one command); neighbouring groups differ.
    std::array<i32, kUndoDepth + 1> UndoGroup{};
    // On the oldest entry of a group whose command recomputed the mid gear: the arm before it.
    std::array<RevArmPlace, kUndoDepth + 1> UndoArm{};
    i32 UndoCount = 0;
    bool EditChanged = false;

    bool operator==(const UndoStack&) const = default;
};

// Which graphs the port diagram draws: the forward one, the reverse one or both.
enum class PortGraphMode { Forward, Reverse, Both };

// The four diagrams' settings: scale, reverse-arm positions, the port diagram's mode.
struct DiagramSettings {
    f32 DiagramScale = 1.5f;
    i32 RevArmCount = 0;
    bool DiagramStale = false;
    tarn::PortGraphMode PortGraphMode = tarn::PortGraphMode::Forward;
    bool PortCycleLabels = true;

    bool operator==(const DiagramSettings&) const = default;
};

// The user's lines and circles. LineType, LineColor, LineRef: row k at index k-1. The others:
// row k at index k (index 0 of LineV1/LineH1 is scratch: reference point 1 when the dialog last
// opened).
struct OverlayLines {
    std::array<f32, kOverlayRows> LineType{};
    std::array<f32, kOverlayRows> LineColor{};
    std::array<f32, kOverlayRows> LineRef{};
    std::array<f32, kOverlayRows + 1> LineH1{}, LineV1{}, LineH2{}, LineV2{};
    std::array<f32, kOverlayRows + 1> LinePiv1X{}, LinePiv1Y{}, LinePiv2X{}, LinePiv2Y{};
    std::array<f32, kOverlayRows + 1> LinePivot1{}, LinePivot2{};
    i32 LineIndex = 1;
    bool PivotPickPending = false;
    i32 PivotPickReference = 0;  // the "Referenced to" choice (0..3) waiting for its pivots

    bool operator==(const OverlayLines&) const = default;
};

// The whole state the application owns, in named parts. A routine takes the part it needs; the
// solver reads the design and the motion and writes the pivots and its outputs.
struct Model {
    Design design;
    DesignDefaults defaults;
    PivotTable pivots;
    MotionState motion;
    SolverOutputs solved;
    ViewState view;
    DisplaySwitches display;
    CloseUpState closeup;
    ReadoutState readouts;
    SteamState steam;
    RefPointState refs;
    DynamicVariables dyn;
    UndoStack undo;
    DiagramSettings diagrams;
    OverlayLines overlay;

    // Part by part, value by value (a NaN differs even from itself).
    bool operator==(const Model&) const = default;
};

// Start-up and reset routines; each works on the model it is given.
void InitModelState(Model& m);
void InitView(ViewState& v);
void SetFrameDefaults(Model& m);
void SetCylDefaults(Model& m);
void ApplyFrameDefaults(Model& m);
void ApplyCylDefaults(Model& m);
void CentreRevArm(Model& m);
// The whole start-up sequence of the model (InitModelState .. CentreRevArm).
void StartUp(Model& m);
// The model side of "&ResetAllDimensions": both dimension resets, the centre, the "Cen" action,
// the normal view, the design name, the diagram scale, dynamic variables off and undo cleared.
// The windows show and hide their controls themselves.
void ResetAllModel(Model& m);
// The normal-view action on the model (DefaultZoom.. := current view, view := Norm view).
void NormalView(ViewState& v);

// Empties the five dynamic-variable slots (id 0, value 0, EmptyCaption).
void ClearDynVarSlots(DynamicVariables& d);
bool SlotIsEmpty(const DynamicVariables& d, int slot);
// Empties the undo stack.
void ClearUndoStack(UndoStack& u);

// The reverse-arm bar range: +-Round(RevArmToCentMax * 1000).
i32 RevArmBarMax(const Design& d);
// The reverse-arm bar's position that shows the arm where the model has it: thousandths of an
// offset from mid gear, positive toward forward (the arm end nearer the cylinders).
i32 RevArmBarPosition(const MotionState& motion);

}  // namespace tarn
