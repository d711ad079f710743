// Every window of the program besides the main window, created once at start, hidden, in the
// start order. Each line of CreateAppWindows builds one of them.
#pragma once

#include <QDialog>
#include <QStringList>

#include "core/model/model.h"

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
    QDialog* ValveEvents = nullptr;   // the events table, shown beside the main window
    QDialog* OptimiseGear = nullptr;  // the gear optimiser, shown beside the main window
    MeasureTools* Tools = nullptr;    // reference points, pivot data, overlay picks
    DesignFiles* Files = nullptr;     // save, open and the recent designs
};

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
