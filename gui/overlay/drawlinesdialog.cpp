// The Draw Lines window: three radio groups, the buttons, and twenty row panels with a clickable
// row number, three labels and four fields each.
#include "gui/overlay/drawlinesdialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

#include "gui/dialogs/dialogkit.h"
#include "gui/dialogs/numericfield.h"

namespace tarn {

namespace {

constexpr int kPanelTops[kOverlayRows] = {123, 140, 158, 175, 192, 209, 226, 244, 261, 278,
                                          295, 313, 330, 347, 364, 382, 399, 416, 433, 450};
constexpr int kLabelLefts[4] = {10, 46, 91, 143};
constexpr int kFieldLefts[4] = {207, 272, 351, 416};

const QColor kAquaPanel(0x00, 0xFF, 0xFF);
const QColor kSilver(0xC0, 0xC0, 0xC0);

// "MS Sans Serif" 14 px.
QFont LinesFont() {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(14);
    return f;
}

void Paint(QWidget* w, const QColor& c) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, c);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

// A row number: a label that reports a click.
class RowNumber : public QLabel {
public:
    RowNumber(const QString& text, QWidget* parent, std::function<void()> click)
        : QLabel(text, parent), click_(std::move(click)) {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton) click_();
        QLabel::mousePressEvent(e);
    }

private:
    std::function<void()> click_;
};

// A radio group: a framed box of items in columns (filled top to bottom, then left to right).
QButtonGroup* RadioGroup(QWidget* parent, const char* name, const QString& caption, QRect r,
                         const QStringList& items, int columns) {
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(r);
    Paint(box, kSilver);
    auto* group = new QButtonGroup(box);
    group->setObjectName(QString::fromLatin1(name) + QStringLiteral("Items"));
    const int perColumn = (static_cast<int>(items.size()) + columns - 1) / columns;
    const int colWidth = (r.width() - 12) / columns;
    const int rowHeight = (r.height() - 22) / perColumn;
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], box);
        b->setObjectName(QString::fromLatin1(name) + QStringLiteral("Item%1").arg(i));
        b->setGeometry(8 + (i / perColumn) * colWidth, 18 + (i % perColumn) * rowHeight, colWidth,
                       rowHeight);
        group->addButton(b, i);
    }
    return group;
}

void ShowChoice(QButtonGroup* g, int item) {
    QAbstractButton* want = item >= 0 ? g->button(item) : nullptr;
    if (g->checkedButton() == want) return;
    // An exclusive group cannot uncheck its last button by itself.
    g->setExclusive(false);
    for (QAbstractButton* b : g->buttons()) b->setChecked(b == want);
    g->setExclusive(true);
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TDrawLines::TDrawLines(Model& m, QWidget* parent)
    : QDialog(parent), m_(m), logic_(m), beep_([] { QApplication::beep(); }) {
    setObjectName(QStringLiteral("DrawLines"));
    setWindowTitle(QStringLiteral("Draw Lines"));
    setFixedSize(584, 474);  // the 592 x 501 window less its frame
    Paint(this, Qt::white);
    setFont(LinesFont());

    groups_[0] = RadioGroup(this, "RadioGroup1", QStringLiteral("  Type    "), QRect(11, 9, 84, 67),
                            {QStringLiteral("Line"), QStringLiteral("Circle")}, 1);
    groups_[1] =
        RadioGroup(this, "RadioGroup2", QStringLiteral("  Color  "), QRect(101, 9, 209, 67),
                   {QStringLiteral("Black"), QStringLiteral("Red"), QStringLiteral("Green"),
                    QStringLiteral("Yellow"), QStringLiteral("Blue"), QStringLiteral("Gray")},
                   3);
    groups_[2] =
        RadioGroup(this, "RadioGroup3", QStringLiteral("  Referenced to  "), QRect(316, 9, 179, 67),
                   {QStringLiteral("0,0"), QStringLiteral("Pivot1"), QStringLiteral("Piv1/0,0"),
                    QStringLiteral("Piv1/Piv2")},
                   2);
    connect(groups_[0], &QButtonGroup::idClicked, this, &TDrawLines::RadioGroup1Click);
    connect(groups_[1], &QButtonGroup::idClicked, this, &TDrawLines::RadioGroup2Click);
    connect(groups_[2], &QButtonGroup::idClicked, this, &TDrawLines::RadioGroup3Click);

    drawBut_ = MakeButton(this, QStringLiteral("DrawBut"), QStringLiteral("Draw Close"),
                          QRect(500, 9, 74, 30));
    drawBut_->setEnabled(false);
    auto* clear = MakeButton(this, QStringLiteral("ClearLine"), QStringLiteral("Clear Line"),
                             QRect(500, 43, 74, 31));
    auto* close = MakeButton(this, QStringLiteral("CloseBut"), QStringLiteral("Close"),
                             QRect(522, 78, 52, 30));
    auto* linesData =
        MakeButton(this, QStringLiteral("LinesData"), QString(), QRect(551, 463, 11, 11));
    linesData->hide();
    connect(drawBut_, &QPushButton::clicked, this, &TDrawLines::DrawButClick);
    connect(clear, &QPushButton::clicked, this, &TDrawLines::ClearLineClick);
    connect(close, &QPushButton::clicked, this, &TDrawLines::CloseButClick);
    connect(linesData, &QPushButton::clicked, this, &TDrawLines::LinesDataClick);
    for (QPushButton* b : {drawBut_, clear, close}) b->setFont(LinesFont());

    const struct {
        const char* name;
        const char* text;
        int x, y;
    } titles[] = {
        {"Title3", "Item", 44, 84},
        {"Title4", "No.", 48, 98},
        {"Title5", "Type     Color     Ref to", 82, 92},
        {"Title1", "Line1Vert   Line1Horz     Line2Vert   Line2Horz", 241, 84},
        {"Title2", "CirCentV    CirCentH                        CirRadius", 246, 98},
    };
    // The titles a little smaller than the window font, so the last one ends before "Close".
    QFont titleFont = LinesFont();
    titleFont.setPixelSize(12);
    for (const auto& t : titles) {
        auto* l = new QLabel(QString::fromLatin1(t.text), this);
        l->setFont(titleFont);
        l->setObjectName(QString::fromLatin1(t.name));
        l->move(t.x, t.y);
        l->adjustSize();
    }

    QFont small = LinesFont();
    small.setPixelSize(11);
    for (int k = 1; k <= kOverlayRows; ++k) {
        auto* panel = new QFrame(this);
        panel->setObjectName(QStringLiteral("Panel%1").arg(k));
        panel->setGeometry(39, kPanelTops[k - 1], 480, 16);
        Paint(panel, k == 1 ? kAquaPanel : QColor(Qt::white));
        panels_[static_cast<std::size_t>(k)] = panel;
        const QString number = k < 10 ? QStringLiteral("%1  ").arg(k) : QString::number(k);
        auto* n = new RowNumber(number, panel, [this, k] { RowNumberClick(k); });
        n->setObjectName(QStringLiteral("Label%1").arg(4 * k - 3));
        n->setGeometry(kLabelLefts[0], 0, 30, 16);
        n->setFont(small);
        for (int j = 0; j < 3; ++j) {
            auto* l = new QLabel(panel);
            l->setObjectName(QStringLiteral("Label%1").arg(4 * k - 2 + j));
            l->setGeometry(kLabelLefts[j + 1], 0, j == 2 ? 60 : 44, 16);
            l->setFont(small);
            labels_[static_cast<std::size_t>(k)][static_cast<std::size_t>(j)] = l;
        }
        for (int col = 0; col < 4; ++col) {
            const FieldVariant v = col == 2 ? FieldVariant::RowThird : FieldVariant::Signed;
            NumericField* f = MakeField(panel, QStringLiteral("Edit%1").arg(4 * k - 3 + col), v,
                                        QRect(kFieldLefts[col], 0, 51, 16), true);
            f->setFont(small);
            if (col == 2) f->setBlocked([this, k] { return logic_.ThirdFieldBlocked(k); });
            connect(f, &NumericField::committed, this, [this, k, col] { FieldExit(k, col); });
            fields_[static_cast<std::size_t>(k)][static_cast<std::size_t>(col)] = f;
        }
    }
    close->setFocus();
}

void TDrawLines::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    // A window restored from the task bar is not opened anew: no second pivot pick.
    if (!e->spontaneous()) FormActivate();
}

