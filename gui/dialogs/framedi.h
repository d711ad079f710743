// "Frame Dimensions": the nineteen dimensions of the frame and the radial linkage, with the two
// gear limits of the reverse arm.
#pragma once

#include "gui/dialogs/dimensiondialog.h"

namespace tarn {

class TFrameDi : public DimensionDialog {
    Q_OBJECT
public:
    TFrameDi(Model& m, MainWindowHost* mainWindow, QWidget* parent = nullptr);

protected:
    void ResetMouseDown() override;
    void FieldExit(int n) override;
};

}  // namespace tarn
