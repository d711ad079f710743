// The gear optimiser's dialog. The run works on a copy of the design on a thread of its own; its
// progress and its result come back to the window's thread as queued calls tagged with the run's
// number, so a run that was stopped (Cancel keeps its result, closing drops it) never writes into
// a later one, and the window waits for the thread before it hides or goes.
#include "gui/diagrams/optimisedialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "core/analysis/gearcomparison.h"
#include "core/analysis/positionlist.h"
#include "core/model/dimensions.h"
#include "core/model/numfmt.h"
#include "core/variation/commit.h"
#include "core/variation/undo.h"
#include "gui/common/mainwindowhost.h"
#include "gui/common/screenfit.h"

namespace tarn {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The dimension table's columns.
enum { kName, kCurrent, kLow, kHigh, kResult, kDimColumns };
// The comparison's columns.
enum { kGear, kDesign, kCutFront, kCutRear, kCutDiff, kLeadFront, kLeadRear, kCompareColumns };

constexpr const char* kGroupName = "Optimise Gear";
const QColor kWarning(0xFF, 0xD0, 0xD0);

QString Capitalised(std::string_view s) {
    QString q = Q(s);
    if (!q.isEmpty()) q[0] = q[0].toUpper();
    return q;
}

// How often an open window looks whether the design changed (its 36 dimension values compared).
constexpr int kFollowMs = 400;

bool ReadNumber(const QString& text, long double& v) {
    return ParseWholeNumber(text.trimmed().toStdString(), v) && std::isfinite(v);
}

}  // namespace

struct TOptimiseGear::Choices {
    OptimiseSettings settings;
};

