// The program's windows in their start order, and the table of the analysis windows.
#include "gui/mainwin/appwindows.h"

#include <iterator>
#include <string_view>

#include "gui/common/pictureexport.h"
#include "gui/diagrams/datatable.h"
#include "gui/diagrams/diagramwindow.h"
#include "gui/diagrams/optimisedialog.h"
#include "gui/diagrams/valveeventswindow.h"
#include "gui/dialogs/angledialog.h"
#include "gui/dialogs/cyldimen.h"
#include "gui/dialogs/framedi.h"
#include "gui/dialogs/refpnts.h"
#include "gui/dialogs/revpos.h"
#include "gui/dialogs/setrevarm.h"
#include "gui/help/aboutbox.h"
#include "gui/help/instructionwindow.h"
#include "gui/mainwin/designfiles.h"
#include "gui/mainwin/graphzoom.h"
#include "gui/mainwin/mainform.h"
#include "gui/mainwin/measuretools.h"
#include "gui/overlay/drawlinesdialog.h"
#include "gui/performance/performancewindow.h"

namespace tarn {

namespace {

template <DiagramKind kind>
QDialog* MakeDiagram(Model& m, TMainForm& form) {
    return new TDiagramWindow(m, form, &form, kind);
}

QDialog* MakeValveEvents(Model& m, TMainForm& form) {
    auto* events = new TValveEvents(m, &form, &form);
    // Its "Optimise Gear..." does what the optimiser's menu item does.
    QObject::connect(events, &TValveEvents::OptimiseGearRequested,
                     form.AnalysisItem(&AppWindows::OptimiseGear), &QAction::trigger);
    // Its "Engine Performance..." opens the performance window as the menu item does.
    QObject::connect(events, &TValveEvents::EnginePerformanceRequested,
                     form.AnalysisItem(&AppWindows::EnginePerformance), &QAction::trigger);
    return events;
}

QDialog* MakeOptimiseGear(Model& m, TMainForm& form) { return new TOptimiseGear(m, &form, &form); }

// The performance window draws the reference the events window holds, looked up when it looks.
QDialog* MakeEnginePerformance(Model& m, TMainForm& form) {
    return new EnginePerformanceWindow(m, &form, [&form]() -> const ReferenceDesignSource* {
        return dynamic_cast<const TValveEvents*>(form.windows().ValveEvents);
    });
}

// The diagrams open modally; the events table, the optimiser and the engine's performance beside
// the main window, since the table and the performance follow the design while the other windows
// change it and the optimiser's window stays live while it searches.
constexpr AnalysisWindow kAnalysisWindows[] = {
    {"SineDiag", "&SineDiagram", "ToolButton13", "View Sine Diagram", 12, WindowOpening::Modal,
     CaptionWindow::SineDia, &AppWindows::SineDia, &MakeDiagram<DiagramKind::Sine>},
    {"OvalDiag", "&OvalDiagram", "ToolButton14", "View Oval Diagram", 13, WindowOpening::Modal,
     CaptionWindow::OvalDia, &AppWindows::OvalDia, &MakeDiagram<DiagramKind::Oval>},
    {"SteamDiag", "S&teamDiagram", "ToolButton15", "View Steam Diagram", 14, WindowOpening::Modal,
     CaptionWindow::SteamDia, &AppWindows::SteamDia, &MakeDiagram<DiagramKind::Steam>},
    {"FourEvents", "&PortOpenClose", "ToolButton16", "View Port Events vs Reverse Arm Position", 15,
     WindowOpening::Modal, CaptionWindow::PortDia, &AppWindows::PortDia,
     &MakeDiagram<DiagramKind::Port>},
    {"ValveEvents1", "&ValveEvents", nullptr, nullptr, 0, WindowOpening::Beside, std::nullopt,
     &AppWindows::ValveEvents, &MakeValveEvents},
    {"OptimiseGear1", "Optimise &Gear...", nullptr, nullptr, 0, WindowOpening::Beside, std::nullopt,
     &AppWindows::OptimiseGear, &MakeOptimiseGear},
    {"EnginePerformance1", "&Engine Performance...", nullptr, nullptr, 0, WindowOpening::Beside,
     std::nullopt, &AppWindows::EnginePerformance, &MakeEnginePerformance},
};

// Each row names its item and its window, a button has its tip, and no item, button, window or
// caption stands in two rows.
constexpr bool AnalysisWindowsAreComplete() {
    const auto same = [](const char* a, const char* b) {
        return std::string_view(a ? a : "") == std::string_view(b ? b : "");
    };
    for (std::size_t i = 0; i < std::size(kAnalysisWindows); ++i) {
        const AnalysisWindow& w = kAnalysisWindows[i];
        if (!w.item || !w.text || !w.window || !w.make || (w.button && !w.tip)) return false;
        for (std::size_t j = 0; j < i; ++j) {
            const AnalysisWindow& v = kAnalysisWindows[j];
            if (same(v.item, w.item) || (w.button && same(v.button, w.button)) ||
                v.window == w.window || (w.caption && v.caption == w.caption))
                return false;
        }
    }
    return true;
}
static_assert(AnalysisWindowsAreComplete(), "every analysis window needs a row of its own");

}  // namespace

std::span<const AnalysisWindow> AnalysisWindows() { return kAnalysisWindows; }

AppWindows CreateAppWindows(Model& m, TMainForm& form) {
    AppWindows w;
    w.DrivAng = new TDrivAng(m, &form, &form);
    auto* tools = new MeasureTools(m, form);
    w.Tools = tools;
    auto* files = new DesignFiles(m, form);
    w.Files = files;
    auto* exporter = new PictureExporter(
        form, m, [&form] { return form.ShownPicture(); }, QStringLiteral("Valve Gear"));
    exporter->Attach(form.Controls().ExportPicture, form.Controls().PrintPicture);
    w.RefPnts = new TRefPnts(m, tools->RefPntsSide(), &form);
    w.RevPos = new TRevPos(m, &form, &form);
    w.SetRevArm = new TSetRevArm(m, &form);
    w.StpAng = new TStpAng(m, &form, &form);
    w.AboutBox = new TAboutBox(&form);
    w.Inst = new TInst(&form);
    w.TarnISpInst = new TTarnISpInst(&form);
    w.FrameDi = new TFrameDi(m, &form, &form);
    w.GraphZoom = new TGraphZoom(m, &form);
    auto* drawLines = new TDrawLines(m, &form);
    tools->AttachDrawLines(drawLines);
    files->AttachDrawLines(drawLines);
    w.DrawLines = drawLines;
    w.DataTable = new TDataTable(m, &form);
    w.CylDimen = new TCylDimen(m, &form, &form);
    for (const AnalysisWindow& a : kAnalysisWindows) w.*a.window = a.make(m, form);
    files->AttachConditions(dynamic_cast<EnginePerformanceWindow*>(w.EnginePerformance));
    form.AttachWindows(w);
    return w;
}

QString StartDesignArgument(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (!arguments[i].isEmpty() && !arguments[i].startsWith(QLatin1Char('-')))
            return arguments[i];
    return {};
}

void OpenStartDesign(TMainForm& form, const QStringList& arguments) {
    const QString path = StartDesignArgument(arguments);
    if (path.isEmpty()) return;
    if (DesignFiles* files = form.windows().Files)
        files->OpenDesign(path, DesignFiles::Message::Later);
}

}  // namespace tarn
