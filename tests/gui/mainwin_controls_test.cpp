// The main window's handlers on the real controls: motion, step bar, reverse arm, view, screen
// data, the close-up zoom dialog and the frame it draws.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include "core/model/numfmt.h"
#include "core/scene/motion.h"
#include "gui/mainwin/graphzoom.h"
#include "mainwin_fixture.h"

namespace tarn {
namespace {

using testing::MainWindowTest;

TEST_F(MainWindowTest, RunStopQuantisesTheAngle) {
    m.motion.CrankAngle = 123.456f;
    Button("Run")->click();
    EXPECT_EQ(Button("Run")->text().toStdString(), "Run");
    EXPECT_FLOAT_EQ(m.motion.StepAngle, 0.0f);
    EXPECT_EQ(Bar("SBDrvAng")->value(), 12346);
    EXPECT_FLOAT_EQ(m.motion.CrankAngle, 123.46f);
    EXPECT_TRUE(Bar("SBDrvAng")->isEnabled());
    // Stopped, the tick still solves and redraws but the crank stays.
    form->Timer1Timer();
    EXPECT_FLOAT_EQ(m.motion.CrankAngle, 123.46f);
    Button("Run")->click();
    EXPECT_EQ(Button("Run")->text().toStdString(), "Stop");
    EXPECT_FLOAT_EQ(m.motion.StepAngle, 10.0f);
    EXPECT_FALSE(Bar("SBDrvAng")->isEnabled());
    form->Timer1Timer();
    EXPECT_NEAR(m.motion.CrankAngle, 133.46f, 1e-3);
}

TEST_F(MainWindowTest, Deg00AndDeg180StopAtTheirAngle) {
    Button("Deg180")->click();
    EXPECT_FLOAT_EQ(m.motion.CrankAngle, 180.0f);
    EXPECT_EQ(Bar("SBDrvAng")->value(), 18000);
    EXPECT_FLOAT_EQ(m.motion.StepAngle, 0.0f);
    EXPECT_FALSE(Button("Deg180")->isEnabled());
    EXPECT_TRUE(Button("Deg00")->isEnabled());
    EXPECT_EQ(Button("Run")->text().toStdString(), "Run");
    Button("Deg00")->click();
    EXPECT_FLOAT_EQ(m.motion.CrankAngle, 0.0f);
    EXPECT_FALSE(Button("Deg00")->isEnabled());
    EXPECT_TRUE(Button("Deg180")->isEnabled());
    // Moving the driver-angle bar enables both again.
    Bar("SBDrvAng")->setValue(4500);
    EXPECT_FLOAT_EQ(m.motion.CrankAngle, 45.0f);
    EXPECT_TRUE(Button("Deg00")->isEnabled());
}

TEST_F(MainWindowTest, StepBarAndStepButtons) {
    Bar("SBStepAng")->setValue(8000);
    EXPECT_FLOAT_EQ(m.motion.StepSetting, 1.0f);
    EXPECT_FLOAT_EQ(m.motion.StepAngle, 1.0f);  // running: at once
    EXPECT_EQ(Bar("SBDrvAng")->singleStep(), 100);
    EXPECT_EQ(Bar("SBDrvAng")->pageStep(), 500);
    EXPECT_FALSE(Button("Step1")->isEnabled());
    EXPECT_TRUE(Button("Step10")->isEnabled());
    Button("Step45")->click();
    EXPECT_EQ(Bar("SBStepAng")->value(), 14613);
    EXPECT_FLOAT_EQ(m.motion.StepSetting, 45.0f);
    EXPECT_FALSE(Button("Step45")->isEnabled());
    EXPECT_TRUE(Button("Step1")->isEnabled());
    // Stopped, a step change keeps the motion stopped.
    Button("Run")->click();
    Button("Step1")->click();
    EXPECT_FLOAT_EQ(m.motion.StepSetting, 1.0f);
    EXPECT_FLOAT_EQ(m.motion.StepAngle, 0.0f);
    Button("Run")->click();
    const float before = m.motion.CrankAngle;
    form->Timer1Timer();
    EXPECT_NEAR(m.motion.CrankAngle, before + 1, 1e-4);
    // A typed step keeps its value once (the step dialog's way).
    m.motion.StepSnap = false;
    m.motion.StepSetting = 7.3f;
    Bar("SBStepAng")->setValue(StepBarPosition(7.3f));
    EXPECT_FLOAT_EQ(m.motion.StepSetting, 7.3f);
    EXPECT_TRUE(m.motion.StepSnap);
}

TEST_F(MainWindowTest, ReverseArmBarSetsDirectionAndButtons) {
    const float centre = m.motion.RevArmPositions[0];
    Bar("SBRevArm")->setValue(500);
    EXPECT_NEAR(m.motion.RevArmPos, centre - 0.5f, 1e-5);
    EXPECT_EQ(m.motion.Direction, Direction::Forward);
    EXPECT_TRUE(Button("Center")->isEnabled());
    Bar("SBRevArm")->setValue(-500);
    EXPECT_EQ(m.motion.Direction, Direction::Reverse);
    form->Timer1Timer();
    EXPECT_NEAR(m.motion.CrankAngle, 350.0f, 1e-4);  // the crank turns backwards
    m.readouts.FrontCutoffText = "12.0";
    Button("Fwd")->click();
    EXPECT_EQ(Bar("SBRevArm")->value(), 1600);
    EXPECT_FLOAT_EQ(m.motion.RevArmPos, static_cast<float>(centre - 1.6L));
    EXPECT_EQ(m.motion.Direction, Direction::Forward);
    EXPECT_FALSE(Button("Fwd")->isEnabled());
    EXPECT_TRUE(Button("Rev")->isEnabled());
    EXPECT_TRUE(m.readouts.FrontCutoffText.empty());
    Button("Rev")->click();
    EXPECT_EQ(Bar("SBRevArm")->value(), -1600);
    EXPECT_FALSE(Button("Rev")->isEnabled());
    EXPECT_EQ(m.motion.Direction, Direction::Reverse);
    Button("Center")->click();
    EXPECT_EQ(Bar("SBRevArm")->value(), 0);
    EXPECT_FLOAT_EQ(m.motion.RevArmPos, centre);
    EXPECT_EQ(m.motion.Direction, Direction::Forward);
    EXPECT_FALSE(Button("Center")->isEnabled());
    // A drag to +1600 matches normal forward gear.
    Bar("SBRevArm")->setValue(1600);
    EXPECT_FALSE(Button("Fwd")->isEnabled());
}

TEST_F(MainWindowTest, PanZoomStepsAndNorm) {
    Bar("SBZoom")->setValue(1);  // one arrow click
    EXPECT_EQ(Bar("SBZoom")->value(), 0);
    EXPECT_NEAR(m.view.Zoom, 27.027f, 1e-4);
    EXPECT_NEAR(m.view.OffsetX, 114.795f, 1e-3);
    EXPECT_TRUE(Button("NormVHZ")->isEnabled());
    Bar("SBPanHorz")->setValue(10);  // a trough click
    EXPECT_NEAR(m.view.OffsetX, 115.795f, 1e-3);
    Bar("SBPanVert")->setValue(1);
    EXPECT_NEAR(m.view.OffsetY, 270.03f - 0.1f, 1e-3);
    Button("NormVHZ")->click();
    EXPECT_FLOAT_EQ(m.view.Zoom, 27.0f);
    EXPECT_FLOAT_EQ(m.view.OffsetX, 115.0f);
    EXPECT_FLOAT_EQ(m.view.OffsetY, 270.0f);
    EXPECT_FALSE(Button("NormVHZ")->isEnabled());
    EXPECT_NEAR(m.view.DefaultZoom, 27.027f, 1e-4);
}

TEST_F(MainWindowTest, PresetsStoreOnlyWhenArmed) {
    Button("Preset3")->click();
    EXPECT_FLOAT_EQ(m.view.Zoom, 62.0f);
    EXPECT_FLOAT_EQ(m.view.OffsetY, 200.0f);
    EXPECT_TRUE(Button("NormVHZ")->isEnabled());
    m.view.Zoom = 40;
    m.view.OffsetX = 10;
    m.view.OffsetY = 20;
    Button("Preset0")->click();
    EXPECT_FALSE(Button("Preset0")->isEnabled());
    Button("Preset3")->click();
    EXPECT_TRUE(Button("Preset0")->isEnabled());
    Button("Preset1")->click();
    EXPECT_FLOAT_EQ(m.view.Zoom, 62.0f);
    Button("Preset3")->click();
    EXPECT_FLOAT_EQ(m.view.Zoom, 40.0f);
    EXPECT_FLOAT_EQ(m.view.OffsetX, 10.0f);
}

TEST_F(MainWindowTest, SwitchesFlipTheirCaptions) {
    Item("SetLineWidth")->trigger();
    EXPECT_EQ(m.display.LineWidth, 2);
    EXPECT_EQ(Item("SetLineWidth")->text().toStdString(), "Set&LineWidth 1");
    Item("LargeFont")->trigger();
    EXPECT_FLOAT_EQ(m.display.FontScaleX, 1.27f);
    EXPECT_FLOAT_EQ(m.display.FontScaleY, 1.22f);
    EXPECT_EQ(Item("LargeFont")->text().toStdString(), "SetSmall&Font");
    Item("LargeFont")->trigger();
    EXPECT_FLOAT_EQ(m.display.FontScaleX, 1.0f);
    Item("SetBeepOnError")->trigger();
    EXPECT_FALSE(m.display.BeepOnError);
    EXPECT_EQ(Item("SetBeepOnError")->text().toStdString(), "Set&ErrorBeep On");
}

TEST_F(MainWindowTest, ScreenDataOffAndOn) {
    m.display.UndoOn = true;
    Item("DynamicVariables")->trigger();
    ASSERT_TRUE(Shown("SBDynVar1"));
    form->Timer1Timer();
    EXPECT_TRUE(Shown("UnDoDn"));
    Item("SetScreenData")->trigger();
    EXPECT_FALSE(m.display.ScreenData);
    EXPECT_EQ(Item("SetScreenData")->text().toStdString(), "SetScree&nData On");
    for (const char* n :
         {"Panel1",    "Panel12",   "Preset1",   "Preset0",  "NormVHZ",     "RefPt1",
          "SBPanVert", "SBZoom",    "Rev",       "Center",   "Fwd",         "Deg180",
          "Run",       "Deg00",     "Step1",     "Step45",   "SBRevArm",    "SBDrvAng",
          "SBStepAng", "SBDynVar1", "SBDynVar4", "ToolBar1", "DataTableBut"})
        EXPECT_FALSE(Shown(n)) << n;
    EXPECT_FALSE(Item("DriverAng")->isEnabled());
    EXPECT_FALSE(Item("RefPoints1")->isVisible());
    EXPECT_FALSE(Item("DynamicVariables")->isEnabled());
    EXPECT_FALSE(m.display.DynVarOn);
    EXPECT_FALSE(m.display.UndoOn);
    EXPECT_FALSE(m.display.RefPointsOn);
    EXPECT_TRUE(Item("SetPanZoom")->isEnabled());
    EXPECT_FALSE(Item("DrawLines1")->isEnabled());
    form->Timer1Timer();
    EXPECT_FALSE(Shown("UnDoDn"));
    // The pan and zoom bars can come back on their own while screen data is off.
    Item("SetPanZoom")->trigger();
    EXPECT_EQ(Item("SetPanZoom")->text().toStdString(), "SetP&anZoom Off");
    EXPECT_TRUE(Shown("SBZoom"));
    Item("SetPanZoom")->trigger();
    EXPECT_FALSE(Shown("SBZoom"));
    Item("SetScreenData")->trigger();
    EXPECT_TRUE(m.display.ScreenData);
    for (const char* n :
         {"Panel1", "Panel9", "Preset1", "SBPanVert", "SBZoom", "Run", "SBRevArm", "ToolBar1"})
        EXPECT_TRUE(Shown(n)) << n;
    for (const char* n : {"Panel5", "Panel7", "SBDynVar1", "SBRef1Vert", "RefPt1Zero"})
        EXPECT_FALSE(Shown(n)) << n;
    EXPECT_FALSE(Item("SetPanZoom")->isEnabled());
    EXPECT_EQ(Item("SetPanZoom")->text().toStdString(), "SetP&anZoom On");
    EXPECT_TRUE(Item("SetPivotData")->isEnabled());
    EXPECT_TRUE(Item("DriverAng")->isEnabled());
}

TEST_F(MainWindowTest, DynamicVariableBarsFollowTheSlots) {
    Item("DynamicVariables")->trigger();
    EXPECT_TRUE(Shown("SBDynVar1"));
    EXPECT_TRUE(Shown("Panel7"));
    form->Timer1Timer();
    EXPECT_FALSE(Bar("SBDynVar1")->isEnabled());
    m.dyn.DynVarId[1] = 6;
    m.dyn.DynVarName[1] = "Link Radius";
    m.dyn.DynVarValue[1] = 5.0f;
    form->Timer1Timer();
    ASSERT_TRUE(Bar("SBDynVar1")->isEnabled());
    // An arrow click adds 0.001 and the bar springs back.
    Bar("SBDynVar1")->setValue(1);
    EXPECT_EQ(Bar("SBDynVar1")->value(), 0);
    EXPECT_FLOAT_EQ(m.design.LinkRadius, 5.001f);
    Item("DynamicVariables")->trigger();
    EXPECT_FALSE(Shown("SBDynVar1"));
}

// The marker is seen in the window as shown at its start size: inside the window, with its red
// picture, and nothing of the menu folded away for it.
TEST_F(MainWindowTest, GeometryErrorShowsTheErrorMarkerInTheWindow) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    const int barHeight = form->menuBar()->height();
    const f32 good = m.design.Frame.CouplerLower;
    m.design.Frame.CouplerLower = 100;  // a design the solver cannot close
    form->Timer1Timer();
    ASSERT_TRUE(m.solved.GeometryError);
    auto* marker = form->findChild<QWidget*>("Error");
    ASSERT_NE(marker, nullptr);
    QApplication::processEvents();  // the menu bar lays itself out again
    const QRect inWindow(marker->mapTo(form.get(), QPoint(0, 0)), marker->size());
    EXPECT_TRUE(marker->isVisible());
    EXPECT_TRUE(form->rect().contains(inWindow)) << inWindow.x() << "," << inWindow.y();
    EXPECT_GT(inWindow.width(), 8);
    EXPECT_EQ(form->menuBar()->height(), barHeight);  // the picture does not jump
    const QImage face = marker->grab().toImage();
    int red = 0;
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x) {
            const QColor c = face.pixelColor(x, y);
            red += c.red() > 180 && c.green() < 80 && c.blue() < 80;
        }
    EXPECT_GT(red, 20);
    auto* chevron = form->menuBar()->findChild<QWidget*>("qt_menubar_ext_button");
    EXPECT_TRUE(chevron == nullptr || chevron->isHidden());
    // Shown on frames 1 to 9, hidden on frame 10 with the error sound, and it stays hidden.
    m.design.Frame.CouplerLower = good;
    for (int frame = 2; frame <= 9; ++frame) form->Timer1Timer();
    EXPECT_TRUE(marker->isVisible());
    EXPECT_EQ(sound->error, 0);
    form->Timer1Timer();
    EXPECT_FALSE(marker->isVisible());
    EXPECT_EQ(sound->error, 1);
    for (int frame = 11; frame <= 30; ++frame) form->Timer1Timer();
    EXPECT_FALSE(marker->isVisible());
    EXPECT_FALSE(m.solved.GeometryError);
}

