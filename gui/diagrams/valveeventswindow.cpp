// The valve-events window over the core analysis. The design has no change notification, so a
// short timer compares what the events depend on (the design and its mid gear; never the view)
// and the positions with those of the last job, and starts a new job on the events thread only
// when they differ. The thread works on copies taken here; its outcome comes back through the
// event loop and is shown unless a newer one already is.
#include "gui/diagrams/valveeventswindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>
#include <sstream>

#include "core/analysis/eventscompare.h"
#include "core/analysis/eventstable.h"
#include "core/io/dimensionfile.h"
#include "core/io/safefile.h"
#include "core/model/numfmt.h"
#include "gui/common/canvasview.h"
#include "gui/common/mainwindowhost.h"
#include "gui/common/screenfit.h"
#include "gui/diagrams/eventssheet.h"
#include "gui/diagrams/eventsworker.h"

namespace tarn {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

const QColor kBeyond(0xFF, 0xD0, 0xD0);
const QColor kHeading(0xE8, 0xEE, 0xF6);
const QColor kBetter(0x00, 0x70, 0x00);

const char* const kPistonTravelNote =
    "Piston positions are the crosshead's true travel between its dead centres.";

}  // namespace

TValveEvents::TValveEvents(Model& m, QWidget* parent, MainWindowHost* host)
    : QDialog(parent), m_(m), host_(host) {
    setObjectName(QStringLiteral("ValveEvents"));
    setWindowTitle(QStringLiteral("Valve Events"));

    auto* menu = new QMenuBar(this);
    QAction* exportItem = menu->addAction(QStringLiteral("&Export Picture..."));
    exportItem->setObjectName(QStringLiteral("ExportPicture"));
    QAction* printItem = menu->addAction(QStringLiteral("&Print..."));
    printItem->setObjectName(QStringLiteral("PrintPicture"));
    auto* exporter = new PictureExporter(
        *this, m_, [this] { return SheetPicture(); }, QStringLiteral("Valve Events"));
    exporter->Attach(exportItem, printItem);

    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("EventsTable"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setVisible(false);
    table_->setWordWrap(true);
    // Rows as tall as a line of text: every row shows without scrolling.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setMinimumSectionSize(table_->fontMetrics().height() + 4);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);

    auto* tolLabel = new QLabel(QStringLiteral("Highlight front - rear beyond"), this);
    tolerance_ = new QDoubleSpinBox(this);
    tolerance_->setObjectName(QStringLiteral("Tolerance"));
    tolerance_->setRange(0.0, 100.0);
    tolerance_->setDecimals(2);
    tolerance_->setSingleStep(0.5);
    tolerance_->setSuffix(QStringLiteral(" %"));
    tolerance_->setLocale(QLocale::c());  // "." as the decimal point, as everywhere else
    tolerance_->setValue(2.0);
    connect(tolerance_, &QDoubleSpinBox::valueChanged, this, [this] { ToleranceChange(); });

    show_ = new QComboBox(this);
    show_->setObjectName(QStringLiteral("ShowTable"));
    show_->addItems({QStringLiteral("This design"), QStringLiteral("Reference"),
                     QStringLiteral("Design - reference")});
    show_->setEnabled(false);
    connect(show_, &QComboBox::currentIndexChanged, this, [this] {
        if (computed_) Fill();
    });

    positionsChoice_ = new QComboBox(this);
    positionsChoice_->setObjectName(QStringLiteral("PositionsChoice"));
    positionsChoice_->addItems({QStringLiteral("Standard gears"),
                                QStringLiteral("Diagram positions"),
                                QStringLiteral("Positions typed")});
    connect(positionsChoice_, &QComboBox::currentIndexChanged, this,
            [this] { PositionsChoiceChange(); });
    typedPositions_ = new QLineEdit(this);
    typedPositions_->setObjectName(QStringLiteral("TypedPositions"));
    typedPositions_->setPlaceholderText(QStringLiteral("e.g. Min, Fwd, 5.2, Cen"));
    typedPositions_->setToolTip(
        QStringLiteral("Reverse-arm positions separated by commas: numbers, or Min, Fwd, Cen, "
                       "Rev and Max for the gears"));
    typedPositions_->setEnabled(false);
    connect(typedPositions_, &QLineEdit::editingFinished, this, [this] { TypedPositionsExit(); });
    positionsNote_ = new QLabel(this);
    positionsNote_->setObjectName(QStringLiteral("PositionsShown"));
    showNote_ = new QLabel(this);
    showNote_->setObjectName(QStringLiteral("ShowNote"));
    showNote_->setWordWrap(true);
    auto* pistonNote = new QLabel(QString::fromLatin1(kPistonTravelNote), this);
    pistonNote->setObjectName(QStringLiteral("PistonTravelNote"));
    // The notes keep a whole line of text however the splitter squeezes the table's side.
    for (QLabel* note : {positionsNote_, pistonNote})
        note->setMinimumHeight(note->fontMetrics().height() + 4);
    referenceName_ = new QLabel(QStringLiteral("No reference"), this);
    referenceName_->setObjectName(QStringLiteral("ReferenceName"));

    auto button = [this](const char* name, const char* caption, void (TValveEvents::*click)()) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        if (click) connect(b, &QPushButton::clicked, this, click);
        return b;
    };
    clearReference_ = button("ClearReference", "Clear Reference", &TValveEvents::ClearReference);
    clearReference_->setEnabled(false);

    auto* tableRow = new QHBoxLayout;
    tableRow->addWidget(tolLabel);
    tableRow->addWidget(tolerance_);
    tableRow->addSpacing(16);
    tableRow->addWidget(new QLabel(QStringLiteral("Show"), this));
    tableRow->addWidget(show_);
    tableRow->addSpacing(16);
    tableRow->addWidget(referenceName_, 1);
    tableRow->addWidget(button("CompareWith", "Compare with...", &TValveEvents::CompareClick));
    tableRow->addWidget(clearReference_);

    auto* positionsRow = new QHBoxLayout;
    positionsRow->addWidget(new QLabel(QStringLiteral("Columns"), this));
    positionsRow->addWidget(positionsChoice_);
    positionsRow->addWidget(typedPositions_, 1);
    positionsRow->addSpacing(16);
    positionsRow->addWidget(positionsNote_, 2);

    curveView_ = new CanvasView(
        this, "GearCurve", m_.display.SmoothLines,
        [this](Canvas& c, int w, int h) {
            DrawGearCurve(c, w, h, curve_, reference_ ? &referenceCurve_ : nullptr,
                          GearCurveStyle{showRelease_->isChecked(), showLead_->isChecked()});
        },
        QSize(320, 180));
    showRelease_ = new QCheckBox(QStringLiteral("Release"), this);
    showRelease_->setObjectName(QStringLiteral("ShowRelease"));
    showLead_ = new QCheckBox(QStringLiteral("Lead"), this);
    showLead_->setObjectName(QStringLiteral("ShowLead"));
    connect(showRelease_, &QCheckBox::toggled, this, [this] { UpdateCurve(); });
    connect(showLead_, &QCheckBox::toggled, this, [this] { UpdateCurve(); });

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("Gear curve: cut-off and"), this));
    bottom->addWidget(showRelease_);
    bottom->addWidget(showLead_);
    bottom->addStretch(1);
    QPushButton* frame = button("FrameDimensionsButton", "Frame...", nullptr);
    frame->setToolTip(QStringLiteral("The frame dimensions, beside this table"));
    connect(frame, &QPushButton::clicked, this, [this] { DimensionsClick(DimDialog::Frame); });
    QPushButton* cylinder = button("CylinderDimensionsButton", "Cylinder...", nullptr);
    cylinder->setToolTip(QStringLiteral("The cylinder dimensions, beside this table"));
    connect(cylinder, &QPushButton::clicked, this,
            [this] { DimensionsClick(DimDialog::Cylinder); });
    frame->setEnabled(host_ != nullptr);
    cylinder->setEnabled(host_ != nullptr);
    bottom->addWidget(frame);
    bottom->addWidget(cylinder);
    bottom->addWidget(
        button("OptimiseGearButton", "Optimise Gear...", &TValveEvents::OptimiseGearRequested));
    bottom->addWidget(button("EnginePerformanceButton", "Engine Performance...",
                             &TValveEvents::EnginePerformanceRequested));
    bottom->addWidget(button("Copy", "Copy", &TValveEvents::CopyClick));
    bottom->addWidget(button("Save", "Save...", &TValveEvents::SaveClick));
    QPushButton* closeButton = button("Close1", "Close", nullptr);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    bottom->addWidget(closeButton);

    auto* top = new QWidget(this);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addLayout(positionsRow);
    topLayout->addWidget(table_, 1);
    topLayout->addWidget(pistonNote);
    topLayout->addWidget(showNote_);
    topLayout->addLayout(tableRow);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("EventsSplitter"));
    splitter->addWidget(top);
    splitter->addWidget(curveView_);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menu);
    layout->addWidget(splitter, 1);
    layout->addLayout(bottom);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("RefreshTimer"));
    timer_->setInterval(50);
    connect(timer_, &QTimer::timeout, this, [this] { Refresh(); });

    worker_ = std::make_unique<EventsWorker>([this] {
        // On the events thread: the outcome is taken on the GUI thread. A window being destroyed
        // joins the thread first, and a call still queued then goes with the window.
        QMetaObject::invokeMethod(
            this, [this] { TakeResults(); }, Qt::QueuedConnection);
    });
    UpdateNotes();
    KeepOnScreen(this);
}