void TDrawLines::Sync() {
    for (int k = 1; k <= kOverlayRows; ++k) {
        const auto& row = logic_.row(k);
        const std::string* texts[3] = {&row.type, &row.colour, &row.ref};
        for (std::size_t j = 0; j < 3; ++j) {
            QLabel* l = labels_[static_cast<std::size_t>(k)][j];
            if (l->text() != Q(*texts[j])) l->setText(Q(*texts[j]));
        }
        // Only texts the rules rewrote reach the fields: a field being typed into keeps its text.
        for (std::size_t col = 0; col < 4; ++col) {
            std::string& shown = shown_[static_cast<std::size_t>(k)][col];
            if (shown == row.fields[col]) continue;
            shown = row.fields[col];
            fields_[static_cast<std::size_t>(k)][col]->setText(Q(shown));
        }
        Paint(panels_[static_cast<std::size_t>(k)],
              k == logic_.highlightedRow() ? kAquaPanel : QColor(Qt::white));
    }
    ShowChoice(groups_[0], logic_.typeChoice());
    ShowChoice(groups_[1], logic_.colourChoice());
    ShowChoice(groups_[2], logic_.refChoice());
    drawBut_->setEnabled(logic_.drawEnabled());
    for (; logic_.beeps > 0; --logic_.beeps)
        if (beep_) beep_();
    if (logic_.closeRequested) {
        logic_.closeRequested = false;
        if (isVisible()) done(QDialog::Accepted);
    }
}

void TDrawLines::FormActivate() {
    logic_.FormActivate();
    Sync();
}

void TDrawLines::RowNumberClick(int k) {
    logic_.RowNumberClick(k);
    Sync();
}

void TDrawLines::RadioGroup1Click(int item) {
    logic_.TypeClick(item);
    Sync();
}

void TDrawLines::RadioGroup2Click(int item) {
    logic_.ColourClick(item);
    Sync();
}

void TDrawLines::RadioGroup3Click(int item) {
    logic_.RefClick(item);
    Sync();
}

void TDrawLines::DrawButClick() {
    logic_.DrawCloseClick();
    Sync();
}

void TDrawLines::ClearLineClick() {
    logic_.ClearLineClick();
    Sync();
}

void TDrawLines::CloseButClick() {
    logic_.CloseClick();
    Sync();
}

void TDrawLines::LinesDataClick() {
    logic_.LinesDataClick();
    Sync();
}

void TDrawLines::ClearRowLabels() {
    logic_.ClearRowLabels();
    Sync();
}

void TDrawLines::HighlightCurrentRow() {
    logic_.HighlightCurrentRow();
    Sync();
}

void TDrawLines::FieldExit(int k, int col) {
    const std::string text =
        fields_[static_cast<std::size_t>(k)][static_cast<std::size_t>(col)]->text().toStdString();
    logic_.FieldExit(k, col, text);
    shown_[static_cast<std::size_t>(k)][static_cast<std::size_t>(col)] = text;
}

}  // namespace tarn
