// The valve-events window over the core analysis. The design has no change notification, so a
// short timer compares the design's file image and the listed positions with the last ones and
// recomputes only when they differ.
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
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>
#include <sstream>

#include "core/analysis/eventstable.h"
#include "core/io/safefile.h"
#include "gui/common/qpaintercanvas.h"
#include "gui/common/screenfit.h"

namespace tarn {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

const QColor kBeyond(0xFF, 0xD0, 0xD0);
const QColor kHeading(0xE8, 0xEE, 0xF6);

}  // namespace

// The gear curve, drawn afresh at the widget's size whenever the curves or the size change, and
// with smooth lines or without as the main picture is drawn.
class GearCurveView : public QWidget {
public:
    GearCurveView(QWidget* parent, const bool& smooth, std::function<void(Canvas&, int, int)> draw)
        : QWidget(parent), smooth_(smooth), draw_(std::move(draw)) {
        setObjectName(QStringLiteral("GearCurve"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMinimumSize(320, 180);
    }
    void Redraw() {
        Draw();
        update();
    }
    const QImage& Image() const { return image_; }

protected:
    void resizeEvent(QResizeEvent*) override { Redraw(); }
    void paintEvent(QPaintEvent*) override {
        // The switch changed since the last drawing (the main window asks every window to paint).
        if (drawnSmooth_ != smooth_) Draw();
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

TValveEvents::TValveEvents(Model& m, QWidget* parent) : QDialog(parent), m_(m) {
    setObjectName(QStringLiteral("ValveEvents"));
    setWindowTitle(QStringLiteral("Valve Events"));

    auto* menu = new QMenuBar(this);
    QAction* exportItem = menu->addAction(QStringLiteral("&Export Picture..."));
    exportItem->setObjectName(QStringLiteral("ExportPicture"));
    QAction* printItem = menu->addAction(QStringLiteral("&Print..."));
    printItem->setObjectName(QStringLiteral("PrintPicture"));
    auto* exporter = new PictureExporter(
        *this, m_, [this] { return CurvePicture(); }, QStringLiteral("Gear Curve"));
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

    curveView_ = new GearCurveView(this, m_.display.SmoothLines, [this](Canvas& c, int w, int h) {
        DrawGearCurve(c, w, h, curve_, reference_ ? &referenceCurve_ : nullptr,
                      GearCurveStyle{showRelease_->isChecked(), showLead_->isChecked()});
    });
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
    bottom->addWidget(
        button("OptimiseGearButton", "Optimise Gear...", &TValveEvents::OptimiseGearRequested));
    bottom->addWidget(button("Copy", "Copy", &TValveEvents::CopyClick));
    bottom->addWidget(button("Save", "Save...", &TValveEvents::SaveClick));
    QPushButton* closeButton = button("Close1", "Close", nullptr);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    bottom->addWidget(closeButton);

    auto* top = new QWidget(this);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(table_, 1);
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
    KeepOnScreen(this);
}

void TValveEvents::FitToTable() {
    // Wide enough for the positions' events and tall enough for every row and a readable curve.
    const int tableWidth = table_->horizontalHeader()->length() + 2 * table_->frameWidth() + 4;
    const int tableHeight = table_->verticalHeader()->length() +
                            table_->horizontalHeader()->height() + 2 * table_->frameWidth() + 4;
    table_->setMinimumHeight(tableHeight);
    const int chrome = width() - table_->width();
    resize(std::max(tableWidth + std::max(chrome, 24), 900), std::max(height(), tableHeight + 420));
}

std::vector<float> TValveEvents::Positions() const {
    std::vector<float> out;
    for (int k = 1; k <= m_.diagrams.RevArmCount && k <= 9; ++k)
        if (m_.motion.RevArmPositions[static_cast<std::size_t>(k)] != 0)
            out.push_back(m_.motion.RevArmPositions[static_cast<std::size_t>(k)]);
    if (out.empty()) out = StandardGearPositions(m_);
    return out;
}

bool TValveEvents::Refresh() {
    const DimFileImage image = EncodeDimensionFile(m_);
    std::vector<float> positions = Positions();
    positions.push_back(
        m_.motion.RevArmPositions[0]);  // the mid gear decides the turning direction
    if (computed_ && image == lastImage_ && positions == lastPositions_) return false;
    const bool designChanged =
        !computed_ || image != lastImage_ || positions.back() != lastPositions_.back();
    lastImage_ = image;
    lastPositions_ = positions;
    positions.pop_back();
    results_ = AnalysePositions(m_, positions);
    if (designChanged) curve_ = ComputeGearCurve(m_);
    if (reference_) ComputeReference();
    computed_ = true;
    Fill();
    UpdateCurve();
    return true;
}

void TValveEvents::ComputeReference() {
    const std::vector<float> positions = MatchingPositions(m_, Positions(), *reference_);
    referenceResults_ = AnalysePositions(*reference_, positions);
}

void TValveEvents::Fill() {
    const double tol = tolerance_->value();
    const EventsGrid mine = BuildEventsGrid(m_, results_, tol);
    EventsGrid grid = mine;
    const auto show = static_cast<Show>(show_->currentIndex());
    if (reference_ && show != Show::Design) {
        const EventsGrid theirs = BuildEventsGrid(*reference_, referenceResults_, tol);
        grid = show == Show::Reference ? theirs : DifferenceGrid(mine, theirs, tol);
    }

    const int n = static_cast<int>(grid.columns.size());
    table_->clearSpans();
    table_->clear();
    table_->setColumnCount(1 + 3 * n);
    table_->setRowCount(1 + kEventRows);
    QStringList titles{QString()};
    for (int c = 0; c < n; ++c)
        titles << QStringLiteral("Front") << QStringLiteral("Rear") << QStringLiteral("F - R");
    table_->setHorizontalHeaderLabels(titles);

    auto* corner = new QTableWidgetItem(show == Show::Design      ? QStringLiteral("Gear")
                                        : show == Show::Reference ? QStringLiteral("Reference")
                                                                  : QStringLiteral("Difference"));
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

QString TValveEvents::LoadReference(const QString& path) {
    Model reference = m_;
    const FileResult r = LoadDimensionFile(reference, path.toStdString());
    if (!r.ok) return Q(r.error);
    reference_ = std::move(reference);
    referenceCurve_ = ComputeGearCurve(*reference_);
    ComputeReference();
    referenceName_->setText(QStringLiteral("Reference: ") + Q(reference_->design.DesignName));
    referenceName_->setToolTip(QFileInfo(path).absoluteFilePath());
    show_->setEnabled(true);
    clearReference_->setEnabled(true);
    if (show_->currentIndex() == 0) show_->setCurrentIndex(static_cast<int>(Show::Difference));
    Fill();
    UpdateCurve();
    return {};
}

void TValveEvents::ClearReference() {
    reference_.reset();
    referenceResults_.clear();
    referenceCurve_ = GearCurve{};
    referenceName_->setText(QStringLiteral("No reference"));
    referenceName_->setToolTip({});
    show_->setCurrentIndex(0);
    show_->setEnabled(false);
    clearReference_->setEnabled(false);
    Fill();
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

QString TValveEvents::TableText() const {
    std::ostringstream out;
    WriteEventsDelimited(out, m_, results_, '\t');
    return Q(out.str());
}

bool TValveEvents::SaveCsv(const QString& path, QString* error) const {
    std::ostringstream csv;
    WriteEventsDelimited(csv, m_, results_, ',');
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
    QApplication::clipboard()->setText(TableText());
}

void TValveEvents::SaveClick() {
    Refresh();
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