TValveEvents::~TValveEvents() { worker_.reset(); }

void TValveEvents::FitToTable() {
    // Wide enough for the positions' events and tall enough for every row and a readable curve.
    const int tableWidth = table_->horizontalHeader()->length() + 2 * table_->frameWidth() + 4;
    const int tableHeight = table_->verticalHeader()->length() +
                            table_->horizontalHeader()->height() + 2 * table_->frameWidth() + 4;
    // The table keeps its whole size; on a screen too small for it the window scrolls instead.
    table_->setMinimumSize(tableWidth, tableHeight);
    const int chrome = width() - table_->width();
    resize(std::max(tableWidth + std::max(chrome, 24), 900), std::max(height(), tableHeight + 420));
}

std::vector<float> TValveEvents::Positions() const {
    std::vector<float> out;
    switch (static_cast<PositionsChoice>(positionsChoice_->currentIndex())) {
        case PositionsChoice::StandardGears: break;
        case PositionsChoice::DiagramPositions: out = DiagramPositions(); break;
        case PositionsChoice::Typed:
            for (const PositionEntry& e : typed_) out.push_back(PositionOn(m_, e));
            break;
    }
    if (out.empty()) out = StandardGearPositions(m_);
    return out;
}

std::vector<float> TValveEvents::DiagramPositions() const {
    std::vector<float> out;
    for (int k = 1; k <= m_.diagrams.RevArmCount && k <= 9; ++k)
        if (m_.motion.RevArmPositions[static_cast<std::size_t>(k)] != 0)
            out.push_back(m_.motion.RevArmPositions[static_cast<std::size_t>(k)]);
    return out;
}