TOptimiseGear::TOptimiseGear(Model& m, MainWindowHost* host, QWidget* parent)
    : QDialog(parent), m_(m), host_(host) {
    setObjectName(QStringLiteral("OptimiseGear"));
    setWindowTitle(QStringLiteral("Optimise Gear"));
    resize(860, 780);

    dims_ = new QTableWidget(0, kDimColumns, this);
    dims_->setObjectName(QStringLiteral("Dimensions"));
    dims_->setHorizontalHeaderLabels({QStringLiteral("Dimension"), QStringLiteral("Current"),
                                      QStringLiteral("Lower bound"), QStringLiteral("Upper bound"),
                                      QStringLiteral("Optimised")});
    dims_->verticalHeader()->setVisible(false);
    const int rowHeight = fontMetrics().lineSpacing() + 6;
    dims_->verticalHeader()->setDefaultSectionSize(rowHeight);
    dims_->setSelectionMode(QAbstractItemView::NoSelection);
    dims_->horizontalHeader()->setSectionResizeMode(kName, QHeaderView::Stretch);
    for (const DimensionInfo& d : Dimensions()) {
        if (!IsVariableDimension(d.id)) continue;
        const int row = dims_->rowCount();
        dims_->insertRow(row);
        auto* name = new QTableWidgetItem(Q(d.caption));
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        name->setCheckState(Qt::Unchecked);
        name->setData(Qt::UserRole, d.id);
        name->setToolTip(Q(d.name));
        dims_->setItem(row, kName, name);
        for (int c : {kCurrent, kLow, kHigh, kResult}) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            item->setFlags(c == kLow || c == kHigh
                               ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                               : Qt::ItemIsEnabled);
            dims_->setItem(row, c, item);
        }
    }
    dims_->resizeColumnsToContents();
    dims_->horizontalHeader()->setSectionResizeMode(kName, QHeaderView::Stretch);

    rangePercent_ = new QDoubleSpinBox(this);
    rangePercent_->setObjectName(QStringLiteral("RangePercent"));
    rangePercent_->setLocale(QLocale::c());
    rangePercent_->setRange(0.1, 100.0);
    rangePercent_->setDecimals(1);
    rangePercent_->setValue(10.0);
    rangePercent_->setSuffix(QStringLiteral(" %"));
    connect(rangePercent_, &QDoubleSpinBox::valueChanged, this, [this] { RangeChange(); });

    auto* positions = new QGroupBox(QStringLiteral("Gear positions"), this);
    auto* posLayout = new QVBoxLayout(positions);
    // The optimiser's own default positions start checked.
    const std::vector<OptimisePosition> defaults = OptimiseSettings{}.positions;
    for (const GearInfo& g : kGears) {
        auto* box = new QCheckBox(Capitalised(g.name), positions);
        box->setObjectName(QStringLiteral("Gear") + Q(g.id));
        box->setChecked(std::any_of(defaults.begin(), defaults.end(),
                                    [&](const OptimisePosition& p) { return p.gear == g.gear; }));
        posLayout->addWidget(box);
        gears_.push_back(box);
    }
    allGears_ = new QCheckBox(QStringLiteral("All gears"), positions);
    allGears_->setObjectName(QStringLiteral("OptimiseAllGears"));
    allGears_->setToolTip(
        QStringLiteral("Hold the least lead and an opening port at every standard gear too"));
    posLayout->addWidget(allGears_);
    absolute_ = new QLineEdit(positions);
    absolute_->setObjectName(QStringLiteral("AbsolutePositions"));
    absolute_->setPlaceholderText(QStringLiteral("e.g. 4.5, 7.25"));
    absolute_->setToolTip(QStringLiteral("Reverse-arm positions, separated by commas"));
    auto* absoluteLabel = new QLabel(QStringLiteral("Also at reverse-arm positions:"), positions);
    absoluteLabel->setContentsMargins(0, 2, 0, 2);  // room for the descenders below the text
    posLayout->addWidget(absoluteLabel);
    posLayout->addWidget(absolute_);

    objective_ = new QComboBox(this);
    objective_->setObjectName(QStringLiteral("Objective"));
    objective_->addItem(QStringLiteral("Equal cut-off"),
                        static_cast<int>(OptimiseObjective::Cutoff));
    objective_->addItem(QStringLiteral("Equal cut-off and lead"),
                        static_cast<int>(OptimiseObjective::CutoffAndLead));
    minLead_ = new QLineEdit(QStringLiteral("0"), this);
    minLead_->setObjectName(QStringLiteral("MinLead"));
    budget_ = new QSpinBox(this);
    budget_->setObjectName(QStringLiteral("MaxEvaluations"));
    budget_->setRange(10, 100000);
    budget_->setValue(OptimiseSettings{}.maxEvaluations);
    timeLimit_ = new QDoubleSpinBox(this);
    timeLimit_->setObjectName(QStringLiteral("OptimiseTimeLimit"));
    timeLimit_->setLocale(QLocale::c());
    timeLimit_->setRange(0, 999);
    timeLimit_->setDecimals(0);
    timeLimit_->setSuffix(QStringLiteral(" s"));
    timeLimit_->setSpecialValueText(QStringLiteral("none"));
    timeLimit_->setValue(OptimiseSettings{}.timeLimit);

    auto* settings = new QFormLayout;
    settings->addRow(QStringLiteral("Range"), rangePercent_);
    settings->addRow(QStringLiteral("Objective"), objective_);
    settings->addRow(QStringLiteral("Least lead"), minLead_);
    settings->addRow(QStringLiteral("Designs at most"), budget_);
    auto* timeLabel = new QLabel(QStringLiteral("Time limit"), this);
    timeLabel->setContentsMargins(2, 0, 0, 0);  // room for the T's overhang
    settings->addRow(timeLabel, timeLimit_);
    auto* side = new QVBoxLayout;
    side->addWidget(positions);
    side->addLayout(settings);
    side->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(dims_, 1);
    top->addLayout(side);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("Progress"));
    progress_->setRange(0, 100);
    progress_->setValue(0);

    report_ = new QPlainTextEdit(this);
    report_->setObjectName(QStringLiteral("Report"));
    report_->setReadOnly(true);
    report_->setMaximumHeight(fontMetrics().lineSpacing() * 7 + 12);
    report_->setPlainText(
        QStringLiteral("Tick the dimensions to vary and the gear positions, then Run."));

    compare_ = new QTableWidget(0, kCompareColumns, this);
    compare_->setObjectName(QStringLiteral("Comparison"));
    compare_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    compare_->verticalHeader()->setVisible(false);
    compare_->verticalHeader()->setDefaultSectionSize(rowHeight);
    compare_->setHorizontalHeaderLabels(
        {QStringLiteral("Gear"), QStringLiteral("Design"), QStringLiteral("Front cut-off [%]"),
         QStringLiteral("Rear cut-off [%]"), QStringLiteral("Front-rear [%]"),
         QStringLiteral("Front lead"), QStringLiteral("Rear lead")});
    compare_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    run_ = button("Run", "Run");
    cancel_ = button("CancelRun", "Cancel");
    apply_ = button("Apply", "Apply");
    QPushButton* close = button("Close1", "Close");
    connect(run_, &QPushButton::clicked, this, [this] { RunClick(); });
    connect(cancel_, &QPushButton::clicked, this, &TOptimiseGear::CancelRunClick);
    connect(apply_, &QPushButton::clicked, this, &TOptimiseGear::ApplyClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(run_);
    buttons->addWidget(cancel_);
    buttons->addWidget(progress_, 1);
    buttons->addWidget(apply_);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 3);
    layout->addLayout(buttons);
    layout->addWidget(report_);
    layout->addWidget(compare_, 2);
    SetRunning(false);

    follow_ = new QTimer(this);
    follow_->setObjectName(QStringLiteral("FollowDesign"));
    follow_->setInterval(kFollowMs);
    connect(follow_, &QTimer::timeout, this, &TOptimiseGear::FollowDesign);
    KeepOnScreen(this);  // 860 x 780 is taller than a laptop's screen
}

