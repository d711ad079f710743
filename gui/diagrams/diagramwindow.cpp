// The diagram window frame: controls and menus from the window's name table, activation once
// per opening (the main animation stops, the reverse-arm positions are asked for, the diagram is
// drawn), the dynamic-variable bars and the UnDo button on the shared variation routines.
#include "gui/diagrams/diagramwindow.h"

#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <memory>

#include "core/model/numfmt.h"
#include "core/variation/dynvars.h"
#include "core/variation/undo.h"
#include "gui/common/layoutscale.h"
#include "gui/common/pictureexport.h"
#include "gui/common/qpaintercanvas.h"

namespace tarn {

namespace {

constexpr DiagramWindowNames kNames[] = {
    {.kind = DiagramKind::Sine,
     .objectName = "SineDia",
     .title = "Sine Diagram",
     .closeButton = "CloseSin",
     .closeX = 408,
     .closeY = 8,
     .bars = {"SBDynVarS1", "SBDynVarS2", "SBDynVarS3", "SBDynVarS4"},
     .undoButton = "UnDoDnS",
     .menu = "MainMenuSine",
     .revArmItem = "SetRevArmPos",
     .revArmCaption = "&SetRevArmPos",
     .redrawItem = "ReDraw",
     .redrawCaption = "&ReDraw",
     .undoItem = "UnDoSine",
     .dynVarItem = "DynVari",
     .dynVarCaption = "&DymamicVariables",
     .redrawsOnMouseMove = true},
    {.kind = DiagramKind::Oval,
     .objectName = "OvalDia",
     .title = "Oval Diagram",
     .closeButton = "CloseOval",
     .closeX = 408,
     .closeY = 8,
     .bars = {"SBDynVarO1", "SBDynVarO2", "SBDynVarO3", "SBDynVarO4"},
     .undoButton = "UnDoDnO",
     .menu = "MainMenu1",
     .revArmItem = "SetRevArmPos1",
     .revArmCaption = "SetRevArmPos",
     .redrawItem = "ReDraw1",
     .redrawCaption = "ReDraw",
     .undoItem = "UnDoOval",
     .dynVarItem = "DynVar",
     .dynVarCaption = "DynamicVari",
     .redrawsOnMouseMove = true},
    {.kind = DiagramKind::Steam,
     .objectName = "SteamDia",
     .title = "Steam Diagram",
     .closeButton = "CloseStm",
     .closeX = 408,
     .closeY = 8,
     .bars = {"SBDynVarST1", "SBDynVarST2", "SBDynVarST3", "SBDynVarST4"},
     .undoButton = "UnDoDnSt",
     .menu = "MainMenu1",
     .revArmItem = "SetRevArmPos",
     .revArmCaption = "SetRevArmPos",
     .redrawItem = "ReDraw",
     .redrawCaption = "ReDraw",
     .undoItem = "UnDoSteam",
     .dynVarItem = "DynVari",
     .dynVarCaption = "DynamicVari",
     .redrawsOnMouseMove = true},
    {.kind = DiagramKind::Port,
     .objectName = "PortDia",
     .title = "Port Events vs Reverse Arm Position",
     .closeButton = "ClosePort",
     .closeX = 447,
     .closeY = 2,
     .bars = {"SBDynVarP1", "SBDynVarP2", "SBDynVarP3", "SBDynVarP4"},
     .undoButton = "UnDoDnP",
     .menu = "MainMenu1",
     .revArmItem = nullptr,
     .revArmCaption = nullptr,
     .redrawItem = "ReDraw1",
     .redrawCaption = "ReDraw",
     .undoItem = "UnDoPorts",
     .dynVarItem = "DynamicVari1",
     .dynVarCaption = "DynamicVari",
     .redrawsOnMouseMove = false},
};

// The client area: shows the retained picture and reports mouse moves.
class DiagramView : public QWidget {
public:
    DiagramView(QWidget* parent, const QImage& picture, std::function<void()> onMove)
        : QWidget(parent), picture_(picture), onMove_(std::move(onMove)) {
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.drawImage(0, 0, picture_);
    }
    void mouseMoveEvent(QMouseEvent*) override { onMove_(); }

private:
    const QImage& picture_;
    std::function<void()> onMove_;
};

}  // namespace

const DiagramWindowNames& NamesOf(DiagramKind kind) {
    for (const auto& n : kNames)
        if (n.kind == kind) return n;
    return kNames[0];
}

TDiagramWindow::TDiagramWindow(Model& m, MainWindowHost& host, QWidget* mainWindow,
                               DiagramKind kind)
    : QDialog(mainWindow), m_(m), host_(host), names_(NamesOf(kind)) {
    setObjectName(QString::fromLatin1(names_.objectName));
    setWindowTitle(QString::fromLatin1(names_.title));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(QFontFor(FontSpec{}));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QString::fromLatin1(names_.menu));
    layout->setMenuBar(menuBar_);
    view_ = new DiagramView(this, picture_, [this] { FormMouseMove(); });
    view_->setObjectName(QStringLiteral("ClientArea"));
    layout->addWidget(view_);