QString TValveEvents::PositionsNote() const {
    const auto choice = static_cast<PositionsChoice>(positionsChoice_->currentIndex());
    const QString gears = QStringLiteral("the five standard gears");
    if (choice == PositionsChoice::StandardGears)
        return QStringLiteral("Shown: ") + gears + QLatin1Char('.');
    const std::size_t n = Positions().size();
    if (choice == PositionsChoice::DiagramPositions) {
        if (DiagramPositions().empty())
            return QStringLiteral("No positions are listed for the diagrams. Shown: ") + gears +
                   QLatin1Char('.');
        return QStringLiteral("Shown: the %1 positions listed for the diagrams.").arg(n);
    }
    if (!typedRefused_.isEmpty())
        return QStringLiteral("Not a position: \"%1\". Shown: ").arg(typedRefused_) + gears +
               QLatin1Char('.');
    if (typed_.empty())
        return QStringLiteral("No positions typed. Shown: ") + gears + QLatin1Char('.');
    return QStringLiteral("Shown: the %1 positions typed.").arg(n);
}

void TValveEvents::PositionsChoiceChange() {
    typedPositions_->setEnabled(static_cast<PositionsChoice>(positionsChoice_->currentIndex()) ==
                                PositionsChoice::Typed);
    Refresh();
    UpdateNotes();
}

