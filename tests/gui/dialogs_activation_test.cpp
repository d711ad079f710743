// A window's activation runs once per opening: a window restored from the task bar (a
// spontaneous show) keeps what the user typed, and the next opening shows the model afresh.
#include <QtTest/qtestspontaneevent.h>
#include <QApplication>
#include <QLineEdit>
#include <QShowEvent>
#include <QTest>

#include <gtest/gtest.h>

#include "tools_support.h"

using namespace tarn;
using namespace tarn::testing;

namespace {

void RestoredFromTheTaskBar(QWidget* w) {
    QShowEvent e;
    QSpontaneKeyEvent::setSpontaneous(&e);
    qApp->notify(w, &e);  // sendEvent would make it a plain one
    QApplication::processEvents();
}

}  // namespace

TEST(WindowActivation, ARestoredWindowKeepsItsTypedTextAndTheNextOpeningRefills) {
    Program p;
    const struct {
        QDialog* window;
        const char* field;
    } cases[] = {{p.w.DrivAng, "Edit1"},   {p.w.StpAng, "Edit1"},    {p.w.RevPos, "Edit1"},
                 {p.w.GraphZoom, "Edit1"}, {p.w.RefPnts, "Edit1"},   {p.w.FrameDi, "Edit1"},
                 {p.w.CylDimen, "Edit1"},  {p.w.SetRevArm, "Edit10"}};
    for (const auto& c : cases) {
        const std::string name = c.window->objectName().toStdString();
        c.window->show();
        QApplication::processEvents();
        auto* f = c.window->findChild<QLineEdit*>(QString::fromLatin1(c.field));
        ASSERT_NE(f, nullptr) << name;
        const QString shown = f->text();
        f->setText(QStringLiteral("42"));  // what the user typed, not yet committed
        RestoredFromTheTaskBar(c.window);
        EXPECT_EQ(f->text(), QStringLiteral("42")) << name;
        c.window->hide();
        c.window->show();
        QApplication::processEvents();
        EXPECT_EQ(f->text(), shown) << name;
        c.window->hide();
    }
}