    auto item = [this](QMenuBar* bar, const char* name, const char* caption,
                       void (TDiagramWindow::*handler)()) {
        QAction* a = bar->addAction(QString::fromLatin1(caption));
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    if (names_.revArmItem) {
        item(menuBar_, names_.revArmItem, names_.revArmCaption, &TDiagramWindow::SetRevArmPosClick);
    } else {
        QMenu* setUp = menuBar_->addMenu(QStringLiteral("SetUp"));
        setUp->menuAction()->setObjectName(QStringLiteral("SetUp"));
        const struct {
            const char* name;
            const char* caption;
            void (TDiagramWindow::*handler)();
        } graphs[] = {{"ForwardGraph1", "ForwardGraph", &TDiagramWindow::ForwardGraph1Click},
                      {"ReverseGraph1", "ReverseGraph", &TDiagramWindow::ReverseGraph1Click},
                      {"BothGraphs1", "BothGraphs", &TDiagramWindow::BothGraphs1Click}};
        for (const auto& g : graphs) {
            QAction* a = setUp->addAction(QString::fromLatin1(g.caption));
            a->setObjectName(QString::fromLatin1(g.name));
            connect(a, &QAction::triggered, this, g.handler);
        }
    }
    item(menuBar_, names_.redrawItem, names_.redrawCaption, &TDiagramWindow::ReDrawClick);
    item(menuBar_, names_.undoItem, "&UnDo", &TDiagramWindow::UnDoItemClick);
    item(menuBar_, names_.dynVarItem, names_.dynVarCaption, &TDiagramWindow::DynVariClick);
    QAction* exportItem = menuBar_->addAction(QStringLiteral("&Export Picture..."));
    exportItem->setObjectName(QStringLiteral("ExportPicture"));
    QAction* printItem = menuBar_->addAction(QStringLiteral("&Print..."));
    printItem->setObjectName(QStringLiteral("PrintPicture"));
    auto* exporter = new PictureExporter(
        *this, m_, [this] { return ShownPicture(); }, QString::fromLatin1(names_.title));
    exporter->Attach(exportItem, printItem);

    close_ = new QPushButton(QStringLiteral("Close"), view_);
    close_->setObjectName(QString::fromLatin1(names_.closeButton));
    close_->setAutoDefault(false);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);

    for (int k = 1; k <= 4; ++k) {
        auto* bar = new QScrollBar(Qt::Horizontal, view_);
        bar->setObjectName(QString::fromLatin1(names_.bars[k - 1]));
        bar->setRange(-200, 200);
        bar->setSingleStep(1);
        bar->setPageStep(10);
        bar->setInvertedControls(false);  // the Right key moves the bar to the right
        bar->setValue(0);
        bar->setFocusPolicy(Qt::ClickFocus);
        bar->hide();
        bar->installEventFilter(this);
        connect(bar, &QScrollBar::valueChanged, this,
                [this, k](int pos) { SBDynVarChange(k, pos); });
        bars_[k] = bar;
    }

    undo_ = new QPushButton(QStringLiteral("UnDo"), view_);
    undo_->setObjectName(QString::fromLatin1(names_.undoButton));
    undo_->setAutoDefault(false);
    undo_->setEnabled(false);
    undo_->hide();
    connect(undo_, &QPushButton::clicked, this, &TDiagramWindow::UnDoButtonClick);

    runSetRevArm_ = [this] { host_.RunRevArmPositions(); };
    FitClientArea();
    move(0, 10);
}