void TValveEvents::TypedPositionsExit() {
    std::vector<PositionEntry> entries;
    std::string bad;
    const std::string text = typedPositions_->text().trimmed().toStdString();
    typedRefused_.clear();
    if (text.empty()) {
        typed_.clear();
    } else if (!ParsePositionList(text, entries, bad)) {
        typed_.clear();
        typedRefused_ = QString::fromStdString(bad);
    } else if (entries.size() > kMaxPositions) {
        typed_.clear();
        typedRefused_ = QStringLiteral("more than %1 positions").arg(kMaxPositions);
    } else {
        typed_ = std::move(entries);
    }
    Refresh();
    UpdateNotes();
}

void TValveEvents::DimensionsClick(DimDialog which) {
    if (!host_) return;
    const QRect table(table_->mapToGlobal(QPoint(0, 0)), table_->size());
    host_->RunDimensionDialog(which, table);
}

bool TValveEvents::Refresh() {
    Inputs now{EventsInputsOf(m_), Positions(), referenceVersion_};
    if (requested_ && *requested_ == now) return false;
    const bool positionsChanged = !requested_ || requested_->positions != now.positions;
    EventsJob job;
    job.generation = ++generation_;
    job.design = m_;
    job.positions = now.positions;
    job.withCurve = !curveInputs_ || *curveInputs_ != now.design;
    if (reference_) {
        job.reference = *reference_;
        job.withReferenceCurve = referenceCurveVersion_ != referenceVersion_;
    }
    requested_ = std::move(now);
    worker_->Submit(std::move(job));
    if (positionsChanged) UpdateNotes();
    return true;
}

void TValveEvents::WaitForResults() {
    WaitForWorker();
    TakeResults();
}

void TValveEvents::WaitForWorker() { worker_->WaitIdle(); }

void TValveEvents::TakeResults() {
    std::optional<EventsOutcome> o = worker_->Take();
    if (!o || o->generation <= shownGeneration_ || o->generation < dropBelow_) return;
    shownGeneration_ = o->generation;
    results_ = std::move(o->results);
    if (o->curve) {
        curve_ = std::move(*o->curve);
        curveInputs_ = EventsInputsOf(o->design);
    }
    shown_ = std::move(o->design);
    if (reference_) {
        referenceResults_ = std::move(o->referenceResults);
        if (o->referenceCurve) {
            referenceCurve_ = std::move(*o->referenceCurve);
            referenceCurveVersion_ = referenceVersion_;
        }
    }
    computed_ = true;
    Fill();
    UpdateCurve();
}

TValveEvents::Show TValveEvents::ShownMode() const {
    return reference_ ? static_cast<Show>(show_->currentIndex()) : Show::Design;
}

EventsGrid TValveEvents::ShownGrid() const {
    const double tol = tolerance_->value();
    EventsGrid mine = BuildEventsGrid(shown_, results_, tol);
    const Show show = ShownMode();
    if (show == Show::Design) return mine;
    EventsGrid theirs = BuildEventsGrid(*reference_, referenceResults_, tol);
    return show == Show::Reference ? theirs : ComparisonGrid(mine, theirs, tol);
}

