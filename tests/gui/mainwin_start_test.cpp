// The main window at start: every control where it belongs, with its caption, hint, range and
// state; the menus and the tool bar; the windows of the start order.
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>

#include "mainwin_fixture.h"

namespace tarn {
namespace {

using testing::MainWindowTest;

TEST_F(MainWindowTest, ButtonsAtStart) {
    const struct {
        const char* name;
        const char* caption;
        const char* hint;
        QRect geometry;
        bool enabled, shown;
    } buttons[] = {
        {"Run", "Stop", "Start / Stop Driver Rotation", {277, 39, 36, 14}, true, true},
        {"Center", "Cen", "Set Reverse Arm to Mid Gear", {280, 25, 27, 14}, false, true},
        {"Rev", "Rev", "Set Reverse Arm to Normal Reverse", {252, 25, 28, 14}, true, true},
        {"Fwd", "Fwd", "Set Reverse Arm to Normal Forward", {307, 25, 28, 14}, true, true},
        {"Deg180", "180", "Set Driver Angle to 180 Deg", {252, 39, 25, 14}, true, true},
        {"Deg00", "0.0", "Set Driver to 0 Deg", {313, 39, 22, 14}, true, true},
        {"Step1", "1.0", "Set Driver Step Angle to 1 Deg", {252, 53, 25, 14}, true, true},
        {"Step10", "10.0", "Set Driver Step Angle to 10 Deg", {277, 53, 29, 14}, false, true},
        {"Step45", "45.0", "Set Driver Step Angle to 45 Deg", {306, 53, 29, 14}, true, true},
        {"NormVHZ", "Norm", "Return Pan & Zoom to Normal", {33, 39, 42, 14}, false, true},
        {"Preset1", "1", "Pan & Zoom to Preset 1", {5, 25, 14, 14}, true, true},
        {"Preset5", "5", "Pan & Zoom to Preset 5", {61, 25, 14, 14}, true, true},
        {"Preset6", "6", "Pan & Zoom to Preset 6", {5, 39, 14, 14}, true, true},
        {"Preset0", "P", "Select First to Change Presets", {19, 39, 14, 14}, true, true},
        {"RefPt1", "RP1", "Pan to Ref Point 1", {5, 53, 35, 14}, false, true},
        {"RefPt2", "RP2", "Pan to Ref Point 2", {40, 53, 35, 14}, false, true},
        {"RefPt1Zero", "0", "Zero Reference Point 1", {5, 72, 14, 23}, false, false},
        {"RefPt2Zero", "0", "Zero Reference Point 2", {5, 95, 14, 23}, false, false},
        {"UnDoDn", "UnDo", "", {280, 127, 40, 16}, false, false},
        {"DataTableBut", "DataTable", "", {2, 214, 60, 15}, true, false},
    };
    for (const auto& b : buttons) {
        QPushButton* w = Button(b.name);
        ASSERT_NE(w, nullptr) << b.name;
        EXPECT_EQ(w->text().toStdString(), b.caption) << b.name;
        EXPECT_EQ(w->toolTip().toStdString(), b.hint) << b.name;
        EXPECT_EQ(w->geometry(), b.geometry) << b.name;
        EXPECT_EQ(w->isEnabled(), b.enabled) << b.name;
        EXPECT_EQ(!w->isHidden(), b.shown) << b.name;
        EXPECT_FALSE(w->autoDefault()) << b.name;
    }
}

TEST_F(MainWindowTest, ScrollBarsAtStart) {
    const struct {
        const char* name;
        const char* hint;
        QRect geometry;
        int min, max, small, large, position;
        bool shown;
    } bars[] = {
        {"SBRevArm",
         "Set Reverse Arm Between Max & Min",
         {336, 26, 121, 12},
         -1800,
         1800,
         1,
         20,
         0,
         true},
        {"SBDrvAng",
         "Set Driver Angle From 0 to 360 Deg",
         {336, 40, 121, 12},
         -4000,
         40000,
         1000,
         4500,
         1,
         true},
        {"SBStepAng",
         "Set Driver Step Angle to Predefined Values",
         {336, 54, 121, 12},
         0,
         14613,
         920,
         2760,
         12000,
         true},
        {"SBPanVert", "Pan Vertical", {76, 26, 121, 12}, -500, 500, 1, 10, 0, true},
        {"SBPanHorz", "Pan Horizontal", {76, 40, 121, 12}, -500, 500, 1, 10, 0, true},
        {"SBZoom", "Zoom In / Out", {76, 54, 121, 12}, -200, 200, 1, 10, 0, true},
        {"SBRef1Vert", "Change Ref Point 1 Vert", {20, 72, 121, 10}, -5000, 5000, 1, 25, 0, false},
        {"SBRef1Horz",
         "Change Ref Point 1 Horz",
         {20, 84, 121, 10},
         -10000,
         10000,
         1,
         25,
         0,
         false},
        {"SBRef2Vert", "Change Ref Point 2 Vert", {20, 96, 121, 10}, -5000, 5000, 1, 25, 0, false},
        {"SBRef2Horz",
         "Change Ref Point 2 Horz",
         {20, 108, 121, 10},
         -10000,
         10000,
         1,
         25,
         0,
         false},
        {"SBDynVar1",
         "Change Last Variable Clicked",
         {253, 72, 121, 10},
         -200,
         200,
         1,
         10,
         0,
         false},
        {"SBDynVar2",
         "Change Next to Last Variable Clicked",
         {253, 84, 121, 10},
         -200,
         200,
         1,
         10,
         0,
         false},
        {"SBDynVar3",
         "Change 2nd to Last Variable Clicked",
         {253, 96, 121, 10},
         -200,
         200,
         1,
         10,
         0,
         false},
        {"SBDynVar4",
         "Change 3rd to Last Variable Clicked",
         {253, 108, 121, 10},
         -200,
         200,
         1,
         10,
         0,
         false},
    };
    for (const auto& b : bars) {
        QScrollBar* s = Bar(b.name);
        ASSERT_NE(s, nullptr) << b.name;
        EXPECT_EQ(s->toolTip().toStdString(), b.hint) << b.name;
        EXPECT_EQ(s->geometry(), b.geometry) << b.name;
        EXPECT_EQ(s->minimum(), b.min) << b.name;
        EXPECT_EQ(s->maximum(), b.max) << b.name;
        EXPECT_EQ(s->singleStep(), b.small) << b.name;
        EXPECT_EQ(s->pageStep(), b.large) << b.name;
        EXPECT_EQ(s->value(), b.position) << b.name;
        EXPECT_EQ(!s->isHidden(), b.shown) << b.name;
        EXPECT_EQ(s->orientation(), Qt::Horizontal);
    }
    // The start position 1 ran no handler, and the running motion locks the bar.
    EXPECT_FLOAT_EQ(m.motion.CrankAngle, 0.0f);
    EXPECT_FALSE(Bar("SBDrvAng")->isEnabled());
}

TEST_F(MainWindowTest, PanelsAtStart) {
    const struct {
        const char* name;
        QRect geometry;
        bool shown;
    } panels[] = {
        {"Panel1", {0, 67, 539, 4}, true},   {"Panel2", {247, 26, 4, 41}, true},
        {"Panel3", {539, 26, 4, 109}, true}, {"Panel4", {539, 134, 93, 4}, true},
        {"Panel5", {0, 120, 251, 4}, false}, {"Panel6", {247, 71, 4, 49}, false},
        {"Panel7", {247, 72, 4, 49}, false}, {"Panel8", {247, 120, 292, 4}, false},
        {"Panel9", {539, 70, 0, 0}, false},  {"Panel10", {0, 26, 4, 41}, true},
        {"Panel11", {0, 72, 4, 49}, false},  {"Panel12", {628, 26, 4, 108}, true},
    };
    for (const auto& p : panels) {
        QWidget* w = Widget(p.name);
        ASSERT_NE(w, nullptr) << p.name;
        EXPECT_EQ(w->geometry(), p.geometry) << p.name;
        EXPECT_EQ(!w->isHidden(), p.shown) << p.name;
    }
}

TEST_F(MainWindowTest, MenusAndToolBar) {
    const struct {
        const char* name;
        const char* caption;
        bool enabled, shown;
    } items[] = {
        {"OpenDimensions", "&OpenDimensions", true, true},
        {"SaveAsDimensions", "Save&AsDimensions", true, true},
        {"Exit1", "E&xit", true, true},
        {"RevArmPos", "Set&RevArmPos", true, true},
        {"DriverAng", "Set&DriverAng", true, true},
        {"StepAng1", "Set&StepAng", true, true},
        {"RefPoints1", "SetRef&Points", true, true},
        {"LargeFont", "SetLarge&Font", true, true},
        {"FindRevArmCent", "&CalcCentRevArm", true, true},
        {"SetSteam", "SetS&teamDisp On", true, true},
        {"SetBeepOnError", "Set&ErrorBeep Off", true, true},
        {"SetLineWidth", "Set&LineWidth 2", true, true},
        {"SetScreenData", "SetScree&nData Off", true, true},
        {"SetPanZoom", "SetP&anZoom On", false, true},
        {"FrameDim", "&FrameDimensions", true, true},
        {"CylDim", "&CylinderDimensions", true, true},
        {"SetGraphicZoom", "Set&GraphicZoom", true, true},
        {"ResetAll", "&ResetAllDimensions", true, true},
        {"RefPoints", "&ReferPoints", true, true},
        {"DrawLines1", "&DrawLinesCircles", false, true},
        {"SetPivotData", "Pi&votData", true, true},
        {"DynamicVariables", "D&ynamicVari", true, true},
        {"SetUnDo", "&UnDo", true, true},
        {"SineDiag", "&SineDiagram", true, true},
        {"OvalDiag", "&OvalDiagram", true, true},
        {"SteamDiag", "S&teamDiagram", true, true},
        {"FourEvents", "&PortOpenClose", true, true},
        {"Instructions", "&Instructions", true, true},
        {"SpecInstr", "Instructions&Special", true, true},
        {"About1", "&About", true, true},
        {"Error", "", false, false},  // Qt disables a hidden action
    };
    for (const auto& it : items) {
        QAction* a = Item(it.name);
        ASSERT_NE(a, nullptr) << it.name;
        EXPECT_EQ(a->text().toStdString(), it.caption) << it.name;
        EXPECT_EQ(a->isEnabled(), it.enabled) << it.name;
        EXPECT_EQ(a->isVisible(), it.shown) << it.name;
    }
    EXPECT_FALSE(Item("Error")->icon().isNull());
    const char* menus[][2] = {{"File1", "&File"},
                              {"SetUp", "&SetUp"},
                              {"Edit1", "&EditDimen"},
                              {"View1", "Draw&Graphs"},
                              {"Help1", "&Help"}};
    for (const auto& mn : menus) {
        auto* menu = form->findChild<QMenu*>(mn[0]);
        ASSERT_NE(menu, nullptr) << mn[0];
        EXPECT_EQ(menu->title().toStdString(), mn[1]);
    }
    auto* bar = form->findChild<QToolBar*>("ToolBar1");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->geometry(), QRect(0, 0, 632, 24));
    const char* hints[][2] = {
        {"ToolButton1", "Open File: Dimensional Data"},
        {"ToolButton10", "Turn On Steam Display and Sound"},
        {"ToolButton23", "Draw Lines and Circles"},
        {"ToolButton16", "View Port Events vs Reverse Arm Position"},
    };
    for (const auto& h : hints) {
        auto* b = form->findChild<QToolButton*>(h[0]);
        ASSERT_NE(b, nullptr) << h[0];
        EXPECT_EQ(b->toolTip().toStdString(), h[1]);
        EXPECT_FALSE(b->icon().isNull()) << h[0];
    }
    EXPECT_FALSE(form->findChild<QToolButton*>("ToolButton23")->isEnabled());
    // The steam tool button acts like its menu item.
    form->findChild<QToolButton*>("ToolButton10")->click();
    EXPECT_TRUE(m.display.ShowSteam);
    EXPECT_EQ(Item("SetSteam")->text().toStdString(), "SetS&teamDisp Off");
}

TEST_F(MainWindowTest, WindowsOfTheStartOrderExistOnceAndHidden) {
    const char* names[] = {"DrivAng",   "OvalDia",     "PortDia",  "RefPnts",   "RevPos",
                           "SetRevArm", "SineDia",     "SteamDia", "StpAng",    "AboutBox",
                           "Inst",      "TarnISpInst", "FrameDi",  "GraphZoom", "DrawLines",
                           "DataTable", "CylDimen"};
    for (const char* n : names) {
        const auto found = form->findChildren<QDialog*>(n);
        ASSERT_EQ(found.size(), 1) << n;
        EXPECT_TRUE(found[0]->isHidden()) << n;
        EXPECT_FALSE(found[0]->windowTitle().isEmpty()) << n;
    }
    EXPECT_EQ(windows.GraphZoom->windowTitle().toStdString(),
              "Set Zoom of Dimensional Graphic Position");
}

TEST_F(MainWindowTest, TimerAndCaptions) {
    auto* t = form->findChild<QTimer*>("Timer1");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->interval(), kTickIntervalMs);
    EXPECT_EQ(t->timerType(), Qt::PreciseTimer);
    EXPECT_TRUE(timerStarted);
    form->SetCaptionLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    form->SetClock([] { return QDateTime(QDate(2026, 12, 8), QTime(9, 5, 7)); });
    form->Timer1Timer();
    EXPECT_EQ(form->windowTitle().toStdString(),
              "TARN1 Inside Admission            Nominal     12/8/26   9:05:07 AM   Version 2.6");
    EXPECT_EQ(windows.SineDia->windowTitle().toStdString().rfind(
                  "TARN1 Inside Admission      Sine Diagram    Nominal", 0),
              0u);
    // Every window whose caption the frame writes carries its own.
    const std::pair<QDialog*, const char*> captioned[] = {{windows.OvalDia, "Oval Diagram"},
                                                          {windows.SteamDia, "Steam Diagram"},
                                                          {windows.PortDia, "Port Open/Closed"},
                                                          {windows.DataTable, "Data Table"}};
    for (const auto& [window, name] : captioned)
        EXPECT_NE(window->windowTitle().toStdString().find(name), std::string::npos) << name;
    form->SetCaptionLocale(QLocale(QLocale::German, QLocale::Germany));
    form->Timer1Timer();
    EXPECT_NE(form->windowTitle().toStdString().find("08.12.26   09:05:07   Version 2.6"),
              std::string::npos);
}

}  // namespace
}  // namespace tarn