TOptimiseGear::~TOptimiseGear() { StopRun(); }

void TOptimiseGear::FormActivate() {
    if (Running()) return;
    // With nothing ticked, start on the dimension changed last: the newest undo entry (a field
    // only visited becomes a dynamic variable without being changed).
    bool ticked = false;
    for (int row = 0; row < dims_->rowCount(); ++row)
        ticked = ticked || dims_->item(row, kName)->checkState() == Qt::Checked;
    const int newest = UndoAvailable(m_.undo) ? m_.undo.UndoId[1] : 0;
    for (int row = 0; row < dims_->rowCount() && !ticked; ++row)
        if (dims_->item(row, kName)->data(Qt::UserRole).toInt() == newest)
            dims_->item(row, kName)->setCheckState(Qt::Checked);
    ReadDesign(false);
}

void TOptimiseGear::RangeChange() { ReadDesign(true); }

void TOptimiseGear::FollowDesign() {
    if (Running() || DesignValues(m_) == shown_) return;
    ReadDesign(false);
}

void TOptimiseGear::ReadDesign(bool resetBounds) {
    for (int row = 0; row < dims_->rowCount(); ++row) {
        const int id = dims_->item(row, kName)->data(Qt::UserRole).toInt();
        const SearchRange r = OptimiseRange(m_, id, rangePercent_->value());
        dims_->item(row, kCurrent)->setText(Q(Str(GetDimension(m_, id), 0, 4)));
        // A bound still showing the default it was given follows the design; a typed one stays.
        for (const auto& [column, value] : {std::pair{kLow, r.lo}, std::pair{kHigh, r.hi}}) {
            QTableWidgetItem* bound = dims_->item(row, column);
            if (!resetBounds && bound->text() != bound->data(Qt::UserRole).toString()) continue;
            const QString text = Q(Str(value, 0, 4));
            bound->setText(text);
            bound->setData(Qt::UserRole, text);
        }
    }
    for (int c : {kCurrent, kLow, kHigh}) dims_->resizeColumnToContents(c);
    shown_ = DesignValues(m_);
}

