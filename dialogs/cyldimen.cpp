// The cylinder dimensions dialog: its tables and the cylinder reset. The two heights (ids 102
// and 108) move the valve centre line through the model's dimension writer.
#include "dialogs/cyldimen.h"

#include <array>

#include "variation/commit.h"

namespace tarn {

namespace {

constexpr FieldVariant D = FieldVariant::Dimension;

// Field, id, column, row, button row. Two-line labels put the button on the first line and the
// field on the second.
constexpr std::array<DimFieldRow, 17> kRows{{
    {1, 101, 1, 0, 0, D},    {2, 102, 1, 1, 1, D},    {3, 103, 1, 2, 2, D},
    {4, 104, 1, 3, 3, D},    {5, 105, 1, 4, 4, D},    {6, 106, 1, 6, 5, D},
    {7, 107, 1, 7, 7, D},    {8, 108, 1, 8, 8, D},    {9, 109, 1, 9, 9, D},
    {10, 110, 1, 10, 10, D}, {11, 111, 2, 0, 0, D},   {12, 112, 2, 1, 1, D},
    {13, 113, 2, 2, 2, D},   {14, 114, 2, 4, 3, D},   {15, 115, 2, 6, 5, D},
    {16, 116, 2, 7, 7, D},   {17, 117, 2, 9, 8, D},
}};

// Ditto marks under "ValveBore" / "Valve End" and "PortWidth" / "(Outside", then "Front".
constexpr const char* kDitto = "\"             \"             Front";

constexpr std::array<DrawnLabel, 21> kLabels{{
    {"Cylinder ctr to Driver ctr", 10, 0},
    {"Cylinder CL above Driver", 10, 1},
    {"Cylinder Bore         Diameter", 10, 2},
    {"Cylinder Bore            Length", 10, 3},
    {"Cylinder Steam Port    Width", 10, 4},
    {"Piston ctr to Crosshead ctr", 10, 5},
    {"(Piston Rod)", 81, 6},
    {"Piston                         Width", 10, 7},
    {"Valve CL to Cylinder CL", 10, 8},
    {"Valve Bore            Diameter", 10, 9},
    {"Valve Bore               Length", 10, 10},
    {"ValveBore ctr to ValvePort", 204, 0},
    {"ValveBore PortWidth Rear", 204, 1},
    {kDitto, 225, 2},
    {"Valve ctr to Inside Edge", 204, 3},
    {" of Inside Ring", 259, 4},
    {"Valve End Width (Outside", 204, 5},
    {"Edges of Rings) Rear", 228, 6},
    {kDitto, 225, 7},
    {"Valve ctr to Joint", 204, 8},
    {"  (Valve Stem)", 264, 9},
}};

const DimDialogLayout kLayout{
    "CylDimen", "Cylinder Dimensions", 386, 230, kRows, kLabels,
    "To Show Graphic Position of Variable, Click Small Button", 190,
    "To Select Dynamic Variable, ClickDimension in GrayArea", 203,
    "Reset1", "ResetCylDim", QRect(288, 168, 89, 25), QRect(288, 192, 89, 25)};

}  // namespace

TCylDimen::TCylDimen(Model& m, MainWindowHost* mainWindow, QWidget* parent)
    : DimensionDialog(m, mainWindow, kLayout, parent) {}

void TCylDimen::ResetMouseDown() {
    // Unlike the frame reset this leaves the reverse-arm range alone.
    ResetCylDimensions(m_);
    FormActivate();
}

}  // namespace tarn
