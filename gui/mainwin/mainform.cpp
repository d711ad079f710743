// The main window: its controls at their client positions, the menus and tool bar, the motion,
// view and display handlers, and the host side of the picture (captions, sounds, the controls
// a frame sets).
#include "gui/mainwin/mainform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QToolBar>
#include <QToolButton>

#include <chrono>

#include "core/model/numfmt.h"
#include "core/model/solver.h"
#include "core/scene/extent.h"
#include "core/scene/motion.h"
#include "core/scene/view.h"
#include "core/variation/dynvars.h"
#include "core/variation/undo.h"
#include "gui/common/layoutscale.h"
#include "gui/common/pictureexport.h"
#include "gui/common/qpaintercanvas.h"
#include "gui/common/screenfit.h"
#include "gui/mainwin/qtsound.h"
#include "gui/mainwin/windowsettings.h"

// The images live in the GUI library, whose resource initialiser a static link would drop.
static void InitResources() { Q_INIT_RESOURCE(resources); }

namespace tarn {

namespace {

constexpr int kClientWidth = 632;
constexpr int kClientHeight = 380;
// Pixels kept free around the gear when it is fitted to the window.
constexpr int kFitMargin = 8;

// The client area: shows the last frame at (0, 0) under the child controls, has the frame fitted
// to its size and reports mouse presses.
class PictureArea : public QWidget {
public:
    PictureArea(TMainForm* form, const QImage& frame, std::function<void()> resized)
        : QWidget(form), form_(form), frame_(frame), resized_(std::move(resized)) {
        setObjectName(QStringLiteral("ClientArea"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* e) override {
        QPainter p(this);
        const qreal s = frame_.devicePixelRatio();
        for (const QRect& r : e->region()) {
            if (s == 1) p.drawImage(r.topLeft(), frame_, r);
            else
                p.drawImage(QRectF(r), frame_,
                            QRectF(r.x() * s, r.y() * s, r.width() * s, r.height() * s));
        }
    }
    void resizeEvent(QResizeEvent* e) override {
        QWidget::resizeEvent(e);
        resized_();
    }
    void mousePressEvent(QMouseEvent* e) override {
        const QPoint pos = e->position().toPoint();
        form_->FormMouseDown(e->button(), pos.x(), pos.y());
    }

private:
    TMainForm* form_;
    const QImage& frame_;
    std::function<void()> resized_;
};

struct ButtonSpec {
    const char* name;
    const char* caption;
    const char* hint;
    int x, y, w, h;
    bool enabled, visible;
    void (TMainForm::*click)();
    QPushButton** kept;  // where the window keeps the button
};

struct BarSpec {
    const char* name;
    const char* hint;
    int x, y, w, h;
    int min, max, small, large, position;
    bool visible;
    void (TMainForm::*change)(int);
    QScrollBar** kept;  // where the window keeps the bar
};

struct PanelSpec {
    const char* name;
    int x, y, w, h;
    bool visible;
};

constexpr PanelSpec kPanels[] = {
    {"Panel1", 0, 67, 539, 4, true},   {"Panel2", 247, 26, 4, 41, true},
    {"Panel3", 539, 26, 4, 109, true}, {"Panel4", 539, 134, 93, 4, true},
    {"Panel5", 0, 120, 251, 4, false}, {"Panel6", 247, 71, 4, 49, false},
    {"Panel7", 247, 72, 4, 49, false}, {"Panel8", 247, 120, 292, 4, false},
    {"Panel9", 539, 70, 0, 0, false},  {"Panel10", 0, 26, 4, 41, true},
    {"Panel11", 0, 72, 4, 49, false},  {"Panel12", 628, 26, 4, 108, true},
};

// The classic flat look of the small strip buttons, which leaves room for their captions.
const char* const kStripStyle =
    "QPushButton { padding: 0px; border: 1px solid #808080; border-top-color: #ffffff;"
    " border-left-color: #ffffff; background: #c0c0c0; }"
    "QPushButton:pressed { border-top-color: #808080; border-left-color: #808080;"
    " border-bottom-color: #ffffff; border-right-color: #ffffff; }"
    "QPushButton:disabled { color: #808080; }";

}  // namespace

TMainForm::TMainForm(Model& m, std::unique_ptr<SoundSink> sound, QWidget* parent,
                     const QString& settingsFile)
    : QMainWindow(parent),
      m_(m),
      sound_(sound ? std::move(sound) : std::make_unique<QtSoundSink>()),
      scene_(m, *this),
      frame_(kFrameWidth, kFrameHeight),
      settingsFile_(settingsFile),
      clock_([] { return QDateTime::currentDateTime(); }),
      locale_(QLocale::system()) {
    InitResources();
    setObjectName(QStringLiteral("MainForm"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tarn1.png")));
    frame_.image.fill(Qt::white);

    // FormCreate: the model's defaults and mid gear, then the reverse-arm range.
    StartUp(m_);
    {
        const auto settings = OpenProgramSettings(settingsFile_);
        m_.display.SmoothLines = LoadSmoothLines(*settings);
        m_.display.TruePistonTravel = LoadTruePistonTravel(*settings);
    }

    picture_ = new PictureArea(this, frame_.image, [this] {
        if (!picture_) return;
        if (FitFrame()) picture_->update();
        if (isVisible() && ViewIsFitted()) FitPictureClick();
    });
    setCentralWidget(picture_);
    QPalette pal = picture_->palette();
    pal.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    picture_->setPalette(pal);
    QFont formFont = QFontFor(FontSpec{FontFamily::Serif, 10, true, true});
    formFont.setPixelSize(13);
    picture_->setFont(formFont);

    BuildMenus();
    BuildToolBar();
    BuildControls();

    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    // The picture as the last run left it: the large font grows the window before it is placed,
    // and a fitted view is fitted again to the window as it opens.
    const StoredView view = LoadViewChoices(*OpenProgramSettings(settingsFile_));
    if (view.largeFont) LargeFontClick();
    if (const QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
    RestoreWindowPlacement();
    if (view.fitted) FitPictureClick();

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(kTickIntervalMs);
    connect(timer_, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    timer_->start();

    ui_.SBRevArm->setFocus();
    FormActivate();
}

TMainForm::~TMainForm() {
    // No tick may run on a half-destroyed window (closing the sound stream runs the event loop).
    if (timer_) timer_->stop();
}

Picture TMainForm::ShownPicture() const {
    // Before the window is first shown its client area has no size yet: it would show the
    // start size.
    const QSize client = isVisible() ? picture_->size() : QSize(kClientWidth, kClientHeight);
    const qreal ratio = frame_.image.devicePixelRatio();
    const QRect shown =
        QRect(QPoint(0, 0), (QSizeF(client) * ratio).toSize()) & frame_.image.rect();
    // The frame's own per-frame state (steam densities, previous-frame values, counters) moves
    // on in the copy only, so the animation goes on as if nothing had been drawn.
    auto state = std::make_shared<const Model>(m_);
    return {frame_.image.copy(shown),
            [state](Canvas& c) {
                Model copy = *state;
                QuietHost host;
                MainScene scene(copy, host);
                scene.RenderFrame(c);
            },
            QString(), m_.display.SmoothLines};
}

QAction* TMainForm::Action(const char* name, const char* caption) {
    auto* a = new QAction(QString::fromLatin1(caption), this);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

void TMainForm::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    // The picture font, so that every top-level item fits the window's width.
    bar->setFont(QFontFor(FontSpec{}));
    struct Item {
        const char* name;
        const char* caption;  // nullptr: separator
        void (TMainForm::*click)();
        QAction** kept = nullptr;  // where the window keeps the item
    };
    auto menu = [&](const char* name, const char* caption, std::initializer_list<Item> items) {
        QMenu* mn = bar->addMenu(QString::fromLatin1(caption));
        mn->setObjectName(QString::fromLatin1(name));
        for (const Item& it : items) {
            if (!it.caption) {
                mn->addSeparator();
                continue;
            }
            QAction* a = Action(it.name, it.caption);
            mn->addAction(a);
            if (it.kept) *it.kept = a;
            if (it.click) connect(a, &QAction::triggered, this, it.click);
        }
        return mn;
    };
    auto top = [&](const char* name, const char* caption, void (TMainForm::*click)()) {
        QAction* a = Action(name, caption);
        bar->addAction(a);
        if (click) connect(a, &QAction::triggered, this, click);
        return a;
    };
    // Items without a handler here belong to windows that connect them themselves.
    ui_.File1 = menu("File1", "&File",
                     {{"OpenDimensions", "&OpenDimensions", nullptr, &ui_.OpenDimensions},
                      {"SaveAsDimensions", "Save&AsDimensions", nullptr, &ui_.SaveAsDimensions},
                      {"", nullptr, nullptr},
                      {"ExportPicture", "&Export Picture...", nullptr, &ui_.ExportPicture},
                      {"PrintPicture", "&Print...", nullptr, &ui_.PrintPicture},
                      {"", nullptr, nullptr},
                      {"Exit1", "E&xit", nullptr, &ui_.Exit1}});
    // The recent designs follow OpenDimensions; the file tools fill the list.
    ui_.RecentDesigns = new QMenu(QStringLiteral("&Recent Designs"), ui_.File1);
    ui_.RecentDesigns->setObjectName(QStringLiteral("RecentDesigns"));
    ui_.File1->insertMenu(ui_.SaveAsDimensions, ui_.RecentDesigns);
    menu("SetUp", "&SetUp",
         {{"RevArmPos", "Set&RevArmPos", nullptr, &ui_.RevArmPos},
          {"DriverAng", "Set&DriverAng", nullptr, &ui_.DriverAng},
          {"StepAng1", "Set&StepAng", nullptr, &ui_.StepAng1},
          {"RefPoints1", "SetRef&Points", nullptr, &ui_.RefPoints1},
          {"", nullptr, nullptr},
          {"LargeFont", "SetLarge&Font", &TMainForm::LargeFontClick, &ui_.LargeFont},
          {"FindRevArmCent", "&CalcCentRevArm", &TMainForm::FindRevArmCentClick,
           &ui_.FindRevArmCent},
          {"SetSteam", "SetS&teamDisp On", &TMainForm::SetSteamClick, &ui_.SetSteam},
          {"SetBeepOnError", "Set&ErrorBeep Off", &TMainForm::SetBeepOnErrorClick,
           &ui_.SetBeepOnError},
          {"SetLineWidth", "Set&LineWidth 2", &TMainForm::SetLineWidthClick, &ui_.SetLineWidth},
          {"SetScreenData", "SetScree&nData Off", &TMainForm::SetScreenDataClick,
           &ui_.SetScreenData},
          {"SetPanZoom", "SetP&anZoom On", &TMainForm::SetPanZoomClick, &ui_.SetPanZoom},
          {"", nullptr, nullptr},
          {"FitPicture", "Fit Picture to &Window", &TMainForm::FitPictureClick, &ui_.FitPicture},
          {"SmoothLines", "S&mooth Lines On", &TMainForm::SmoothLinesClick, &ui_.SmoothLines},
          {"TruePistonTravel", "True Piston &Travel On", &TMainForm::TruePistonTravelClick,
           &ui_.TruePistonTravel}});
    menu("Edit1", "&EditDimen",
         {{"FrameDim", "&FrameDimensions", nullptr, &ui_.FrameDim},
          {"CylDim", "&CylinderDimensions", nullptr, &ui_.CylDim},
          {"", nullptr, nullptr},
          {"SetGraphicZoom", "Set&GraphicZoom", nullptr, &ui_.SetGraphicZoom},
          {"", nullptr, nullptr},
          {"ResetAll", "&ResetAllDimensions", &TMainForm::ResetAllClick, &ui_.ResetAll}});
    ui_.RefPoints = top("RefPoints", "&ReferPoints", nullptr);
    ui_.DrawLines1 = top("DrawLines1", "&DrawLinesCircles", nullptr);
    ui_.DrawLines1->setEnabled(false);
    ui_.SetPivotData = top("SetPivotData", "Pi&votData", nullptr);
    ui_.DynamicVariables =
        top("DynamicVariables", "D&ynamicVari", &TMainForm::DynamicVariablesClick);
    ui_.SetUnDo = top("SetUnDo", "&UnDo", &TMainForm::SetUnDoClick);
    QMenu* graphs = menu("View1", "Draw&Graphs", {});
    for (const AnalysisWindow& w : AnalysisWindows()) {
        QAction* a = Action(w.item, w.text);
        graphs->addAction(a);
        ui_.analysisItems.push_back(a);
    }
    menu("Help1", "&Help",
         {{"Instructions", "&Instructions", nullptr, &ui_.Instructions},
          {"SpecInstr", "Instructions&Special", nullptr, &ui_.SpecInstr},
          {"", nullptr, nullptr},
          {"About1", "&About", nullptr, &ui_.About1}});
    // The error item shows in the bar's right corner, beside the last menu: appended to the
    // bar's items it would not fit the window's width and would be folded out of sight.
    errorItem_ = Action("Error", "");
    errorItem_->setIcon(QIcon(QStringLiteral(":/icons/error.png")));
    errorItem_->setVisible(false);
    errorMarker_ = new QToolButton(bar);
    errorMarker_->setObjectName(QStringLiteral("Error"));
    errorMarker_->setDefaultAction(errorItem_);
    errorMarker_->setAutoRaise(true);
    errorMarker_->setFocusPolicy(Qt::NoFocus);
    errorMarker_->setIconSize(QSize(16, 16));
    errorMarker_->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 1px; }"));
    errorMarker_->setVisible(false);
    bar->setCornerWidget(errorMarker_, Qt::TopRightCorner);
    ui_.SetPanZoom->setEnabled(false);
    if (m_.display.SmoothLines) ui_.SmoothLines->setText(QStringLiteral("S&mooth Lines Off"));
    if (m_.display.TruePistonTravel)
        ui_.TruePistonTravel->setText(QStringLiteral("True Piston &Travel Off"));

    connect(ui_.Exit1, &QAction::triggered, this, &QWidget::close);

    // Menu items that only open a window.
    const struct {
        QAction* item;
        QDialog* AppWindows::*window;
    } openers[] = {
        {ui_.RevArmPos, &AppWindows::RevPos},         {ui_.DriverAng, &AppWindows::DrivAng},
        {ui_.StepAng1, &AppWindows::StpAng},          {ui_.RefPoints1, &AppWindows::RefPnts},
        {ui_.FrameDim, &AppWindows::FrameDi},         {ui_.CylDim, &AppWindows::CylDimen},
        {ui_.SetGraphicZoom, &AppWindows::GraphZoom}, {ui_.Instructions, &AppWindows::Inst},
        {ui_.SpecInstr, &AppWindows::TarnISpInst},    {ui_.About1, &AppWindows::AboutBox},
    };
    for (const auto& o : openers) {
        auto window = o.window;
        connect(o.item, &QAction::triggered, this, [this, window] { ShowModal(windows_.*window); });
    }
    for (std::size_t i = 0; i < AnalysisWindows().size(); ++i) {
        const auto window = AnalysisWindows()[i].window;
        switch (AnalysisWindows()[i].opening) {
            case WindowOpening::Modal:
                connect(ui_.analysisItems[i], &QAction::triggered, this,
                        [this, window] { ShowModal(windows_.*window); });
                break;
            case WindowOpening::Beside:
                connect(ui_.analysisItems[i], &QAction::triggered, this, [this, window] {
                    QDialog* d = windows_.*window;
                    if (!d) return;
                    d->show();
                    d->raise();
                    d->activateWindow();
                });
                break;
        }
    }
}

QAction* TMainForm::AnalysisItem(QDialog* AppWindows::*window) const {
    const std::span<const AnalysisWindow> rows = AnalysisWindows();
    for (std::size_t i = 0; i < rows.size() && i < ui_.analysisItems.size(); ++i)
        if (rows[i].window == window) return ui_.analysisItems[i];
    return nullptr;
}

void TMainForm::BuildToolBar() {
    toolBar_ = new QToolBar(picture_);
    toolBar_->setObjectName(QStringLiteral("ToolBar1"));
    toolBar_->setGeometry(0, 0, kClientWidth, 24);
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setFont(QFontFor(FontSpec{}));
    // Each button does what the menu item of the same event does.
    const auto add = [this](const char* name, const char* hint, int image, QAction* item) {
        auto* a = new QAction(
            QIcon(QStringLiteral(":/icons/tb%1.png").arg(image, 2, 10, QLatin1Char('0'))),
            QString::fromLatin1(hint), this);
        a->setToolTip(QString::fromLatin1(hint));
        toolBar_->addAction(a);
        QWidget* button = toolBar_->widgetForAction(a);
        button->setObjectName(QString::fromLatin1(name));
        if (item == ui_.DrawLines1) ui_.ToolButton23 = button;
        if (item == ui_.FitPicture) ui_.ToolButton25 = button;
        connect(a, &QAction::triggered, item, &QAction::trigger);
    };
    const struct {
        const char* name;  // nullptr: separator
        const char* hint;
        int image;
        QAction* item;  // the menu item it stands for
    } buttons[] = {
        {"ToolButton1", "Open File: Dimensional Data", 0, ui_.OpenDimensions},
        {"ToolButton2", "Save As: Dimensional Data", 1, ui_.SaveAsDimensions},
        {nullptr, nullptr, 0, nullptr},
        {"ToolButton4", "Change Frame Dimensions", 3, ui_.FrameDim},
        {"ToolButton5", "Change Cylinder Dimensions", 4, ui_.CylDim},
        {nullptr, nullptr, 0, nullptr},
        {"ToolButton6", "Set Driver Angle to Desired Position", 5, ui_.DriverAng},
        {"ToolButton7", "Set Step Angle to Desired Amount", 6, ui_.StepAng1},
        {"ToolButton8", "Set Reverse Arm to Desired Position", 7, ui_.RevArmPos},
        {nullptr, nullptr, 0, nullptr},
        {"ToolButton9", "Calculate Mid Gear Position if Necessary", 8, ui_.FindRevArmCent},
        {nullptr, nullptr, 0, nullptr},
        {"ToolButton10", "Turn On Steam Display and Sound", 9, ui_.SetSteam},
        {nullptr, nullptr, 0, nullptr},
        {"ToolButton11", "Turn On Reference Points", 10, ui_.RefPoints},
        {"ToolButton23", "Draw Lines and Circles", 16, ui_.DrawLines1},
        {"ToolButton24", "Turn On Pivot Data", 17, ui_.SetPivotData},
        {"ToolButton12", "Turn On Dynamic Variables", 11, ui_.DynamicVariables},
        {"ToolButton3", "Turn On UnDo", 2, ui_.SetUnDo},
        {nullptr, nullptr, 0, nullptr},
    };
    for (const auto& b : buttons) {
        if (b.name) add(b.name, b.hint, b.image, b.item);
        else toolBar_->addSeparator();
    }
    // The analysis windows' buttons, then the fit.
    for (std::size_t i = 0; i < AnalysisWindows().size(); ++i) {
        const AnalysisWindow& w = AnalysisWindows()[i];
        if (w.button) add(w.button, w.tip, w.icon, ui_.analysisItems[i]);
    }
    toolBar_->addSeparator();
    add("ToolButton25", "Fit Picture to Window", 18, ui_.FitPicture);
    ui_.ToolButton23->setEnabled(false);
}

void TMainForm::BuildControls() {
    const ButtonSpec buttons[] = {
        {"Run", "Stop", "Start / Stop Driver Rotation", 277, 39, 36, 14, true, true,
         &TMainForm::RunClick, &ui_.Run},
        {"Center", "Cen", "Set Reverse Arm to Mid Gear", 280, 25, 27, 14, false, true,
         &TMainForm::CenterClick, &ui_.Center},
        {"Rev", "Rev", "Set Reverse Arm to Normal Reverse", 252, 25, 28, 14, true, true,
         &TMainForm::RevClick, &ui_.Rev},
        {"Fwd", "Fwd", "Set Reverse Arm to Normal Forward", 307, 25, 28, 14, true, true,
         &TMainForm::FwdClick, &ui_.Fwd},
        {"Deg180", "180", "Set Driver Angle to 180 Deg", 252, 39, 25, 14, true, true,
         &TMainForm::Deg180Click, &ui_.Deg180},
        {"Deg00", "0.0", "Set Driver to 0 Deg", 313, 39, 22, 14, true, true, &TMainForm::Deg00Click,
         &ui_.Deg00},
        {"Step1", "1.0", "Set Driver Step Angle to 1 Deg", 252, 53, 25, 14, true, true,
         &TMainForm::Step1Click, &ui_.Step1},
        {"Step10", "10.0", "Set Driver Step Angle to 10 Deg", 277, 53, 29, 14, false, true,
         &TMainForm::Step10Click, &ui_.Step10},
        {"Step45", "45.0", "Set Driver Step Angle to 45 Deg", 306, 53, 29, 14, true, true,
         &TMainForm::Step45Click, &ui_.Step45},
        {"NormVHZ", "Norm", "Return Pan & Zoom to Normal", 33, 39, 42, 14, false, true,
         &TMainForm::NormVHZClick, &ui_.NormVHZ},
        {"Preset1", "1", "Pan & Zoom to Preset 1", 5, 25, 14, 14, true, true, nullptr,
         &ui_.Preset[1]},
        {"Preset2", "2", "Pan & Zoom to Preset 2", 19, 25, 14, 14, true, true, nullptr,
         &ui_.Preset[2]},
        {"Preset3", "3", "Pan & Zoom to Preset 3", 33, 25, 14, 14, true, true, nullptr,
         &ui_.Preset[3]},
        {"Preset4", "4", "Pan & Zoom to Preset 4", 47, 25, 14, 14, true, true, nullptr,
         &ui_.Preset[4]},
        {"Preset5", "5", "Pan & Zoom to Preset 5", 61, 25, 14, 14, true, true, nullptr,
         &ui_.Preset[5]},
        {"Preset6", "6", "Pan & Zoom to Preset 6", 5, 39, 14, 14, true, true, nullptr,
         &ui_.Preset[6]},
        {"Preset0", "P", "Select First to Change Presets", 19, 39, 14, 14, true, true,
         &TMainForm::Preset0Click, &ui_.Preset[0]},
        {"RefPt1", "RP1", "Pan to Ref Point 1", 5, 53, 35, 14, false, true, nullptr, &ui_.RefPt1},
        {"RefPt2", "RP2", "Pan to Ref Point 2", 40, 53, 35, 14, false, true, nullptr, &ui_.RefPt2},
        {"RefPt1Zero", "0", "Zero Reference Point 1", 5, 72, 14, 23, false, false, nullptr,
         &ui_.RefPt1Zero},
        {"RefPt2Zero", "0", "Zero Reference Point 2", 5, 95, 14, 23, false, false, nullptr,
         &ui_.RefPt2Zero},
        {"UnDoDn", "UnDo", "", 280, 127, 40, 16, false, false, nullptr, &unDoDn_},
        {"DataTableBut", "DataTable", "", 2, 214, 60, 15, true, false, nullptr, &ui_.DataTableBut},
    };
    const BarSpec bars[] = {
        {"SBRevArm", "Set Reverse Arm Between Max & Min", 336, 26, 121, 12, -100, 100, 1, 20, 0,
         true, &TMainForm::SBRevArmChange, &ui_.SBRevArm},
        {"SBDrvAng", "Set Driver Angle From 0 to 360 Deg", 336, 40, 121, 12, -4000, 40000, 1000,
         4500, 1, true, &TMainForm::SBDrvAngChange, &ui_.SBDrvAng},
        {"SBStepAng", "Set Driver Step Angle to Predefined Values", 336, 54, 121, 12, 0, 14613, 920,
         2760, 12000, true, &TMainForm::SBStepAngChange, &ui_.SBStepAng},
        {"SBPanVert", "Pan Vertical", 76, 26, 121, 12, -500, 500, 1, 10, 0, true,
         &TMainForm::SBPanVertChange, &ui_.SBPanVert},
        {"SBPanHorz", "Pan Horizontal", 76, 40, 121, 12, -500, 500, 1, 10, 0, true,
         &TMainForm::SBPanHorzChange, &ui_.SBPanHorz},
        {"SBZoom", "Zoom In / Out", 76, 54, 121, 12, -200, 200, 1, 10, 0, true,
         &TMainForm::SBZoomChange, &ui_.SBZoom},
        {"SBRef1Vert", "Change Ref Point 1 Vert", 20, 72, 121, 10, -5000, 5000, 1, 25, 0, false,
         nullptr, &ui_.SBRef[0]},
        {"SBRef1Horz", "Change Ref Point 1 Horz", 20, 84, 121, 10, -10000, 10000, 1, 25, 0, false,
         nullptr, &ui_.SBRef[1]},
        {"SBRef2Vert", "Change Ref Point 2 Vert", 20, 96, 121, 10, -5000, 5000, 1, 25, 0, false,
         nullptr, &ui_.SBRef[2]},
        {"SBRef2Horz", "Change Ref Point 2 Horz", 20, 108, 121, 10, -10000, 10000, 1, 25, 0, false,
         nullptr, &ui_.SBRef[3]},
        {"SBDynVar1", "Change Last Variable Clicked", 253, 72, 121, 10, -200, 200, 1, 10, 0, false,
         nullptr, &dynBars_[1]},
        {"SBDynVar2", "Change Next to Last Variable Clicked", 253, 84, 121, 10, -200, 200, 1, 10, 0,
         false, nullptr, &dynBars_[2]},
        {"SBDynVar3", "Change 2nd to Last Variable Clicked", 253, 96, 121, 10, -200, 200, 1, 10, 0,
         false, nullptr, &dynBars_[3]},
        {"SBDynVar4", "Change 3rd to Last Variable Clicked", 253, 108, 121, 10, -200, 200, 1, 10, 0,
         false, nullptr, &dynBars_[4]},
    };

    // The panel table runs Panel1 .. Panel12.
    int panel = 0;
    for (const PanelSpec& p : kPanels) {
        auto* f = new QFrame(picture_);
        ui_.Panel[++panel] = f;
        f->setObjectName(QString::fromLatin1(p.name));
        f->setFrameStyle(QFrame::Panel | QFrame::Raised);
        f->setLineWidth(1);
        f->setAutoFillBackground(true);
        f->setGeometry(p.x, p.y, p.w, p.h);
        f->setVisible(p.visible);
        places_.push_back({f, f->geometry()});
    }
    for (const ButtonSpec& b : buttons) {
        auto* w = new QPushButton(QString::fromLatin1(b.caption), picture_);
        w->setObjectName(QString::fromLatin1(b.name));
        w->setToolTip(QString::fromLatin1(b.hint));
        w->setGeometry(b.x, b.y, b.w, b.h);
        w->setAutoDefault(false);
        w->setDefault(false);
        w->setFocusPolicy(Qt::NoFocus);
        w->setStyleSheet(QString::fromLatin1(kStripStyle));
        w->setEnabled(b.enabled);
        w->setVisible(b.visible);
        if (b.click) connect(w, &QPushButton::clicked, this, b.click);
        *b.kept = w;
        places_.push_back({w, w->geometry()});
    }
    // DataTableButClick: the pivot data table, modally.
    connect(ui_.DataTableBut, &QPushButton::clicked, this,
            [this] { ShowModal(windows_.DataTable); });
    for (int k = 1; k <= 6; ++k)
        connect(ui_.Preset[k], &QPushButton::clicked, this, [this, k] { PresetClick(k); });
    for (const BarSpec& b : bars) {
        auto* s = new QScrollBar(Qt::Horizontal, picture_);
        s->setObjectName(QString::fromLatin1(b.name));
        s->setToolTip(QString::fromLatin1(b.hint));
        s->setGeometry(b.x, b.y, b.w, b.h);
        s->setRange(b.min, b.max);
        s->setSingleStep(b.small);
        s->setPageStep(b.large);
        // Right and Page Down move a bar to the right, as on every other desktop scroll bar
        // (Qt's scroll bars turn the arrow keys round by default).
        s->setInvertedControls(false);
        // The start position runs no handler: the signal is connected afterwards.
        s->setValue(b.position);
        s->setVisible(b.visible);
        if (b.change) connect(s, &QScrollBar::valueChanged, this, b.change);
        *b.kept = s;
        places_.push_back({s, s->geometry()});
    }
    ui_.SBRevArm->setRange(-RevArmBarMax(m_.design), RevArmBarMax(m_.design));
    ui_.SBRevArm->setFocusPolicy(Qt::StrongFocus);
    for (int k = 1; k <= 4; ++k) {
        dynBars_[k]->setFocusPolicy(Qt::StrongFocus);
        connect(dynBars_[k], &QScrollBar::valueChanged, this,
                [this, k](int pos) { SBDynVarChange(k, pos); });
        dynBars_[k]->installEventFilter(this);
    }
    connect(unDoDn_, &QPushButton::clicked, this, &TMainForm::UnDoDnClick);
    places_.push_back({toolBar_, toolBar_->geometry()});
    toolBar_->raise();
}

void TMainForm::LayOutControls() {
    const LayoutScale scale = LayoutScale::Of(m_.display);
    for (const auto& [w, normal] : places_) w->setGeometry(scale.Rect(normal));
}

void TMainForm::FitWindowToLayout() {
    // A window the user has sized is left alone; a smaller one grows to hold the large layout
    // and goes back to its size when the font returns to normal.
    if (isMaximized() || isFullScreen()) return;
    const LayoutScale scale = LayoutScale::Of(m_.display);
    if (scale.IsNormal()) {
        if (sizeBeforeLargeFont_.isValid() && size() == sizeForLargeFont_)
            resize(sizeBeforeLargeFont_);
        sizeBeforeLargeFont_ = sizeForLargeFont_ = QSize();
        return;
    }
    const QSize client = scale.Size(QSize(kClientWidth, kClientHeight));
    const QSize wanted(client.width(), client.height() + menuBar()->sizeHint().height());
    if (size().expandedTo(wanted) == size()) return;
    sizeBeforeLargeFont_ = size();
    resize(size().expandedTo(wanted));
    sizeForLargeFont_ = size();
}

// ---- start, activation, close ----

void TMainForm::FormActivate() {
    // The driver-angle bar is locked while the crank turns.
    ui_.SBDrvAng->setEnabled(!running_);
}

void TMainForm::PauseAnimation() { timer_->stop(); }

void TMainForm::ResumeAnimation() { timer_->start(); }

void TMainForm::RestoreWindowPlacement() {
    const auto settings = OpenProgramSettings(settingsFile_);
    const StoredWindow stored = LoadWindowPlacement(*settings);
    if (!stored.geometry) return;
    QList<QRect> screens;
    for (const QScreen* s : QGuiApplication::screens()) screens << s->availableGeometry();
    // A window left on a screen that is no longer there opens as on the first start.
    const auto usable = UsableWindowGeometry(*stored.geometry, screens);
    if (!usable) return;
    setGeometry(*usable);
    if (stored.maximised) setWindowState(windowState() | Qt::WindowMaximized);
}

void TMainForm::closeEvent(QCloseEvent* e) {
    // Where the window stood, for the next run (a window never shown has no place to keep).
    if (isVisible()) {
        const auto settings = OpenProgramSettings(settingsFile_);
        StoreWindowPlacement(*settings, normalGeometry(), isMaximized());
        StoreViewChoices(*settings, {ViewIsFitted(), !LayoutScale::Of(m_.display).IsNormal()});
    }
    sound_->SetVolume(0x8000);
    timer_->stop();
    QMainWindow::closeEvent(e);
    QApplication::closeAllWindows();
}

void TMainForm::ShowModal(QDialog* d) {
    // A window already open (a queued reopen that came late) is not opened a second time.
    if (!d || d->isVisible()) return;
    if (inTick_) {
        QPointer<QDialog> p(d);
        QTimer::singleShot(0, this, [this, p] { ShowModal(p.data()); });
        return;
    }
    d->exec();
    FormActivate();
}

// ---- the tick ----

qreal TMainForm::FrameRatio() const {
    return forcedRatio_ > 0 ? forcedRatio_ : picture_->devicePixelRatio();
}

bool TMainForm::FitFrame() {
    const qreal ratio = FrameRatio();
    const QSize size(std::max(kFrameWidth, picture_->width()),
                     std::max(kFrameHeight, picture_->height()));
    if (frame_.image.devicePixelRatio() == ratio && frame_.size == size) return false;
    FrameBuffer fitted(size.width(), size.height(), ratio);
    fitted.image.fill(Qt::white);
    {
        // The last frame stays on show until the next tick draws afresh.
        QPainter p(&fitted.image);
        p.drawImage(QPointF(0, 0), frame_.image);
    }
    frame_ = std::move(fitted);
    frameSettled_ = false;
    return true;
}

void TMainForm::Timer1Timer() {
    if (unDoDn_->isEnabled() != UndoAvailable(m_.undo)) unDoDn_->setEnabled(UndoAvailable(m_.undo));
    FitFrame();
    // Nothing the picture shows has changed since a frame that left the model as it found it:
    // the frame on screen is right, and only the clock in the captions moves on.
    if (frameSettled_ && m_ == drawnFrom_) {
        if (clock_().toSecsSinceEpoch() != lastClock_.toSecsSinceEpoch())
            SetFrameCaptions(m_, *this);
        return;
    }
    inTick_ = true;
    drawnFrom_ = m_;
    CloseupActions actions;
    {
        QPainterCanvas canvas(frame_);
        canvas.SetSmooth(m_.display.SmoothLines);
        actions = scene_.Tick(canvas);
    }
    ++framesDrawn_;
    // The steam's dots are new every frame; a close-up's dialogs come and go.
    frameSettled_ = !m_.display.ShowSteam && m_ == drawnFrom_ && !actions.closeFrameDialog &&
                    !actions.closeCylDialog && !actions.reopenFrameDialog &&
                    !actions.reopenCylDialog && !actions.defaultCursor;
    inTick_ = false;
    // Only what changed on screen.
    picture_->update(shown_.Show(frame_, picture_->size()));
    ApplyCloseup(actions);
}

void TMainForm::ApplyCloseup(const CloseupActions& a) {
    if (a.closeFrameDialog && windows_.FrameDi) windows_.FrameDi->reject();
    if (a.closeCylDialog && windows_.CylDimen) windows_.CylDimen->reject();
    // Reopened from the event loop, never inside the frame.
    if (a.reopenFrameDialog) {
        QPointer<QDialog> d(windows_.FrameDi);
        QTimer::singleShot(0, this, [this, d] { ShowModal(d.data()); });
    }
    if (a.reopenCylDialog) {
        QPointer<QDialog> d(windows_.CylDimen);
        QTimer::singleShot(0, this, [this, d] { ShowModal(d.data()); });
    }
    if (a.defaultCursor) {
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
        unsetCursor();
    }
}

void TMainForm::FormMouseDown(Qt::MouseButton button, int x, int y) {
    emit PictureMouseDown(button, x, y);
    // Any click ends a dimension close-up at the next frame.
    if (m_.closeup.GraphicPosId > 0) m_.closeup.GraphicPosFrames = 1005;
}

// ---- SceneHost ----

void TMainForm::SetCaption(CaptionWindow w, const std::string& text) {
    // This window's, the pivot data table's, or an analysis window's by its row.
    QWidget* target = nullptr;
    if (w == CaptionWindow::Main) target = this;
    if (w == CaptionWindow::DataTable) target = windows_.DataTable;
    for (const AnalysisWindow& a : AnalysisWindows())
        if (a.caption == w) target = windows_.*a.window;
    if (!target) return;
    const QString t = QString::fromStdString(text);
    if (target->windowTitle() != t) target->setWindowTitle(t);
}

std::string TMainForm::DateText() {
    // The captions show whole seconds: their texts are made again once a second.
    const QDateTime now = clock_();
    if (dateText_.empty() || now.toSecsSinceEpoch() != lastClock_.toSecsSinceEpoch()) {
        lastClock_ = now;
        dateText_ = locale_.toString(lastClock_.date(), QLocale::ShortFormat).toStdString();
        timeText_.clear();
    }
    return dateText_;
}

std::string TMainForm::TimeText() {
    if (!timeText_.empty()) return timeText_;
    // The long time format with its seconds, without a time-zone name.
    QString format = locale_.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    timeText_ = locale_.toString(lastClock_.time(), format.trimmed()).trimmed().toStdString();
    return timeText_;
}

void TMainForm::SetUndoButton(bool visible, int top) {
    if (visible && unDoDn_->y() != top) unDoDn_->move(unDoDn_->x(), top);
    if (unDoDn_->isHidden() == visible) unDoDn_->setVisible(visible);
}

void TMainForm::SetErrorIndicator(bool visible) {
    if (errorItem_->isVisible() != visible) errorItem_->setVisible(visible);
    if (errorMarker_->isHidden() == visible) errorMarker_->setVisible(visible);
}

void TMainForm::SetDynVarBarEnabled(int k, bool enabled) {
    if (k >= 1 && k <= 4 && dynBars_[k]->isEnabled() != enabled) dynBars_[k]->setEnabled(enabled);
}

std::uint32_t TMainForm::ClockSeed() {
    const auto ns = std::chrono::steady_clock::now().time_since_epoch().count();
    return static_cast<std::uint32_t>(ns) ^ static_cast<std::uint32_t>(ns >> 32) ^
           (++seedCounter_ * 0x9E3779B9u);
}

// ---- motion ----

void TMainForm::StartMotion() {
    m_.motion.StepAngle = m_.motion.StepSetting;
    ui_.SBDrvAng->setEnabled(false);
    running_ = true;
    ui_.Run->setText(QStringLiteral("Stop"));
    ui_.Deg00->setEnabled(true);
    ui_.Deg180->setEnabled(true);
}

void TMainForm::StopMotion() {
    auto* bar = ui_.SBDrvAng;
    // The bar's handler quantises the angle to 0.01 degrees.
    bar->setValue(Round(static_cast<ext>(m_.motion.CrankAngle) * 100));
    m_.motion.StepAngle = 0;
    bar->setEnabled(true);
    running_ = false;
    ui_.Run->setText(QStringLiteral("Run"));
    ui_.Deg00->setEnabled(true);
    ui_.Deg180->setEnabled(true);
}

void TMainForm::SetDriverAngleBar(int position) {
    auto* bar = ui_.SBDrvAng;
    bar->setValue(position);
    bar->setEnabled(true);
}

void TMainForm::SetDriverAngleSteps(int small, int large) {
    auto* bar = ui_.SBDrvAng;
    bar->setSingleStep(small);
    bar->setPageStep(large);
}

void TMainForm::SetStepAngleBar(int position) { ui_.SBStepAng->setValue(position); }

void TMainForm::RunClick() {
    if (running_) StopMotion();
    else StartMotion();
}

void TMainForm::SBDrvAngChange(int pos) {
    m_.motion.CrankAngle = static_cast<f32>(pos / 100.0L);
    ui_.Deg180->setEnabled(true);
    ui_.Deg00->setEnabled(true);
}

void TMainForm::Deg00Click() {
    m_.motion.CrankAngle = 0;
    ui_.SBDrvAng->setValue(0);
    m_.motion.StepAngle = 0;
    ui_.SBDrvAng->setEnabled(true);
    running_ = false;
    ui_.Run->setText(QStringLiteral("Run"));
    ui_.Deg00->setEnabled(false);
    ui_.Deg180->setEnabled(true);
}

void TMainForm::Deg180Click() {
    m_.motion.CrankAngle = 180;
    ui_.SBDrvAng->setValue(18000);
    m_.motion.StepAngle = 0;
    ui_.SBDrvAng->setEnabled(true);
    running_ = false;
    ui_.Run->setText(QStringLiteral("Run"));
    ui_.Deg180->setEnabled(false);
    ui_.Deg00->setEnabled(true);
}

void TMainForm::UpdateStepButtons() {
    ui_.Step10->setEnabled(m_.motion.StepSetting != 10);
    ui_.Step45->setEnabled(m_.motion.StepSetting != 45);
    ui_.Step1->setEnabled(m_.motion.StepSetting != 1);
}

void TMainForm::SBStepAngChange(int pos) {
    if (!m_.motion.StepSnap) {
        // A typed step keeps its value once.
        m_.motion.StepSnap = true;
    } else {
        const StepBarEntry& e = StepBarLookup(pos);
        m_.motion.StepSetting = e.step;
        auto* drv = ui_.SBDrvAng;
        drv->setSingleStep(e.smallChange);
        drv->setPageStep(e.largeChange);
        if (running_) m_.motion.StepAngle = m_.motion.StepSetting;
    }
    UpdateStepButtons();
}

void TMainForm::Step1Click() {
    ui_.Step1->setEnabled(false);
    m_.motion.StepSetting = 1;
    if (running_) m_.motion.StepAngle = m_.motion.StepSetting;
    ui_.SBStepAng->setValue(8000);
}

void TMainForm::Step10Click() {
    ui_.Step10->setEnabled(false);
    m_.motion.StepSetting = 10;
    if (running_) m_.motion.StepAngle = m_.motion.StepSetting;
    ui_.SBStepAng->setValue(12000);
}

void TMainForm::Step45Click() {
    ui_.Step45->setEnabled(false);
    m_.motion.StepSetting = 45;
    if (running_) m_.motion.StepAngle = m_.motion.StepSetting;
    ui_.SBStepAng->setValue(14613);
}

void TMainForm::EmptyCutoffTexts() {
    m_.readouts.FrontCutoffText.clear();
    m_.readouts.RearCutoffText.clear();
}

void TMainForm::SBRevArmChange(int pos) {
    const ext centre = m_.motion.RevArmPositions[0];
    // A positive position moves the arm end away from the cylinders.
    m_.motion.RevArmPos = static_cast<f32>(centre - pos / 1000.0L);
    m_.motion.Direction = m_.motion.RevArmPos > m_.motion.RevArmPositions[0] ? Direction::Reverse
                                                                             : Direction::Forward;
    ui_.Center->setEnabled(pos != 0);
    const f32 fwd = static_cast<f32>(centre - m_.design.RevArmToCentNorm);
    const f32 rev = static_cast<f32>(centre + m_.design.RevArmToCentNorm);
    ui_.Fwd->setEnabled(m_.motion.RevArmPos != fwd);
    ui_.Rev->setEnabled(m_.motion.RevArmPos != rev);
    EmptyCutoffTexts();
}

void TMainForm::FwdClick() {
    auto* bar = ui_.SBRevArm;
    // Normal gear as a share of the bar's range; no range (a zero limit) means mid gear.
    const ext maxCent = m_.design.RevArmToCentMax;
    bar->setValue(maxCent != 0 ? Round(m_.design.RevArmToCentNorm *
                                       static_cast<ext>(bar->maximum()) / maxCent)
                               : 0);
    ui_.Fwd->setEnabled(false);
    ui_.Rev->setEnabled(true);
    ui_.Center->setEnabled(true);
    EmptyCutoffTexts();
}

void TMainForm::RevClick() {
    auto* bar = ui_.SBRevArm;
    const ext maxCent = m_.design.RevArmToCentMax;
    bar->setValue(maxCent != 0 ? Round(m_.design.RevArmToCentNorm *
                                       static_cast<ext>(bar->minimum()) / maxCent)
                               : 0);
    ui_.Rev->setEnabled(false);
    ui_.Fwd->setEnabled(true);
    ui_.Center->setEnabled(true);
    EmptyCutoffTexts();
}

void TMainForm::CenterClick() {
    ui_.SBRevArm->setValue(0);
    m_.motion.RevArmPos = m_.motion.RevArmPositions[0];
    ui_.Fwd->setEnabled(true);
    ui_.Rev->setEnabled(true);
    ui_.Center->setEnabled(false);
    EmptyCutoffTexts();
}

void TMainForm::SetRevArmBar(int position) { ui_.SBRevArm->setValue(position); }

void TMainForm::ShowRevArm() {
    const f32 pos = m_.motion.RevArmPos;
    QScrollBar* bar = ui_.SBRevArm;
    {
        const QSignalBlocker quiet(bar);
        bar->setValue(RevArmBarPosition(m_.motion));
    }
    SBRevArmChange(bar->value());  // the gear buttons and the direction
    m_.motion.RevArmPos = pos;     // not as the bar's thousandths round it
}

void TMainForm::ResetRevArmRange() {
    ui_.SBRevArm->setRange(-RevArmBarMax(m_.design), RevArmBarMax(m_.design));
}

void TMainForm::RunRevArmPositions() {
    if (windows_.SetRevArm) windows_.SetRevArm->exec();
}

void TMainForm::RunDimensionDialog(DimDialog which, const QRect& keepClear) {
    QDialog* d = which == DimDialog::Frame ? windows_.FrameDi : windows_.CylDimen;
    if (!d || d->isVisible()) return;
    // A dialog never shown has no frame yet: the main window's tells how large it will be.
    const QSize decorations = frameGeometry().size() - size();
    const QSize frame = d->frameGeometry().size() == d->size() ? d->size() + decorations
                                                               : d->frameGeometry().size();
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    d->move(PlaceBeside(frame, frameGeometry(), keepClear, screen->availableGeometry()));
    ShowModal(d);
    // Opened from the main window again, it stands where Qt puts a dialog.
    d->setAttribute(Qt::WA_Moved, false);
}

void TMainForm::FindRevArmCentClick() {
    CentreRevArm(m_);
    CenterClick();
}

// ---- switches ----

void TMainForm::SetBeepOnErrorClick() {
    m_.display.BeepOnError = !m_.display.BeepOnError;
    ui_.SetBeepOnError->setText(m_.display.BeepOnError ? QStringLiteral("Set&ErrorBeep Off")
                                                       : QStringLiteral("Set&ErrorBeep On"));
}

void TMainForm::SetSteamClick() {
    m_.display.ShowSteam = !m_.display.ShowSteam;
    ui_.SetSteam->setText(m_.display.ShowSteam ? QStringLiteral("SetS&teamDisp Off")
                                               : QStringLiteral("SetS&teamDisp On"));
}

// ---- view ----

void TMainForm::SBPanVertChange(int pos) {
    ui_.NormVHZ->setEnabled(true);
    PanVertical(m_, panVertBar_, pos);
    ui_.SBPanVert->setValue(0);
}

void TMainForm::SBPanHorzChange(int pos) {
    ui_.NormVHZ->setEnabled(true);
    PanHorizontal(m_, panHorzBar_, pos);
    ui_.SBPanHorz->setValue(0);
}

void TMainForm::SBZoomChange(int pos) {
    ui_.NormVHZ->setEnabled(true);
    ZoomStep(m_, zoomBar_, pos);
    ui_.SBZoom->setValue(0);
}

void TMainForm::NormVHZClick() {
    // The bars are always back at 0 after a step, so putting them to 0 runs no handler.
    ui_.SBPanVert->setValue(0);
    ui_.SBPanHorz->setValue(0);
    ui_.SBZoom->setValue(0);
    NormalView(m_.view);
    ui_.NormVHZ->setEnabled(false);
    ui_.Preset[0]->setEnabled(true);
}

void TMainForm::Preset0Click() {
    TakePresetView(m_.view);
    // Disabled "P" is the armed state: the next preset button stores this view.
    ui_.Preset[0]->setEnabled(false);
    ui_.NormVHZ->setEnabled(true);
}

void TMainForm::PresetClick(int k) {
    RecallPreset(m_.view, k, !ui_.Preset[0]->isEnabled());
    ui_.NormVHZ->setEnabled(true);
    ui_.Preset[0]->setEnabled(true);
}

void TMainForm::SetPanZoomClick() {
    panZoomShown_ = !panZoomShown_;
    ui_.SetPanZoom->setText(panZoomShown_ ? QStringLiteral("SetP&anZoom Off")
                                          : QStringLiteral("SetP&anZoom On"));
    for (QScrollBar* bar : {ui_.SBPanVert, ui_.SBPanHorz, ui_.SBZoom})
        bar->setVisible(panZoomShown_);
}

void TMainForm::SetLineWidthClick() {
    m_.display.LineWidth = m_.display.LineWidth == 1 ? 2 : 1;
    ui_.SetLineWidth->setText(m_.display.LineWidth == 2 ? QStringLiteral("Set&LineWidth 1")
                                                        : QStringLiteral("Set&LineWidth 2"));
}

QRect TMainForm::FitArea() const {
    const QSize client = isVisible() ? picture_->size() : QSize(kClientWidth, kClientHeight);
    // The control strip ends with the lowest of its frame panels (and the tool bar above them);
    // with screen data off they are all hidden and the whole client area is the picture's.
    int top = 0;
    if (!toolBar_->isHidden()) top = toolBar_->geometry().bottom() + 1;
    for (int k = 1; k <= 12; ++k)
        if (!ui_.Panel[k]->isHidden()) top = std::max(top, ui_.Panel[k]->geometry().bottom() + 1);
    return QRect(0, top, client.width(), std::max(0, client.height() - top));
}

void TMainForm::FitPictureClick() {
    const QRect a = FitArea();
    if (!FitPictureToArea(m_, {a.x(), a.y(), a.width(), a.height()}, kFitMargin)) return;
    fittedView_ = {m_.view.Zoom, m_.view.OffsetX, m_.view.OffsetY};
    // As after a preset: Norm returns from here and "P" can take this view.
    ui_.NormVHZ->setEnabled(true);
    ui_.Preset[0]->setEnabled(true);
}

bool TMainForm::ViewIsFitted() const {
    return fittedView_ && (*fittedView_)[0] == m_.view.Zoom &&
           (*fittedView_)[1] == m_.view.OffsetX && (*fittedView_)[2] == m_.view.OffsetY;
}

void TMainForm::SmoothLinesClick() {
    m_.display.SmoothLines = !m_.display.SmoothLines;
    ui_.SmoothLines->setText(m_.display.SmoothLines ? QStringLiteral("S&mooth Lines Off")
                                                    : QStringLiteral("S&mooth Lines On"));
    StoreSmoothLines(*OpenProgramSettings(settingsFile_), m_.display.SmoothLines);
    // The pictures of the windows left open beside this one (the gear curve in Valve Events)
    // draw afresh the same way, now.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == this || !w->isVisible()) continue;
        for (QWidget* picture : w->findChildren<QWidget*>())
            if (picture->isVisible() && picture->testAttribute(Qt::WA_OpaquePaintEvent))
                picture->repaint();
    }
}

void TMainForm::TruePistonTravelClick() {
    m_.display.TruePistonTravel = !m_.display.TruePistonTravel;
    ui_.TruePistonTravel->setText(m_.display.TruePistonTravel
                                      ? QStringLiteral("True Piston &Travel Off")
                                      : QStringLiteral("True Piston &Travel On"));
    // The next cut-off is interpolated from a previous position on the same scale.
    m_.readouts.PrevPistonPos = ToFloat(ShownPistonPos(m_));
    StoreTruePistonTravel(*OpenProgramSettings(settingsFile_), m_.display.TruePistonTravel);
}

void TMainForm::LargeFontClick() {
    const bool large = m_.display.FontScaleX == 1.0f && m_.display.FontScaleY == 1.0f;
    m_.display.FontScaleX = large ? 1.27f : 1.0f;
    m_.display.FontScaleY = large ? 1.22f : 1.0f;
    ui_.LargeFont->setText(large ? QStringLiteral("SetSmall&Font")
                                 : QStringLiteral("SetLarge&Font"));
    // The controls move with the texts beside them.
    LayOutControls();
    FitWindowToLayout();
    // A fitted picture stays fitted below the strip's new height.
    if (ViewIsFitted()) FitPictureClick();
}

// ---- screen data ----

void TMainForm::SetScreenDataClick() {
    const MainFormControls& c = ui_;
    if (m_.display.ScreenData) {
        m_.display.ScreenData = false;
        c.SetScreenData->setText(QStringLiteral("SetScree&nData On"));
        // What switching screen data off hides, in this order.
        for (QWidget* w : std::initializer_list<QWidget*>{
                 c.Panel[1],  c.Panel[2],   c.Panel[3],   c.Panel[4],  c.Panel[5],  c.Panel[6],
                 c.Panel[7],  c.Panel[8],   c.Panel[9],   c.Panel[10], c.Panel[11], c.Panel[12],
                 c.Preset[1], c.Preset[2],  c.Preset[3],  c.Preset[4], c.Preset[5], c.Preset[6],
                 c.Preset[0], c.NormVHZ,    c.RefPt1,     c.RefPt2,    c.SBPanVert, c.SBPanHorz,
                 c.SBZoom,    c.Rev,        c.Center,     c.Fwd,       c.Deg180,    c.Run,
                 c.Deg00,     c.Step1,      c.Step10,     c.Step45,    c.SBRevArm,  c.SBDrvAng,
                 c.SBStepAng, c.RefPt1Zero, c.RefPt2Zero, c.SBRef[0],  c.SBRef[1],  c.SBRef[2],
                 c.SBRef[3],  dynBars_[1],  dynBars_[2],  dynBars_[3], dynBars_[4]})
            w->hide();
        c.DriverAng->setEnabled(false);
        c.RefPoints1->setVisible(false);
        c.FindRevArmCent->setEnabled(false);
        c.DynamicVariables->setEnabled(false);
        m_.display.DynVarOn = false;
        c.RefPoints->setEnabled(false);
        m_.display.RefPointsOn = false;
        c.SetUnDo->setEnabled(false);
        m_.display.UndoOn = false;
        toolBar_->hide();
        c.SetPanZoom->setEnabled(true);
        m_.display.PivotDataOn = false;
        c.DataTableBut->hide();
        c.SetPivotData->setEnabled(false);
        c.DrawLines1->setEnabled(false);
        c.ToolButton23->setEnabled(false);
    } else {
        m_.display.ScreenData = true;
        c.SetScreenData->setText(QStringLiteral("SetScree&nData Off"));
        // Switching it on shows the first part again (the reference-point and
        // dynamic-variable groups wait for their modes).
        for (QWidget* w : std::initializer_list<QWidget*>{
                 c.Panel[1],  c.Panel[2],  c.Panel[3],  c.Panel[4],  c.Panel[9],  c.Panel[10],
                 c.Panel[12], c.Preset[1], c.Preset[2], c.Preset[3], c.Preset[4], c.Preset[5],
                 c.Preset[6], c.Preset[0], c.NormVHZ,   c.RefPt1,    c.RefPt2,    c.SBPanVert,
                 c.SBPanHorz, c.SBZoom,    c.Rev,       c.Center,    c.Fwd,       c.Deg180,
                 c.Run,       c.Deg00,     c.Step1,     c.Step10,    c.Step45,    c.SBRevArm,
                 c.SBDrvAng,  c.SBStepAng})
            w->show();
        panZoomShown_ = false;
        c.DriverAng->setEnabled(true);
        c.RefPoints1->setVisible(true);
        c.FindRevArmCent->setEnabled(true);
        c.DynamicVariables->setEnabled(true);
        c.RefPoints->setEnabled(true);
        c.SetUnDo->setEnabled(true);
        toolBar_->show();
        c.SetPanZoom->setEnabled(false);
        c.SetPanZoom->setText(QStringLiteral("SetP&anZoom On"));
        c.SetPivotData->setEnabled(true);
    }
}

void TMainForm::DynamicVariablesClick() {
    m_.display.DynVarOn = !m_.display.DynVarOn;
    ShowDynVarControls(m_.display.DynVarOn);
}

void TMainForm::ShowDynVarControls(bool visible) {
    for (int k = 1; k <= 4; ++k) dynBars_[k]->setVisible(visible);
    for (int n : {7, 8, 9}) ui_.Panel[n]->setVisible(visible);
}

void TMainForm::RefreshUndoButton() { unDoDn_->setEnabled(UndoAvailable(m_.undo)); }

void TMainForm::SetUnDoClick() { m_.display.UndoOn = !m_.display.UndoOn; }

void TMainForm::UnDoDnClick() {
    UnDoClick(m_);
    ShowRevArm();
    RefreshUndoButton();
}

// ---- dynamic-variable bars ----

void TMainForm::SBDynVarChange(int k, int pos) {
    DynVarBarChange(m_, k, pos);
    // A jog bar springs back to its centre (which runs this once more with 0).
    dynBars_[k]->setValue(0);
}

void TMainForm::EndDynVarInteraction(int k) {
    DynVarBarInteractionEnd(m_, k);
    RefreshUndoButton();
    ui_.SBRevArm->setFocus();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* e) {
    // One press to its release, or one wheel event, is one interaction and one undo entry.
    for (int k = 1; k <= 4; ++k) {
        if (watched != dynBars_[k]) continue;
        switch (e->type()) {
            case QEvent::MouseButtonPress: DynVarBarInteractionStart(m_, k); break;
            case QEvent::MouseButtonRelease:
                dynBars_[k]->event(e);
                EndDynVarInteraction(k);
                return true;
            case QEvent::KeyPress:
                if (!static_cast<QKeyEvent*>(e)->isAutoRepeat()) DynVarBarInteractionStart(m_, k);
                break;
            case QEvent::KeyRelease:
                if (static_cast<QKeyEvent*>(e)->isAutoRepeat()) break;
                dynBars_[k]->event(e);
                EndDynVarInteraction(k);
                return true;
            case QEvent::Wheel:
                DynVarBarInteractionStart(m_, k);
                dynBars_[k]->event(e);
                EndDynVarInteraction(k);
                return true;
            default: break;
        }
        break;
    }
    return QMainWindow::eventFilter(watched, e);
}

void TMainForm::ResetAllClick() {
    ResetAllModel(m_);
    // The frame reset's part: the reverse-arm bar spans the default largest offset again.
    ResetRevArmRange();
    CenterClick();
    ui_.NormVHZ->setEnabled(false);
    ui_.Preset[0]->setEnabled(true);
    for (int k = 1; k <= 4; ++k) dynBars_[k]->hide();
    for (int n : {7, 8, 9}) ui_.Panel[n]->hide();
    unDoDn_->setEnabled(false);
}

}  // namespace tarn
