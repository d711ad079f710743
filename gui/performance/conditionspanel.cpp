// The conditions' form: a table of the numeric rows (label, unit, value in the units chosen) and
// the lists of the choices.
#include "gui/performance/conditionspanel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include <cmath>
#include <string>

#include "core/model/numfmt.h"
#include "core/plots/indicatorcard.h"

namespace tarn {

namespace {

double ToPascal(double shown, PressureUnit u) {
    return u == PressureUnit::Psi ? shown * 6894.757293168361 : shown * 1e5;
}
bool Fahrenheit(const EngineConditions& c) {
    return c.temperatureUnit == TemperatureUnit::Fahrenheit;
}
constexpr double kMetresPerSecondPerMph = 0.44704, kMetresPerSecondPerKmh = 1 / 3.6;

// A numeric row: its field's objectName, its label, its unit, its value in the units shown.
struct NumericRow {
    const char* key;
    const char* label;
    std::string (*unit)(const EngineConditions&);
    double (*get)(const EngineConditions&);
    void (*set)(EngineConditions&, double);
    int decimals;
    bool (*enabled)(const EngineConditions&);
};

std::string Gauge(const EngineConditions& c) {
    return std::string(PressureUnitText(c.pressureUnit)) + " gauge";
}
std::string Absolute(const EngineConditions& c) { return PressureUnitText(c.pressureUnit); }
std::string Degrees(const EngineConditions& c) { return Fahrenheit(c) ? "deg F" : "deg C"; }
std::string Length(const EngineConditions& c) { return LengthUnitText(c.lengthUnit); }
std::string None(const EngineConditions&) { return {}; }
bool Always(const EngineConditions&) { return true; }

const NumericRow kRows[] = {
    {"ChestPressure", "Chest pressure", Gauge,
     [](const EngineConditions& c) { return PressureIn(c.chestPressure, c.pressureUnit); },
     [](EngineConditions& c, double v) { c.chestPressure = ToPascal(v, c.pressureUnit); }, 1,
     Always},
    {"Superheat", "Superheat", Degrees,
     [](const EngineConditions& c) { return c.superheat * (Fahrenheit(c) ? 1.8 : 1.0); },
     [](EngineConditions& c, double v) { c.superheat = v / (Fahrenheit(c) ? 1.8 : 1.0); }, 1,
     [](const EngineConditions& c) { return c.supply == SteamSupply::Superheat; }},
    {"SteamTemperature", "Steam temperature", Degrees,
     [](const EngineConditions& c) {
         const double celsius = c.steamTemperature - 273.15;
         return Fahrenheit(c) ? celsius * 1.8 + 32 : celsius;
     },
     [](EngineConditions& c, double v) {
         c.steamTemperature = (Fahrenheit(c) ? (v - 32) / 1.8 : v) + 273.15;
     },
     1, [](const EngineConditions& c) { return c.supply == SteamSupply::Temperature; }},
    {"BackPressure", "Back pressure", Gauge,
     [](const EngineConditions& c) { return PressureIn(c.backPressure, c.pressureUnit); },
     [](EngineConditions& c, double v) { c.backPressure = ToPascal(v, c.pressureUnit); }, 2,
     Always},
    {"AtmosphericPressure", "Atmosphere", Absolute,
     [](const EngineConditions& c) { return PressureIn(c.atmosphericPressure, c.pressureUnit); },
     [](EngineConditions& c, double v) { c.atmosphericPressure = ToPascal(v, c.pressureUnit); }, 3,
     Always},
    {"Speed", "Speed", None,
     [](const EngineConditions& c) {
         switch (c.speedGiven) {
             case SpeedGiven::RevPerMin: return c.revPerMin;
             case SpeedGiven::Mph: return c.roadSpeed / kMetresPerSecondPerMph;
             case SpeedGiven::KmPerHour: return c.roadSpeed / kMetresPerSecondPerKmh;
         }
         return 0.0;
     },
     [](EngineConditions& c, double v) {
         switch (c.speedGiven) {
             case SpeedGiven::RevPerMin: c.revPerMin = v; break;
             case SpeedGiven::Mph: c.roadSpeed = v * kMetresPerSecondPerMph; break;
             case SpeedGiven::KmPerHour: c.roadSpeed = v * kMetresPerSecondPerKmh; break;
         }
     },
     1, Always},
    {"Cylinders", "Cylinders", None,
     [](const EngineConditions& c) { return static_cast<double>(c.cylinders); },
     [](EngineConditions& c, double v) { c.cylinders = static_cast<int>(std::lround(v)); }, 0,
     Always},
    {"RodDiameter", "Piston rod diameter", Length,
     [](const EngineConditions& c) { return c.rodDiameter; },
     [](EngineConditions& c, double v) { c.rodDiameter = v; }, 3, Always},
    {"PassagePercent", "Passages per end",
     [](const EngineConditions&) -> std::string { return "% of swept volume"; },
     [](const EngineConditions& c) { return c.passagePercent; },
     [](EngineConditions& c, double v) { c.passagePercent = v; }, 1, Always},
    {"DischargeCoefficient", "Discharge coefficient", None,
     [](const EngineConditions& c) { return c.dischargeCoefficient; },
     [](EngineConditions& c, double v) { c.dischargeCoefficient = v; }, 2, Always},
    {"PortBarShare", "Bush open to the ports",
     [](const EngineConditions&) -> std::string { return "share of circumference"; },
     [](const EngineConditions& c) { return c.portBarShare; },
     [](EngineConditions& c, double v) { c.portBarShare = v; }, 2, Always},
};

QComboBox* Choice(QWidget* parent, const char* name, const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    return box;
}

}  // namespace

ConditionsPanel::ConditionsPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ConditionsPanel"));
    auto* form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);

    lengthUnit_ = Choice(this, "LengthUnit", {QStringLiteral("in"), QStringLiteral("mm")});
    pressureUnit_ = Choice(this, "PressureUnit", {QStringLiteral("psi"), QStringLiteral("bar")});
    temperatureUnit_ =
        Choice(this, "TemperatureUnit", {QStringLiteral("deg F"), QStringLiteral("deg C")});
    supply_ = Choice(this, "SteamSupply",
                     {QStringLiteral("Saturated"), QStringLiteral("Superheated by"),
                      QStringLiteral("At a temperature")});
    model_ = Choice(this, "SteamModel",
                    {QStringLiteral("Steam tables (IF97)"), QStringLiteral("Ideal gas")});
    speedGiven_ =
        Choice(this, "SpeedGiven",
               {QStringLiteral("rev/min"), QStringLiteral("mph"), QStringLiteral("km/h")});
    auto* units = new QHBoxLayout;
    units->addWidget(lengthUnit_);
    units->addWidget(pressureUnit_);
    units->addWidget(temperatureUnit_);
    form->addRow(QStringLiteral("Units"), units);
    form->addRow(QStringLiteral("Steam"), supply_);

    for (const NumericRow& row : kRows) {
        const std::size_t index = fields_.size();
        Field f;
        f.edit = new QLineEdit(this);
        f.edit->setObjectName(QString::fromLatin1(row.key));
        f.edit->setMaximumWidth(90);
        f.unit = new QLabel(this);
        f.unit->setObjectName(QString::fromLatin1(row.key) + QStringLiteral("Unit"));
        connect(f.edit, &QLineEdit::editingFinished, this, [this, index] { Commit(index); });
        auto* line = new QHBoxLayout;
        line->addWidget(f.edit);
        if (std::string(row.key) == "Speed") line->addWidget(speedGiven_);
        line->addWidget(f.unit, 1);
        form->addRow(QString::fromLatin1(row.label), line);
        fields_.push_back(f);
    }
    form->addRow(QStringLiteral("Fluid"), model_);

    auto choice = [this](QComboBox* box, auto apply) {
        connect(box, &QComboBox::activated, this, [this, box, apply] {
            apply(conditions_, box->currentIndex());
            Show();
            emit Changed();
        });
    };
    choice(lengthUnit_,
           [](EngineConditions& c, int i) { c.lengthUnit = static_cast<LengthUnit>(i); });
    choice(pressureUnit_,
           [](EngineConditions& c, int i) { c.pressureUnit = static_cast<PressureUnit>(i); });
    choice(temperatureUnit_,
           [](EngineConditions& c, int i) { c.temperatureUnit = static_cast<TemperatureUnit>(i); });
    choice(supply_, [](EngineConditions& c, int i) { c.supply = static_cast<SteamSupply>(i); });
    choice(model_, [](EngineConditions& c, int i) { c.model = static_cast<SteamModel>(i); });
    choice(speedGiven_,
           [](EngineConditions& c, int i) { c.speedGiven = static_cast<SpeedGiven>(i); });
    Show();
}

