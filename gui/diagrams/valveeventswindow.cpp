// The valve-events window over the core analysis. The design has no change notification, so a
// short timer compares the design's file image and the listed positions with the last ones and
// recomputes only when they differ.
#include "gui/diagrams/valveeventswindow.h"

#include <QApplication>
#include <QClipboard>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <sstream>

#include "core/analysis/eventstable.h"
#include "core/io/safefile.h"
#include "core/model/numfmt.h"

namespace tarn {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TValveEvents::TValveEvents(Model& m, QWidget* parent) : QDialog(parent), m_(m) {
    setObjectName(QStringLiteral("ValveEvents"));
    setWindowTitle(QStringLiteral("Valve Events"));
    resize(980, 300);

    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("EventsTable"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setVisible(false);

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

    auto button = [this](const char* name, const char* caption, void (TValveEvents::*click)()) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        if (click) connect(b, &QPushButton::clicked, this, click);
        return b;
    };
    auto* row = new QHBoxLayout;
    row->addWidget(tolLabel);
    row->addWidget(tolerance_);
    row->addStretch(1);
    row->addWidget(
        button("OptimiseGearButton", "Optimise Gear...", &TValveEvents::OptimiseGearRequested));
    row->addWidget(button("Copy", "Copy", &TValveEvents::CopyClick));
    row->addWidget(button("Save", "Save...", &TValveEvents::SaveClick));
    QPushButton* closeButton = button("Close1", "Close", nullptr);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    row->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_, 1);
    layout->addLayout(row);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("RefreshTimer"));
    timer_->setInterval(50);
    connect(timer_, &QTimer::timeout, this, [this] { Refresh(); });
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
    lastImage_ = image;
    lastPositions_ = positions;
    positions.pop_back();
    results_ = AnalysePositions(m_, positions);
    computed_ = true;
    Fill();
    return true;
}

void TValveEvents::Fill() {
    const std::vector<std::string> header = EventsHeader();
    table_->setColumnCount(static_cast<int>(header.size()));
    table_->setRowCount(static_cast<int>(results_.size()));
    QStringList titles;
    for (const auto& h : header) titles << Q(h);
    table_->setHorizontalHeaderLabels(titles);
    const int firstDiff = static_cast<int>(header.size()) - 4;
    const double tol = tolerance_->value();
    for (int r = 0; r < static_cast<int>(results_.size()); ++r) {
        const std::vector<std::string> cells = EventsRow(m_, results_[static_cast<std::size_t>(r)]);
        for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
            auto* item = new QTableWidgetItem(Q(cells[static_cast<std::size_t>(c)]));
            if (c >= 3 && c < static_cast<int>(cells.size()) - 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (c >= firstDiff && c < firstDiff + 3 &&
                !cells[static_cast<std::size_t>(c)].empty() &&
                std::fabs(static_cast<double>(ParseNumber(cells[static_cast<std::size_t>(c)]))) >
                    tol) {
                item->setBackground(QColor(0xFF, 0xD0, 0xD0));
                item->setData(Qt::UserRole, true);  // beyond the tolerance
            }
            if (c == static_cast<int>(cells.size()) - 1 &&
                !results_[static_cast<std::size_t>(r)].ok())
                item->setForeground(QColor(0xC0, 0, 0));
            table_->setItem(r, c, item);
        }
    }
    table_->resizeColumnsToContents();
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
    timer_->start();
}

void TValveEvents::hideEvent(QHideEvent* e) {
    timer_->stop();
    QDialog::hideEvent(e);
}

}  // namespace tarn
