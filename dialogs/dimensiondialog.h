// The frame and cylinder dimension dialogs share one shape: drawn labels, a grey field per
// dimension committed when it is left, a small button per dimension that asks the main window
// for a close-up, a reset button that acts on mouse-down and again on click, and Close, which
// recomputes mid gear. Each dialog gives its tables.
#pragma once

#include <QDialog>
#include <span>
#include <vector>

#include "dialogs/dialogkit.h"
#include "dialogs/keyfilter.h"
#include "dialogs/mainwindowhost.h"
#include "model/model.h"

class QPushButton;

namespace tarn {

class NumericField;

struct DimFieldRow {
    int field;      // EditN and ButtonN
    int id;         // dimension id and close-up id
    int col;        // 1 or 2
    int row;        // field row
    int buttonRow;  // small button row
    FieldVariant variant;  // Dimension fields are grey; the gear limits are white
};

struct DrawnLabel {
    const char* text;
    int a;    // x = Round(a * FontScaleX)
    int row;  // y = 13 * row: the fields do not move, so neither do their labels
};

struct DimDialogLayout {
    const char* objectName;
    const char* caption;
    int clientWidth, clientHeight;
    std::span<const DimFieldRow> rows;
    std::span<const DrawnLabel> labels;
    const char* hint1;
    int hint1y;
    const char* hint2;
    int hint2y;
    const char* resetName;
    const char* resetText;
    QRect resetRect;
    QRect closeRect;
};

class DimensionDialog : public QDialog {
    Q_OBJECT
public:
    DimensionDialog(Model& m, MainWindowHost* mainWindow, const DimDialogLayout& layout,
                    QWidget* parent);

    // Fills every field with its dimension in the display format (on every opening).
    void FormActivate();
    void Close1Click();

    NumericField* field(int n) const;
    QPushButton* closeButton() const { return close1_; }
    QPushButton* resetButton() const { return reset_; }

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

    // The reset on mouse-down; a completed click resets again and clears the undo history.
    virtual void ResetMouseDown() = 0;
    void ResetClick();

    // The commit of field n when it is left.
    virtual void FieldExit(int n);

    const DimFieldRow* rowOf(int field) const;
    // The reverse-arm bar spans the largest offset: +-Round(RevArmToCentMax * 1000).
    void ResetRevArmRange();

    Model& m_;

private:
    const DimDialogLayout& layout_;
    MainWindowHost* mainWindow_;  // may be missing
    std::vector<NumericField*> fields_;  // index = field number
    QPushButton* reset_ = nullptr;
    QPushButton* close1_ = nullptr;
};

}  // namespace tarn