bool TOptimiseGear::ReadChoices(Choices& c, QString& why) const {
    OptimiseSettings& s = c.settings;
    s.dimensions.clear();
    for (int row = 0; row < dims_->rowCount(); ++row) {
        QTableWidgetItem* name = dims_->item(row, kName);
        if (name->checkState() != Qt::Checked) continue;
        const int id = name->data(Qt::UserRole).toInt();
        SearchRange bounds;
        const std::string wrong = CheckOptimiseBounds(
            id, FindDimension(id)->caption, dims_->item(row, kLow)->text().trimmed().toStdString(),
            dims_->item(row, kHigh)->text().trimmed().toStdString(), bounds);
        if (!wrong.empty()) {
            why = QStringLiteral("The bounds of ") + name->text() + QStringLiteral(": ") +
                  Q(wrong) + QLatin1Char('.');
            return false;
        }
        s.dimensions.push_back({id, bounds});
    }
    if (s.dimensions.empty()) {
        why = QStringLiteral("Tick at least one dimension to vary.");
        return false;
    }
    if (s.dimensions.size() > static_cast<std::size_t>(kUndoDepth)) {
        why = QStringLiteral("Tick at most %1 dimensions: one UnDo takes back at most %1 changes.")
                  .arg(kUndoDepth);
        return false;
    }
    s.positions.clear();
    for (std::size_t i = 0; i < gears_.size(); ++i)
        if (gears_[i]->isChecked()) s.positions.push_back(OptimisePosition::At(kStandardGears[i]));
    if (const QString extra = absolute_->text().trimmed(); !extra.isEmpty()) {
        std::vector<PositionEntry> entries;
        std::string bad;
        if (!ParsePositionList(extra.toStdString(), entries, bad)) {
            why = QStringLiteral("Cannot read the reverse-arm position \"") + Q(bad) +
                  QStringLiteral("\".");
            return false;
        }
        for (const PositionEntry& e : entries)
            s.positions.push_back(
                e.gear ? OptimisePosition::At(*e.gear)
                       : OptimisePosition::Absolute(ClampRevArmPos(m_, ToFloat(e.number))));
    }
    if (s.positions.empty()) {
        why = QStringLiteral("Tick at least one gear position.");
        return false;
    }
    long double lead = 0;
    if (!ReadNumber(minLead_->text(), lead)) {
        why = QStringLiteral("Cannot read the least lead.");
        return false;
    }
    s.minLead = static_cast<double>(lead);
    s.allGears = allGears_->isChecked();
    s.objective = static_cast<OptimiseObjective>(objective_->currentData().toInt());
    s.rangePercent = rangePercent_->value();
    s.maxEvaluations = budget_->value();
    s.timeLimit = timeLimit_->value();
    return true;
}

bool TOptimiseGear::RunClick() {
    if (Running()) return false;
    Choices c;
    QString why;
    if (!ReadChoices(c, why)) {
        report_->setPlainText(why);
        return false;
    }
    start_ = m_;  // taken here: the main window's tick writes the live design
    const int serial = ++serial_;
    stop_ = std::make_unique<std::atomic<bool>>(false);
    ran_ = c.settings;
    OptimiseSettings s = std::move(c.settings);
    s.cancel = stop_.get();
    // One queued call per percent, not per design.
    auto shown = std::make_shared<std::atomic<int>>(-1);
    s.progress = [this, serial, shown](int done, int budget) {
        const int percent = budget > 0 ? std::min(100, done * 100 / budget) : 0;
        if (shown->exchange(percent) == percent) return;
        QMetaObject::invokeMethod(
            this,
            [this, serial, percent] {
                if (serial == serial_) progress_->setValue(percent);
            },
            Qt::QueuedConnection);
    };
    hasResult_ = false;
    applied_ = false;
    progress_->setValue(0);
    for (int row = 0; row < dims_->rowCount(); ++row) dims_->item(row, kResult)->setText({});
    compare_->setRowCount(0);
    report_->setPlainText(QStringLiteral("Searching..."));
    SetRunning(true);
    worker_ = std::thread([this, serial, design = start_, s = std::move(s), search = search_] {
        auto r =
            std::make_shared<OptimiseResult>(search ? search(design, s) : OptimiseGear(design, s));
        QMetaObject::invokeMethod(
            this, [this, serial, r] { Finished(serial, r); }, Qt::QueuedConnection);
    });
    return true;
}

