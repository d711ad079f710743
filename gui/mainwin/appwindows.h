// Every window of the program besides the main window, created once at start, hidden: the
// dialogs in the start order, then the analysis windows from their table in its order.
#pragma once

#include <QDialog>
#include <QStringList>

#include <optional>
#include <span>

#include "core/model/model.h"
#include "core/scene/scenehost.h"

namespace tarn {

class DesignFiles;
class MeasureTools;
class TMainForm;

struct AppWindows {
    QDialog* DrivAng = nullptr;
    QDialog* OvalDia = nullptr;
    QDialog* PortDia = nullptr;
    QDialog* RefPnts = nullptr;
    QDialog* RevPos = nullptr;
    QDialog* SetRevArm = nullptr;
    QDialog* SineDia = nullptr;
    QDialog* SteamDia = nullptr;
    QDialog* StpAng = nullptr;
    QDialog* AboutBox = nullptr;
    QDialog* Inst = nullptr;
    QDialog* TarnISpInst = nullptr;
    QDialog* FrameDi = nullptr;
    QDialog* GraphZoom = nullptr;
    QDialog* DrawLines = nullptr;
    QDialog* DataTable = nullptr;
    QDialog* CylDimen = nullptr;
    QDialog* ValveEvents = nullptr;        // the events table, shown beside the main window
    QDialog* OptimiseGear = nullptr;       // the gear optimiser, shown beside the main window
    QDialog* EnginePerformance = nullptr;  // the engine's cards and curves, beside it too
    MeasureTools* Tools = nullptr;         // reference points, pivot data, overlay picks
    DesignFiles* Files = nullptr;          // save, open and the recent designs
};

// How a menu item shows its window: modally, or beside the main window, raised and left open
// while the picture goes on.
enum class WindowOpening { Modal, Beside };

// One of the analysis windows the Draw Graphs menu opens, with everything the main window needs
// to offer it. A window added here needs nothing else of the main window: the menu, the tool
// bar, the opening and the captions read this row.
struct AnalysisWindow {
    const char* item;    // the menu item's objectName ("SineDiag")
    const char* text;    // the menu item's text with its accelerator ("&SineDiagram")
    const char* button;  // the tool button's objectName ("ToolButton13"); nullptr: none
    const char* tip;     // the tool button's tip
    int icon;            // the tool button's picture, :/icons/tbNN.png
    WindowOpening opening;
    std::optional<CaptionWindow> caption;  // the caption every frame rewrites on it, if any
    QDialog* AppWindows::*window;          // where AppWindows keeps it
    QDialog* (*make)(Model& m, TMainForm& form);
};

// The analysis windows in the order of their menu; those with a tool button have theirs in the
// same order.
std::span<const AnalysisWindow> AnalysisWindows();

// Builds the windows as children of the main window (which owns and destroys them) and hands
// them to it, so its menu items and tool buttons reach them.
AppWindows CreateAppWindows(Model& m, TMainForm& form);

// The design named on the command line (arguments as QApplication leaves them: the program,
// then what Qt's own options left): the first argument that is not an option. "" if none.
QString StartDesignArgument(const QStringList& arguments);
// Opens that design once the windows exist, as File > Open would; a refused file shows its
// message from the event loop, after the main window is up, and the built-in design stays.
void OpenStartDesign(TMainForm& form, const QStringList& arguments);

}  // namespace tarn