void TValveEvents::UpdateNotes() {
    positionsNote_->setText(PositionsNote());
    QString note;
    switch (ShownMode()) {
        case Show::Design: break;
        case Show::Reference:
            note = QStringLiteral("The reference, %1, at the same gears.")
                       .arg(Q(reference_->design.DesignName));
            break;
        case Show::Difference:
            note = QStringLiteral(
                       "%1 minus the reference %2; |F - R|: how much closer together (better) or "
                       "further apart (worse) the two ends are than in the reference.")
                       .arg(Q(shown_.design.DesignName), Q(reference_->design.DesignName));
            break;
    }
    showNote_->setText(note);
    showNote_->setVisible(!note.isEmpty());
}

namespace {

QString CornerTitle(TValveEvents::Show show) {
    switch (show) {
        case TValveEvents::Show::Design: return QStringLiteral("Gear");
        case TValveEvents::Show::Reference: return QStringLiteral("Reference");
        case TValveEvents::Show::Difference: return QStringLiteral("Difference");
    }
    return {};
}

QString BalanceTitle(TValveEvents::Show show) {
    return show == TValveEvents::Show::Difference ? QStringLiteral("|F - R|")
                                                  : QStringLiteral("F - R");
}

}  // namespace

void TValveEvents::Fill() {
    const EventsGrid grid = ShownGrid();
    const Show show = ShownMode();
    UpdateNotes();

    const int n = static_cast<int>(grid.columns.size());
    table_->clearSpans();
    table_->clear();
    table_->setColumnCount(1 + 3 * n);
    table_->setRowCount(1 + kEventRows);
    QStringList titles{QString()};
    for (int c = 0; c < n; ++c)
        titles << QStringLiteral("Front") << QStringLiteral("Rear") << BalanceTitle(show);
    table_->setHorizontalHeaderLabels(titles);

    auto* corner = new QTableWidgetItem(CornerTitle(show));
    corner->setBackground(kHeading);
    table_->setItem(0, 0, corner);
    for (int k = 0; k < kEventRows; ++k)
        table_->setItem(1 + k, 0, new QTableWidgetItem(Q(EventRowTitle(static_cast<EventRow>(k)))));

    for (int c = 0; c < n; ++c) {
        const GridColumn& col = grid.columns[static_cast<std::size_t>(c)];
        const int first = 1 + 3 * c;
        auto* heading = new QTableWidgetItem(Q(col.heading));
        heading->setTextAlignment(Qt::AlignCenter);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        heading->setBackground(kHeading);
        table_->setItem(0, first, heading);
        table_->setSpan(0, first, 1, 3);
        if (!col.error.empty()) {
            // The reason stands where the numbers would be.
            auto* error = new QTableWidgetItem(Q(col.error));
            error->setForeground(QColor(0xC0, 0, 0));
            error->setTextAlignment(Qt::AlignCenter);
            table_->setItem(1, first, error);
            table_->setSpan(1, first, kEventRows, 3);
            continue;
        }
        for (int k = 0; k < kEventRows; ++k) {
            for (int e = 0; e < 3; ++e) {
                const GridCell& cell =
                    col.cells[static_cast<std::size_t>(k)][static_cast<std::size_t>(e)];
                auto* item = new QTableWidgetItem(cell.value ? Q(cell.text) : QStringLiteral("-"));
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                if (!cell.detail.empty()) item->setToolTip(Q(cell.detail));
                if (cell.beyond) {
                    item->setBackground(kBeyond);
                    item->setData(Qt::UserRole, true);  // beyond the tolerance
                }
                // In the comparison a change of balance for the better reads green.
                if (show == Show::Difference && e == 2 && cell.value && *cell.value < 0 &&
                    cell.text != "no change")
                    item->setForeground(kBetter);
                table_->setItem(1 + k, first + e, item);
            }
        }
    }
    table_->resizeColumnsToContents();
    // A position's heading spans its three columns: widen them to hold it on one line.
    QFont bold = table_->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    for (int c = 0; c < n; ++c) {
        const int first = 1 + 3 * c;
        const int need =
            metrics.horizontalAdvance(Q(grid.columns[static_cast<std::size_t>(c)].heading)) + 12;
        const int have = table_->columnWidth(first) + table_->columnWidth(first + 1) +
                         table_->columnWidth(first + 2);
        if (need > have)
            for (int e = 0; e < 3; ++e)
                table_->setColumnWidth(first + e,
                                       table_->columnWidth(first + e) + (need - have + 2) / 3);
    }
    table_->setCurrentCell(-1, -1);
    RefitTable();
}

