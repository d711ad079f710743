// The frame dimensions dialog: its frame, the gear-limit fields and the frame reset.
#include "gui/dialogs/framedi.h"

#include "core/variation/commit.h"
#include "gui/dialogs/numericfield.h"

namespace tarn {

namespace {

const DimDialogLayout kLayout{"FrameDi",
                              "Frame Dimensions",
                              386,
                              176,
                              DimDialog::Frame,
                              "To Show Graphic Position of Variable, Click Small Button",
                              138,
                              "To Select Dynamic Variable, Click Dimension in Gray Area",
                              151,
                              "ResetFrame",
                              "ResetFrameDim",
                              QRect(288, 123, 89, 25),
                              QRect(288, 147, 89, 25)};

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
