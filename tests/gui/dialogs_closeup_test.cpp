// A small button of the frame dialog in the running program: the next frame closes the dialog
// and zooms in, a click on the picture ends the close-up and the dialog opens again afterwards.
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "dialogs_support.h"
#include "gui/dialogs/framedi.h"
#include "gui/mainwin/appwindows.h"

using namespace tarn;

TEST(CloseupInTheProgram, TheDialogClosesForTheCloseUpAndReopensAfterIt) {
    Model m;
    test::TestMain main(m);
    const AppWindows w = CreateAppWindows(m, main.form);
    auto* frame = qobject_cast<TFrameDi*>(w.FrameDi);
    ASSERT_NE(frame, nullptr);
    test::ShowActive(*frame);
    QTest::mouseClick(frame->findChild<QPushButton*>("Button2"), Qt::LeftButton);
    ASSERT_EQ(m.closeup.GraphicPosId, 2);

    main.form.Timer1Timer();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(m.view.Zoom, 30.0f);
    main.form.Timer1Timer();
    EXPECT_EQ(m.closeup.GraphicPosFrames, 2);

    main.form.FormMouseDown(Qt::LeftButton, 300, 300);
    main.form.Timer1Timer();  // restores the view and queues the reopening
    EXPECT_EQ(m.closeup.GraphicPosId, 0);
    EXPECT_EQ(m.view.Zoom, 27.0f);
    EXPECT_FALSE(frame->isVisible());  // not inside the frame

    // The reopened dialog runs its own loop; this runs inside it, after the reopening.
    bool shownAgain = false;
    QTimer probe;
    probe.setInterval(0);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (!frame->isVisible()) return;
        shownAgain = true;
        probe.stop();
        frame->reject();
    });
    probe.start();
    for (int i = 0; i < 20 && !shownAgain; ++i) QCoreApplication::processEvents();
    probe.stop();
    EXPECT_TRUE(shownAgain);
}
