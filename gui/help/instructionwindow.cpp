// The instruction windows read their text once, at program start, from the working directory or
// else the installed data folder: editing the file while the program runs shows only at the
// next start.
#include "gui/help/instructionwindow.h"

#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QTextCursor>

#include <cstdint>
#include <string>
#include <vector>

#include "core/io/safefile.h"
#include "gui/common/datafilepath.h"

namespace tarn {

namespace {

constexpr int kClientWidth = 427;
constexpr int kClientHeight = 273;

void ShowLoadError(QWidget* parent, const QString& message) {
    auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Error"), message,
                                QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    box->show();
}

LoadErrorReporter& Override() {
    static LoadErrorReporter reporter;
    return reporter;
}

void Report(QWidget* parent, const QString& message) {
    if (Override()) Override()(parent, message);
    else ShowLoadError(parent, message);
}

}  // namespace

void SetLoadErrorReporter(LoadErrorReporter reporter) { Override() = std::move(reporter); }

InstructionWindow::InstructionWindow(const char* objectName, const QString& caption,
                                     const QString& fileName, int memoWidth, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(caption);
    setFixedSize(kClientWidth, kClientHeight);
    // The label lies behind the memo; it only carries the file name once loaded.
    label1_ = new QLabel(this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->move(8, 8);
    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("Memo1"));
    memo_->setReadOnly(true);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo_->setGeometry(0, 0, memoWidth, kClientHeight);
    memo_->setToolTip(fileName);
    memo_->setPlainText(QStringLiteral("Memo1"));
    // The texts are laid out in columns with blanks: a fixed-pitch font keeps them level.
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(11);
    memo_->setFont(font);
}

void InstructionWindow::FormCreate() {
    const QString fileName = DataFilePath(memo_->toolTip());
    // The safe reader: a pipe of that name does not hold up the start, and the reason for a
    // failure is English.
    std::vector<std::uint8_t> bytes;
    const std::string why = ReadRegularFile(fileName.toStdString(), bytes);
    if (!why.empty()) {
        Report(parentWidget(), QStringLiteral("Error Loading ") + fileName + QStringLiteral(": ") +
                                   QString::fromStdString(why));
        return;
    }
    QStringDecoder utf8(QStringConverter::Utf8);  // skips a byte order mark
    QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    memo_->setPlainText(text);
    memo_->moveCursor(QTextCursor::Start);
    label1_->setText(fileName);
}

TInst::TInst(QWidget* parent)
    : InstructionWindow("Inst", QStringLiteral("Instructions"), QStringLiteral("instruct.doc"),
                        kClientWidth, parent) {
    auto* label2 = new QLabel(this);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->move(8, 8);
    label2->lower();
    label1_->lower();
    FormCreate();
}

TTarnISpInst::TTarnISpInst(QWidget* parent)
    : InstructionWindow("TarnISpInst", QStringLiteral("Tarn1 Inside Special Instructions"),
                        QStringLiteral("TarnISpIns.doc"), kClientWidth + 8, parent) {
    label1_->lower();
    FormCreate();
}

}  // namespace tarn
