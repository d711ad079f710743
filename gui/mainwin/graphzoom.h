// The dialog that sets the zoom factor of the dimension close-ups.
#pragma once

#include <QDialog>

#include "core/model/model.h"

namespace tarn {

class NumericField;

class TGraphZoom : public QDialog {
    Q_OBJECT
public:
    TGraphZoom(Model& m, QWidget* parent = nullptr);

    void FormActivate();
    void OKClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    Model& m_;
    NumericField* edit1_;
};

}  // namespace tarn