void TOptimiseGear::CancelRunClick() {
    if (Running()) stop_->store(true);
}

void TOptimiseGear::StopRun() {
    if (!worker_.joinable()) return;
    stop_->store(true);
    worker_.join();
    ++serial_;  // its result, still queued, is dropped
    SetRunning(false);
    report_->setPlainText(QStringLiteral("The run was stopped."));
}

void TOptimiseGear::Finished(int serial, const std::shared_ptr<OptimiseResult>& r) {
    if (serial != serial_ || !worker_.joinable()) return;
    worker_.join();  // the thread's last act was to queue this call
    result_ = std::move(*r);
    hasResult_ = result_.status != OptimiseStatus::Refused;
    if (result_.status != OptimiseStatus::Cancelled && result_.status != OptimiseStatus::Failed)
        progress_->setValue(100);
    SetRunning(false);
    ShowResult();
    FollowDesign();  // what changed during the run
    emit RunFinished();
}

void TOptimiseGear::SetRunning(bool running) {
    run_->setEnabled(!running);
    cancel_->setEnabled(running);
    apply_->setEnabled(!running && hasResult_ && !applied_ && result_.changed());
    dims_->setEnabled(!running);
    rangePercent_->setEnabled(!running);
    for (QCheckBox* b : gears_) b->setEnabled(!running);
    allGears_->setEnabled(!running);
    absolute_->setEnabled(!running);
    objective_->setEnabled(!running);
    minLead_->setEnabled(!running);
    budget_->setEnabled(!running);
    timeLimit_->setEnabled(!running);
}

void TOptimiseGear::ShowResult() {
    QStringList lines;
    if (result_.status == OptimiseStatus::Refused) {
        lines << Q(result_.refusal);
        report_->setPlainText(lines.join(QLatin1Char('\n')));
        return;
    }
    lines << Q(DescribeOptimise(result_));
    for (const OptimisedDimension& d : result_.dimensions) {
        const QString caption = Q(FindDimension(d.id)->caption);
        QString cell, line;
        if (d.noEffect) {
            cell = QStringLiteral("no effect");
            line = caption + QStringLiteral(": no effect, kept at ") + Q(Str(d.oldValue, 0, 6));
        } else if (d.newValue == d.oldValue) {
            cell = QStringLiteral("unchanged");
            line = caption + QStringLiteral(": kept at ") + Q(Str(d.oldValue, 0, 6));
        } else {
            cell = Q(Str(d.newValue, 0, 4));
            line = caption + QStringLiteral(": ") + Q(Str(d.oldValue, 0, 6)) +
                   QStringLiteral(" -> ") + Q(Str(d.newValue, 0, 6));
        }
        lines << line;
        for (int row = 0; row < dims_->rowCount(); ++row)
            if (dims_->item(row, kName)->data(Qt::UserRole).toInt() == d.id)
                dims_->item(row, kResult)->setText(cell);
    }
    dims_->resizeColumnToContents(kResult);
    for (const BindingConstraint& b : result_.startBroken)
        lines << QStringLiteral("The start breaks: ") + Q(b.text);
    for (const BindingConstraint& b : result_.binding)
        lines << (b.broken ? QStringLiteral("Broken: ") : QStringLiteral("Binding: ")) + Q(b.text);
    QStringList warnings;
    ShowComparison(warnings);
    for (const QString& w : warnings) lines << QStringLiteral("Warning: ") + w;
    report_->setPlainText(lines.join(QLatin1Char('\n')));
}

