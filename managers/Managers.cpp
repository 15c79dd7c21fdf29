#include "Managers.h"

#include "Convert.h"
#include "GamesManager.h"
#include "MemView.h"
#include "MemoryManager.h"
#include "ProgramManager.h"
#include "QXMenuForm.h"

void RegisterManagers() {
    TDocumentCreators& c = DocumentCreators();
    c.OpenMemView = OpenMemView;
    c.OpenManager = OpenManager;
    c.OpenProgramManager = OpenProgramManager;
    c.UpdateShortcutButtons = [](TMDICustomChild* w) {
        if (auto* p = dynamic_cast<TfrmProgramManager*>(w)) p->UpdateShortcutButtons();
    };
    c.OpenGamesManager = OpenGamesManager;
    c.OpenConvert = OpenConvert;
    RegisterQXMenuEditor();
}
