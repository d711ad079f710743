// The Engine Performance window on its real widgets, opened as a user opens it: from the menu and
// from the Valve Events window; a changed condition starts the simulation again and cancels the
// stale one; the Valve Events window's reference comes along; closing while it works is safe.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

#include "../core/started_model.h"
#include "core/io/conditionsfile.h"
#include "core/io/dimensionfile.h"
#include "gui/diagrams/valveeventswindow.h"
#include "gui/mainwin/designfiles.h"
#include "gui/performance/performancewindow.h"
#include "mainwin_fixture.h"

namespace tarn {
namespace {

constexpr double kPsi = 6894.757293168361;

struct EnginePerformanceFromTheMenu : testing::MainWindowTest {
    EnginePerformanceWindow* Window() const {
        return form->findChild<EnginePerformanceWindow*>(QStringLiteral("EnginePerformance"));
    }
};

// Typing a value as a user does: the text, then leaving the field.
void Type(QWidget* window, const char* field, const QString& text) {
    auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(field));
    ASSERT_NE(edit, nullptr) << field;
    edit->setText(text);
    emit edit->editingFinished();
}

TEST_F(EnginePerformanceFromTheMenu, OpensFromTheMenuAndValveEventsAndSimulatesAConditionChanged) {
    QAction* item = Item("EnginePerformance1");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("&Engine Performance..."));
    item->trigger();
    EnginePerformanceWindow* w = Window();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w, windows.EnginePerformance);
    EXPECT_TRUE(w->isVisible());
    w->WaitForResults();
    const std::uint64_t started = w->JobsStarted();
    ASSERT_GE(started, 1u);
    EXPECT_FALSE(w->Refresh()) << "nothing changed: no new job";
    EXPECT_EQ(w->Cards().size(), w->ChosenGears().size());

    // 150 psi in the chest: the conditions change and the work starts again.
    Type(w, "ChestPressure", QStringLiteral("150"));
    EXPECT_EQ(w->JobsStarted(), started + 1);
    EXPECT_NEAR(w->Conditions().chestPressure, 150 * kPsi, 1e-6);
    // The design changed in another window: noticed without being told.
    m.design.Cyl.CylBoreDia *= 1.1f;
    EXPECT_TRUE(w->Refresh());
    w->WaitForResults();

    // Closed, and opened again from the Valve Events window's button.
    w->close();
    Item("ValveEvents1")->trigger();
    auto* button =
        windows.ValveEvents->findChild<QPushButton*>(QStringLiteral("EnginePerformanceButton"));
    ASSERT_NE(button, nullptr);
    button->click();
    EXPECT_TRUE(w->isVisible());
}

// A card where the main window's reverser stands, followed as the reverser moves: the short
// cut-off an engineer sets on the bar, beside the standard gears.
TEST_F(EnginePerformanceFromTheMenu, ShowsACardWhereTheReverserStands) {
    Item("EnginePerformance1")->trigger();
    EnginePerformanceWindow* w = Window();
    ASSERT_NE(w, nullptr);
    w->WaitForResults();
    const std::size_t gears = w->Cards().size();
    m.motion.RevArmPos = 5.8f;
    auto* box = w->findChild<QCheckBox*>(QStringLiteral("GearReverser"));
    ASSERT_NE(box, nullptr);
    box->setChecked(true);
    w->WaitForResults();
    ASSERT_EQ(w->Cards().size(), gears + 1);
    const GearCard& at = w->Cards().back();
    EXPECT_TRUE(at.atReverser);
    EXPECT_EQ(at.result.revArmPos, 5.8f);
    EXPECT_EQ(CardName(at), "reverser at 5.800");
    auto* table = w->findChild<QTableWidget*>();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->horizontalHeaderItem(static_cast<int>(gears))->text(),
              QStringLiteral("reverser at 5.800"));
    // The bar moves: the card follows.
    m.motion.RevArmPos = 5.6f;
    EXPECT_TRUE(w->Refresh());
    w->WaitForResults();
    EXPECT_EQ(w->Cards().back().result.revArmPos, 5.6f);
}

TEST_F(EnginePerformanceFromTheMenu, DrawsTheReferenceTheValveEventsWindowHolds) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("as built.dti"));
    ASSERT_TRUE(SaveDimensionFile(m, path.toStdString()).ok);
    auto* events = static_cast<TValveEvents*>(windows.ValveEvents);
    Item("EnginePerformance1")->trigger();
    EnginePerformanceWindow* w = Window();
    w->WaitForResults();
    EXPECT_FALSE(w->HasReferenceShown());
    ASSERT_TRUE(events->LoadReference(path).isEmpty());
    EXPECT_TRUE(w->Refresh());
    w->WaitForResults();
    EXPECT_TRUE(w->HasReferenceShown());
    events->ClearReference();
    EXPECT_TRUE(w->Refresh());
    w->WaitForResults();
    EXPECT_FALSE(w->HasReferenceShown());
}

