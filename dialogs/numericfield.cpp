// Key handling of the numeric field: character keys go through the filter table, editing keys
// (cursor keys, Delete) pass, clipboard shortcuts are refused and pastes are filtered.
#include "dialogs/numericfield.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
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
        if (e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z) return static_cast<char>(e->key() - Qt::Key_A + 1);
        if (!t.isEmpty() || (e->key() >= Qt::Key_Space && e->key() < Qt::Key_Escape)) return 0x1f;
        return 0;
    }
    if (t.size() != 1) return 0;
    const QChar c = t.at(0);
    if (c.unicode() == 0x7f) return 0;  // Delete edits like a cursor key
    if (c.unicode() >= 0x80) return 0x1f;  // outside every accepted set
    return static_cast<char>(c.unicode());
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

void NumericField::markEdit() {
    if (editFlag_ && RuleOf(variant_).marksEdit) *editFlag_ = true;
}

void NumericField::keyPressEvent(QKeyEvent* e) {
    const char typed = TypedChar(e);
    if (typed == 0) {
        // Shift+Insert pastes without a typed character: it goes through the filter too.
        if (e->matches(QKeySequence::Paste)) {
            pasteFiltered();
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
    if (typed == '\r') {
        // The field consumes Enter: it never reaches a dialog's buttons from here, so Enter in
        // a frame field cannot press a reset. Where the row says so it commits the field.
        e->accept();
        if (v.commitToClose && enterTarget_) enterTarget_->setFocus(Qt::OtherFocusReason);
    } else if (v.key != 0) {
        QLineEdit::keyPressEvent(e);
    } else {
        e->accept();
    }
    emit keyFiltered();
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

void NumericField::contextMenuEvent(QContextMenuEvent* e) {
    QMenu* menu = createStandardContextMenu();
    for (QAction* a : menu->actions()) {
        if (a->objectName() == QLatin1String("edit-paste")) {
            a->disconnect();
            connect(a, &QAction::triggered, this, &NumericField::pasteFiltered);
        }
    }
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

void NumericField::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    // A context menu or another application taking the focus is not leaving the field.
    if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason) return;
    emit committed();
}

}  // namespace tarn
