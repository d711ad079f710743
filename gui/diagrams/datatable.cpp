// The pivot data table window.
#include "gui/diagrams/datatable.h"

#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "core/plots/pivottable.h"
#include "gui/common/qpaintercanvas.h"

namespace tarn {

TDataTable::TDataTable(Model& m, QWidget* parent)
    : QDialog(parent),
      m_(m),
      clock_([] { return QDateTime::currentDateTime(); }),
      locale_(QLocale::system()) {
    setObjectName(QStringLiteral("DataTable"));
    setWindowTitle(QStringLiteral("Pivot Data Table"));
    setModal(true);
    move(150, 110);
    resize(620, 400);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(pal);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu1"));
    layout->setMenuBar(bar);

    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("DataMemo"));
    QFont font = QFontFor(FontSpec{FontFamily::Serif, 9, false, false});
    font.setPixelSize(12);
    memo_->setFont(font);
    // Table rows are wider than the window: they scroll rather than wrap.
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(memo_);

    auto action = [this](QAction* a, const char* name) {
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    connect(action(bar->addAction(QStringLiteral("&Close ")), "Close1"), &QAction::triggered, this,
            &QDialog::accept);
    action(bar->addAction(QString(14, QLatin1Char(' '))), "Blank");
    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    action(edit->menuAction(), "Edit1");
    connect(edit, &QMenu::aboutToShow, this, &TDataTable::Edit1Click);
    cut_ = action(edit->addAction(QStringLiteral("Cu&t")), "Cut1");
    copy_ = action(edit->addAction(QStringLiteral("&Copy")), "Copy1");
    QAction* paste = action(edit->addAction(QStringLiteral("&Paste")), "Past1");
    action(edit->addSeparator(), "N1");
    selectAll_ = action(edit->addAction(QStringLiteral("Select&All")), "SelectAll1");
    cut_->setEnabled(false);
    copy_->setEnabled(false);
    connect(cut_, &QAction::triggered, this, &TDataTable::Cut1Click);
    connect(copy_, &QAction::triggered, this, &TDataTable::Copy1Click);
    connect(paste, &QAction::triggered, this, &TDataTable::Past1Click);
    connect(selectAll_, &QAction::triggered, this, &TDataTable::SelectAll1Click);
}

void TDataTable::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    // Every opening shows the table of the dimensions as they are now.
    if (!e->spontaneous()) FormActivate();
}

void TDataTable::FormActivate() {
    memo_->clear();
    cut_->setEnabled(false);
    copy_->setEnabled(false);
    selectAll_->setEnabled(true);
    const QDateTime now = clock_();
    const std::string date = locale_.toString(now.date(), QLocale::ShortFormat).toStdString();
    const std::string time = locale_.toString(now.time(), QLocale::ShortFormat).toStdString();
    memo_->setPlainText(QString::fromStdString(JoinLines(BuildPivotDataTable(m_, date, time))));
}

void TDataTable::Edit1Click() {
    if (memo_->textCursor().hasSelection()) {
        cut_->setEnabled(true);
        copy_->setEnabled(true);
    }
}

void TDataTable::Cut1Click() {
    memo_->cut();
    selectAll_->setEnabled(true);
}

void TDataTable::Copy1Click() {
    memo_->copy();
    selectAll_->setEnabled(true);
}

void TDataTable::Past1Click() { memo_->paste(); }

void TDataTable::SelectAll1Click() {
    memo_->selectAll();
    cut_->setEnabled(true);
    copy_->setEnabled(true);
    selectAll_->setEnabled(false);
}

}  // namespace tarn