TEST_F(EnginePerformanceFromTheMenu, ConditionsGoWithTheDesignAndTheLastUsedAreRemembered) {
    QTemporaryDir dir;
    const QString design = dir.filePath(QStringLiteral("Test.dti"));
    const QString beside = dir.filePath(QStringLiteral("Test.conditions"));
    windows.Files->SetSaveChooser([&](QWidget*) { return design; });
    Item("EnginePerformance1")->trigger();
    EnginePerformanceWindow* w = Window();
    Type(w, "ChestPressure", QStringLiteral("123"));

    // Saved with the design, beside it.
    windows.Files->SaveAsDimensionsClick();
    EngineConditions saved;
    ASSERT_TRUE(LoadConditionsFile(beside.toStdString(), saved).ok);
    EXPECT_NEAR(saved.chestPressure, 123 * kPsi, 1e-6);

    // Opened with it again, whatever was typed since.
    Type(w, "ChestPressure", QStringLiteral("80"));
    ASSERT_TRUE(windows.Files->OpenDesign(design));
    EXPECT_NEAR(w->Conditions().chestPressure, 123 * kPsi, 1e-6);

    // A design without conditions keeps those used last; so does the next start.
    const QString bare = dir.filePath(QStringLiteral("Bare.dti"));
    ASSERT_TRUE(SaveDimensionFile(m, bare.toStdString()).ok);
    ASSERT_TRUE(windows.Files->OpenDesign(bare));
    EXPECT_NEAR(w->Conditions().chestPressure, 123 * kPsi, 1e-6);
    EnginePerformanceWindow next(m);
    EXPECT_EQ(next.Conditions(), w->Conditions());

    // The window's own Save writes beside the design opened last, Bare.dti.
    Type(w, "ChestPressure", QStringLiteral("90"));
    w->findChild<QPushButton*>(QStringLiteral("SaveConditions"))->click();
    ASSERT_TRUE(
        LoadConditionsFile(dir.filePath(QStringLiteral("Bare.conditions")).toStdString(), saved)
            .ok);
    EXPECT_NEAR(saved.chestPressure, 90 * kPsi, 1e-6);
}

// A stand-in for the engine model that works until it is cancelled (or for ten seconds).
struct StubbornSimulator {
    std::atomic<int> cancelled{0};
    EngineSimulator Simulator() {
        EngineSimulator s;
        s.single = [this](const Model&, const EngineConditions&, float pos,
                          const EngineSolverOptions& o) {
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!(o.cancel && *o.cancel) && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (o.cancel && *o.cancel) ++cancelled;
            EnginePerformance r;
            r.revArmPos = pos;
            r.problem = "cancelled";
            return r;
        };
        return s;
    }
};

TEST(EnginePerformanceWindow, CancelsStaleWorkAndClosesWhileWorking) {
    Model m;
    StubbornSimulator stub;
    auto start = std::chrono::steady_clock::now();
    {
        EnginePerformanceWindow w(m, nullptr, {}, stub.Simulator());
        w.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.JobsBegun() == 1; }, 5000));
        // A condition changed while the first job works: it is cancelled, the next one begins.
        Type(&w, "Cylinders", QString::number(w.Conditions().cylinders + 1));
        EXPECT_EQ(w.JobsStarted(), 2u);
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.JobsBegun() == 2; }, 5000));
        EXPECT_EQ(w.JobsCancelled(), 1u);
        EXPECT_GE(stub.cancelled, 1);
        // The window goes while the second job works.
    }
    EXPECT_GE(stub.cancelled, 2);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
    QApplication::processEvents();
}

TEST(PerformanceWorker, PutsEachGearsSpeedsAndTheRangeWhereTheCurvesExpectThem) {
    // A stand-in that tells its results apart: the position and the speed it was asked for.
    EngineSimulator s;
    s.single = [](const Model&, const EngineConditions& c, float pos, const EngineSolverOptions&) {
        EnginePerformance r;
        r.ok = true;
        r.revArmPos = pos;
        r.revPerSecond = c.revPerMin / 60;
        return r;
    };
    s.map = [](const Model&, const EngineConditions&, std::span<const float> positions,
               std::span<const double> speeds, const EngineSolverOptions&) {
        std::vector<EnginePerformance> out;
        for (const float p : positions)
            for (const double n : speeds) {
                EnginePerformance r;
                r.ok = true;
                r.revArmPos = p;
                r.revPerSecond = n / 60;
                out.push_back(r);
            }
        return out;
    };
    PerformanceWorker worker(s, {});
    PerformanceJob job;
    job.generation = 1;
    job.design = test::StartedModel();
    job.conditions.revPerMin = 240;
    job.gears = {Gear::NormalReverse, Gear::FullForward};
    worker.Submit(job);
    worker.WaitIdle();
    const std::optional<PerformanceOutcome> o = worker.Take();
    ASSERT_TRUE(o && o->complete);
    ASSERT_EQ(o->cards.size(), 2u);
    EXPECT_EQ(o->cards[0].gear, Gear::NormalReverse);
    EXPECT_EQ(o->cards[0].result.revArmPos, GearRevArmPos(job.design, Gear::NormalReverse));
    // Eight speeds from a quarter of 240 rev/min to twice it, for every gear in kGears order.
    const std::vector<double> speeds{60, 120, 180, 240, 300, 360, 420, 480};
    EXPECT_EQ(o->curves.revPerMin, speeds);
    for (std::size_t g = 0; g < kGears.size(); ++g) {
        ASSERT_EQ(o->curves.bySpeed[g].size(), speeds.size());
        for (std::size_t i = 0; i < speeds.size(); ++i) {
            EXPECT_EQ(o->curves.bySpeed[g][i].revArmPos, GearRevArmPos(job.design, kGears[g].gear));
            EXPECT_DOUBLE_EQ(o->curves.bySpeed[g][i].revPerSecond * 60, speeds[i]);
        }
    }
    // Along the range at 240 rev/min, full forward to full reverse through every gear.
    ASSERT_GE(o->curves.byPosition.size(), 17u);
    EXPECT_EQ(o->curves.byPosition.front().revArmPos, GearRevArmPos(job.design, Gear::FullForward));
    EXPECT_EQ(o->curves.byPosition.back().revArmPos, GearRevArmPos(job.design, Gear::FullReverse));
    EXPECT_DOUBLE_EQ(o->curves.byPosition[3].revPerSecond * 60, 240);
}

}  // namespace
}  // namespace tarn
