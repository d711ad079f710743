// The cylinder dimensions dialog: its frame and the cylinder reset. The two heights (ids 102
// and 108) move the valve centre line through the model's dimension writer.
#include "gui/dialogs/cyldimen.h"

#include "core/variation/commit.h"

namespace tarn {

namespace {

const DimDialogLayout kLayout{"CylDimen",
                              "Cylinder Dimensions",
                              386,
                              230,
                              DimDialog::Cylinder,
                              "To Show Graphic Position of Variable, Click Small Button",
                              190,
                              "To Select Dynamic Variable, ClickDimension in GrayArea",
                              203,
                              "Reset1",
                              "ResetCylDim",
                              QRect(288, 168, 89, 25),
                              QRect(288, 192, 89, 25)};

}  // namespace

TCylDimen::TCylDimen(Model& m, MainWindowHost* mainWindow, QWidget* parent)
    : DimensionDialog(m, mainWindow, kLayout, parent) {}

void TCylDimen::ResetMouseDown() {
    // Unlike the frame reset this leaves the reverse-arm range alone.
    ResetCylDimensions(m_);
    FormActivate();
}

}  // namespace tarn