TEST_F(MainWindowTest, ActivationAfterAModalWindowLocksTheBarOnlyWhileRunning) {
    QTimer::singleShot(0, windows.AboutBox, &QDialog::reject);
    form->ShowModal(windows.AboutBox);
    EXPECT_FALSE(Bar("SBDrvAng")->isEnabled());
    Button("Run")->click();
    QTimer::singleShot(0, windows.AboutBox, &QDialog::reject);
    form->ShowModal(windows.AboutBox);
    EXPECT_TRUE(Bar("SBDrvAng")->isEnabled());
}

TEST_F(MainWindowTest, ClicksOnThePictureReachTheTools) {
    std::vector<std::tuple<Qt::MouseButton, int, int>> clicks;
    QObject::connect(form.get(), &TMainForm::PictureMouseDown,
                     [&](Qt::MouseButton b, int x, int y) { clicks.emplace_back(b, x, y); });
    QTest::mouseClick(form->findChild<QWidget*>("ClientArea"), Qt::LeftButton, {},
                      QPoint(300, 200));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], std::make_tuple(Qt::LeftButton, 300, 200));
    m.closeup.GraphicPosId = 3;
    form->FormMouseDown(Qt::RightButton, 300, 200);
    EXPECT_EQ(m.closeup.GraphicPosFrames, 1005);
}

