// The key filter table and the numeric field that applies it: accepted sets, duplicates after
// the selection is replaced, Enter, clipboard shortcuts, filtered pastes and the edit mark.
#include <gtest/gtest.h>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include "core/fields/keyfilter.h"
#include "core/model/dimensions.h"
#include "dialogs_support.h"
#include "gui/dialogs/framedi.h"
#include "gui/dialogs/numericfield.h"

using namespace tarn;

namespace {

// The text after typing keys one by one at the end of text with nothing selected.
std::string TypeAll(FieldVariant v, std::string text, std::string_view keys) {
    for (char k : keys) {
        const KeyVerdict r = FilterKey(v, k, text, static_cast<int>(text.size()), 0);
        if (r.key == '\b') {
            if (!text.empty()) text.pop_back();
        } else if (r.key != 0) {
            text.push_back(r.key);
        }
    }
    return text;
}

struct FieldInDialog {
    explicit FieldInDialog(FieldVariant v) {
        field = new NumericField(v, &dialog);
        field->setObjectName("Edit1");
        close1 = new QPushButton("Close", &dialog);
        close1->setObjectName("Close1");
        close1->setAutoDefault(false);
        close1->move(0, 30);
        field->setEnterTarget(close1);
        field->setEditFlag(&editChanged);
        QObject::connect(field, &NumericField::committed, [this] { ++commits; });
        test::ShowActive(dialog);
        test::FocusByMouse(field);
    }
    QDialog dialog;
    NumericField* field;
    QPushButton* close1;
    bool editChanged = false;
    int commits = 0;
};

// Right-clicks the field and returns the menu it pops up, or nullptr.
QMenu* ContextMenuOf(QWidget* field) {
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(3, 3), field->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(field, &e);
    QApplication::processEvents();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<QMenu*>(w); m && m->isVisible()) return m;
    return nullptr;
}

void CloseMenus() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMenu*>(w)) w->close();
    QApplication::processEvents();
}

QAction* ActionNamed(QMenu* menu, const QString& word) {
    if (!menu) return nullptr;
    for (QAction* a : menu->actions())
        if (QString(a->text()).remove('&').startsWith(word)) return a;
    return nullptr;
}

}  // namespace

TEST(KeyFilter, OnePointAndOneMinusPerNumber) {
    EXPECT_EQ(TypeAll(FieldVariant::Dimension, "", "1.5."), "1.5");
    EXPECT_EQ(TypeAll(FieldVariant::Dimension, "", "--2"), "-2");
    EXPECT_EQ(TypeAll(FieldVariant::Signed, "", "3-4"), "3-4");  // a minus may stand anywhere
    EXPECT_EQ(TypeAll(FieldVariant::Dimension, "", "1a,5e+2"), "152");
    EXPECT_EQ(TypeAll(FieldVariant::Point, "", "--1.2.3"), "--1.23");  // several minus signs pass
    EXPECT_EQ(TypeAll(FieldVariant::Unsigned, "", "-4.5"), "4.5");     // no minus at all
    EXPECT_EQ(TypeAll(FieldVariant::Position, "1.5", "\b\b7"), "17");
}

TEST(KeyFilter, DuplicatesAreJudgedOnTheTextAfterTheSelectionIsReplaced) {
    // ".75" over a selected "2.500" gives 0.75; "-1" over a selected "-2.000" gives -1.
    EXPECT_EQ(FilterKey(FieldVariant::Dimension, '.', "2.500", 0, 5).key, '.');
    EXPECT_EQ(FilterKey(FieldVariant::Dimension, '-', "-2.000", 0, 6).key, '-');
    // A point beside a selection that leaves a point standing is still a second one.
    EXPECT_EQ(FilterKey(FieldVariant::Dimension, '.', "2.500", 3, 2).key, 0);
    EXPECT_EQ(FilterKey(FieldVariant::Dimension, '.', "2.500", 1, 1).key, '.');
    EXPECT_EQ(FilterKey(FieldVariant::Signed, '-', "-2", 2, 0).key, 0);
}

TEST(KeyFilter, EnterAndTheEditMarkFollowTheVariant) {
    const KeyVerdict enter = FilterKey(FieldVariant::Dimension, '\r', "3", 1, 0);
    EXPECT_EQ(enter.key, 0);
    EXPECT_TRUE(enter.commitToClose);
    EXPECT_TRUE(enter.marksEdit);
    EXPECT_TRUE(FilterKey(FieldVariant::GearLimit, '\r', "3", 1, 0).commitToClose);
    EXPECT_FALSE(FilterKey(FieldVariant::GearLimit, '5', "3", 1, 0).marksEdit);
    EXPECT_FALSE(FilterKey(FieldVariant::Signed, '\r', "3", 1, 0).commitToClose);
    // The mark comes before the duplicate test: a refused second point still marks.
    const KeyVerdict dup = FilterKey(FieldVariant::Dimension, '.', "1.5", 3, 0);
    EXPECT_EQ(dup.key, 0);
    EXPECT_TRUE(dup.marksEdit);
    EXPECT_TRUE(FilterKey(FieldVariant::Dimension, '\b', "1.5", 3, 0).marksEdit);
    EXPECT_FALSE(FilterKey(FieldVariant::Dimension, 'x', "1.5", 3, 0).marksEdit);
    // A circle row refuses every key.
    EXPECT_EQ(FilterKey(FieldVariant::RowThird, '5', "", 0, 0, true).key, 0);
    EXPECT_EQ(FilterKey(FieldVariant::RowThird, '5', "", 0, 0, false).key, '5');
    EXPECT_EQ(FilterKey(FieldVariant::Dimension, 22, "", 0, 0).key, 0);  // Ctrl+V
}

