// The "Engine Performance" window: the conditions the engine runs under, the indicator cards of
// the chosen gears, the performance curves and a table of what the cards give (mean effective
// pressure, power, tractive effort, steam). It follows the design and the conditions live,
// simulating on a thread of its own that drops stale work, and draws the reference design of the
// Valve Events window dashed over its own.
#pragma once

#include <QDialog>
#include <QImage>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/analysis/eventsinputs.h"
#include "core/analysis/valveevents.h"
#include "core/model/model.h"
#include "core/performance/conditions.h"
#include "core/plots/indicatorcard.h"
#include "gui/common/designconditions.h"
#include "gui/common/pictureexport.h"
#include "gui/performance/performanceworker.h"

class QCheckBox;
class QLabel;
class QTableWidget;
class QTimer;

namespace tarn {

class ConditionsPanel;
class CanvasView;
class ReferenceDesignSource;

class EnginePerformanceWindow : public QDialog, public DesignConditions {
    Q_OBJECT
public:
    // reference: where the reference design is found when the window looks (nullptr: none).
    // simulator: the engine model (tests give a stand-in).
    EnginePerformanceWindow(Model& m, QWidget* parent = nullptr,
                            std::function<const ReferenceDesignSource*()> reference = {},
                            EngineSimulator simulator = {});
    ~EnginePerformanceWindow() override;

    const EngineConditions& Conditions() const;
    // Shows these conditions and simulates them.
    void SetConditions(const EngineConditions& c);
    // The standard gears whose cards and table columns are shown, in kGears order.
    std::vector<Gear> ChosenGears() const;

    // Starts simulating when the design, the conditions, the gears or the reference changed
    // since the last start; returns whether it did. A timer calls it while the window is shown.
    bool Refresh();
    // Waits for the work started last and shows its outcome (tests, the first show).
    void WaitForResults();
    // Jobs started, and the worker's count of those it began and of those cancelled.
    std::uint64_t JobsStarted() const { return generation_; }
    std::uint64_t JobsBegun() const { return worker_->JobsBegun(); }
    std::uint64_t JobsCancelled() const { return worker_->JobsCancelled(); }
    // What is shown.
    const std::vector<GearCard>& Cards() const { return cards_; }
    bool HasReferenceShown() const { return !referenceCards_.empty() || referenceCurves_; }

    // The design's file, whose conditions go beside it (NAME.conditions): read when a design is
    // opened (a design without one keeps the conditions used last), written when it is saved.
    QString DesignOpened(const QString& path) override;
    QString DesignSaved(const QString& path) override;
    const QString& DesignPath() const { return designPath_; }
    // The Save button: the conditions beside the design, or where the user chooses when the
    // design has no file yet; false when cancelled or not written.
    bool SaveConditionsClick();
    // Where the conditions go when the design has no file (a save dialog; tests choose).
    void SetConditionsChooser(std::function<QString(QWidget*, const QString& suggested)> c) {
        chooseConditions_ = std::move(c);
    }
    void SetErrorReporter(std::function<void(QWidget*, const QString&)> r) {
        reportError_ = std::move(r);
    }

    Picture CardsPicture() const;
    Picture CurvesPicture() const;

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void TakeResults();
    // The conditions changed: remembered for the next start and simulated.
    void ConditionsChanged();
    void FillTable();
    IndicatorCards ShownCards() const;

    Model& m_;
    QString designPath_;  // "" until a design is opened or saved
    std::function<QString(QWidget*, const QString&)> chooseConditions_;
    std::function<void(QWidget*, const QString&)> reportError_;
    std::function<const ReferenceDesignSource*()> reference_;
    ConditionsPanel* conditions_ = nullptr;
    std::array<QCheckBox*, kGears.size()> gearBoxes_{};
    QCheckBox* reverserBox_ = nullptr;  // a card where the main window's reverser stands
    QTableWidget* table_ = nullptr;
    QLabel* status_ = nullptr;
    CanvasView* cardsView_ = nullptr;
    CanvasView* curvesView_ = nullptr;
    QTimer* timer_ = nullptr;

    // What the last job was started for.
    struct Inputs {
        EventsInputs design;
        EngineConditions conditions;
        std::vector<Gear> gears;
        std::optional<float> reverser;
        std::uint64_t referenceVersion = 0;
        bool hasReference = false;
        bool operator==(const Inputs&) const = default;
    };
    std::optional<Inputs> requested_;
    std::uint64_t generation_ = 0;  // of the last job started
    std::uint64_t shownGeneration_ = 0;
    bool shownComplete_ = false;

    // What is shown, and what it was worked out for.
    EngineConditions shownConditions_;
    std::string referenceName_;
    std::vector<GearCard> cards_, referenceCards_;
    PerformanceCurves curves_;
    std::optional<PerformanceCurves> referenceCurves_;
    std::unique_ptr<PerformanceWorker> worker_;  // last: joined before anything above goes
};

}  // namespace tarn
