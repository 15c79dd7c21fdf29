#include "UnitRun.h"

#include "Appinterface.h"
#include "CommModule.h"

bool RunOnUnit(QWidget* owner, _AppInterface& app, TCommCmdList& list, const TUnitRunOptions& options,
               _CommResult* result) {
    if (!options.KeepModel) app.ModelVersion.Clear();
    bool ignored = false;
    const _CommResult run = RunCommands(owner, app.ComModule.get(), &list, &app.ComPort, app.BaudIndex,
                                        &app.ModelVersion, options.Quiet ? 1 : 0, &ignored);
    if (result) *result = run;
    return run.Succeeded() && !ignored;
}
