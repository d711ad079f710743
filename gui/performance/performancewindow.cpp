// The engine-performance window over the core's simulation. The design has no change
// notification, so a short timer compares what the simulation depends on (the design and its mid
// gear, the conditions, the gears chosen, the reference) with the last job's, and starts a new
// job on the performance thread only when they differ; the thread cancels the stale one. Its
// outcomes come back through the event loop and are shown unless a newer one already is.
#include "gui/performance/performancewindow.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "core/io/conditionsfile.h"
#include "core/model/numfmt.h"
#include "gui/common/canvasview.h"
#include "gui/common/referencedesign.h"
#include "gui/common/screenfit.h"
#include "gui/performance/conditionspanel.h"

namespace tarn {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
QString Number(double v, int decimals) { return Q(Str(static_cast<long double>(v), 0, decimals)); }

const QColor kWarning(0xFF, 0xD0, 0xD0);

const QString kConditionsKey = QStringLiteral("EnginePerformance/Conditions");

// The program's settings, where the main window keeps its own.
std::unique_ptr<QSettings> ProgramSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("tarn1"), QStringLiteral("tarn1"));
}

}  // namespace

EnginePerformanceWindow::EnginePerformanceWindow(
    Model& m, QWidget* parent, std::function<const ReferenceDesignSource*()> reference,
    EngineSimulator simulator)
    : QDialog(parent),
      m_(m),
      chooseConditions_([](QWidget* over, const QString& suggested) {
          return QFileDialog::getSaveFileName(
              over, QStringLiteral("Save Conditions"), suggested,
              QStringLiteral("Conditions (*.conditions);;All files (*)"));
      }),
      reportError_([](QWidget* over, const QString& message) {
          QMessageBox::critical(over, QStringLiteral("Engine Performance"), message);
      }),
      reference_(std::move(reference)) {
    setObjectName(QStringLiteral("EnginePerformance"));
    setWindowTitle(QStringLiteral("Engine Performance"));

    auto* menu = new QMenuBar(this);
    auto item = [menu](const char* name, const char* text) {
        QAction* a = menu->addAction(QString::fromLatin1(text));
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    QAction* exportCards = item("ExportCards", "Export &Cards...");
    QAction* printCards = item("PrintCards", "P&rint Cards...");
    QAction* exportCurves = item("ExportCurves", "Export C&urves...");
    QAction* printCurves = item("PrintCurves", "Pri&nt Curves...");
    (new PictureExporter(
         *this, m_, [this] { return CardsPicture(); }, QStringLiteral("Indicator Cards")))
        ->Attach(exportCards, printCards);
    (new PictureExporter(
         *this, m_, [this] { return CurvesPicture(); }, QStringLiteral("Performance Curves")))
        ->Attach(exportCurves, printCurves);

    conditions_ = new ConditionsPanel(this);
    // The conditions used last, until a design brings its own.
    {
        const QString remembered = ProgramSettings()->value(kConditionsKey).toString();
        EngineConditions c;
        if (!remembered.isEmpty() && ParseConditionsText(remembered.toStdString(), c).ok)
            conditions_->SetConditions(c);
    }
    connect(conditions_, &ConditionsPanel::Changed, this, [this] { ConditionsChanged(); });
    auto* conditionsBox = new QGroupBox(QStringLiteral("Conditions"), this);
    auto* conditionsLayout = new QVBoxLayout(conditionsBox);
    conditionsLayout->addWidget(conditions_);

    // The gears' row: their cards and their columns of the table.
    auto* gearsBox = new QWidget(this);
    auto* gearsLayout = new QHBoxLayout(gearsBox);
    gearsLayout->setContentsMargins(0, 0, 0, 0);
    gearsLayout->addWidget(new QLabel(QStringLiteral("Cards and table of"), gearsBox));
    for (std::size_t i = 0; i < kGears.size(); ++i) {
        const GearInfo& g = kGears[i];
        auto* box = new QCheckBox(
            QString::fromLatin1(g.name.data(), static_cast<qsizetype>(g.name.size())), gearsBox);
        box->setObjectName(QStringLiteral("Gear%1").arg(i));
        box->setChecked(g.gear == Gear::FullForward || g.gear == Gear::NormalForward);
        connect(box, &QCheckBox::toggled, this, [this] { Refresh(); });
        gearsLayout->addWidget(box);
        gearBoxes_[i] = box;
    }
    reverserBox_ = new QCheckBox(QStringLiteral("the reverser's setting"), gearsBox);
    reverserBox_->setObjectName(QStringLiteral("GearReverser"));
    reverserBox_->setToolTip(QStringLiteral("A card where the main window's reverser stands"));
    connect(reverserBox_, &QCheckBox::toggled, this, [this] { Refresh(); });
    gearsLayout->addWidget(reverserBox_);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("PerformanceStatus"));
    status_->setWordWrap(true);

    auto* left = new QVBoxLayout;
    left->addWidget(conditionsBox);
    left->addWidget(status_);
    left->addStretch(1);

    cardsView_ = new CanvasView(
        this, "IndicatorCards", m_.display.SmoothLines,
        [this](Canvas& c, int w, int h) { DrawIndicatorCards(c, w, h, ShownCards()); },
        QSize(360, 200));
    curvesView_ = new CanvasView(
        this, "PerformanceCurves", m_.display.SmoothLines,
        [this](Canvas& c, int w, int h) {
            DrawPerformanceCurves(c, w, h, curves_, referenceCurves_ ? &*referenceCurves_ : nullptr,
                                  shownConditions_.pressureUnit, shownConditions_.lengthUnit);
        },
        QSize(360, 200));

    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("PerformanceTable"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setMinimumHeight(120);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("PerformanceSplitter"));
    splitter->addWidget(cardsView_);
    splitter->addWidget(curvesView_);
    auto* tableSide = new QWidget(this);
    auto* tableLayout = new QVBoxLayout(tableSide);
    tableLayout->setContentsMargins(0, 0, 0, 0);
    gearsLayout->addStretch(1);
    tableLayout->addWidget(gearsBox);
    tableLayout->addWidget(table_, 1);
    splitter->addWidget(tableSide);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setStretchFactor(2, 2);
    splitter->setChildrenCollapsible(false);

    auto* body = new QHBoxLayout;
    body->addLayout(left, 0);
    body->addWidget(splitter, 1);

    auto* bottom = new QHBoxLayout;
    auto* save = new QPushButton(QStringLiteral("Save Conditions"), this);
    save->setObjectName(QStringLiteral("SaveConditions"));
    save->setAutoDefault(false);
    save->setToolTip(QStringLiteral("The conditions in NAME.conditions beside the design"));
    connect(save, &QPushButton::clicked, this, [this] { SaveConditionsClick(); });
    bottom->addWidget(save);
    bottom->addStretch(1);
    auto* closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("Close1"));
    closeButton->setAutoDefault(false);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    bottom->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menu);
    layout->addLayout(body, 1);
    layout->addLayout(bottom);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("RefreshTimer"));
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, [this] { Refresh(); });

    worker_ = std::make_unique<PerformanceWorker>(std::move(simulator), [this] {
        // On the performance thread: the outcome is taken on the GUI thread. A window being
        // destroyed joins the thread first, and a call still queued then goes with the window.
        QMetaObject::invokeMethod(
            this, [this] { TakeResults(); }, Qt::QueuedConnection);
    });
    resize(1280, 900);
    KeepOnScreen(this);
}

