// The conditions' form, built from the conditions table: a list for each choice, a field with
// its unit for each value; a value the conditions do not use is blank and disabled. A field's
// objectName is its file key in capitals ("chest-pressure": ChestPressure).
#include "gui/performance/conditionspanel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include <string>

namespace tarn {

namespace {

QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// "chest-pressure" gives "ChestPressure".
QString ObjectNameOf(std::string_view key) {
    QString out;
    bool upper = true;
    for (const char ch : key) {
        if (ch == '-') {
            upper = true;
            continue;
        }
        out += upper ? QChar(ch).toUpper() : QChar(ch);
        upper = false;
    }
    return out;
}

}  // namespace

ConditionsPanel::ConditionsPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ConditionsPanel"));
    auto* form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    const std::span<const ConditionInfo> table = ConditionTable();
    rows_.resize(table.size());
    QHBoxLayout* units = nullptr;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const ConditionInfo& info = table[i];
        Row& row = rows_[i];
        const QString name = ObjectNameOf(info.key);
        if (info.quantity == ConditionQuantity::Choice) {
            row.choice = new QComboBox(this);
            row.choice->setObjectName(name);
            for (const std::string_view word : info.words) row.choice->addItem(Q(word));
            connect(row.choice, &QComboBox::activated, this, [this, i](int index) {
                ConditionTable()[i].set(conditions_, index);
                Show();
                emit Changed();
            });
            // The units' lists share a line.
            if (info.key.ends_with("-unit")) {
                if (!units) {
                    units = new QHBoxLayout;
                    form->addRow(QStringLiteral("Units"), units);
                }
                units->addWidget(row.choice);
            } else {
                form->addRow(Q(info.label), row.choice);
            }
            continue;
        }
        row.edit = new QLineEdit(this);
        row.edit->setObjectName(name);
        row.edit->setMaximumWidth(100);
        row.unit = new QLabel(this);
        row.unit->setObjectName(name + QStringLiteral("Unit"));
        connect(row.edit, &QLineEdit::editingFinished, this, [this, i] { Commit(i); });
        auto* line = new QHBoxLayout;
        line->addWidget(row.edit);
        line->addWidget(row.unit, 1);
        form->addRow(Q(info.label), line);
    }
    fault_ = new QLabel(this);
    fault_->setObjectName(QStringLiteral("ConditionsFault"));
    fault_->setWordWrap(true);
    fault_->setStyleSheet(QStringLiteral("color: #C00000"));
    form->addRow(fault_);
    Show();
}

void ConditionsPanel::SetConditions(const EngineConditions& c) {
    conditions_ = c;
    Show();
}

void ConditionsPanel::Show() {
    const std::span<const ConditionInfo> table = ConditionTable();
    const ConditionsFault fault = FindConditionsFault(conditions_);
    for (std::size_t i = 0; i < table.size(); ++i) {
        const ConditionInfo& info = table[i];
        const Row& row = rows_[i];
        if (row.choice) {
            row.choice->setCurrentIndex(static_cast<int>(info.get(conditions_)));
            continue;
        }
        const bool used = info.used(conditions_);
        row.edit->setText(used ? QString::fromStdString(ConditionValueText(info, conditions_))
                               : QString());
        row.edit->setCursorPosition(0);
        row.edit->setEnabled(used);
        row.unit->setText(Q(ConditionUnit(info, conditions_).text));
        // The value at fault is marked.
        row.edit->setStyleSheet(info.key == fault.key ? QStringLiteral("background: #FFD0D0")
                                                      : QString());
    }
    fault_->setText(QString::fromStdString(fault.problem));
    fault_->setVisible(!fault.problem.empty());
}

void ConditionsPanel::Commit(std::size_t index) {
    const ConditionInfo& info = ConditionTable()[index];
    const QString text = rows_[index].edit->text().trimmed();
    double v = 0;
    // A value left as shown changes nothing; one that is not a number is put back.
    if (text.toStdString() != ConditionValueText(info, conditions_) &&
        ParseConditionNumber(text.toStdString(), v)) {
        const EngineConditions before = conditions_;
        info.set(conditions_, v);
        if (!(conditions_ == before)) {
            Show();
            emit Changed();
            return;
        }
    }
    Show();
}

}  // namespace tarn
