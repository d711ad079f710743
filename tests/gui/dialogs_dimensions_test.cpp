// The frame and cylinder dimension dialogs on their real widgets: the commit on leaving a field,
// Enter, the gear limits and the reverse-arm range, the small buttons, the resets and Close, and
// every row of the dimension table through all of them.
#include <gtest/gtest.h>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <set>

#include "core/io/dimensionfile.h"
#include "core/model/dimensions.h"
#include "core/model/recordingcanvas.h"
#include "core/model/solver.h"
#include "core/scene/closeup.h"
#include "core/scene/mainscene.h"
#include "core/variation/undo.h"
#include "dialogs_support.h"
#include "gui/dialogs/cyldimen.h"
#include "gui/dialogs/framedi.h"
#include "gui/dialogs/numericfield.h"

using namespace tarn;

namespace {

NumericField* Field(QWidget& d, int n) {
    return d.findChild<NumericField*>(QStringLiteral("Edit%1").arg(n));
}

QPushButton* Button(QWidget& d, const char* name) {
    return d.findChild<QPushButton*>(QString::fromLatin1(name));
}

// Clicks into field n, replaces its text by typing and leaves it for Close1.
void TypeInto(QWidget& d, int n, const char* text) {
    NumericField* f = Field(d, n);
    test::FocusByMouse(f);
    f->selectAll();
    QTest::keyClicks(f, text);
    test::FocusByMouse(Button(d, "Close1"));
}

}  // namespace

TEST(FrameDialog, ShowsEveryDimensionAndStartsOnClose) {
    Model m = test::StartedModel();
    test::TestMain main(m);
    TFrameDi d(m, &main.form);
    test::ShowActive(d);
    EXPECT_EQ(d.windowTitle(), "Frame Dimensions");
    EXPECT_EQ(d.size(), QSize(386, 176));
    EXPECT_EQ(Field(d, 1)->text(), "8.000");
    EXPECT_EQ(Field(d, 14)->text(), "-1.677");
    EXPECT_EQ(Field(d, 18)->text(), "1.800");
    EXPECT_EQ(Field(d, 11)->geometry(), QRect(146, 104, 40, 13));
    EXPECT_EQ(Field(d, 19)->geometry(), QRect(342, 13, 40, 13));
    EXPECT_TRUE(Button(d, "Close1")->hasFocus());
    for (auto* b : d.findChildren<QPushButton*>()) EXPECT_FALSE(b->autoDefault());
}

TEST(FrameDialog, LeavingAFieldCommitsAndOnlyTypingRecordsUndo) {
    Model m = test::StartedModel();
    test::TestMain main(m);
    TFrameDi d(m, &main.form);
    test::ShowActive(d);
    // Through without typing: stored again, the newest dynamic variable, no undo entry.
    test::FocusByMouse(Field(d, 6));
    test::FocusByMouse(Button(d, "Close1"));
    EXPECT_EQ(m.dyn.DynVarId[1], 6);
    EXPECT_EQ(m.undo.UndoCount, 0);
    EXPECT_FALSE(UndoAvailable(m.undo));
    TypeInto(d, 2, "3.5");
    EXPECT_EQ(m.design.StrokeLen, 3.5f);
    EXPECT_EQ(m.undo.UndoCount, 1);
    EXPECT_EQ(m.undo.UndoId[1], 2);
    EXPECT_EQ(m.undo.UndoOld[1], 3.0f);
    EXPECT_EQ(m.undo.UndoName[1], "Stroke");
    EXPECT_EQ(m.dyn.DynVarName[1], "Stroke");
    EXPECT_EQ(m.dyn.DynVarName[2], "Link Radius");
    EXPECT_FALSE(m.undo.EditChanged);
    // An emptied field stores 0; Backspace is an edit.
    NumericField* f = Field(d, 5);
    test::FocusByMouse(f);
    f->end(false);
    for (int i = 0; i < 6; ++i) QTest::keyClick(f, Qt::Key_Backspace);
    test::FocusByMouse(Button(d, "Close1"));
    EXPECT_EQ(m.design.Frame.RadiusRodLen, 0.0f);
    EXPECT_EQ(m.undo.UndoCount, 2);
}

