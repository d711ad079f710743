// The gear optimiser's window on its real widgets, opened from the real menu and the events
// window: a run balances a spoilt design without touching the live one, Apply is one undo step
// for the main window's UnDo, and Cancel or closing during a run stop it cleanly.
#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <set>
#include <stdexcept>
#include <tuple>

#include <gtest/gtest.h>

#include "../core/spoilt_design.h"
#include "../core/started_model.h"
#include "core/io/dimensionfile.h"
#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "core/variation/undo.h"
#include "dialogs_support.h"
#include "gui/diagrams/optimisedialog.h"
#include "gui/diagrams/valveeventswindow.h"
#include "gui/dialogs/framedi.h"
#include "gui/dialogs/numericfield.h"
#include "gui/mainwin/appwindows.h"

using namespace tarn;

namespace {

constexpr int kRadiusRod = 5, kLinkPivotVert = 7, kValveCtrToJoint = 117;

// Ticks exactly the dimensions ids in the window's list.
void Tick(TOptimiseGear& d, const std::set<int>& ids) {
    auto* t = d.findChild<QTableWidget*>(QStringLiteral("Dimensions"));
    ASSERT_NE(t, nullptr);
    int ticked = 0;
    for (int row = 0; row < t->rowCount(); ++row) {
        const bool on = ids.count(t->item(row, 0)->data(Qt::UserRole).toInt()) > 0;
        t->item(row, 0)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        ticked += on;
    }
    ASSERT_EQ(ticked, static_cast<int>(ids.size()));
}

QPushButton* Button(QWidget& w, const char* name) {
    return w.findChild<QPushButton*>(QString::fromLatin1(name));
}

}  // namespace

