// The engine-performance window over the core's simulation. The design has no change
// notification, so a short timer compares what the simulation depends on (the design and its mid
// gear, the conditions, the gears chosen, the reference) with the last job's, and starts a new
// job on the performance thread only when they differ; the thread cancels the stale one. Its
// outcomes come back through the event loop and are shown unless a newer one already is.
#include "gui/performance/performancewindow.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "core/model/numfmt.h"
#include "gui/common/qpaintercanvas.h"
#include "gui/common/referencedesign.h"
#include "gui/common/screenfit.h"
#include "gui/performance/conditionspanel.h"

namespace tarn {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
QString Number(double v, int decimals) { return Q(Str(static_cast<long double>(v), 0, decimals)); }

const QColor kWarning(0xFF, 0xD0, 0xD0);

}  // namespace

// A picture drawn afresh at the widget's size whenever its content or the size changes, with
// smooth lines or without as the main picture is drawn.
class PerformanceView : public QWidget {
public:
    PerformanceView(QWidget* parent, const char* name, const bool& smooth,
                    std::function<void(Canvas&, int, int)> draw)
        : QWidget(parent), smooth_(smooth), draw_(std::move(draw)) {
        setObjectName(QString::fromLatin1(name));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMinimumSize(360, 200);
    }
    void Redraw() {
        if (width() <= 0 || height() <= 0) return;
        Draw();
        update();
    }
    const QImage& Image() const { return image_; }

protected:
    void resizeEvent(QResizeEvent*) override { Redraw(); }
    void paintEvent(QPaintEvent*) override {
        if (drawnSmooth_ != smooth_ || image_.isNull()) Draw();
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.drawImage(0, 0, image_);
    }

private:
    void Draw() {
        const qreal ratio = devicePixelRatioF();
        image_ = QImage((QSizeF(size()) * ratio).toSize(), QImage::Format_RGB32);
        image_.setDevicePixelRatio(ratio);
        QPainterCanvas canvas(image_);
        drawnSmooth_ = smooth_;
        canvas.SetSmooth(drawnSmooth_);
        draw_(canvas, width(), height());
    }

    const bool& smooth_;
    bool drawnSmooth_ = false;
    std::function<void(Canvas&, int, int)> draw_;
    QImage image_;
};

