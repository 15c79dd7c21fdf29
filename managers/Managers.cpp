#include "Managers.h"

#include "Convert.h"
#include "GamesManager.h"
#include "MemView.h"
#include "MemoryManager.h"
#include "QXMenuForm.h"

void RegisterManagers() {
    TDocumentCreators& c = DocumentCreators();
    c.OpenMemView = OpenMemView;
    c.OpenManager = OpenManager;
    c.OpenGamesManager = OpenGamesManager;
    c.OpenConvert = OpenConvert;
    RegisterQXMenuEditor();
}
