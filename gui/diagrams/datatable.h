// The pivot data table window: the co-ordinates of six chosen pivots over a revolution as plain
// text in a memo, rebuilt at each opening, with cut, copy, paste and select all through the
// system clipboard.
#pragma once

#include <QDateTime>
#include <QDialog>
#include <QLocale>

#include <functional>

#include "core/model/model.h"

class QAction;
class QMenu;
class QPlainTextEdit;

namespace tarn {

class TDataTable : public QDialog {
    Q_OBJECT
public:
    explicit TDataTable(Model& m, QWidget* parent = nullptr);

    // Fixed clock and locale for the title line (tests).
    void SetClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
    void SetTableLocale(const QLocale& l) { locale_ = l; }

    // ---- handlers (names as the window defines them) ----
    void FormActivate();
    void Edit1Click();
    void Cut1Click();
    void Copy1Click();
    void Past1Click();
    void SelectAll1Click();

protected:
    void showEvent(QShowEvent* e) override;

private:
    Model& m_;
    QPlainTextEdit* memo_ = nullptr;
    QAction* cut_ = nullptr;
    QAction* copy_ = nullptr;
    QAction* selectAll_ = nullptr;
    std::function<QDateTime()> clock_;
    QLocale locale_;
};

}  // namespace tarn
