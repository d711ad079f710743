// "Cylinder Dimensions": the seventeen dimensions of the cylinder, piston, piston valve and
// valve ports.
#pragma once

#include "gui/dialogs/dimensiondialog.h"

namespace tarn {

class TCylDimen : public DimensionDialog {
    Q_OBJECT
public:
    TCylDimen(Model& m, MainWindowHost* mainWindow, QWidget* parent = nullptr);

protected:
    void ResetMouseDown() override;
};

}  // namespace tarn
