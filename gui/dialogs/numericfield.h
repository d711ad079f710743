// The one numeric entry field of every dialog: a borderless line edit whose keys pass the
// table-driven filter of its variant, which commits when it loses the focus, and whose pasted,
// dropped or composed text passes the same filter character by character.
#pragma once

#include <QLineEdit>
#include <functional>

class QAbstractButton;
class QMenu;

#include "core/fields/keyfilter.h"

namespace tarn {

class NumericField : public QLineEdit {
    Q_OBJECT
public:
    explicit NumericField(FieldVariant variant, QWidget* parent = nullptr);

    FieldVariant variant() const { return variant_; }

    // Text set by the program is shown from its first character, so that a value wider than
    // the field reads as its beginning and never as its tail (1880.000 must not read 880.000).
    // Hides QLineEdit::setText, which leaves the cursor, and with it the view, at the end.
    void setText(const QString& text);

    // Dimension fields mark every user edit here (the model's EditChanged).
    void setEditFlag(bool* flag) { editFlag_ = flag; }
    // Where Enter moves the focus (the dialog's Close button) in the variants that commit on it.
    void setEnterTarget(QWidget* w) { enterTarget_ = w; }
    // The button that Enter presses (a dialog's default button). Without one the field consumes
    // Enter, so that it never presses a button by itself.
    void setEnterButton(QAbstractButton* b) { enterButton_ = b; }
    // While this returns true every key is refused (an overlay row that is a circle).
    void setBlocked(std::function<bool()> blocked) { blocked_ = std::move(blocked); }

    // Inserts text as if its characters were typed one after another; what the filter refuses
    // is left out. The context menu's Paste, Shift+Insert, a drop, a middle-click paste and an
    // input method's text come here.
    void insertFiltered(const QString& text);

    // The menu a right click shows: only what works in the field, each with the key that does
    // the same here (the Ctrl+letter shortcuts are refused as typed characters).
    QMenu* createContextMenu();

public slots:
    void pasteFiltered();

signals:
    // Every character key press, after filtering, accepted or not.
    void keyFiltered();
    // The field lost the focus to another control of its window: commit its text.
    void committed();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;

private:
    void markEdit();
    bool isBlocked() const { return blocked_ && blocked_(); }

    FieldVariant variant_;
    bool* editFlag_ = nullptr;
    QWidget* enterTarget_ = nullptr;
    QAbstractButton* enterButton_ = nullptr;
    std::function<bool()> blocked_;
};

}  // namespace tarn