EnginePerformanceWindow::~EnginePerformanceWindow() { worker_.reset(); }

const EngineConditions& EnginePerformanceWindow::Conditions() const {
    return conditions_->Conditions();
}

void EnginePerformanceWindow::SetConditions(const EngineConditions& c) {
    conditions_->SetConditions(c);
    ConditionsChanged();
}

std::vector<Gear> EnginePerformanceWindow::ChosenGears() const {
    std::vector<Gear> out;
    for (std::size_t i = 0; i < kGears.size(); ++i)
        if (gearBoxes_[i]->isChecked()) out.push_back(kGears[i].gear);
    return out;
}

bool EnginePerformanceWindow::Refresh() {
    const ReferenceDesignSource* source = reference_ ? reference_() : nullptr;
    const Model* reference = source ? source->ReferenceDesign() : nullptr;
    Inputs now{EventsInputsOf(m_),
               Conditions(),
               ChosenGears(),
               reverserBox_->isChecked() ? std::optional<float>(m_.motion.RevArmPos) : std::nullopt,
               source ? source->ReferenceDesignVersion() : 0,
               reference != nullptr};
    if (requested_ && *requested_ == now) return false;
    PerformanceJob job;
    job.generation = ++generation_;
    job.design = m_;
    job.conditions = now.conditions;
    job.gears = now.gears;
    job.reverser = now.reverser;
    if (reference) job.reference = *reference;
    requested_ = std::move(now);
    worker_->Submit(std::move(job));
    status_->setText(QStringLiteral("Simulating..."));
    return true;
}

void EnginePerformanceWindow::WaitForResults() {
    worker_->WaitIdle();
    TakeResults();
}