void TDiagramWindow::FitClientArea() {
    // The window widens with the large font, so the position list stays inside, and the
    // controls move with the texts beside them.
    const LayoutScale scale = LayoutScale::Of(m_.display);
    close_->setGeometry(scale.Rect(QRect(names_.closeX, names_.closeY, 75, 25)));
    static constexpr int kBarTops[4] = {3, 15, 27, 39};
    for (int k = 1; k <= 4; ++k)
        bars_[k]->setGeometry(scale.Rect(QRect(112, kBarTops[k - 1], 121, 10)));
    undo_->setGeometry(scale.Rect(QRect(110, 54, 40, 16)));
    const ClientSize size = DiagramClientSize(names_.kind);
    const int w = scale.X(size.width);
    // Drawn at the screen's resolution, in logical pixels.
    const qreal ratio = devicePixelRatio();
    const QSize pixels(static_cast<int>(std::ceil(w * ratio)),
                       static_cast<int>(std::ceil(size.height * ratio)));
    if (picture_.size() != pixels || picture_.devicePixelRatio() != ratio) {
        QImage fresh(pixels, QImage::Format_RGB32);
        fresh.setDevicePixelRatio(ratio);
        fresh.fill(Qt::white);
        picture_ = fresh;
        drawn_.clear();
    }
    view_->setFixedSize(w, size.height);
    adjustSize();
}

void TDiagramWindow::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (e->spontaneous()) return;
    // Activation runs once per opening, from the window's own loop (it may open a dialog).
    QTimer::singleShot(0, this, [this] {
        if (isVisible()) FormActivate();
    });
}

void TDiagramWindow::FormActivate() {
    host_.PauseAnimation();
    FitClientArea();
    if (names_.kind == DiagramKind::Port) {
        // Opened from the main window: the forward graph first.
        m_.diagrams.PortGraphMode = PortGraphMode::Forward;
    } else if (runSetRevArm_) {
        runSetRevArm_();
    }
    Redraw();
}

void TDiagramWindow::done(int r) {
    FormClose();
    QDialog::done(r);
}

void TDiagramWindow::FormClose() { host_.ResumeAnimation(); }

void TDiagramWindow::SetRevArmPosClick() {
    // Closing the dialog marks the diagram stale; the next mouse move redraws it.
    if (runSetRevArm_) runSetRevArm_();
}

void TDiagramWindow::FormMouseMove() {
    if (!names_.redrawsOnMouseMove || !m_.diagrams.DiagramStale) return;
    Redraw();
    m_.diagrams.DiagramStale = false;
}

void TDiagramWindow::ReDrawClick() { Redraw(); }

void TDiagramWindow::DynVariClick() {
    m_.display.DynVarOn = !m_.display.DynVarOn;
    if (names_.kind == DiagramKind::Port) {
        host_.ShowDynVarControls(m_.display.DynVarOn);
        Redraw();
    } else {
        Redraw();
        host_.ShowDynVarControls(m_.display.DynVarOn);
    }
}

void TDiagramWindow::UnDoItemClick() {
    if (m_.display.UndoOn) {
        m_.display.UndoOn = false;
        Redraw();
    } else {
        m_.display.UndoOn = true;
        Draw();
        Draw();
    }
}

void TDiagramWindow::UnDoButtonClick() {
    UnDoClick(m_);
    host_.ShowRevArm();
    SyncUndoButtons();
    // One redraw serves every diagram: the undo line is rebuilt before it is painted, so the
    // second pass a sine or oval once needed to show the new line would paint the same pixels.
    Redraw();
}

void TDiagramWindow::SBDynVarChange(int k, int pos) {
    DynVarBarChange(m_, k, pos);
    if (springingBack_) return;  // the spring-back applies nothing: no second redraw
    springingBack_ = true;
    bars_[k]->setValue(0);
    springingBack_ = false;
    Redraw();
}

void TDiagramWindow::SBDynVarInteractionStart(int k) { DynVarBarInteractionStart(m_, k); }

void TDiagramWindow::SBDynVarInteractionEnd(int k) {
    DynVarBarInteractionEnd(m_, k);
    SyncUndoButtons();
    close_->setFocus();
    // Paint the new undo entry over the picture.
    if (names_.kind == DiagramKind::Port && m_.diagrams.PortGraphMode == PortGraphMode::Both)
        Redraw();
    else Draw();
}

