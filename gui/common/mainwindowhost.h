// What the dialogs and the diagram windows ask of the main window: its animation, its motion
// switch, the bars and buttons of its control strip that they move. The main window implements
// it; the windows hold this instead of the main window and never look its controls up.
#pragma once

#include <QRect>

#include "core/model/dimensions.h"

namespace tarn {

class MainWindowHost {
public:
    // The animation clock: a diagram window holds it while it is open.
    virtual void PauseAnimation() = 0;
    virtual void ResumeAnimation() = 0;

    // The run/stop switch: whether the crank turns, and its start and stop branches.
    virtual bool MotionRunning() const = 0;
    virtual void StartMotion() = 0;
    virtual void StopMotion() = 0;

    // The driver-angle bar put at a position (hundredths of a degree; its change handler takes
    // the crank there) and unlocked.
    virtual void SetDriverAngleBar(int position) = 0;
    // One click and one page of the driver-angle bar, in hundredths of a degree.
    virtual void SetDriverAngleSteps(int small, int large) = 0;
    // The step-angle bar put at a position; its change handler runs.
    virtual void SetStepAngleBar(int position) = 0;
    // The 1, 10 and 45 step buttons: each enabled unless its step is the one set.
    virtual void UpdateStepButtons() = 0;

    // The reverse-arm bar put at a position (thousandths from mid gear, positive toward
    // forward); its change handler puts the arm there.
    virtual void SetRevArmBar(int position) = 0;
    // The reverse-arm bar spans the design's largest offset from mid gear again.
    virtual void ResetRevArmRange() = 0;
    // The reverse-arm bar and its gear buttons show the arm where the model has it, the arm
    // staying exactly there (after an UnDo put the mid gear and the arm back).
    virtual void ShowRevArm() = 0;
    // The reverse-arm positions dialog, modally.
    virtual void RunRevArmPositions() = 0;

    // The main window's dynamic-variable bars and the panels around them.
    virtual void ShowDynVarControls(bool visible) = 0;
    // The main window's UnDo button follows the undo history.
    virtual void RefreshUndoButton() = 0;

    // A dimension dialog, modally, placed beside the main window where it leaves keepClear (a
    // rectangle on the screen, such as a table the user watches while editing) uncovered.
    virtual void RunDimensionDialog(DimDialog which, const QRect& keepClear) = 0;

protected:
    ~MainWindowHost() = default;
};

}  // namespace tarn
