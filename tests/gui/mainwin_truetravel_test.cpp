// The SetUp switch "True Piston Travel": off at first, the piston read-out keeps its own formula;
// on, it follows the crosshead's travel between its dead centres; remembered for the next start.
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "core/model/recordingcanvas.h"
#include "core/scene/scenehost.h"
#include "gui/common/pictureexport.h"
#include "gui/mainwin/appwindows.h"
#include "gui/mainwin/mainform.h"

namespace tarn {
namespace {

struct StartedProgram {
    Model m;
    TMainForm form;
    AppWindows windows;
    explicit StartedProgram(const QString& settings)
        : form(m, std::make_unique<SilentSound>(), nullptr, settings),
          windows(CreateAppWindows(m, form)) {
        form.findChild<QTimer*>("Timer1")->stop();
        // The crank stopped at 90 degrees, where the two rod lengths part the most.
        form.RunClick();
        form.findChild<QScrollBar*>("SBDrvAng")->setValue(9000);
        form.Timer1Timer();
    }
    QAction* Item() const { return form.findChild<QAction*>("TruePistonTravel"); }
    std::string Caption() const { return Item()->text().toStdString(); }
    // The piston read-out of the picture the window shows.
    std::string PistonReadout() const {
        RecordingCanvas c;
        form.ShownPicture().draw(c);
        for (const CanvasOp& op : c.OfKind(CanvasOp::Kind::Text))
            if (op.text.rfind("Piston % ", 0) == 0) return op.text;
        return "(no piston read-out)";
    }
};

TEST(TruePistonTravel, TheMenuSwitchMakesThePistonReadOutFollowTheCrossheadAndIsRemembered) {
    // At crank angle 90 the crank pin stands 1.5 above the centre line. The read-out's formula,
    // with the crank end 6.207 as the rod: 50 + (6.207 - sqrt(6.207^2 - 1.5^2)) / 3 = 56.13 %.
    // The crosshead on the whole rod of 9: (10.5 - sqrt(81 - 1.5^2)) / 3 = 54.20 % from the
    // front dead centre at 10.5.
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("tarn1.ini"));
    {
        StartedProgram first(settings);
        ASSERT_NE(first.Item(), nullptr);
        EXPECT_EQ(first.Caption(), "True Piston &Travel On");
        EXPECT_EQ(first.PistonReadout(), "Piston %  56.13  ");
        first.Item()->trigger();
        EXPECT_EQ(first.Caption(), "True Piston &Travel Off");
        first.form.Timer1Timer();
        EXPECT_EQ(first.PistonReadout(), "Piston %  54.20  ");
    }
    {
        StartedProgram second(settings);
        EXPECT_EQ(second.Caption(), "True Piston &Travel Off");
        EXPECT_EQ(second.PistonReadout(), "Piston %  54.20  ");
        second.Item()->trigger();
        EXPECT_EQ(second.Caption(), "True Piston &Travel On");
        second.form.Timer1Timer();
        EXPECT_EQ(second.PistonReadout(), "Piston %  56.13  ");
    }
    StartedProgram third(settings);
    EXPECT_EQ(third.Caption(), "True Piston &Travel On");
}

}  // namespace
}  // namespace tarn