void TValveEvents::RefitTable() {
    // Before the first show the first fit is still to come.
    if (!fitted_ || !isVisible()) return;
    const int needWidth = table_->horizontalHeader()->length() + 2 * table_->frameWidth();
    const int needHeight = table_->verticalHeader()->length() +
                           table_->horizontalHeader()->height() + 2 * table_->frameWidth();
    if (needWidth > table_->width() || needHeight > table_->height() ||
        needHeight > table_->minimumHeight())
        FitToTable();
}

void TValveEvents::UpdateCurve() {
    if (curveView_->width() > 0 && curveView_->height() > 0) curveView_->Redraw();
}

Picture TValveEvents::CurvePicture() const {
    const int w = curveView_->width(), h = curveView_->height();
    auto curve = std::make_shared<const GearCurve>(curve_);
    auto reference = std::make_shared<const std::optional<GearCurve>>(
        reference_ ? std::optional<GearCurve>(referenceCurve_) : std::nullopt);
    const GearCurveStyle style{showRelease_->isChecked(), showLead_->isChecked()};
    QString subject = QStringLiteral("Gear curve");
    if (reference_) subject += QStringLiteral(" against ") + Q(reference_->design.DesignName);
    return {curveView_->Image(),
            [=](Canvas& c) {
                c.ResetState();
                DrawGearCurve(c, w, h, *curve, *reference ? &**reference : nullptr, style);
            },
            subject, m_.display.SmoothLines};
}

Picture TValveEvents::SheetPicture() const {
    EventsSheet sheet;
    const Show show = ShownMode();
    std::string title = "Valve events of " + shown_.design.DesignName;
    if (reference_) title += " against the reference " + reference_->design.DesignName;
    sheet.title = title;
    sheet.corner = CornerTitle(show).toStdString();
    sheet.thirdTitle = BalanceTitle(show).toStdString();
    sheet.grid = ShownGrid();
    sheet.notes.push_back(positionsNote_->text().toStdString());
    sheet.notes.push_back(kPistonTravelNote);
    if (!showNote_->text().isEmpty()) sheet.notes.push_back(showNote_->text().toStdString());
    auto curve = std::make_shared<const GearCurve>(curve_);
    auto reference = std::make_shared<const std::optional<GearCurve>>(
        reference_ ? std::optional<GearCurve>(referenceCurve_) : std::nullopt);
    const GearCurveStyle style{showRelease_->isChecked(), showLead_->isChecked()};
    sheet.drawCurve = [=](Canvas& c, int w, int h) {
        c.ResetState();
        DrawGearCurve(c, w, h, *curve, *reference ? &**reference : nullptr, style);
    };
    sheet.curveWidth = std::max(curveView_->width(), 320);
    sheet.curveHeight = std::max(curveView_->height(), 180);
    sheet.smooth = m_.display.SmoothLines;
    return EventsSheetPicture(sheet, devicePixelRatioF(), Q(title));
}

QString TValveEvents::LoadReference(const QString& path) {
    Model reference = m_;
    const FileResult r = LoadDimensionFile(reference, path.toStdString());
    if (!r.ok) return Q(r.error);
    reference_ = std::move(reference);
    // Numbers worked out before are of no reference or another one.
    ++referenceVersion_;
    dropBelow_ = generation_ + 1;
    referenceResults_.clear();
    referenceCurve_ = GearCurve{};
    referenceName_->setText(QStringLiteral("Reference: ") + Q(reference_->design.DesignName));
    referenceName_->setToolTip(QFileInfo(path).absoluteFilePath());
    show_->setEnabled(true);
    clearReference_->setEnabled(true);
    {
        const QSignalBlocker quiet(show_);
        if (show_->currentIndex() == 0) show_->setCurrentIndex(static_cast<int>(Show::Difference));
    }
    Refresh();
    WaitForResults();
    return {};
}