void TOptimiseGear::ShowComparison(QStringList& warnings) {
    const GearComparison c = CompareStandardGears(start_, result_.design, ran_);
    compare_->setRowCount(static_cast<int>(2 * kStandardGears.size()));
    auto percent = [](const std::optional<ValveEvent>& e) {
        return e ? Q(Str(e->percent, 0, 2)) : QStringLiteral("none");
    };
    for (std::size_t g = 0; g < kStandardGears.size() && g < c.before.size() && g < c.after.size();
         ++g) {
        for (int side = 0; side < 2; ++side) {
            const ValveEventsResult& e = side == 0 ? c.before[g] : c.after[g];
            const int row = static_cast<int>(2 * g) + side;
            QString cells[kCompareColumns];
            cells[kGear] = side == 0 ? Capitalised(GearName(kStandardGears[g])) : QString();
            cells[kDesign] = side == 0 ? QStringLiteral("before") : QStringLiteral("after");
            if (!e.ok()) {
                for (int col = kCutFront; col < kCompareColumns; ++col)
                    cells[col] = QStringLiteral("geometry error");
            } else {
                cells[kCutFront] = percent(e.front.cutoff);
                cells[kCutRear] = percent(e.rear.cutoff);
                const std::optional<double> diff = FrontMinusRear(e.front.cutoff, e.rear.cutoff);
                cells[kCutDiff] = diff ? Q(Str(*diff, 0, 2)) : QString();
                cells[kLeadFront] = Q(Str(e.front.lead, 0, 4));
                cells[kLeadRear] = Q(Str(e.rear.lead, 0, 4));
            }
            for (int col = 0; col < kCompareColumns; ++col) {
                auto* item = new QTableWidgetItem(cells[col]);
                if (col >= kCutFront) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                compare_->setItem(row, col, item);
            }
        }
    }
    // Where the new design is worse than the old: the cell marked, the warning listed.
    for (const GearWarning& w : c.warnings) {
        int column = kDesign;
        switch (w.kind) {
            case GearWarningKind::GeometryError: column = kDesign; break;
            case GearWarningKind::PortStopsOpening: column = w.front ? kCutFront : kCutRear; break;
            case GearWarningKind::LeadNegative:
            case GearWarningKind::LeadBelowMinimum:
                column = w.front ? kLeadFront : kLeadRear;
                break;
            case GearWarningKind::CutoffDifference: column = kCutDiff; break;
        }
        QTableWidgetItem* item = compare_->item(static_cast<int>(2 * w.gearIndex) + 1, column);
        const QString why = Q(w.text);
        item->setBackground(kWarning);
        item->setData(Qt::UserRole, true);
        item->setToolTip(why);
        warnings << why;
    }
}

std::vector<float> TOptimiseGear::DesignValues(const Model& m) const {
    std::vector<float> v;
    for (const DimensionInfo& d : Dimensions()) v.push_back(GetDimension(m, d.id));
    return v;
}

void TOptimiseGear::ApplyClick() {
    if (Running() || !hasResult_ || applied_ || !result_.changed()) return;
    if (DesignValues(m_) != DesignValues(start_)) {
        report_->appendPlainText(
            QStringLiteral("The design has changed since the run: Run again before applying."));
        return;
    }
    std::vector<DimensionChange> changes;
    for (const OptimisedDimension& d : result_.dimensions)
        if (d.newValue != d.oldValue) changes.push_back({d.id, d.newValue});
    if (!CommitDimensionGroup(m_, kGroupName, changes)) {
        report_->appendPlainText(
            QStringLiteral("Cannot apply more than %1 changes at once.").arg(kUndoDepth));
        return;
    }
    applied_ = true;
    // As when a dimension dialog closes: the reverse-arm bar to the new mid gear.
    if (host_) host_->SetRevArmBar(0);
    SetRunning(false);
    ReadDesign(false);
    report_->appendPlainText(QStringLiteral("Applied: one UnDo takes it back."));
}

void TOptimiseGear::done(int r) {
    StopRun();
    QDialog::done(r);
}

void TOptimiseGear::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) {
        FormActivate();
        follow_->start();
    }
}

void TOptimiseGear::hideEvent(QHideEvent* e) {
    if (!e->spontaneous()) {
        follow_->stop();
        StopRun();
    }
    QDialog::hideEvent(e);
}

}  // namespace tarn