TEST(OptimiseGearWindow, BalancesTheDesignAndOneUndoTakesTheApplyBack) {
    Model m;
    TMainForm form(m, std::make_unique<SilentSound>());
    form.findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
    CreateAppWindows(m, form);
    test::Spoil(m);
    const DimFileImage spoilt = EncodeDimensionFile(m);

    // The Draw&Graphs item and the events window's button open the same window, not modally.
    auto* item = form.findChild<QAction*>(QStringLiteral("OptimiseGear1"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("Optimise &Gear..."));
    item->trigger();
    auto* d = form.findChild<TOptimiseGear*>(QStringLiteral("OptimiseGear"));
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(d->isModal());
    d->close();
    auto* events = form.findChild<TValveEvents*>(QStringLiteral("ValveEvents"));
    ASSERT_NE(events, nullptr);
    QPushButton* open = Button(*events, "OptimiseGearButton");
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->text(), QStringLiteral("Optimise Gear..."));
    open->click();
    EXPECT_TRUE(d->isVisible());

    Tick(*d, {kRadiusRod, kLinkPivotVert, kValveCtrToJoint});
    d->findChild<QSpinBox*>(QStringLiteral("MaxEvaluations"))->setValue(120);
    QSignalSpy finished(d, &TOptimiseGear::RunFinished);
    Button(*d, "Run")->click();
    EXPECT_TRUE(d->Running());
    EXPECT_FALSE(Button(*d, "Run")->isEnabled());
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_FALSE(d->Running());
    ASSERT_EQ(d->Result().status, OptimiseStatus::Improved)
        << d->findChild<QPlainTextEdit*>(QStringLiteral("Report"))->toPlainText().toStdString();
    EXPECT_EQ(d->findChild<QProgressBar*>(QStringLiteral("Progress"))->value(), 100);
    EXPECT_EQ(EncodeDimensionFile(m), spoilt);  // the run only proposes

    // Before and after for all five gears, balanced within 0.5 % at the two chosen ones.
    auto* compare = d->findChild<QTableWidget*>(QStringLiteral("Comparison"));
    ASSERT_EQ(compare->rowCount(), 10);
    EXPECT_EQ(compare->item(0, 0)->text(), QStringLiteral("Full forward"));
    EXPECT_EQ(compare->item(8, 0)->text(), QStringLiteral("Full reverse"));
    EXPECT_EQ(compare->item(9, 1)->text(), QStringLiteral("after"));
    for (int row : {3, 7}) {  // normal forward, normal reverse: after
        bool ok = false;
        const double diff = compare->item(row, 4)->text().toDouble(&ok);
        ASSERT_TRUE(ok) << compare->item(row, 4)->text().toStdString();
        EXPECT_LE(std::fabs(diff), 0.5) << row;
    }
    EXPECT_GT(std::fabs(compare->item(2, 4)->text().toDouble()), 3.0);  // normal forward before

    std::vector<std::pair<int, float>> old;
    int changed = 0;
    for (const OptimisedDimension& o : d->Result().dimensions) {
        old.emplace_back(o.id, GetDimension(m, o.id));
        changed += o.newValue != o.oldValue;
    }
    ASSERT_GE(changed, 2);
    // The arm in normal forward by the main window's own button: Apply moves the mid gear and
    // puts the arm there; the UnDo below must put both back.
    form.findChild<QPushButton*>(QStringLiteral("Fwd"))->click();
    auto* revArm = form.findChild<QScrollBar*>(QStringLiteral("SBRevArm"));
    const MotionState arm = m.motion;
    const int bar = revArm->value();
    const float pivot18 = m.pivots.PivotX[18];
    ASSERT_NE(bar, 0);
    Button(*d, "Apply")->click();
    ASSERT_NE(m.motion.RevArmPositions[0], arm.RevArmPositions[0]);
    EXPECT_EQ(revArm->value(), 0);
    for (const OptimisedDimension& o : d->Result().dimensions)
        EXPECT_EQ(GetDimension(m, o.id), o.newValue) << o.name;
    EXPECT_FALSE(Button(*d, "Apply")->isEnabled());
    EXPECT_EQ(BuildUndoLine(m), Str(static_cast<long long>(changed), 2) + "- Optimise Gear (" +
                                    std::to_string(changed) + " dimensions)");

    // The main window's own UnDo button, as its next tick leaves it.
    form.Timer1Timer();
    QPushButton* undo = form.findChild<QPushButton*>(QStringLiteral("UnDoDn"));
    ASSERT_TRUE(undo->isEnabled());
    undo->click();
    for (const auto& [id, value] : old) EXPECT_EQ(GetDimension(m, id), value) << id;
    EXPECT_FALSE(UndoAvailable(m.undo));
    for (int k = 0; k < 4; ++k) EXPECT_EQ(m.motion.RevArmPositions[k], arm.RevArmPositions[k]) << k;
    EXPECT_EQ(m.motion.RevArmPos, arm.RevArmPos);
    EXPECT_EQ(m.motion.Direction, arm.Direction);
    EXPECT_EQ(m.pivots.PivotX[18], pivot18);
    EXPECT_EQ(revArm->value(), bar);
    EXPECT_EQ(GearRevArmPos(m, Gear::NormalForward), m.motion.RevArmPos);
    // The window follows the design back.
    d->FollowDesign();
    auto* dims = d->findChild<QTableWidget*>(QStringLiteral("Dimensions"));
    for (int row = 0; row < dims->rowCount(); ++row) {
        if (dims->item(row, 0)->data(Qt::UserRole).toInt() == kRadiusRod) {
            EXPECT_EQ(dims->item(row, 1)->text(), QStringLiteral("5.0200"));
        }
    }
    d->close();
}