void TDiagramWindow::ForwardGraph1Click() {
    m_.diagrams.PortGraphMode = PortGraphMode::Forward;
    Redraw();
}

void TDiagramWindow::ReverseGraph1Click() {
    m_.diagrams.PortGraphMode = PortGraphMode::Reverse;
    Redraw();
}

void TDiagramWindow::BothGraphs1Click() {
    m_.diagrams.PortGraphMode = PortGraphMode::Both;
    Redraw();
}

void TDiagramWindow::Redraw() {
    drawn_.clear();
    drawn_.push_back({true, m_});
    DiagramControls ui;
    {
        QPainterCanvas canvas(picture_);
        canvas.SetSmooth(m_.display.SmoothLines);
        ui = RedrawDiagram(names_.kind, m_, canvas);
    }
    Apply(ui);
}

void TDiagramWindow::Draw() {
    // Both port graphs are only ever drawn together: one graph over them would hide the other.
    if (names_.kind == DiagramKind::Port && m_.diagrams.PortGraphMode == PortGraphMode::Both) {
        Redraw();
        return;
    }
    drawn_.push_back({false, m_});
    DiagramControls ui;
    {
        QPainterCanvas canvas(picture_);
        canvas.SetSmooth(m_.display.SmoothLines);
        ui = DrawDiagram(names_.kind, m_, canvas);
    }
    Apply(ui);
}

Picture TDiagramWindow::ShownPicture() const {
    auto layers = std::make_shared<const std::vector<DrawnLayer>>(drawn_);
    const DiagramKind kind = names_.kind;
    // What every drawing since the last erase plotted, each once.
    QStringList subjects;
    for (const DrawnLayer& layer : drawn_) {
        const QString s = QString::fromStdString(DiagramSubject(kind, layer.state));
        if (!subjects.contains(s)) subjects << s;
    }
    return {picture_,
            [layers, kind](Canvas& c) {
                // The picture starts white; each drawing starts on a fresh canvas, as on screen.
                c.Clear(kWhite);
                for (const DrawnLayer& layer : *layers) {
                    Model copy = layer.state;
                    c.ResetState();
                    if (layer.erase) RedrawDiagram(kind, copy, c);
                    else DrawDiagram(kind, copy, c);
                }
            },
            subjects.join(QStringLiteral("; ")), m_.display.SmoothLines};
}

void TDiagramWindow::Apply(const DiagramControls& ui) {
    for (int k = 1; k <= 4; ++k) {
        bars_[k]->setVisible(ui.barsVisible);
        if (ui.barsEnabledSet) bars_[k]->setEnabled(ui.barEnabled[k - 1]);
    }
    undo_->setVisible(ui.undoVisible);
    SyncUndoButtons();
    view_->update();
}

void TDiagramWindow::SyncUndoButtons() {
    undo_->setEnabled(UndoAvailable(m_.undo));
    host_.RefreshUndoButton();
}

bool TDiagramWindow::eventFilter(QObject* watched, QEvent* e) {
    // One press to its release, one key press to its release, or one wheel event is one
    // interaction with a bar and one undo entry.
    for (int k = 1; k <= 4; ++k) {
        if (watched != bars_[k]) continue;
        switch (e->type()) {
            case QEvent::MouseButtonPress: SBDynVarInteractionStart(k); break;
            case QEvent::MouseButtonRelease:
                bars_[k]->event(e);
                SBDynVarInteractionEnd(k);
                return true;
            case QEvent::KeyPress:
                if (!static_cast<QKeyEvent*>(e)->isAutoRepeat()) SBDynVarInteractionStart(k);
                break;
            case QEvent::KeyRelease:
                if (static_cast<QKeyEvent*>(e)->isAutoRepeat()) break;
                bars_[k]->event(e);
                SBDynVarInteractionEnd(k);
                return true;
            case QEvent::Wheel:
                SBDynVarInteractionStart(k);
                bars_[k]->event(e);
                SBDynVarInteractionEnd(k);
                return true;
            default: break;
        }
        break;
    }
    return QDialog::eventFilter(watched, e);
}

}  // namespace tarn
