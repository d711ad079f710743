// The "Valve Events" window: the events at a glance (one row per event, front, rear and front
// minus rear for each gear position, differences beyond a tolerance highlighted, valve-setting
// marks), the gear curve over the reverser's whole range, and a reference design to compare
// with. It follows the design live, working the numbers out on a thread of their own, copies and
// saves what the table shows, exports and prints the table with the curve.
#pragma once

#include <QDialog>
#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/analysis/eventsgrid.h"
#include "core/analysis/eventsinputs.h"
#include "core/analysis/positionlist.h"
#include "core/analysis/valveevents.h"
#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "core/plots/gearcurve.h"
#include "gui/common/pictureexport.h"
#include "gui/common/referencedesign.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTimer;

namespace tarn {

class EventsWorker;
class CanvasView;
class MainWindowHost;

class TValveEvents : public QDialog, public ReferenceDesignSource {
    Q_OBJECT
public:
    // The host, when given, opens the dimension dialogs for the window's buttons.
    explicit TValveEvents(Model& m, QWidget* parent = nullptr, MainWindowHost* host = nullptr);
    ~TValveEvents() override;

    // Starts working out the table and the curve when the design (what the events depend on:
    // EventsInputsOf) or the positions changed since the last start; returns whether it did.
    // The numbers come back from the events thread and show when the event loop runs, or at
    // once through WaitForResults. A timer calls it while the window is shown.
    bool Refresh();
    // Waits for the numbers started last and shows them (tests, Copy and Save, the first show).
    void WaitForResults();
    // Waits until the events thread has finished; its numbers show at the next turn of the
    // event loop (benchmarks time the two apart).
    void WaitForWorker();

    // Which positions the columns are for.
    enum class PositionsChoice { StandardGears, DiagramPositions, Typed };
    // The positions the columns are for: the five standard gears, the reverse-arm positions
    // listed for the diagrams or the ones typed; the five gears when the list chosen is empty.
    std::vector<float> Positions() const;
    // The positions listed for the diagrams (the reverse-arm dialog's), in their order.
    std::vector<float> DiagramPositions() const;
    const std::vector<ValveEventsResult>& Results() const { return results_; }
    const GearCurve& Curve() const { return curve_; }
    // What Show shows as tab-separated text, as Copy puts it on the clipboard: the events of this
    // design or of the reference as rows per position, or the comparison as the table shows it.
    QString TableText() const;
    // Writes the same as CSV, safely as a design is saved; false with the message in error when
    // it cannot (the message box is the caller's).
    bool SaveCsv(const QString& path, QString* error = nullptr) const;

    // Loads a dimension file as the reference; the design is untouched. "" or the reason the
    // file was refused.
    QString LoadReference(const QString& path);
    void ClearReference();
    bool HasReference() const { return reference_.has_value(); }
    const Model* ReferenceDesign() const override { return reference_ ? &*reference_ : nullptr; }
    std::uint64_t ReferenceDesignVersion() const override { return referenceVersion_; }
    // The gear curve as the window shows it.
    Picture CurvePicture() const;
    // What Export Picture and Print give: the design's and the reference's names, the table as
    // Show shows it with its notes, and the curve.
    Picture SheetPicture() const;

    void CopyClick();
    void SaveClick();
    void CompareClick();
    void ToleranceChange();
    void PositionsChoiceChange();
    void TypedPositionsExit();
    // Opens a dimension dialog where it leaves the table in sight.
    void DimensionsClick(DimDialog which);

    // What the table shows.
    enum class Show { Design, Reference, Difference };

signals:
    // The "Optimise Gear..." button: the gear optimiser is asked for.
    void OptimiseGearRequested();
    // The "Engine Performance..." button: the engine's performance window is asked for.
    void EnginePerformanceRequested();

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    // Shows the newest numbers from the events thread, unless older than those shown.
    void TakeResults();
    void Fill();
    // Sizes the window to show the whole table (the first time it is shown).
    void FitToTable();
    // Fits again when the table's content no longer fits its place.
    void RefitTable();
    void UpdateCurve();
    // The grid Show asks for, from the numbers shown.
    EventsGrid ShownGrid() const;
    Show ShownMode() const;
    QString PositionsNote() const;
    void UpdateNotes();

    Model& m_;
    MainWindowHost* host_ = nullptr;
    QTableWidget* table_ = nullptr;
    QDoubleSpinBox* tolerance_ = nullptr;
    QComboBox* show_ = nullptr;
    QLabel* referenceName_ = nullptr;
    QComboBox* positionsChoice_ = nullptr;
    QLineEdit* typedPositions_ = nullptr;
    QLabel* positionsNote_ = nullptr;
    QLabel* showNote_ = nullptr;
    QPushButton* clearReference_ = nullptr;
    QCheckBox* showRelease_ = nullptr;
    QCheckBox* showLead_ = nullptr;
    CanvasView* curveView_ = nullptr;
    QTimer* timer_ = nullptr;
    // The typed list as entries (gear names follow the design), and the entry refused, if any.
    std::vector<PositionEntry> typed_;
    QString typedRefused_;

    // What the last job was started for.
    struct Inputs {
        EventsInputs design;
        std::vector<float> positions;
        std::uint64_t referenceVersion = 0;
        bool operator==(const Inputs&) const = default;
    };
    std::optional<Inputs> requested_;
    std::uint64_t generation_ = 0;  // of the last job started
    std::uint64_t shownGeneration_ = 0;
    std::uint64_t dropBelow_ = 0;  // outcomes of older jobs are out of date (reference changed)
    std::uint64_t referenceVersion_ = 0;

    // What is shown, and the design copy it was worked out on.
    Model shown_;
    std::vector<ValveEventsResult> results_;
    GearCurve curve_;
    std::optional<EventsInputs> curveInputs_;  // the design the curve shown is of
    std::optional<Model> reference_;
    std::vector<ValveEventsResult> referenceResults_;
    GearCurve referenceCurve_;
    std::uint64_t referenceCurveVersion_ = 0;
    bool computed_ = false;
    bool fitted_ = false;
    std::unique_ptr<EventsWorker> worker_;  // last: joined before anything above goes
};

}  // namespace tarn