EnginePerformanceWindow::EnginePerformanceWindow(
    Model& m, QWidget* parent, std::function<const ReferenceDesignSource*()> reference,
    EngineSimulator simulator)
    : QDialog(parent), m_(m), reference_(std::move(reference)) {
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
    connect(conditions_, &ConditionsPanel::Changed, this, [this] { Refresh(); });
    auto* conditionsBox = new QGroupBox(QStringLiteral("Conditions"), this);
    auto* conditionsLayout = new QVBoxLayout(conditionsBox);
    conditionsLayout->addWidget(conditions_);

    auto* gearsBox = new QGroupBox(QStringLiteral("Cards of the gears"), this);
    auto* gearsLayout = new QVBoxLayout(gearsBox);
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

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("PerformanceStatus"));
    status_->setWordWrap(true);

    auto* left = new QVBoxLayout;
    left->addWidget(conditionsBox);
    left->addWidget(gearsBox);
    left->addWidget(status_);
    left->addStretch(1);

    cardsView_ = new PerformanceView(
        this, "IndicatorCards", m_.display.SmoothLines,
        [this](Canvas& c, int w, int h) { DrawIndicatorCards(c, w, h, ShownCards()); });
    curvesView_ = new PerformanceView(
        this, "PerformanceCurves", m_.display.SmoothLines, [this](Canvas& c, int w, int h) {
            DrawPerformanceCurves(c, w, h, curves_, referenceCurves_ ? &*referenceCurves_ : nullptr,
                                  shownConditions_.pressureUnit);
        });

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
    splitter->addWidget(table_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setStretchFactor(2, 2);
    splitter->setChildrenCollapsible(false);

    auto* body = new QHBoxLayout;
    body->addLayout(left, 0);
    body->addWidget(splitter, 1);

    auto* bottom = new QHBoxLayout;
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
    Refresh();
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
    Inputs now{EventsInputsOf(m_), Conditions(), ChosenGears(),
               source ? source->ReferenceDesignVersion() : 0, reference != nullptr};
    if (requested_ && *requested_ == now) return false;
    PerformanceJob job;
    job.generation = ++generation_;
    job.design = m_;
    job.conditions = now.conditions;
    job.gears = now.gears;
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
    const PressureUnit pu = shownConditions_.pressureUnit;
    const QString p = QString::fromLatin1(PressureUnitText(pu));
    const double atmosphere = shownConditions_.atmosphericPressure;
    struct Row {
        QString title;
        std::function<double(const EnginePerformance&)> value;
        int decimals;
        std::function<bool(const EnginePerformance&)> warn = {};
    };
    const std::vector<Row> rows{
        {QStringLiteral("MEP front [%1]").arg(p),
         [&](const EnginePerformance& r) { return PressureIn(r.front.mep, pu); }, 1},
        {QStringLiteral("MEP rear [%1]").arg(p),
         [&](const EnginePerformance& r) { return PressureIn(r.rear.mep, pu); }, 1},
        {QStringLiteral("MEP mean [%1]").arg(p),
         [&](const EnginePerformance& r) { return PressureIn(r.mepMean, pu); }, 1},
        {QStringLiteral("Indicated power [%1]").arg(QString::fromLatin1(PowerUnitText(pu))),
         [&](const EnginePerformance& r) { return PowerIn(r.indicatedPower, pu); }, 1},
        {QStringLiteral("Tractive effort [%1]").arg(QString::fromLatin1(ForceUnitText(pu))),
         [&](const EnginePerformance& r) { return ForceIn(r.tractiveEffort, pu); },
         pu == PressureUnit::Psi ? 0 : 2},
        {QStringLiteral("Steam [%1/h]").arg(QString::fromLatin1(MassUnitText(pu))),
         [&](const EnginePerformance& r) { return MassIn(r.steamPerHour, pu); }, 0},
        {QStringLiteral("Water rate [%1]").arg(QString::fromLatin1(WaterRateUnitText(pu))),
         [&](const EnginePerformance& r) { return WaterRateIn(r.waterRate, pu); }, 1},
        {QStringLiteral("Efficiency [%]"),
         [](const EnginePerformance& r) { return 100 * r.efficiency; }, 1},
        {QStringLiteral("Cut-off pressure front [% of chest]"),
         [](const EnginePerformance& r) { return 100 * r.front.cutoffPressure; }, 1},
        {QStringLiteral("Cut-off pressure rear [% of chest]"),
         [](const EnginePerformance& r) { return 100 * r.rear.cutoffPressure; }, 1},
        {QStringLiteral("Release pressure front [%1 gauge]").arg(p),
         [&](const EnginePerformance& r) {
             return PressureIn(r.front.releasePressure - atmosphere, pu);
         },
         1},
        {QStringLiteral("Release pressure rear [%1 gauge]").arg(p),
         [&](const EnginePerformance& r) {
             return PressureIn(r.rear.releasePressure - atmosphere, pu);
         },
         1},
        {QStringLiteral("Peak compression front [%1 gauge]").arg(p),
         [&](const EnginePerformance& r) {
             return PressureIn(r.front.peakCompression - atmosphere, pu);
         },
         1, [](const EnginePerformance& r) { return r.front.compressionAboveChest; }},
        {QStringLiteral("Peak compression rear [%1 gauge]").arg(p),
         [&](const EnginePerformance& r) {
             return PressureIn(r.rear.peakCompression - atmosphere, pu);
         },
         1, [](const EnginePerformance& r) { return r.rear.compressionAboveChest; }},
    };

    table_->clearSpans();
    table_->clear();
    table_->setRowCount(static_cast<int>(rows.size()));
    table_->setColumnCount(static_cast<int>(cards_.size()));
    QStringList columns, titles;
    for (const GearCard& g : cards_) {
        const std::string_view name = GearName(g.gear);
        columns << QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    }
    for (const Row& r : rows) titles << r.title;
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
            QString text = Number(row.value(r), row.decimals);
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

void EnginePerformanceWindow::DesignOpened(const QString& path) { designPath_ = path; }

QString EnginePerformanceWindow::DesignSaved(const QString& path) {
    designPath_ = path;
    return {};
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
    QString subject = QStringLiteral("Performance curves");
    if (!referenceName_.empty()) subject += QStringLiteral(" against ") + Q(referenceName_);
    return {curvesView_->Image(),
            [=](Canvas& c) {
                c.ResetState();
                DrawPerformanceCurves(c, w, h, *curves, *reference ? &**reference : nullptr, unit);
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