void EnginePerformanceWindow::TakeResults() {
    std::optional<PerformanceOutcome> o = worker_->Take();
    if (!o || o->generation < shownGeneration_ ||
        (o->generation == shownGeneration_ && (shownComplete_ || !o->complete)))
        return;
    shownGeneration_ = o->generation;
    shownComplete_ = o->complete;
    shownConditions_ = o->conditions;
    referenceName_ = std::move(o->referenceName);
    cards_ = std::move(o->cards);
    referenceCards_ = std::move(o->referenceCards);
    curves_ = std::move(o->curves);
    referenceCurves_ = std::move(o->referenceCurves);
    if (o->generation == generation_)
        status_->setText(o->complete ? QString() : QStringLiteral("Simulating the curves..."));
    FillTable();
    cardsView_->Redraw();
    curvesView_->Redraw();
}

IndicatorCards EnginePerformanceWindow::ShownCards() const {
    IndicatorCards c;
    c.design = cards_;
    c.reference = referenceCards_;
    c.referenceName = referenceName_;
    c.atmosphere = shownConditions_.atmosphericPressure;
    c.pressureUnit = shownConditions_.pressureUnit;
    c.lengthUnit = shownConditions_.lengthUnit;
    return c;
}

void EnginePerformanceWindow::FillTable() {
    const EngineConditions& shown = shownConditions_;
    const double atmosphere = shown.atmosphericPressure;
    using EP = EnginePerformance;
    struct Row {
        const char* title;
        DisplayUnit unit;
        double (*si)(const EP&, double atmosphere);
        int decimals;
        bool gauge = false;  // a pressure above the atmosphere, as the chest pressure is given
        bool (*warn)(const EP&) = nullptr;
    };
    const DisplayUnit pressure = PressureDisplay(shown.pressureUnit), percent{"%", 0.01};
    const bool metric = shown.lengthUnit == LengthUnit::Millimetre;
    const int pd = shown.pressureUnit == PressureUnit::Psi ? 1 : 3;
    const std::vector<Row> rows{
        {"MEP front", pressure, [](const EP& r, double) { return r.front.mep; }, pd},
        {"MEP rear", pressure, [](const EP& r, double) { return r.rear.mep; }, pd},
        {"MEP mean", pressure, [](const EP& r, double) { return r.mepMean; }, pd},
        {"Indicated power", PowerDisplay(shown.lengthUnit),
         [](const EP& r, double) { return r.indicatedPower; }, 1},
        {"Tractive effort", ForceDisplay(shown.lengthUnit),
         [](const EP& r, double) { return r.tractiveEffort; }, metric ? 2 : 0},
        {"Steam", SteamRateDisplay(shown.lengthUnit),
         [](const EP& r, double) { return r.steamPerHour; }, 0},
        {"Water rate", WaterRateDisplay(shown.lengthUnit),
         [](const EP& r, double) { return r.waterRate; }, 1},
        {"Efficiency", percent, [](const EP& r, double) { return r.efficiency; }, 1},
        {"Cut-off pressure front [% of chest]",
         {},
         [](const EP& r, double) { return 100 * r.front.cutoffPressure; },
         1},
        {"Cut-off pressure rear [% of chest]",
         {},
         [](const EP& r, double) { return 100 * r.rear.cutoffPressure; },
         1},
        {"Release pressure front", pressure,
         [](const EP& r, double atm) { return r.front.releasePressure - atm; }, pd, true},
        {"Release pressure rear", pressure,
         [](const EP& r, double atm) { return r.rear.releasePressure - atm; }, pd, true},
        {"Peak compression front", pressure,
         [](const EP& r, double atm) { return r.front.peakCompression - atm; }, pd, true,
         [](const EP& r) { return r.front.compressionAboveChest; }},
        {"Peak compression rear", pressure,
         [](const EP& r, double atm) { return r.rear.peakCompression - atm; }, pd, true,
         [](const EP& r) { return r.rear.compressionAboveChest; }},
    };
    auto title = [](const Row& r) {
        const QString t = QString::fromLatin1(r.title);
        if (r.unit.text.empty()) return t;
        return t + QStringLiteral(" [") + Q(std::string(r.unit.text)) +
               (r.gauge ? QStringLiteral(" gauge]") : QStringLiteral("]"));
    };

    table_->clearSpans();
    table_->clear();
    table_->setRowCount(static_cast<int>(rows.size()));
    table_->setColumnCount(static_cast<int>(cards_.size()));
    QStringList columns, titles;
    for (const GearCard& g : cards_) columns << Q(CardName(g));
    for (const Row& r : rows) titles << title(r);
    table_->setHorizontalHeaderLabels(columns);
    table_->setVerticalHeaderLabels(titles);
    for (int c = 0; c < static_cast<int>(cards_.size()); ++c) {
        const EnginePerformance& r = cards_[static_cast<std::size_t>(c)].result;
        if (!r.ok) {
            auto* why = new QTableWidgetItem(Q(r.problem));
            why->setForeground(QColor(0xC0, 0, 0));
            why->setTextAlignment(Qt::AlignCenter);
            table_->setItem(0, c, why);
            table_->setSpan(0, c, static_cast<int>(rows.size()), 1);
            continue;
        }
        for (int k = 0; k < static_cast<int>(rows.size()); ++k) {
            const Row& row = rows[static_cast<std::size_t>(k)];
            QString text = Number(row.unit.FromSi(row.si(r, atmosphere)), row.decimals);
            const bool warn = row.warn && row.warn(r);
            if (warn) text = QStringLiteral("! ") + text;
            auto* item = new QTableWidgetItem(text);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (warn) {
                item->setBackground(kWarning);
                item->setToolTip(QStringLiteral("Compression rises above the chest pressure"));
                item->setData(Qt::UserRole, true);
            }
            table_->setItem(k, c, item);
        }
    }
    table_->resizeColumnsToContents();
    // The gears' columns alike, as wide as the widest.
    int widest = 0;
    for (int c = 0; c < table_->columnCount(); ++c)
        widest = std::max(widest, table_->columnWidth(c));
    for (int c = 0; c < table_->columnCount(); ++c)
        table_->setColumnWidth(c, std::max(widest, 110));
}