TEST(NumericField, TypingGoesThroughTheFilterAndEnterCommitsToClose) {
    FieldInDialog f(FieldVariant::Dimension);
    QTest::keyClicks(f.field, "1.5.");
    EXPECT_EQ(f.field->text(), "1.5");
    EXPECT_TRUE(f.editChanged);
    QTest::keyClick(f.field, Qt::Key_Return);
    EXPECT_EQ(f.field->text(), "1.5");
    EXPECT_TRUE(f.close1->hasFocus());
    EXPECT_EQ(f.commits, 1);
    EXPECT_TRUE(f.dialog.isVisible());
}

TEST(NumericField, AKeyReplacingTheSelectionIsJudgedOnTheResult) {
    FieldInDialog f(FieldVariant::Dimension);
    f.field->setText("2.500");
    f.field->selectAll();
    QTest::keyClicks(f.field, ".75");
    EXPECT_EQ(f.field->text(), ".75");
    f.field->setText("-2.000");
    f.field->selectAll();
    QTest::keyClicks(f.field, "-1");
    EXPECT_EQ(f.field->text(), "-1");
}

TEST(NumericField, DeleteAndCursorKeysEditAndMark) {
    FieldInDialog f(FieldVariant::Dimension);
    f.field->setText("12.5");
    f.field->setCursorPosition(0);
    f.editChanged = false;
    QTest::keyClick(f.field, Qt::Key_Right);
    EXPECT_FALSE(f.editChanged);
    QTest::keyClick(f.field, Qt::Key_Delete);
    EXPECT_EQ(f.field->text(), "1.5");
    EXPECT_TRUE(f.editChanged);
}

TEST(NumericField, ClipboardShortcutsAreRefusedAndPastesFiltered) {
    FieldInDialog f(FieldVariant::Dimension);
    QGuiApplication::clipboard()->setText("a-1.2.3x");
    f.field->setText("");
    QTest::keyClick(f.field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f.field->text(), "");
    EXPECT_FALSE(f.editChanged);
    // The context menu's Paste: the same filter, character by character.
    f.field->pasteFiltered();
    EXPECT_EQ(f.field->text(), "-1.23");
    EXPECT_TRUE(f.editChanged);
    // Into a text that already holds a point and a minus: only digits come in.
    f.field->setCursorPosition(2);
    f.field->insertFiltered("-.9");
    EXPECT_EQ(f.field->text(), "-19.23");
}

// The menu a right click shows: its Paste is filtered like typing, and every key it names
// does in the field what the menu item does.
TEST(NumericField, TheContextMenuPastesThroughTheFilterAndNamesOnlyKeysThatWork) {
    FieldInDialog f(FieldVariant::Dimension);
    QClipboard* cb = QGuiApplication::clipboard();
    cb->setText("0.824ab1.2.3-4-x5");
    f.field->setText("");
    QMenu* menu = ContextMenuOf(f.field);
    ASSERT_NE(menu, nullptr);
    QAction* paste = ActionNamed(menu, "Paste");
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    CloseMenus();
    EXPECT_EQ(f.field->text().toStdString(), "0.824123-45");
    EXPECT_TRUE(f.editChanged);

    // From a selected 12.5 with x7 on the clipboard, each named key does what its item does.
    const auto start = [&] {
        f.field->setText("12.5");
        f.field->selectAll();
        cb->setText("x7");
    };
    const auto state = [&] { return (f.field->text() + '|' + cb->text()).toStdString(); };
    start();
    menu = ContextMenuOf(f.field);
    ASSERT_NE(menu, nullptr);
    QStringList items;
    for (QAction* a : menu->actions()) items << a->text();
    CloseMenus();
    int named = 0;
    for (const QString& item : items) {
        const int tab = static_cast<int>(item.indexOf('\t'));
        if (tab < 0) continue;
        const QKeySequence keys(item.mid(tab + 1), QKeySequence::NativeText);
        ASSERT_EQ(keys.count(), 1) << item.toStdString();
        ++named;
        start();
        QTest::keyClick(f.field, keys[0].key(), keys[0].keyboardModifiers());
        const std::string byKey = state();
        start();
        QAction* a = ActionNamed(ContextMenuOf(f.field), item.left(tab).remove('&'));
        ASSERT_NE(a, nullptr) << item.toStdString();
        a->trigger();
        CloseMenus();
        EXPECT_NE(byKey, "12.5|x7") << item.toStdString();
        EXPECT_EQ(byKey, state()) << item.toStdString();
    }
    EXPECT_GE(named, 3);  // cut, copy and paste have keys the field takes

    // Text composed by an input method comes in as typed keys would.
    f.field->setText("1");
    f.field->setCursorPosition(1);
    QInputMethodEvent im;
    im.setCommitString("a.5.-");
    QApplication::sendEvent(f.field, &im);
    EXPECT_EQ(f.field->text().toStdString(), "1.5-");
}