void TValveEvents::ClearReference() {
    reference_.reset();
    ++referenceVersion_;
    dropBelow_ = generation_ + 1;
    referenceResults_.clear();
    referenceCurve_ = GearCurve{};
    referenceName_->setText(QStringLiteral("No reference"));
    referenceName_->setToolTip({});
    {
        const QSignalBlocker quiet(show_);
        show_->setCurrentIndex(0);
    }
    show_->setEnabled(false);
    clearReference_->setEnabled(false);
    Refresh();
    if (computed_) Fill();
    UpdateCurve();
}

void TValveEvents::CompareClick() {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Compare with"), QString(),
                                     QStringLiteral("Designs (*.dti);;All files (*)"));
    if (path.isEmpty()) return;
    const QString why = LoadReference(path);
    if (!why.isEmpty()) QMessageBox::warning(this, QStringLiteral("Compare with"), why);
}

namespace {

// What Show shows, as delimited text.
std::string ShownText(TValveEvents::Show show, const Model& design,
                      std::span<const ValveEventsResult> results, const Model* reference,
                      std::span<const ValveEventsResult> referenceResults,
                      const EventsGrid& comparison, char separator) {
    std::ostringstream out;
    switch (show) {
        case TValveEvents::Show::Design:
            WriteEventsDelimited(out, design, results, separator);
            break;
        case TValveEvents::Show::Reference:
            WriteEventsDelimited(out, *reference, referenceResults, separator);
            break;
        case TValveEvents::Show::Difference:
            WriteGridDelimited(out, comparison,
                               design.design.DesignName + " minus the reference " +
                                   reference->design.DesignName +
                                   "; |F - R|: the change of |front - rear|",
                               "|F - R|", separator);
            break;
    }
    return out.str();
}

}  // namespace

QString TValveEvents::TableText() const {
    const Show show = ShownMode();
    return Q(ShownText(show, shown_, results_, reference_ ? &*reference_ : nullptr,
                       referenceResults_, show == Show::Difference ? ShownGrid() : EventsGrid{},
                       '\t'));
}

bool TValveEvents::SaveCsv(const QString& path, QString* error) const {
    const Show show = ShownMode();
    std::ostringstream csv;
    csv << ShownText(show, shown_, results_, reference_ ? &*reference_ : nullptr, referenceResults_,
                     show == Show::Difference ? ShownGrid() : EventsGrid{}, ',');
    // As a design is saved: the old file is replaced only once the new one is on disk.
    const std::string why = WriteFileSafely(path.toStdString(), csv.str());
    if (!why.empty()) {
        if (error) *error = QStringLiteral("Cannot write ") + path + QStringLiteral(": ") + Q(why);
        return false;
    }
    return true;
}

void TValveEvents::CopyClick() {
    Refresh();
    WaitForResults();
    QApplication::clipboard()->setText(TableText());
}

void TValveEvents::SaveClick() {
    Refresh();
    WaitForResults();
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save Valve Events"), Q(m_.design.DesignName) + QStringLiteral(".csv"),
        QStringLiteral("CSV (*.csv);;All files (*)"));
    if (path.isEmpty()) return;
    QString error;
    if (!SaveCsv(path, &error)) QMessageBox::critical(this, QStringLiteral("Valve Events"), error);
}

void TValveEvents::ToleranceChange() {
    if (computed_) Fill();
}

void TValveEvents::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    Refresh();
    // The first fit needs the table's content.
    if (!computed_) WaitForResults();
    if (!fitted_) {
        fitted_ = true;
        FitToTable();
    }
    timer_->start();
}

void TValveEvents::hideEvent(QHideEvent* e) {
    timer_->stop();
    QDialog::hideEvent(e);
}

}  // namespace tarn