TEST(FrameDialog, EnterCommitsAndMovesToCloseWithoutClosing) {
    Model m = test::StartedModel();
    test::TestMain main(m);
    TFrameDi d(m, &main.form);
    test::ShowActive(d);
    NumericField* f = Field(d, 3);
    test::FocusByMouse(f);
    f->selectAll();
    QTest::keyClicks(f, "6.5");
    QTest::keyClick(f, Qt::Key_Return);
    EXPECT_EQ(m.design.Frame.MainRodCrankEnd, 6.5f);
    EXPECT_TRUE(Button(d, "Close1")->hasFocus());
    EXPECT_TRUE(d.isVisible());
    // Enter on a focused field never presses the reset.
    EXPECT_EQ(m.undo.UndoCount, 1);
}

TEST(FrameDialog, GearLimitsClampEachOtherAndSetTheReverseArmRange) {
    Model m = test::StartedModel();
    test::TestMain main(m);
    TFrameDi d(m, &main.form);
    test::ShowActive(d);
    const float c = m.motion.RevArmPositions[0];
    m.motion.RevArmPositions[4] = c + 1.7f;
    TypeInto(d, 18, "2.5");
    EXPECT_EQ(m.design.RevArmToCentMax, 2.5f);
    EXPECT_EQ(main.SBRevArm->maximum(), 2500);
    EXPECT_EQ(main.SBRevArm->minimum(), -2500);
    TypeInto(d, 17, "3");  // above the maximum: the maximum
    EXPECT_EQ(m.design.RevArmToCentNorm, 2.5f);
    EXPECT_EQ(m.motion.RevArmPositions[4], c + 1.7f);
    TypeInto(d, 18, "1.0");  // below the normal offset: the normal offset
    EXPECT_EQ(m.design.RevArmToCentMax, 2.5f);
    m.design.RevArmToCentNorm = 1.2f;
    TypeInto(d, 18, "1.0");
    EXPECT_EQ(m.design.RevArmToCentMax, 1.2f);
    EXPECT_EQ(main.SBRevArm->maximum(), 1200);
    EXPECT_FLOAT_EQ(m.motion.RevArmPositions[4], c + 1.2f);
    EXPECT_EQ(m.motion.RevArmPositions[6], 0.0f);
    TypeInto(d, 18, "-1");
    EXPECT_EQ(m.design.RevArmToCentMax, 1.2f);
    // Neither limit touches undo or the dynamic variables.
    EXPECT_EQ(m.undo.UndoCount, 0);
    EXPECT_TRUE(SlotIsEmpty(m.dyn, 1));
}

TEST(FrameDialog, ASmallButtonAsksForTheCloseUp) {
    Model m = test::StartedModel();
    TFrameDi d(m, nullptr);
    test::ShowActive(d);
    QTest::mouseClick(Button(d, "Button6"), Qt::LeftButton);
    EXPECT_EQ(m.closeup.GraphicPosId, 6);
    QTest::mouseClick(Button(d, "Button17"), Qt::LeftButton);
    EXPECT_EQ(m.closeup.GraphicPosId, 17);
    EXPECT_EQ(Button(d, "Button11")->geometry(), QRect(0, 104, 8, 13));
    EXPECT_EQ(Button(d, "Button19")->geometry(), QRect(194, 13, 8, 13));
}

TEST(FrameDialog, ResetShowsTheDefaultsOnPressAndClearsUndoOnClick) {
    Model m = test::StartedModel();
    test::TestMain main(m);
    TFrameDi d(m, &main.form);
    test::ShowActive(d);
    TypeInto(d, 2, "4");
    TypeInto(d, 18, "2.5");
    QPushButton* reset = Button(d, "ResetFrame");
    QTest::mousePress(reset, Qt::LeftButton);
    EXPECT_EQ(m.design.StrokeLen, 3.0f);
    EXPECT_EQ(Field(d, 2)->text(), "3.000");
    EXPECT_EQ(main.SBRevArm->maximum(), 1800);
    EXPECT_TRUE(SlotIsEmpty(m.dyn, 1));
    EXPECT_EQ(m.dyn.Increment, 0.0f);
    EXPECT_EQ(m.undo.UndoCount, 1);  // holding the button down keeps the history
    QTest::mouseRelease(reset, Qt::LeftButton);
    EXPECT_EQ(m.undo.UndoCount, 0);
    EXPECT_FALSE(UndoAvailable(m.undo));
    EXPECT_TRUE(d.isVisible());
}

