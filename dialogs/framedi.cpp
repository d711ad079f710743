// The frame dimensions dialog: its tables, the gear-limit fields and the frame reset.
#include "dialogs/framedi.h"

#include <array>

#include "dialogs/numericfield.h"
#include "variation/commit.h"

namespace tarn {

namespace {

constexpr FieldVariant D = FieldVariant::Dimension;
constexpr FieldVariant G = FieldVariant::GearLimit;

// Field, id, column, row, button row.
constexpr std::array<DimFieldRow, 19> kRows{{
    {1, 1, 1, 0, 0, D},   {2, 2, 1, 1, 1, D},   {3, 3, 1, 2, 2, D},   {4, 4, 1, 3, 3, D},
    {5, 5, 1, 4, 4, D},   {6, 6, 1, 5, 5, D},   {7, 7, 1, 6, 6, D},   {8, 8, 1, 7, 7, D},
    {11, 11, 1, 8, 8, D}, {12, 12, 1, 9, 9, D}, {9, 9, 2, 0, 0, D},   {19, 19, 2, 1, 1, D},
    {10, 10, 2, 2, 2, D}, {13, 13, 2, 3, 3, D}, {14, 14, 2, 4, 4, D}, {15, 15, 2, 5, 5, D},
    {16, 16, 2, 6, 6, D}, {17, 17, 2, 7, 7, G}, {18, 18, 2, 8, 8, G},
}};

constexpr std::array<DrawnLabel, 19> kLabels{{
    {"Driver                    Diameter", 10, 0},
    {"Stroke                      Length", 10, 1},
    {"Main Rod            Crank End", 10, 2},
    {"Main Rod           Piston End", 10, 3},
    {"Radius Rod              Length", 10, 4},
    {"Link                          Radius", 10, 5},
    {"Link Pivot                      Vert", 10, 6},
    {"Link Pivot                     Horz", 10, 7},
    {"Coupler                      Upper", 10, 8},
    {"Coupler                      Lower", 10, 9},
    {"Valve Lever       Upper Len", 204, 0},
    {"Valve Lever   Upper Offset", 204, 1},
    {"Valve Lever       Lower Len", 204, 2},
    {"Anchor Link              Length", 204, 3},
    {"Anchor Link Pivot         Vert", 204, 4},
    {"Anchor Link Pivot         Horz", 204, 5},
    {"Reverse Arm            Length", 204, 6},
    {"Reverse Arm to Cent Norm", 204, 7},
    // Ditto marks under "Reverse Arm" and "to Cent", then "Max".
    {"\"           \"            Max", 234, 8},
}};

const DimDialogLayout kLayout{
    "FrameDi", "Frame Dimensions", 386, 176, kRows, kLabels,
    "To Show Graphic Position of Variable, Click Small Button", 138,
    "To Select Dynamic Variable, Click Dimension in Gray Area", 151,
    "ResetFrame", "ResetFrameDim", QRect(288, 123, 89, 25), QRect(288, 147, 89, 25)};

}  // namespace

TFrameDi::TFrameDi(Model& m, MainWindowHost* mainWindow, QWidget* parent)
    : DimensionDialog(m, mainWindow, kLayout, parent) {}

void TFrameDi::FieldExit(int n) {
    NumericField* f = field(n);
    if (n == 17 && f) {
        CommitGearLimitNorm(m_, f->text().toStdString());
    } else if (n == 18 && f) {
        CommitGearLimitMax(m_, f->text().toStdString());
        ResetRevArmRange();
    } else {
        DimensionDialog::FieldExit(n);
    }
}

void TFrameDi::ResetMouseDown() {
    ResetFrameDimensions(m_);
    ResetRevArmRange();
    FormActivate();
}

}  // namespace tarn
