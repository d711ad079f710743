// Key handling of the numeric field: character keys go through the filter table, editing keys
// (cursor keys, Delete) pass, the Ctrl+letter clipboard shortcuts are refused, the Insert and
// Delete ones work, and pastes are filtered.
#include "gui/dialogs/numericfield.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

namespace tarn {

namespace {

// The character a key press types, 0 when it types none (cursor keys, Delete, function keys).
// Control combinations type their control character (Ctrl+V is 22), which no filter accepts.
char TypedChar(const QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Backspace: return '\b';
        case Qt::Key_Return:
        case Qt::Key_Enter: return '\r';
        // Escape is no character: it goes on to the window, which closes as its Cancel does.
        case Qt::Key_Escape: return 0;
        default: break;
    }
    const auto mods = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const QString t = e->text();
    if (mods != Qt::NoModifier) {
        if (e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z)
            return static_cast<char>(e->key() - Qt::Key_A + 1);
        if (!t.isEmpty() || (e->key() >= Qt::Key_Space && e->key() < Qt::Key_Escape)) return 0x1f;
        return 0;
    }
    if (t.size() != 1) return 0;
    const QChar c = t.at(0);
    if (c.unicode() == 0x7f) return 0;     // Delete edits like a cursor key
    if (c.unicode() >= 0x80) return 0x1f;  // outside every accepted set
    return static_cast<char>(c.unicode());
}

// The clipboard keys that type no character: they work in every field, whatever the platform's
// own key bindings, and the context menu names them.
constexpr QKeyCombination kCutKey(Qt::ShiftModifier, Qt::Key_Delete);
constexpr QKeyCombination kCopyKey(Qt::ControlModifier, Qt::Key_Insert);
constexpr QKeyCombination kPasteKey(Qt::ShiftModifier, Qt::Key_Insert);
constexpr QKeyCombination kDeleteKey(Qt::NoModifier, Qt::Key_Delete);

bool Is(const QKeyEvent* e, QKeyCombination k) {
    return e->key() == k.key() && (e->modifiers() & ~Qt::KeypadModifier) == k.keyboardModifiers();
}

QString MenuText(const char* text, QKeyCombination key) {
    return QString::fromLatin1(text) + QLatin1Char('\t') +
           QKeySequence(key).toString(QKeySequence::NativeText);
}

}  // namespace

NumericField::NumericField(FieldVariant variant, QWidget* parent)
    : QLineEdit(parent), variant_(variant) {
    setFrame(false);
    setTextMargins(0, 0, 0, 0);
    setContentsMargins(0, 0, 0, 0);
    // Every user edit (typing, Backspace, Delete, cut, paste, drop, undo) makes a dimension
    // commit an undoable change.
    connect(this, &QLineEdit::textEdited, this, [this] { markEdit(); });
}

void NumericField::setText(const QString& text) {
    QLineEdit::setText(text);
    setCursorPosition(0);
}

void NumericField::markEdit() {
    if (editFlag_ && RuleOf(variant_).marksEdit) *editFlag_ = true;
}

void NumericField::keyPressEvent(QKeyEvent* e) {
    const char typed = TypedChar(e);
    if (typed == 0) {
        // Shift+Insert pastes without a typed character: it goes through the filter too.
        if (Is(e, kPasteKey) || e->matches(QKeySequence::Paste)) {
            pasteFiltered();
            e->accept();
            return;
        }
        if (Is(e, kCutKey)) {
            if (!isReadOnly()) cut();
            e->accept();
            return;
        }
        if (Is(e, kCopyKey)) {
            copy();
            e->accept();
            return;
        }
        QLineEdit::keyPressEvent(e);
        return;
    }
    const std::string current = text().toStdString();
    const int selStart = hasSelectedText() ? selectionStart() : cursorPosition();
    const int selLength = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
    const KeyVerdict v = FilterKey(variant_, typed, current, selStart, selLength, isBlocked());
    if (v.marksEdit) markEdit();
    bool pressButton = false;
    if (typed == '\r') {
        // The field consumes Enter: it never reaches a dialog's buttons from here, so Enter in
        // a frame field cannot press a reset. Where the row says so it commits the field; where
        // the dialog names a button, Enter presses it.
        e->accept();
        if (v.commitToClose && enterTarget_) enterTarget_->setFocus(Qt::OtherFocusReason);
        pressButton = enterButton_ && enterButton_->isEnabled() && enterButton_->isVisible();
    } else if (v.key != 0) {
        QLineEdit::keyPressEvent(e);
    } else {
        e->accept();
    }
    emit keyFiltered();
    if (pressButton) enterButton_->click();
}