TEST(FrameDialog, CloseRecomputesMidGearAndEscapeDoesNot) {
    Model m = test::StartedModel();
    test::TestMain main(m);
    TFrameDi d(m, &main.form);
    test::ShowActive(d);
    TypeInto(d, 6, "6");
    const float before = m.motion.RevArmPositions[0];
    main.SBRevArm->setValue(300);
    m.readouts.FrontCutoffText = "50%";
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(m.motion.RevArmPositions[0], before);
    EXPECT_EQ(main.SBRevArm->value(), 300);
    test::ShowActive(d);
    QTest::mouseClick(Button(d, "Close1"), Qt::LeftButton);
    EXPECT_FALSE(d.isVisible());
    EXPECT_NE(m.motion.RevArmPositions[0], before);
    EXPECT_EQ(m.motion.RevArmPos, m.motion.RevArmPositions[0]);
    EXPECT_EQ(main.SBRevArm->value(), 0);
    EXPECT_TRUE(m.readouts.FrontCutoffText.empty());
}

TEST(CylinderDialog, TheValveHeightMovesTheValveCentreLineAtOnce) {
    Model m = test::StartedModel();
    test::TestMain main(m);
    TCylDimen d(m, &main.form);
    test::ShowActive(d);
    EXPECT_EQ(d.windowTitle(), "Cylinder Dimensions");
    EXPECT_EQ(d.size(), QSize(386, 230));
    EXPECT_EQ(Field(d, 8)->text(), "2.500");
    TypeInto(d, 8, "3.0");
    EXPECT_EQ(m.design.Cyl.ValveCLToCylCL, 3.0f);
    EXPECT_EQ(ValveCLAboveDriver(m.design), 3.0f);
    EXPECT_EQ(m.undo.UndoName[1], "Valve CL to Cyl CL");
    TypeInto(d, 2, "0.5");
    EXPECT_EQ(m.design.CylCLAboveDriver, 0.5f);
    EXPECT_EQ(m.dyn.DynVarId[1], 102);
}

TEST(CylinderDialog, ButtonsCarryTheIdOfTheirFieldNotOfTheirRow) {
    Model m = test::StartedModel();
    TCylDimen d(m, nullptr);
    test::ShowActive(d);
    QPushButton* b15 = Button(d, "Button15");
    EXPECT_EQ(b15->geometry(), QRect(194, 65, 8, 13));            // row 5 of column 2
    EXPECT_EQ(Field(d, 15)->geometry(), QRect(342, 78, 40, 13));  // its field on row 6
    QTest::mouseClick(b15, Qt::LeftButton);
    EXPECT_EQ(m.closeup.GraphicPosId, 115);
}

TEST(CylinderDialog, ResetLeavesTheFrameAndTheReverseArmRange) {
    Model m = test::StartedModel();
    test::TestMain main(m);
    TCylDimen d(m, &main.form);
    test::ShowActive(d);
    m.design.StrokeLen = 4.0f;
    main.SBRevArm->setRange(-2500, 2500);
    TypeInto(d, 3, "3.1");
    TypeInto(d, 2, "1");
    QTest::mouseClick(Button(d, "Reset1"), Qt::LeftButton);
    EXPECT_EQ(m.design.Cyl.CylBoreDia, 2.5f);
    EXPECT_EQ(m.design.CylCLAboveDriver, 0.0f);
    EXPECT_EQ(ValveCLAboveDriver(m.design), 2.5f);
    EXPECT_EQ(Field(d, 3)->text(), "2.500");
    EXPECT_EQ(m.design.StrokeLen, 4.0f);
    EXPECT_EQ(main.SBRevArm->maximum(), 2500);
    EXPECT_EQ(m.undo.UndoCount, 0);
    EXPECT_TRUE(SlotIsEmpty(m.dyn, 1));
}

