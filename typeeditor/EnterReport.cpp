#include "EnterReport.h"

void TEnterReport::FocusIn(Qt::FocusReason reason) {
    // The focus coming back from a pop-up menu or another window is no
    // arrival: the control had it all along as far as the window goes.
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return;
    if (reason == Qt::MouseFocusReason) Pending = true;
    else if (OnEnter) OnEnter();
}

void TEnterReport::AfterPress() {
    if (!Pending) return;
    Pending = false;
    if (OnEnter) OnEnter();
}
