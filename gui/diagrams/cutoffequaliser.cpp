// The equaliser dialog over the core search; the proposal is committed like a typed dimension
// field (undo entry, most recent dynamic variable), so one UnDo takes it back.
#include "gui/diagrams/cutoffequaliser.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/analysis/eventstable.h"
#include "core/model/dimensions.h"
#include "core/model/numfmt.h"
#include "core/variation/commit.h"

namespace tarn {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

TCutoffEqualiser::TCutoffEqualiser(Model& m, QWidget* parent) : QDialog(parent), m_(m) {
    setObjectName(QStringLiteral("CutoffEqualiser"));
    setWindowTitle(QStringLiteral("Equalise Cut-off"));
    resize(520, 560);

    dimension_ = new QComboBox(this);
    dimension_->setObjectName(QStringLiteral("Dimension"));
    for (const DimensionInfo& d : Dimensions())
        if (IsVariableDimension(d.id)) dimension_->addItem(Q(d.caption), d.id);
    connect(dimension_, &QComboBox::currentIndexChanged, this, [this] { DimensionChange(); });

    gear_ = new QComboBox(this);
    gear_->setObjectName(QStringLiteral("GearPosition"));
    for (Gear g : kStandardGears) gear_->addItem(Q(GearName(g)), static_cast<int>(g));

    low_ = new QLineEdit(this);
    low_->setObjectName(QStringLiteral("RangeLow"));
    high_ = new QLineEdit(this);
    high_->setObjectName(QStringLiteral("RangeHigh"));

    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* find = button("Find", "Find");
    apply_ = button("Apply", "Apply");
    QPushButton* cancel = button("Cancel", "Cancel");
    connect(find, &QPushButton::clicked, this, &TCutoffEqualiser::FindClick);
    connect(apply_, &QPushButton::clicked, this, &TCutoffEqualiser::ApplyClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("Message"));
    message_->setWordWrap(true);

    compare_ = new QTableWidget(this);
    compare_->setObjectName(QStringLiteral("Comparison"));
    compare_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    compare_->setColumnCount(2);
    compare_->setHorizontalHeaderLabels({QStringLiteral("Before"), QStringLiteral("After")});

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Dimension"), this), 0, 0);
    grid->addWidget(dimension_, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Gear position"), this), 1, 0);
    grid->addWidget(gear_, 1, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Search from"), this), 2, 0);
    grid->addWidget(low_, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("to"), this), 2, 2);
    grid->addWidget(high_, 2, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(find);
    buttons->addStretch(1);
    buttons->addWidget(apply_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(message_);
    layout->addWidget(compare_, 1);
    layout->addLayout(buttons);
}

int TCutoffEqualiser::SelectedId() const { return dimension_->currentData().toInt(); }

float TCutoffEqualiser::SelectedRevArmPos() const {
    return GearRevArmPos(m_, static_cast<Gear>(gear_->currentData().toInt()));
}

void TCutoffEqualiser::FormActivate() {
    gear_->setCurrentIndex(gear_->findData(static_cast<int>(Gear::NormalForward)));
    // Start on the most recently edited dimension when there is one.
    const int recent = m_.dyn.DynVarId[1];
    const int index = dimension_->findData(recent);
    if (index >= 0 && dimension_->currentIndex() != index)
        dimension_->setCurrentIndex(index);  // its handler fills the range
    else DimensionChange();
}

void TCutoffEqualiser::DimensionChange() {
    const SearchRange range = DefaultSearchRange(m_, SelectedId());
    low_->setText(Q(Str(range.lo, 0, 4)));
    high_->setText(Q(Str(range.hi, 0, 4)));
    found_ = false;
    apply_->setEnabled(false);
    message_->setText(
        QStringLiteral("Current value ") + Q(Str(GetDimension(m_, SelectedId()), 0, 4)) +
        QStringLiteral(". Find searches the range for equal front and rear cut-off."));
    compare_->setRowCount(0);
}

void TCutoffEqualiser::FindClick() {
    const SearchRange range{ParseField(low_->text().toStdString()),
                            ParseField(high_->text().toStdString())};
    result_ = EqualiseCutoff(m_, SelectedId(), SelectedRevArmPos(), range);
    found_ = result_.proposes();
    apply_->setEnabled(found_);
    message_->setText(Q(DescribeEqualise(result_)));
    ShowComparison();
}

void TCutoffEqualiser::ShowComparison() {
    const std::vector<std::string> header = EventsHeader();
    const std::vector<std::string> before = EventsRow(m_, result_.before);
    const std::vector<std::string> after = EventsRow(m_, result_.after);
    const int first = 3;  // position, gear and direction are the same on both sides
    compare_->setRowCount(static_cast<int>(header.size()) - first + 1);
    QStringList titles{QStringLiteral("Value")};
    compare_->setItem(0, 0, new QTableWidgetItem(Q(Str(result_.oldValue, 0, 4))));
    compare_->setItem(0, 1, new QTableWidgetItem(Q(Str(result_.value, 0, 4))));
    for (std::size_t i = first; i < header.size(); ++i) {
        const int row = static_cast<int>(i) - first + 1;
        titles << Q(header[i]);
        compare_->setItem(row, 0, new QTableWidgetItem(Q(before[i])));
        compare_->setItem(row, 1, new QTableWidgetItem(Q(found_ ? after[i] : std::string())));
    }
    compare_->setVerticalHeaderLabels(titles);
    compare_->resizeColumnsToContents();
}

void TCutoffEqualiser::ApplyClick() {
    if (!found_) return;
    // As if the value had been typed into the dimension's field and the field left.
    m_.undo.EditChanged = true;
    CommitDimensionField(m_, result_.dimensionId, Str(result_.value, 0, 9));
    accept();
}

}  // namespace tarn
