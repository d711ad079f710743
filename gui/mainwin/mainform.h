// The main window: tool bar, menus and the control strip over the animated picture of the
// valve gear. Timer1 drives the picture; every handler acts on the model directly.
#pragma once

#include <QAction>
#include <QDateTime>
#include <QImage>
#include <QLocale>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "core/model/model.h"
#include "core/scene/mainscene.h"
#include "core/scene/scenehost.h"
#include "core/scene/view.h"
#include "gui/common/mainwindowhost.h"
#include "gui/common/qpaintercanvas.h"
#include "gui/mainwin/appwindows.h"
#include "gui/mainwin/shownframe.h"

class QFrame;
class QMenu;
class QPushButton;
class QScrollBar;
class QToolBar;
class QToolButton;

namespace tarn {

struct Picture;

// One tick every 16 ms: the rate a 1 ms request gets from a desktop clock, so the frame-counted
// durations (cut-off read-outs, error signal, close-ups) last as long as users expect.
inline constexpr int kTickIntervalMs = 16;

// The window's own controls, kept as they are made (each carries its name as objectName too).
// The dynamic-variable bars, the UnDo button and the error marker are kept by the window itself.
struct MainFormControls {
    QFrame* Panel[13] = {};  // Panel1 .. Panel12
    QPushButton *Run = nullptr, *Center = nullptr, *Rev = nullptr, *Fwd = nullptr;
    QPushButton *Deg180 = nullptr, *Deg00 = nullptr;
    QPushButton *Step1 = nullptr, *Step10 = nullptr, *Step45 = nullptr;
    QPushButton* NormVHZ = nullptr;
    QPushButton* Preset[7] = {};  // Preset0 ("P") .. Preset6
    QPushButton *RefPt1 = nullptr, *RefPt2 = nullptr, *RefPt1Zero = nullptr, *RefPt2Zero = nullptr;
    QPushButton* DataTableBut = nullptr;
    QScrollBar *SBRevArm = nullptr, *SBDrvAng = nullptr, *SBStepAng = nullptr;
    QScrollBar *SBPanVert = nullptr, *SBPanHorz = nullptr, *SBZoom = nullptr;
    QScrollBar* SBRef[4] = {};        // SBRef1Vert, SBRef1Horz, SBRef2Vert, SBRef2Horz
    QWidget* ToolButton23 = nullptr;  // the tool button of DrawLines1
    QWidget* ToolButton25 = nullptr;  // the tool button of FitPicture
    // The menus and their items.
    QMenu *File1 = nullptr, *RecentDesigns = nullptr;
    QAction *OpenDimensions = nullptr, *SaveAsDimensions = nullptr, *ExportPicture = nullptr,
            *PrintPicture = nullptr, *Exit1 = nullptr;
    QAction *RevArmPos = nullptr, *DriverAng = nullptr, *StepAng1 = nullptr, *RefPoints1 = nullptr,
            *LargeFont = nullptr, *FindRevArmCent = nullptr, *SetSteam = nullptr,
            *SetBeepOnError = nullptr, *SetLineWidth = nullptr, *SetScreenData = nullptr,
            *SetPanZoom = nullptr, *FitPicture = nullptr, *SmoothLines = nullptr,
            *TruePistonTravel = nullptr;
    QAction *FrameDim = nullptr, *CylDim = nullptr, *SetGraphicZoom = nullptr, *ResetAll = nullptr;
    QAction *RefPoints = nullptr, *DrawLines1 = nullptr, *SetPivotData = nullptr,
            *DynamicVariables = nullptr, *SetUnDo = nullptr;
    std::vector<QAction*> analysisItems;  // the analysis windows' items, as AnalysisWindows()
    QAction *Instructions = nullptr, *SpecInstr = nullptr, *About1 = nullptr;
};

class TMainForm : public QMainWindow, public MainWindowHost, private SceneHost {
    Q_OBJECT
public:
    // Runs the model's start-up and takes the window's place and the smooth-lines switch from
    // the settings of the last run. A sound sink may be given (tests); otherwise the Qt one. A
    // settings file may be given (tests); otherwise the user's own settings.
    explicit TMainForm(Model& m, std::unique_ptr<SoundSink> sound = nullptr,
                       QWidget* parent = nullptr, const QString& settingsFile = {});
    ~TMainForm() override;

    Model& model() { return m_; }
    const AppWindows& windows() const { return windows_; }
    // The controls, for the tools that work on them.
    const MainFormControls& Controls() const { return ui_; }
    void AttachWindows(const AppWindows& w) { windows_ = w; }
    // The menu item that opens an analysis window (a row of AnalysisWindows()); null for none.
    QAction* AnalysisItem(QDialog* AppWindows::*window) const;

    // The last frame drawn: as large as the picture area and at least 1280 x 1024 logical
    // pixels, at the screen's device pixel ratio.
    const QImage& Frame() const { return frame_.image; }
    // Draws the frame at this device pixel ratio, whatever the screen's (tests); 0 follows the
    // screen again.
    void SetFrameRatio(qreal ratio) { forcedRatio_ = ratio; }
    // How many frames the ticks have drawn: a tick that finds nothing changed draws none.
    long FramesDrawn() const { return framesDrawn_; }
    // The part of the last frame the window shows, and the same frame drawn again from a copy
    // of the model as it is now (for export and print).
    Picture ShownPicture() const;
    // Fixed clock and locale for the captions (tests).
    void SetClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
    void SetCaptionLocale(const QLocale& l) {
        locale_ = l;
        dateText_.clear();
    }