TEST(OptimiseGearWindow, CancelKeepsTheBestSoFarAndClosingDuringARunIsSafe) {
    Model m = test::StartedModel();
    test::Spoil(m);
    const DimFileImage spoilt = EncodeDimensionFile(m);
    {
        TOptimiseGear d(m);
        d.show();
        Tick(d, {kRadiusRod, kLinkPivotVert, kValveCtrToJoint, 6, 12});
        d.findChild<QSpinBox*>(QStringLiteral("MaxEvaluations"))->setValue(100000);
        QSignalSpy finished(&d, &TOptimiseGear::RunFinished);
        ASSERT_TRUE(d.RunClick());
        Button(d, "CancelRun")->click();
        ASSERT_TRUE(finished.wait(10000));
        EXPECT_EQ(d.Result().status, OptimiseStatus::Cancelled);
        EXPECT_LT(d.Result().evaluations, 100000);
        EXPECT_EQ(d.findChild<QTableWidget*>(QStringLiteral("Comparison"))->rowCount(), 10);
        EXPECT_EQ(EncodeDimensionFile(m), spoilt);
        EXPECT_TRUE(Button(d, "Run")->isEnabled());

        // Closing stops the run and waits for it; its result never arrives afterwards.
        ASSERT_TRUE(d.RunClick());
        d.close();
        EXPECT_FALSE(d.Running());
        EXPECT_FALSE(d.isVisible());
        QCoreApplication::processEvents();
        EXPECT_EQ(finished.count(), 1);

        // A window destroyed during a run.
        d.show();
        ASSERT_TRUE(d.RunClick());
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(EncodeDimensionFile(m), spoilt);
    EXPECT_EQ(m.undo.UndoCount, 0);
}

namespace {

QTableWidgetItem* Cell(TOptimiseGear& d, int id, int column) {
    auto* t = d.findChild<QTableWidget*>(QStringLiteral("Dimensions"));
    for (int row = 0; row < t->rowCount(); ++row)
        if (t->item(row, 0)->data(Qt::UserRole).toInt() == id) return t->item(row, column);
    return nullptr;
}

QString Report(TOptimiseGear& d) {
    return d.findChild<QPlainTextEdit*>(QStringLiteral("Report"))->toPlainText();
}

}  // namespace

TEST(OptimiseGearWindow, RefusesBoundsThatMakeNoSenseAndSaysWhenTheSearchFails) {
    Model m = test::StartedModel();
    test::Spoil(m);
    TOptimiseGear d(m);
    d.show();
    Tick(d, {kRadiusRod});
    d.findChild<QSpinBox*>(QStringLiteral("MaxEvaluations"))->setValue(40);
    enum { kLow = 2, kHigh = 3 };
    const std::vector<std::tuple<const char*, const char*, std::vector<const char*>>> bounds = {
        {"-5", "20", {"Radius Rod", "above 0"}},
        {"0", "1e308", {"upper bound 1e308", "32-bit float"}},
        {"5", "5.0000001", {"same 32-bit float"}}};
    for (const auto& [lo, hi, named] : bounds) {
        Cell(d, kRadiusRod, kLow)->setText(QString::fromLatin1(lo));
        Cell(d, kRadiusRod, kHigh)->setText(QString::fromLatin1(hi));
        Button(d, "Run")->click();
        EXPECT_FALSE(d.Running()) << lo << ":" << hi;
        for (const char* n : named)
            EXPECT_TRUE(Report(d).contains(QString::fromLatin1(n))) << Report(d).toStdString();
    }
    // The default range of a length stops above 0.
    d.findChild<QDoubleSpinBox*>(QStringLiteral("RangePercent"))->setValue(100.0);
    EXPECT_EQ(Cell(d, kRadiusRod, kLow)->text(), QStringLiteral("0.0502"));
    EXPECT_EQ(Cell(d, kLinkPivotVert, kLow)->text(), QStringLiteral("0.0000"));

    // A fault inside the search: the window says so and offers nothing to apply.
    d.findChild<QDoubleSpinBox*>(QStringLiteral("RangePercent"))->setValue(10.0);
    d.SetSearch([](const Model& design, const OptimiseSettings& s) {
        OptimiseSettings faulty = s;
        faulty.progress = [](int done, int) {
            if (done == 7) throw std::runtime_error("no room for the valve events");
        };
        return OptimiseGear(design, faulty);
    });
    QSignalSpy finished(&d, &TOptimiseGear::RunFinished);
    Button(d, "Run")->click();
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(d.Result().status, OptimiseStatus::Failed);
    EXPECT_TRUE(Report(d).startsWith(QStringLiteral("Failed after "))) << Report(d).toStdString();
    EXPECT_TRUE(Report(d).contains(QStringLiteral("NLopt stopped with status FAILURE (-1)")));
    EXPECT_TRUE(Report(d).contains(QStringLiteral("no room for the valve events")));
    EXPECT_FALSE(Button(d, "Apply")->isEnabled());
}

TEST(OptimiseGearWindow, WarnsOfAFullGearsLeadAndAllGearsHoldsIt) {
    // Evening the built-in design's cut-offs at normal gear eats the lead at full gear, which
    // only "All gears" holds; the warning is the command line's.
    Model m = test::StartedModel();
    TOptimiseGear d(m);
    d.show();
    Tick(d, {kRadiusRod, kLinkPivotVert, kValveCtrToJoint});
    d.findChild<QLineEdit*>(QStringLiteral("MinLead"))->setText(QStringLiteral("0.005"));
    bool held = true;
    d.SetSearch([&held](const Model& design, const OptimiseSettings& s) {
        held = s.allGears;
        return OptimiseGear(design, s);
    });
    QSignalSpy finished(&d, &TOptimiseGear::RunFinished);
    const QString warning =
        QStringLiteral("Warning: the front lead at full forward falls below the minimum 0.0050 (");
    Button(d, "Run")->click();
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_FALSE(held);
    EXPECT_TRUE(Report(d).contains(warning)) << Report(d).toStdString();
    auto* all = d.findChild<QCheckBox*>(QStringLiteral("OptimiseAllGears"));
    ASSERT_NE(all, nullptr);
    all->setChecked(true);
    Button(d, "Run")->click();
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_TRUE(held);
    EXPECT_FALSE(Report(d).contains(QStringLiteral("Warning:"))) << Report(d).toStdString();
}

TEST(OptimiseGearWindow, FollowsTheDesignAndTicksTheDimensionChangedLast) {
    Model m;
    TMainForm form(m, std::make_unique<SilentSound>());
    form.findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
    CreateAppWindows(m, form);
    // The radius rod typed in the frame dialog, then the link radius only visited.
    TFrameDi frame(m, &form);
    test::ShowActive(frame);
    auto* rod = frame.findChild<NumericField*>(QStringLiteral("Edit5"));
    test::FocusByMouse(rod);
    rod->selectAll();
    QTest::keyClicks(rod, "5.05");
    test::FocusByMouse(frame.findChild<NumericField*>(QStringLiteral("Edit6")));
    test::FocusByMouse(frame.findChild<QPushButton*>(QStringLiteral("Close1")));
    frame.findChild<QPushButton*>(QStringLiteral("Close1"))->click();
    ASSERT_EQ(m.design.Frame.RadiusRodLen, 5.05f);
    ASSERT_EQ(m.dyn.DynVarId[1], 6);

    form.findChild<QAction*>(QStringLiteral("OptimiseGear1"))->trigger();
    auto* d = form.findChild<TOptimiseGear*>(QStringLiteral("OptimiseGear"));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(Cell(*d, kRadiusRod, 0)->checkState(), Qt::Checked);
    EXPECT_EQ(Cell(*d, 6, 0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(Cell(*d, kRadiusRod, 1)->text(), QStringLiteral("5.0500"));
    EXPECT_EQ(Cell(*d, kRadiusRod, 2)->text(), QStringLiteral("4.5450"));
    Cell(*d, kRadiusRod, 3)->setText(QStringLiteral("6"));  // typed: stays

    // The main window's UnDo while the window is open; its slow timer reads the design again.
    form.Timer1Timer();
    form.findChild<QPushButton*>(QStringLiteral("UnDoDn"))->click();
    auto* follow = d->findChild<QTimer*>(QStringLiteral("FollowDesign"));
    ASSERT_NE(follow, nullptr);
    EXPECT_TRUE(follow->isActive());
    EXPECT_LE(follow->interval(), 1000);
    d->FollowDesign();
    EXPECT_EQ(Cell(*d, kRadiusRod, 1)->text(), QStringLiteral("5.0000"));
    EXPECT_EQ(Cell(*d, kRadiusRod, 2)->text(), QStringLiteral("4.5000"));
    EXPECT_EQ(Cell(*d, kRadiusRod, 3)->text(), QStringLiteral("6"));
    d->close();
    EXPECT_FALSE(follow->isActive());
}

TEST(OptimiseGearWindow, TheTimeLimitFieldBoundsTheRun) {
    // The search gets the seconds typed; 0 shows as "none" and means no limit.
    Model m = test::StartedModel();
    test::Spoil(m);
    TOptimiseGear d(m);
    d.show();
    Tick(d, {kRadiusRod});
    auto* limit = d.findChild<QDoubleSpinBox*>(QStringLiteral("OptimiseTimeLimit"));
    ASSERT_NE(limit, nullptr);
    EXPECT_EQ(limit->value(), 10.0);
    std::vector<double> seen;
    d.SetSearch([&seen](const Model& design, const OptimiseSettings& s) {
        seen.push_back(s.timeLimit);
        OptimiseSettings quick = s;
        quick.maxEvaluations = 20;
        return OptimiseGear(design, quick);
    });
    for (double seconds : {3.0, 0.0}) {
        limit->setValue(seconds);
        QSignalSpy finished(&d, &TOptimiseGear::RunFinished);
        Button(d, "Run")->click();
        ASSERT_TRUE(finished.wait(30000));
    }
    EXPECT_EQ(seen, (std::vector<double>{3.0, 0.0}));
    EXPECT_EQ(limit->text(), QStringLiteral("none"));
}
