// The conditions an engine runs under, as a form: a field per value in the units chosen, the
// choices (units, steam, speed, fluid) as lists, and what cannot be simulated, if anything.
// Numbers are read and shown without the locale.
#pragma once

#include <QWidget>

#include <vector>

#include "core/performance/conditions.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace tarn {

class ConditionsPanel : public QWidget {
    Q_OBJECT
public:
    explicit ConditionsPanel(QWidget* parent = nullptr);

    const EngineConditions& Conditions() const { return conditions_; }
    // Shows these conditions; Changed is not emitted.
    void SetConditions(const EngineConditions& c);

signals:
    // A value was committed (a field left or Enter pressed, a choice made).
    void Changed();

private:
    void Show();
    void Commit(std::size_t index);

    EngineConditions conditions_;
    // One per row of the conditions table: a list for a choice, else a field and its unit.
    struct Row {
        QComboBox* choice = nullptr;
        QLineEdit* edit = nullptr;
        QLabel* unit = nullptr;
    };
    std::vector<Row> rows_;
    QLabel* fault_ = nullptr;  // what cannot be simulated, if anything
};

}  // namespace tarn