    // Shows a window modally; from inside a tick the call is queued. The main window's
    // activation follows when it returns.
    void ShowModal(QDialog* d);
    bool InTick() const { return inTick_; }

    // MainWindowHost: what the dialogs and diagram windows ask of this window.
    void PauseAnimation() override;
    void ResumeAnimation() override;
    bool MotionRunning() const override { return running_; }
    void StartMotion() override;  // the start branch of Run/Stop
    void StopMotion() override;   // the stop branch of Run/Stop
    void SetDriverAngleBar(int position) override;
    void SetDriverAngleSteps(int small, int large) override;
    void SetStepAngleBar(int position) override;
    void UpdateStepButtons() override;
    void SetRevArmBar(int position) override;
    void ResetRevArmRange() override;
    void RunRevArmPositions() override;
    void ShowDynVarControls(bool visible) override;
    void RefreshUndoButton() override;
    void RunDimensionDialog(DimDialog which, const QRect& keepClear) override;
    void ShowRevArm() override;

    // ---- handlers (names as the window defines them) ----
    void FormActivate();
    void Timer1Timer();
    void FormMouseDown(Qt::MouseButton button, int x, int y);
    void RunClick();
    void SBDrvAngChange(int pos);
    void SBStepAngChange(int pos);
    void Step1Click();
    void Step10Click();
    void Step45Click();
    void Deg00Click();
    void Deg180Click();
    void SBRevArmChange(int pos);
    void FwdClick();
    void RevClick();
    void CenterClick();
    void FindRevArmCentClick();
    void SetBeepOnErrorClick();
    void SetSteamClick();
    void SBPanVertChange(int pos);
    void SBPanHorzChange(int pos);
    void SBZoomChange(int pos);
    void NormVHZClick();
    void Preset0Click();
    void PresetClick(int k);
    void SetPanZoomClick();
    void SetLineWidthClick();
    void LargeFontClick();
    void FitPictureClick();
    void SmoothLinesClick();
    void TruePistonTravelClick();
    void SetScreenDataClick();
    void DynamicVariablesClick();
    void SetUnDoClick();
    void UnDoDnClick();
    void SBDynVarChange(int k, int pos);
    void ResetAllClick();

signals:
    // A mouse press on the picture, client pixels (the measuring and line tools hook in here).
    void PictureMouseDown(Qt::MouseButton button, int x, int y);

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // SceneHost
    void SetCaption(CaptionWindow w, const std::string& text) override;
    std::string DateText() override;
    std::string TimeText() override;
    void SetUndoButton(bool visible, int top) override;
    void SetErrorIndicator(bool visible) override;
    void SetDynVarBarEnabled(int k, bool enabled) override;
    SoundSink& Sound() override { return *sound_; }
    std::uint32_t ClockSeed() override;

    void BuildControls();
    void BuildMenus();
    void BuildToolBar();
    void RestoreWindowPlacement();
    // The part of the client area below the control strip, where the gear is fitted.
    QRect FitArea() const;
    // The view is still the one the last fit set: it follows the window's size.
    bool ViewIsFitted() const;
    QAction* Action(const char* name, const char* caption);
    // Places the controls at the text scale, and grows or restores the window to hold them.
    void LayOutControls();
    void FitWindowToLayout();
    void EmptyCutoffTexts();
    void ApplyCloseup(const CloseupActions& a);
    void EndDynVarInteraction(int k);
    qreal FrameRatio() const;
    bool FitFrame();

    Model& m_;
    // The relative view bars' recent positions.
    BarHistory panVertBar_, panHorzBar_, zoomBar_;
    std::unique_ptr<SoundSink> sound_;
    MainScene scene_;
    AppWindows windows_;
    FrameBuffer frame_;
    ShownFrame shown_;
    qreal forcedRatio_ = 0;
    // The model the last frame was drawn from, and whether that frame changed it: a tick from an
    // unchanged model would draw the same picture again.
    Model drawnFrom_;
    bool frameSettled_ = false;
    long framesDrawn_ = 0;
    QTimer* timer_ = nullptr;
    QWidget* picture_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QString settingsFile_;  // "" for the user's own settings
    std::function<QDateTime()> clock_;
    QLocale locale_;
    QDateTime lastClock_;
    std::string dateText_, timeText_;
    bool inTick_ = false;
    bool running_ = true;
    bool panZoomShown_ = false;  // the pan/zoom switch's caption reads "Off"
    std::uint32_t seedCounter_ = 0;
    MainFormControls ui_;
    // Each control of the client area with its place at the normal font.
    std::vector<std::pair<QWidget*, QRect>> places_;
    QSize sizeBeforeLargeFont_, sizeForLargeFont_;
    std::optional<std::array<f32, 3>> fittedView_;  // the zoom and offsets the last fit set
    // Controls the frame touches every tick.
    QScrollBar* dynBars_[5] = {};
    QPushButton* unDoDn_ = nullptr;
    QAction* errorItem_ = nullptr;
    QToolButton* errorMarker_ = nullptr;  // the error item's face in the menu bar
};

}  // namespace tarn