void ConditionsPanel::SetConditions(const EngineConditions& c) {
    conditions_ = c;
    Show();
}

void ConditionsPanel::Show() {
    const EngineConditions& c = conditions_;
    lengthUnit_->setCurrentIndex(static_cast<int>(c.lengthUnit));
    pressureUnit_->setCurrentIndex(static_cast<int>(c.pressureUnit));
    temperatureUnit_->setCurrentIndex(static_cast<int>(c.temperatureUnit));
    supply_->setCurrentIndex(static_cast<int>(c.supply));
    model_->setCurrentIndex(static_cast<int>(c.model));
    speedGiven_->setCurrentIndex(static_cast<int>(c.speedGiven));
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const NumericRow& row = kRows[i];
        // A value that does not apply is left blank.
        const bool enabled = row.enabled(c);
        fields_[i].edit->setText(
            enabled
                ? QString::fromStdString(Str(static_cast<long double>(row.get(c)), 0, row.decimals))
                : QString());
        fields_[i].edit->setCursorPosition(0);
        fields_[i].edit->setEnabled(enabled);
        fields_[i].unit->setText(QString::fromStdString(row.unit(c)));
    }
}

void ConditionsPanel::Commit(std::size_t row) {
    const NumericRow& r = kRows[row];
    const double before = r.get(conditions_);
    const double v =
        static_cast<double>(ParseNumber(fields_[row].edit->text().trimmed().toStdString()));
    // The value as shown: a field left unchanged changes nothing.
    if (Str(static_cast<long double>(v), 0, r.decimals) !=
        Str(static_cast<long double>(before), 0, r.decimals)) {
        r.set(conditions_, v);
        emit Changed();
    }
    Show();
}

}  // namespace tarn
