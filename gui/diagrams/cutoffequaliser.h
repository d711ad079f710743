// The cut-off equaliser dialog: pick a dimension, a gear position and a search range; Find shows
// the events before and after side by side; Apply commits the value like a dimension field, so
// one UnDo takes it back; Cancel changes nothing.
#pragma once

#include <QDialog>

#include "core/analysis/equaliser.h"
#include "core/model/model.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tarn {

class TCutoffEqualiser : public QDialog {
    Q_OBJECT
public:
    explicit TCutoffEqualiser(Model& m, QWidget* parent = nullptr);

    // Fills the choices from the model (default gear: normal forward; range: current +- 10 %).
    void FormActivate();
    void DimensionChange();
    void FindClick();
    void ApplyClick();
    const EqualiseResult& Result() const { return result_; }

private:
    int SelectedId() const;
    float SelectedRevArmPos() const;
    void ShowComparison();

    Model& m_;
    QComboBox* dimension_ = nullptr;
    QComboBox* gear_ = nullptr;
    QLineEdit* low_ = nullptr;
    QLineEdit* high_ = nullptr;
    QLabel* message_ = nullptr;
    QTableWidget* compare_ = nullptr;
    QPushButton* apply_ = nullptr;
    EqualiseResult result_;
    bool found_ = false;
};

}  // namespace tarn
