// A window's run of a command list on the unit, judged the one way every
// window judges it: a run in which the user chose Ignore on an error did not
// do all it was asked, so it is no success.
#pragma once

#include "Commcmd.h"

class QWidget;
struct _AppInterface;

struct TUnitRunOptions {
    // Take the unit only when it has the model of the last unit found (what
    // the run sends was built for that model). Otherwise that model is
    // forgotten first and whichever unit answers is taken.
    bool KeepModel = false;
    // The communication dialog stays hidden unless an error needs the user.
    bool Quiet = false;
};

// Runs the list in the communication dialog on the record's port, baud rate
// and link; the port and model where the unit answered go back into the
// record. result, when given, receives the run's packed result (the unit's
// refusal reason and error code) for callers that answer a refusal.
bool RunOnUnit(QWidget* owner, _AppInterface& app, TCommCmdList& list, const TUnitRunOptions& options = {},
               _CommResult* result = nullptr);
