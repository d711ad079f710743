// The conditions an engine runs under, as a form: a field per value in the units chosen, the
// choices (units, steam, fluid) as lists. Numbers are read and shown without the locale.
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
    void Commit(std::size_t row);

    EngineConditions conditions_;
    struct Field {
        QLineEdit* edit = nullptr;
        QLabel* unit = nullptr;
    };
    std::vector<Field> fields_;  // one per numeric row
    QComboBox* lengthUnit_ = nullptr;
    QComboBox* pressureUnit_ = nullptr;
    QComboBox* temperatureUnit_ = nullptr;
    QComboBox* supply_ = nullptr;
    QComboBox* model_ = nullptr;
    QComboBox* speedGiven_ = nullptr;
};

}  // namespace tarn