void EnginePerformanceWindow::ConditionsChanged() {
    ProgramSettings()->setValue(kConditionsKey,
                                QString::fromStdString(ConditionsText(Conditions())));
    // A hidden window simulates when it shows.
    if (isVisible()) Refresh();
}

QString EnginePerformanceWindow::DesignOpened(const QString& path) {
    designPath_ = path;
    const std::string file = ConditionsPathFor(path.toStdString());
    if (!QFileInfo::exists(QString::fromStdString(file))) return {};
    EngineConditions c = Conditions();
    const FileResult r = LoadConditionsFile(file, c);
    if (!r.ok) return Q(r.error);
    conditions_->SetConditions(c);
    ConditionsChanged();
    return {};
}

QString EnginePerformanceWindow::DesignSaved(const QString& path) {
    designPath_ = path;
    const FileResult r = SaveConditionsFile(Conditions(), ConditionsPathFor(path.toStdString()));
    return r.ok ? QString() : Q(r.error);
}

bool EnginePerformanceWindow::SaveConditionsClick() {
    QString file;
    if (!designPath_.isEmpty()) {
        file = QString::fromStdString(ConditionsPathFor(designPath_.toStdString()));
    } else if (chooseConditions_) {
        file = chooseConditions_(this, Q(m_.design.DesignName) + QStringLiteral(".conditions"));
    }
    if (file.isEmpty()) return false;
    const FileResult r = SaveConditionsFile(Conditions(), file.toStdString());
    if (!r.ok && reportError_) reportError_(this, Q(r.error));
    return r.ok;
}

Picture EnginePerformanceWindow::CardsPicture() const {
    const int w = cardsView_->width(), h = cardsView_->height();
    auto cards = std::make_shared<const IndicatorCards>(ShownCards());
    QString subject = QStringLiteral("Indicator cards");
    if (!referenceName_.empty()) subject += QStringLiteral(" against ") + Q(referenceName_);
    return {cardsView_->Image(),
            [=](Canvas& c) {
                c.ResetState();
                DrawIndicatorCards(c, w, h, *cards);
            },
            subject, m_.display.SmoothLines};
}

Picture EnginePerformanceWindow::CurvesPicture() const {
    const int w = curvesView_->width(), h = curvesView_->height();
    auto curves = std::make_shared<const PerformanceCurves>(curves_);
    auto reference = std::make_shared<const std::optional<PerformanceCurves>>(referenceCurves_);
    const PressureUnit unit = shownConditions_.pressureUnit;
    const LengthUnit length = shownConditions_.lengthUnit;
    QString subject = QStringLiteral("Performance curves");
    if (!referenceName_.empty()) subject += QStringLiteral(" against ") + Q(referenceName_);
    return {curvesView_->Image(),
            [=](Canvas& c) {
                c.ResetState();
                DrawPerformanceCurves(c, w, h, *curves, *reference ? &**reference : nullptr, unit,
                                      length);
            },
            subject, m_.display.SmoothLines};
}

void EnginePerformanceWindow::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    Refresh();
    timer_->start();
}

void EnginePerformanceWindow::hideEvent(QHideEvent* e) {
    timer_->stop();
    // No work for a window nobody sees: what is unfinished starts again when it shows.
    if (shownGeneration_ != generation_ || !shownComplete_) {
        worker_->Cancel();
        requested_.reset();
    }
    QDialog::hideEvent(e);
}

}  // namespace tarn
