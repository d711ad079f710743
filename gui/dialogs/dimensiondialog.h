// The frame and cylinder dimension dialogs share one shape: drawn labels, a grey field per
// dimension committed when it is left, a small button per dimension that asks the main window
// for a close-up, a reset button that acts on mouse-down and again on click, and Close, which
// recomputes mid gear. The fields, buttons and labels are the dimension table's rows for the
// dialog; each dialog gives its frame.
#pragma once

#include <QDialog>
#include <span>
#include <vector>

#include "core/fields/keyfilter.h"
#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "gui/common/layoutscale.h"
#include "gui/common/mainwindowhost.h"
#include "gui/dialogs/dialogkit.h"

class QPushButton;

namespace tarn {

class NumericField;

struct DimDialogLayout {
    const char* objectName;
    const char* caption;
    int clientWidth, clientHeight;
    DimDialog dimensions;  // the rows of the dimension table this dialog shows
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

    const DimensionInfo* rowOf(int field) const;
    // Places the fields and buttons, and sizes the window, at the text scale of this opening.
    void LayOut();
    // The reverse-arm bar spans the largest offset: +-Round(RevArmToCentMax * 1000).
    void ResetRevArmRange();

    Model& m_;

private:
    const DimDialogLayout& layout_;
    std::vector<const DimensionInfo*> rows_;  // column by column, top to bottom
    MainWindowHost* mainWindow_;              // may be missing
    std::vector<NumericField*> fields_;       // index = field number
    std::vector<QPushButton*> buttons_;       // index = field number
    LayoutScale scale_;                       // the texts' scale when the window was laid out
    QPushButton* reset_ = nullptr;
    QPushButton* close1_ = nullptr;
};

}  // namespace tarn