TEST(NumericField, EveryEditOfTheTextMarksItAndADropIsFiltered) {
    FieldInDialog f(FieldVariant::Dimension);
    f.field->setText("12.5");
    f.field->setCursorPosition(4);
    QTest::keyClick(f.field, Qt::Key_Backspace);
    EXPECT_EQ(f.field->text(), "12.");
    EXPECT_TRUE(f.editChanged);
    // Cut, as the context menu does it.
    f.editChanged = false;
    f.field->selectAll();
    f.field->cut();
    EXPECT_EQ(f.field->text(), "");
    EXPECT_TRUE(f.editChanged);
    // A drop brings in what typing its characters would.
    f.editChanged = false;
    QMimeData mime;
    mime.setText("x-4.5.6");
    QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.field, &enter);
    QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.field, &drop);
    EXPECT_EQ(f.field->text(), "-4.56");
    EXPECT_TRUE(f.editChanged);
}

TEST(NumericField, EscapeGoesOnToTheWindow) {
    FieldInDialog f(FieldVariant::Signed);
    QTest::keyClicks(f.field, "12");
    QTest::keyClick(f.field, Qt::Key_Escape);
    EXPECT_EQ(f.field->text(), "12");
    EXPECT_FALSE(f.dialog.isVisible());
    EXPECT_EQ(f.dialog.result(), QDialog::Rejected);
}

TEST(NumericField, AGearLimitFieldNeverMarksAnEdit) {
    FieldInDialog f(FieldVariant::GearLimit);
    f.field->setEditFlag(&f.editChanged);
    QTest::keyClicks(f.field, "2.5");
    f.field->insertFiltered("1");
    EXPECT_EQ(f.field->text(), "2.51");
    EXPECT_FALSE(f.editChanged);
}

// A dialog's default button is not pressed by Enter in a field unless the dialog names it as
// the field's Enter button: the filters consume Enter.
TEST(NumericField, EnterInAFieldNeverReachesTheDialogsDefaultButton) {
    FieldInDialog f(FieldVariant::Unsigned);
    int okClicks = 0;
    auto* ok = new QPushButton("OK", &f.dialog);
    ok->setAutoDefault(false);
    ok->setDefault(true);
    ok->show();
    QObject::connect(ok, &QPushButton::clicked, [&] { ++okClicks; });
    test::FocusByMouse(f.field);
    QTest::keyClicks(f.field, "12");
    QTest::keyClick(f.field, Qt::Key_Return);
    EXPECT_EQ(f.field->text(), "12");
    EXPECT_EQ(okClicks, 0);
    EXPECT_TRUE(f.field->hasFocus());
}

// A value wider than its field is read from its first digit: the field shows what a field wide
// enough for the whole text shows in its first columns.
TEST(NumericField, AWideValueShowsItsFirstDigits) {
    Model m = test::StartedModel();
    test::TestMain main(m);
    TFrameDi d(m, &main.form);
    NumericField* f = d.findChild<NumericField*>("Edit1");  // "Driver Dia"
    for (const f32 v : {1880.0f, 123456789.0f}) {
        SetDimension(m, 1, v);
        test::ShowActive(d);
        const QImage shown = f->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_GT(f->fontMetrics().horizontalAdvance(f->text()), f->width()) << v;
        EXPECT_EQ(f->cursorPosition(), 0) << v;
        NumericField wide(f->variant());
        wide.setFont(f->font());
        wide.setPalette(f->palette());
        wide.setFixedSize(400, f->height());
        wide.setText(f->text());
        wide.setCursorPosition(0);
        const QImage whole = wide.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect start(0, 0, f->width() - 2, f->height());
        EXPECT_EQ(shown.copy(start), whole.copy(start)) << v;
        d.reject();
    }
}

TEST(NumericField, TheFieldCommitsWhenTheFocusMovesOn) {
    FieldInDialog f(FieldVariant::Signed);
    EXPECT_EQ(f.commits, 0);
    test::FocusByMouse(f.close1);
    EXPECT_EQ(f.commits, 1);
}
