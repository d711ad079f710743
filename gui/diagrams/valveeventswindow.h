// The "Valve Events" window: the events at a glance (one row per event, front, rear and front
// minus rear for each gear position, differences beyond a tolerance highlighted, valve-setting
// marks), the gear curve over the reverser's whole range, and a reference design to compare
// with. It follows the design live, copies and saves the table, exports and prints the curve.
#pragma once

#include <QDialog>
#include <QImage>
#include <QString>
#include <optional>
#include <vector>

#include "core/analysis/eventsgrid.h"
#include "core/analysis/valveevents.h"
#include "core/io/dimensionfile.h"
#include "core/model/model.h"
#include "core/plots/gearcurve.h"
#include "gui/common/pictureexport.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;

namespace tarn {

class GearCurveView;

class TValveEvents : public QDialog {
    Q_OBJECT
public:
    explicit TValveEvents(Model& m, QWidget* parent = nullptr);

    // Recomputes the table and the curve when the design, the mid gear or the listed positions
    // changed since the last time; returns whether it did. A timer calls it while the window is
    // shown.
    bool Refresh();
    // The positions the columns are for: the listed reverse-arm positions, or the five gears.
    std::vector<float> Positions() const;
    const std::vector<ValveEventsResult>& Results() const { return results_; }
    const GearCurve& Curve() const { return curve_; }
    // The table as tab-separated text, as Copy puts it on the clipboard.
    QString TableText() const;
    // Writes the table as CSV, safely as a design is saved; false with the message in error when
    // it cannot (the message box is the caller's).
    bool SaveCsv(const QString& path, QString* error = nullptr) const;

    // Loads a dimension file as the reference; the design is untouched. "" or the reason the
    // file was refused.
    QString LoadReference(const QString& path);
    void ClearReference();
    bool HasReference() const { return reference_.has_value(); }
    // The gear curve as the window shows it, for export and print.
    Picture CurvePicture() const;

    void CopyClick();
    void SaveClick();
    void CompareClick();
    void ToleranceChange();

    // What the table shows.
    enum class Show { Design, Reference, Difference };

signals:
    // The "Optimise Gear..." button: the gear optimiser is asked for.
    void OptimiseGearRequested();

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void Fill();
    // Sizes the window to show the whole table (the first time it is shown).
    void FitToTable();
    void ComputeReference();
    void UpdateCurve();

    Model& m_;
    QTableWidget* table_ = nullptr;
    QDoubleSpinBox* tolerance_ = nullptr;
    QComboBox* show_ = nullptr;
    QLabel* referenceName_ = nullptr;
    QPushButton* clearReference_ = nullptr;
    QCheckBox* showRelease_ = nullptr;
    QCheckBox* showLead_ = nullptr;
    GearCurveView* curveView_ = nullptr;
    QTimer* timer_ = nullptr;
    std::vector<ValveEventsResult> results_;
    GearCurve curve_;
    std::optional<Model> reference_;
    std::vector<ValveEventsResult> referenceResults_;
    GearCurve referenceCurve_;
    DimFileImage lastImage_{};
    std::vector<float> lastPositions_;
    bool computed_ = false;
    bool fitted_ = false;
};

}  // namespace tarn
