// The "Optimise Gear" dialog: pick the dimensions to vary with their bounds, the gear positions,
// the objective and the least lead; Run searches on a worker thread (a copy of the design, the
// window stays live, Cancel stops it with the best design so far); the result shows each
// dimension's old and new value, what binds it and the events of all five gears before and
// after, marked where the new design is worse; Apply sets the new values as one undo step.
#pragma once

#include <QDialog>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "core/analysis/optimiser.h"
#include "core/model/model.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;

namespace tarn {

class MainWindowHost;

class TOptimiseGear : public QDialog {
    Q_OBJECT
public:
    // host (may be null): the main window, whose reverse-arm bar follows the new mid gear.
    explicit TOptimiseGear(Model& m, MainWindowHost* host = nullptr, QWidget* parent = nullptr);
    ~TOptimiseGear() override;

    // Reads the design: each dimension's current value and its default bounds (the current
    // value +- the range percentage); with nothing ticked, ticks the dimension changed last (the
    // newest undo entry). Showing the window does it.
    void FormActivate();
    // The range percentage changed: every dimension's bounds start from the new default.
    void RangeChange();
    // Follows the design while the window is open (a slow timer calls it): when a dimension or
    // the mid gear changed since the window last read them (an UnDo, a field, a jog bar), the
    // Current column and the bounds still at their defaults are read again. Cheap when nothing
    // changed: the design's dimension values are compared.
    void FollowDesign();
    // The search that Run starts (OptimiseGear unless a test puts its own).
    void SetSearch(OptimiseFunction search) { search_ = std::move(search); }
    // Starts a run on a copy of the design; false with the reason in the report when the
    // choices cannot be used.
    bool RunClick();
    // Asks the run to stop; its best design so far arrives as the result.
    void CancelRunClick();
    // Sets the new values of the result on the design: one UnDo takes them all back.
    void ApplyClick();

    bool Running() const { return worker_.joinable(); }
    bool HasResult() const { return hasResult_; }
    const OptimiseResult& Result() const { return result_; }

    // Closing (Close, Escape, the title bar) stops a run first and waits for its thread.
    void done(int r) override;

signals:
    // A run ended (finished, cancelled) and its result is on show.
    void RunFinished();

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    struct Choices;
    bool ReadChoices(Choices& c, QString& why) const;
    // Stops a run and waits for its thread; its result is dropped.
    void StopRun();
    void Finished(int serial, const std::shared_ptr<OptimiseResult>& r);
    void ShowResult();
    void ShowComparison(QStringList& warnings);
    void SetRunning(bool running);
    std::vector<float> DesignValues(const Model& m) const;
    // The values shown and the default bounds written (a bound the user typed is left alone).
    void ReadDesign(bool resetBounds);

    Model& m_;
    MainWindowHost* host_ = nullptr;
    QTableWidget* dims_ = nullptr;
    QDoubleSpinBox* rangePercent_ = nullptr;
    std::vector<QCheckBox*> gears_;
    QCheckBox* allGears_ = nullptr;  // every standard gear held to the lead and opening
    QLineEdit* absolute_ = nullptr;
    QComboBox* objective_ = nullptr;
    QLineEdit* minLead_ = nullptr;
    QSpinBox* budget_ = nullptr;
    QDoubleSpinBox* timeLimit_ = nullptr;  // seconds; 0: none
    QProgressBar* progress_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* apply_ = nullptr;
    QPlainTextEdit* report_ = nullptr;
    QTableWidget* compare_ = nullptr;
    QTimer* follow_ = nullptr;
    std::vector<float> shown_;  // the design as the Current column shows it, and its mid gear
    OptimiseFunction search_;

    std::thread worker_;
    std::unique_ptr<std::atomic<bool>> stop_;
    int serial_ = 0;  // the run whose result is awaited; a dropped run's result is ignored
    Model start_;     // the design the result was found from
    OptimiseResult result_;
    OptimiseSettings ran_;  // the settings result_ was found with (no callbacks)
    bool hasResult_ = false;
    bool applied_ = false;
};

}  // namespace tarn
