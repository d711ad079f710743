// The one frame of the four diagram windows (sine, oval, steam, port): a modal tool window with
// a menu, a Close button, four dynamic-variable bars and an UnDo button over a retained
// picture. The windows differ only by their drawing and their table of names.
#pragma once

#include <QDialog>
#include <QImage>

#include <functional>
#include <vector>

#include "core/model/model.h"
#include "core/plots/plots.h"
#include "gui/common/mainwindowhost.h"

class QAction;
class QMenuBar;
class QPushButton;
class QScrollBar;

namespace tarn {

struct Picture;

// The names and places that tell the four windows apart.
struct DiagramWindowNames {
    DiagramKind kind;
    const char* objectName;   // "SineDia"
    const char* title;        // until the main window's tick sets the caption
    const char* closeButton;  // "CloseSin"
    int closeX, closeY;
    const char* bars[4];     // "SBDynVarS1" ..
    const char* undoButton;  // "UnDoDnS"
    const char* menu;        // "MainMenuSine"
    const char* revArmItem;  // nullptr for the port window
    const char* revArmCaption;
    const char* redrawItem;
    const char* redrawCaption;
    const char* undoItem;
    const char* dynVarItem;
    const char* dynVarCaption;
    bool redrawsOnMouseMove;
};
const DiagramWindowNames& NamesOf(DiagramKind kind);

class TDiagramWindow : public QDialog {
    Q_OBJECT
public:
    // The window is a child of the main window, which it asks for what it needs through host.
    TDiagramWindow(Model& m, MainWindowHost& host, QWidget* mainWindow, DiagramKind kind);

    DiagramKind Kind() const { return names_.kind; }
    // The retained picture that the window shows.
    const QImage& Picture() const { return picture_; }
    // The retained picture and the drawings that made it, to be run again on copies of the
    // model as it was at each of them (for export and print).
    tarn::Picture ShownPicture() const;

    // How the reverse-arm positions dialog is shown (tests put their own here); by default the
    // main window's reverse-arm positions dialog runs modally.
    void SetRevArmDialogRunner(std::function<void()> run) { runSetRevArm_ = std::move(run); }

    // ---- handlers (names as the window defines them) ----
    void FormActivate();
    void FormClose();
    void SetRevArmPosClick();
    void FormMouseMove();
    void ReDrawClick();
    void DynVariClick();
    void UnDoItemClick();
    void UnDoButtonClick();
    void SBDynVarChange(int k, int pos);
    void SBDynVarInteractionStart(int k);
    void SBDynVarInteractionEnd(int k);
    // Port window only.
    void ForwardGraph1Click();
    void ReverseGraph1Click();
    void BothGraphs1Click();

    // Erase and draw (the port diagram in mode 'B': both graphs), or draw over the picture.
    void Redraw();
    void Draw();

    void done(int r) override;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Apply(const DiagramControls& ui);
    void SyncUndoButtons();
    void FitClientArea();

    Model& m_;
    MainWindowHost& host_;
    const DiagramWindowNames& names_;
    QImage picture_;
    QWidget* view_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QPushButton* close_ = nullptr;
    QPushButton* undo_ = nullptr;
    QScrollBar* bars_[5] = {};
    bool springingBack_ = false;
    // The drawings on the picture since it was last erased, each with the model it started from.
    struct DrawnLayer {
        bool erase;  // a redraw: erase, then draw
        Model state;
    };
    std::vector<DrawnLayer> drawn_;
    std::function<void()> runSetRevArm_;
};

}  // namespace tarn