void NumericField::insertFiltered(const QString& s) {
    bool any = false;
    for (const QChar c : s) {
        if (c.unicode() < 0x20 || c.unicode() >= 0x7f) continue;  // no Enter or Backspace in pastes
        const char ch = static_cast<char>(c.unicode());
        const std::string current = text().toStdString();
        const int selStart = hasSelectedText() ? selectionStart() : cursorPosition();
        const int selLength = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
        const KeyVerdict v = FilterKey(variant_, ch, current, selStart, selLength, isBlocked());
        if (v.key == 0) continue;
        insert(QString(QChar(v.key)));
        any = true;
    }
    if (any) markEdit();
    emit keyFiltered();
}

void NumericField::pasteFiltered() {
    if (isReadOnly()) return;
    insertFiltered(QGuiApplication::clipboard()->text(QClipboard::Clipboard));
}

QMenu* NumericField::createContextMenu() {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("FieldMenu"));
    const bool editable = !isReadOnly();
    const bool selected = hasSelectedText();
    // Undo and Redo have no key here: Ctrl+Z and Ctrl+Y are refused as typed characters.
    QAction* a = menu->addAction(QStringLiteral("&Undo"), this, &QLineEdit::undo);
    a->setEnabled(editable && isUndoAvailable());
    a = menu->addAction(QStringLiteral("&Redo"), this, &QLineEdit::redo);
    a->setEnabled(editable && isRedoAvailable());
    menu->addSeparator();
    a = menu->addAction(MenuText("Cu&t", kCutKey), this, &QLineEdit::cut);
    a->setEnabled(editable && selected);
    a = menu->addAction(MenuText("&Copy", kCopyKey), this, &QLineEdit::copy);
    a->setEnabled(selected);
    a = menu->addAction(MenuText("&Paste", kPasteKey), this, &NumericField::pasteFiltered);
    a->setEnabled(editable && !QGuiApplication::clipboard()->text().isEmpty());
    a = menu->addAction(MenuText("Delete", kDeleteKey), this, &QLineEdit::del);
    a->setEnabled(editable && selected);
    menu->addSeparator();
    a = menu->addAction(QStringLiteral("Select &All"), this, &QLineEdit::selectAll);
    a->setEnabled(!text().isEmpty() && selectedText() != text());
    return menu;
}

void NumericField::contextMenuEvent(QContextMenuEvent* e) {
    QMenu* menu = createContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(e->globalPos());
}

void NumericField::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasText() && !isReadOnly()) e->acceptProposedAction();
    else e->ignore();
}

void NumericField::dragMoveEvent(QDragMoveEvent* e) {
    if (e->mimeData()->hasText() && !isReadOnly()) {
        setCursorPosition(cursorPositionAt(e->position().toPoint()));
        e->acceptProposedAction();
    } else {
        e->ignore();
    }
}

void NumericField::dropEvent(QDropEvent* e) {
    if (!e->mimeData()->hasText() || isReadOnly()) {
        e->ignore();
        return;
    }
    deselect();
    setCursorPosition(cursorPositionAt(e->position().toPoint()));
    insertFiltered(e->mimeData()->text());
    // The dragged text stays where it came from: a drop only ever adds what the filter lets in.
    e->setDropAction(Qt::CopyAction);
    e->accept();
    setFocus(Qt::MouseFocusReason);
}

void NumericField::mouseReleaseEvent(QMouseEvent* e) {
    QClipboard* cb = QGuiApplication::clipboard();
    if (e->button() == Qt::MiddleButton && cb->supportsSelection() && !isReadOnly()) {
        deselect();
        setCursorPosition(cursorPositionAt(e->position().toPoint()));
        insertFiltered(cb->text(QClipboard::Selection));
        e->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
}

void NumericField::inputMethodEvent(QInputMethodEvent* e) {
    // A composed character is typed text like any other; nothing is shown while it is composed.
    if (!e->commitString().isEmpty() && !isReadOnly()) insertFiltered(e->commitString());
    e->accept();
}

void NumericField::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    // A context menu or another application taking the focus is not leaving the field.
    if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason) return;
    emit committed();
}

}  // namespace tarn
