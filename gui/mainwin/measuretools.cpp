// The reference-point mode switch shows and hides the measuring controls together; the bars
// are relative (each move is a step, then the bar goes back to 0).
#include "gui/mainwin/measuretools.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include "core/model/numfmt.h"
#include "core/scene/refpoints.h"
#include "gui/mainwin/mainform.h"
#include "gui/overlay/drawlinesdialog.h"

namespace tarn {

namespace {

constexpr RefBar kRefBarIds[4] = {RefBar::Ref1Vert, RefBar::Ref1Horz, RefBar::Ref2Vert,
                                  RefBar::Ref2Horz};

MouseButton ToButton(Qt::MouseButton b) {
    return b == Qt::LeftButton    ? MouseButton::Left
           : b == Qt::RightButton ? MouseButton::Right
                                  : MouseButton::Other;
}

}  // namespace

MeasureTools::MeasureTools(Model& m, TMainForm& form)
    : QObject(&form), m_(m), form_(form), beep_([] { QApplication::beep(); }) {
    setObjectName(QStringLiteral("MeasureTools"));
    const MainFormControls& c = form_.Controls();
    connect(c.RefPoints, &QAction::triggered, this, [this] { RefPointsClick(); });
    connect(c.SetPivotData, &QAction::triggered, this, [this] { SetPivotDataClick(); });
    connect(c.DrawLines1, &QAction::triggered, this, [this] { DrawLines1Click(); });
    connect(c.RefPt1, &QPushButton::clicked, this, [this] { RefPtClick(1); });
    connect(c.RefPt2, &QPushButton::clicked, this, [this] { RefPtClick(2); });
    connect(c.RefPt1Zero, &QPushButton::clicked, this, [this] { RefPtZeroClick(1); });
    connect(c.RefPt2Zero, &QPushButton::clicked, this, [this] { RefPtZeroClick(2); });
    for (int i = 0; i < 4; ++i)
        connect(c.SBRef[i], &QScrollBar::valueChanged, this,
                [this, i](int pos) { SBRefChange(i, pos); });
    connect(&form_, &TMainForm::PictureMouseDown, this, &MeasureTools::MouseDown);
}

TRefPnts::MainSide MeasureTools::RefPntsSide() {
    return {[this] { RefPointsClick(); },
            [this](int point, bool on) { SetZeroEnabled(point, on); }};
}

void MeasureTools::SetZeroEnabled(int point, bool enabled) {
    const MainFormControls& c = form_.Controls();
    (point == 1 ? c.RefPt1Zero : c.RefPt2Zero)->setEnabled(enabled);
}

void MeasureTools::RefPointsClick() {
    const MainFormControls& c = form_.Controls();
    const bool on = !m_.display.RefPointsOn;
    m_.display.RefPointsOn = on;
    if (!on) {
        m_.display.PivotDataOn = false;
        c.DataTableBut->hide();
    }
    // The enabled state of the two "0" buttons is their own.
    for (QWidget* w : std::initializer_list<QWidget*>{c.SBRef[0], c.SBRef[1], c.SBRef[2],
                                                      c.SBRef[3], c.RefPt1Zero, c.RefPt2Zero,
                                                      c.Panel[5], c.Panel[6], c.Panel[11]})
        w->setVisible(on);
    for (QWidget* w : std::initializer_list<QWidget*>{c.RefPt1, c.RefPt2, c.ToolButton23})
        w->setEnabled(on);
    c.DrawLines1->setEnabled(on);
}

void MeasureTools::SetPivotDataClick() {
    QWidget* table = form_.Controls().DataTableBut;
    if (m_.display.PivotDataOn) {
        m_.display.PivotDataOn = false;
        table->hide();
        return;
    }
    m_.display.PivotDataOn = true;
    table->show();
    if (!m_.display.RefPointsOn) RefPointsClick();
}

void MeasureTools::RefPtClick(int point) {
    const PanBarPositions bars = CentreOnReferencePoint(m_, point);
    // Each setting runs the bar's own relative pan step on the view just set.
    form_.Controls().SBPanHorz->setValue(bars.horz);
    form_.Controls().SBPanVert->setValue(bars.vert);
}

void MeasureTools::RefPtZeroClick(int point) {
    ZeroReferencePoint(m_, point);
    const int first = point == 1 ? 0 : 2;
    for (int i = first; i < first + 2; ++i) form_.Controls().SBRef[i]->setValue(0);
    SetZeroEnabled(point, false);
}

void MeasureTools::SBRefChange(int bar, int pos) {
    if (bar < 0 || bar > 3) return;
    SetZeroEnabled(PointOf(kRefBarIds[bar]), true);
    NudgeReferencePoint(m_, kRefBarIds[bar], refBars_[static_cast<std::size_t>(bar)], pos);
    form_.Controls().SBRef[bar]->setValue(0);
}

void MeasureTools::MouseDown(Qt::MouseButton button, int x, int y) {
    const MouseButton b = ToButton(button);
    if (const int placed = PlaceReferencePoint(m_, x, y, b)) SetZeroEnabled(placed, true);
    // The line tools: a click that picks the pivot(s) brings the dialog back. It opens from the
    // event loop, after this click has been handled.
    if (drawLines_ && drawLines_->MouseReopens(b))
        QTimer::singleShot(0, this, [this] { DrawLines1Click(); });
    PickOrChooseDataRow(m_, x, y, b);
}

void MeasureTools::DrawLines1Click() {
    if (m_.pivots.PivotX[19] == 0 && m_.pivots.PivotY[19] == 0 && m_.pivots.PivotX[20] == 0 &&
        m_.pivots.PivotY[20] == 0 && beep_)
        beep_();
    form_.ShowModal(drawLines_);
}

}  // namespace tarn
