// The program's windows in their start order.
#include "gui/mainwin/appwindows.h"

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

namespace tarn {

AppWindows CreateAppWindows(Model& m, TMainForm& form) {
    AppWindows w;
    w.DrivAng = new TDrivAng(m, &form, &form);
    w.OvalDia = new TDiagramWindow(m, form, &form, DiagramKind::Oval);
    w.PortDia = new TDiagramWindow(m, form, &form, DiagramKind::Port);
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
    w.SineDia = new TDiagramWindow(m, form, &form, DiagramKind::Sine);
    w.SteamDia = new TDiagramWindow(m, form, &form, DiagramKind::Steam);
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
    auto* events = new TValveEvents(m, &form, &form);
    w.ValveEvents = events;
    w.OptimiseGear = new TOptimiseGear(m, &form, &form);
    // The events window's "Optimise Gear..." does what the menu item does.
    QObject::connect(events, &TValveEvents::OptimiseGearRequested, form.Controls().OptimiseGear1,
                     &QAction::trigger);
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