// Every row of the dimension table, through the real dialog: typing a value and leaving the field
// stores it in the one word of the dimension file that carries the row's name; the file keeps it;
// the small button gives the close-up, which writes its name and draws the typed dimension; the
// main window's UnDo takes the value back (gear limits make no entry).
TEST(DimensionTable, EveryDimensionRoundTripsThroughDialogFileUndoAndCloseUp) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath(QStringLiteral("walk.dti")).toStdString();
    Model m = test::StartedModel();
    test::TestMain main(m);
    TFrameDi frame(m, &main.form);
    TCylDimen cyl(m, &main.form);
    QPushButton* undo = main.form.findChild<QPushButton*>(QStringLiteral("UnDoDn"));
    ASSERT_NE(undo, nullptr);
    std::set<int> wordsSeen;
    for (const DimensionInfo& d : Dimensions()) {
        SCOPED_TRACE(d.id);
        QDialog& dialog = d.id < 100 ? static_cast<QDialog&>(frame) : cyl;
        test::ShowActive(dialog);
        const bool gearLimit = d.id == 17 || d.id == 18;
        const float before = GetDimension(m, d.id);
        // The normal gear offset stays below the largest, so neither limit is clamped.
        const float typed = d.id == 17 ? 1.25f : before + 0.5f;
        const int undoCount = m.undo.UndoCount;
        const DimFileImage old = EncodeDimensionFile(m);
        TypeInto(dialog, d.dialog.field, QString::number(typed, 'f', 3).toLatin1().constData());
        EXPECT_FLOAT_EQ(GetDimension(m, d.id), typed);

        // The first word that changed is the row's own: poisoning it names the row.
        DimFileImage now = EncodeDimensionFile(m);
        int word = 0;
        while (word < kDimFileBytes / 4 && std::memcmp(&old[4 * word], &now[4 * word], 4) == 0)
            ++word;
        ASSERT_LT(word, kDimFileBytes / 4);
        EXPECT_TRUE(wordsSeen.insert(word).second) << "word " << word << " is another row's";
        DimFileImage poisoned = now;
        const std::uint32_t nan = 0x7fc00000u;
        std::memcpy(&poisoned[4 * word], &nan, 4);
        Model scratch = m;
        const std::string why = DecodeDimensionFile(poisoned, "walk", scratch);
        EXPECT_NE(why.find("(" + std::string(d.name) + ")"), std::string::npos) << why;

        // The file keeps it.
        ASSERT_TRUE(SaveDimensionFile(m, path).ok);
        SetDimension(m, d.id, typed + 1.0f);
        ASSERT_TRUE(LoadDimensionFile(m, path).ok);
        EXPECT_FLOAT_EQ(GetDimension(m, d.id), typed);

        // The small button asks for the close-up, which shows this dimension.
        dialog.findChild<QPushButton*>(QStringLiteral("Button%1").arg(d.dialog.field))->click();
        EXPECT_EQ(m.closeup.GraphicPosId, d.id);
        Model view = m;
        SolveLinkage(view);
        SolveValveEvents(view);
        MapPivotsToScreen(view);
        UpdateCylinderPoints(view);
        UpdatePistonPoints(view);
        RecordingCanvas c;
        const CloseupActions a = DrawDimensionCloseup(view, c);
        EXPECT_EQ(a.closeCylDialog, &dialog == &cyl);
        EXPECT_NE(c.FindText(CloseupLabel(d)), nullptr);
        bool line = false;
        for (const CanvasOp& op : c.OfKind(CanvasOp::Kind::Line))
            if (op.penWidth == 3 && (op.c[0] != op.c[2] || op.c[1] != op.c[3])) line = true;
        EXPECT_TRUE(line);
        m.closeup.GraphicPosId = 0;

        // Undo takes the typed value back; the gear limits are not in the history.
        if (gearLimit) {
            EXPECT_EQ(m.undo.UndoCount, undoCount);
        } else {
            EXPECT_EQ(m.undo.UndoId[1], d.id);
            EXPECT_EQ(m.undo.UndoName[1], d.caption);
            main.form.Timer1Timer();  // the tick enables the UnDo button
            ASSERT_TRUE(undo->isEnabled());
            undo->click();
            EXPECT_FLOAT_EQ(GetDimension(m, d.id), before);
        }
        dialog.hide();
    }
    EXPECT_EQ(wordsSeen.size(), Dimensions().size());
}