TEST_F(MainWindowTest, GraphZoomDialogFiltersAndClamps) {
    auto* dlg = static_cast<TGraphZoom*>(windows.GraphZoom);
    dlg->FormActivate();
    auto* edit = dlg->findChild<QLineEdit*>("Edit1");
    EXPECT_EQ(edit->text().toStdString(), "7.50");
    edit->clear();
    QTest::keyClicks(edit, "1.2.3-x");
    EXPECT_EQ(edit->text().toStdString(), "1.23");
    edit->setText("2500");
    dlg->OKClick();
    EXPECT_FLOAT_EQ(m.closeup.GraphicZoomFactor, 2000.0f);
    edit->clear();
    dlg->OKClick();
    EXPECT_FLOAT_EQ(m.closeup.GraphicZoomFactor, 0.5f);
    for (auto* b : dlg->findChildren<QPushButton*>()) EXPECT_FALSE(b->autoDefault());
}

TEST_F(MainWindowTest, StartFrameIsSavedForALook) {
    m.display.ShowSteam = true;
    form->Timer1Timer();
    const QImage& f = form->Frame();
    EXPECT_EQ(f.size(), QSize(1280, 1024));
    // Wheel rim at its leftmost pixel row, the white far corner, the grey cylinder outline.
    EXPECT_EQ(f.pixel(1279, 1023), qRgb(255, 255, 255));
    int black = 0;
    for (int y = 250; y < 290; ++y) black += f.pixel(7, y) == qRgb(0, 0, 0);
    EXPECT_GT(black, 0);
    EXPECT_EQ(f.pixel(m.steam.CylPtX[4] + 3, m.steam.CylPtY[4]),
              qRgb(128, 128, 128));  // cylinder floor
    EXPECT_TRUE(f.save(QDir::current().absoluteFilePath("mainwin_start_frame.png")));
}

}  // namespace
}  // namespace tarn
