// The focus arriving at a view reports once per user action.
#include <gtest/gtest.h>

#include "EnterReport.h"

TEST(EnterReport, OneReportPerArrival) {
    struct Case {
        const char* What;
        Qt::FocusReason Reason;
        bool Press;  // a mouse press follows
        bool Moved;  // the press moved the current item (reported as the move)
        int Reports;
    };
    const Case cases[] = {
        {"tab key", Qt::TabFocusReason, false, false, 1},
        {"program", Qt::OtherFocusReason, false, false, 1},
        {"click that moves", Qt::MouseFocusReason, true, true, 0},
        {"click that stays", Qt::MouseFocusReason, true, false, 1},
        {"back from a pop-up", Qt::PopupFocusReason, false, false, 0},
        {"window activated again", Qt::ActiveWindowFocusReason, false, false, 0},
        {"press without arrival", Qt::NoFocusReason, true, false, 0},
    };
    for (const Case& c : cases) {
        TEnterReport enter;
        int reports = 0;
        enter.OnEnter = [&] { ++reports; };
        if (c.Reason != Qt::NoFocusReason) enter.FocusIn(c.Reason);
        if (c.Moved) enter.Moved();
        if (c.Press) enter.AfterPress();
        enter.AfterPress();  // a second press reports nothing more
        EXPECT_EQ(reports, c.Reports) << c.What;
    }
}
