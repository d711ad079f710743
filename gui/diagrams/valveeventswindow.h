// The "Valve Events" window: one row per gear position with both ends' events and the front
// minus rear differences, highlighted beyond a tolerance; it follows the design live and copies
// or saves the table.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "core/analysis/valveevents.h"
#include "core/io/dimensionfile.h"
#include "core/model/model.h"

class QDoubleSpinBox;
class QTableWidget;
class QTimer;

namespace tarn {

class TValveEvents : public QDialog {
    Q_OBJECT
public:
    explicit TValveEvents(Model& m, QWidget* parent = nullptr);

    // Recomputes the table when the design, the mid gear or the listed positions changed since
    // the last time; returns whether it did. A timer calls it while the window is shown.
    bool Refresh();
    // The positions the rows are for: the listed reverse-arm positions, or the five gears.
    std::vector<float> Positions() const;
    const std::vector<ValveEventsResult>& Results() const { return results_; }
    // The table as tab-separated text, as Copy puts it on the clipboard.
    QString TableText() const;
    // Writes the table as CSV, safely as a design is saved; false with the message in error when
    // it cannot (the message box is the caller's).
    bool SaveCsv(const QString& path, QString* error = nullptr) const;

    void CopyClick();
    void SaveClick();
    void ToleranceChange();

signals:
    // The "Optimise Gear..." button: the gear optimiser is asked for.
    void OptimiseGearRequested();

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void Fill();

    Model& m_;
    QTableWidget* table_ = nullptr;
    QDoubleSpinBox* tolerance_ = nullptr;
    QTimer* timer_ = nullptr;
    std::vector<ValveEventsResult> results_;
    DimFileImage lastImage_{};
    std::vector<float> lastPositions_;
    bool computed_ = false;
};

}  // namespace tarn
