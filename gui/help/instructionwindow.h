// The two instruction windows: a read-only text loaded once at start from a plain text file in
// the working directory or the installed data folder, with a message when it cannot be read.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QPlainTextEdit;

namespace tarn {

// Shows the "Error Loading ..." message. The default opens an error box without blocking (the
// windows are made before the message loop runs); tests install their own, nullptr restores it.
using LoadErrorReporter = std::function<void(QWidget* parent, const QString& message)>;
void SetLoadErrorReporter(LoadErrorReporter reporter);

class InstructionWindow : public QDialog {
    Q_OBJECT
public:
    QPlainTextEdit* memo() const { return memo_; }

protected:
    // memoWidth wider than the client area leaves the memo's right edge outside it.
    InstructionWindow(const char* objectName, const QString& caption, const QString& fileName,
                      int memoWidth, QWidget* parent);
    // Loads the file named by the memo's hint; run once, when the window is made.
    void FormCreate();

    QPlainTextEdit* memo_ = nullptr;
    QLabel* label1_ = nullptr;
};

// "Instructions": instruct.doc.
class TInst : public InstructionWindow {
    Q_OBJECT
public:
    explicit TInst(QWidget* parent = nullptr);
};

// "Tarn1 Inside Special Instructions": TarnISpIns.doc.
class TTarnISpInst : public InstructionWindow {
    Q_OBJECT
public:
    explicit TTarnISpInst(QWidget* parent = nullptr);
};

}  // namespace tarn
