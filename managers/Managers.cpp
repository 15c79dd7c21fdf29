#include "Managers.h"

#include "Convert.h"
#include "GamesManager.h"
#include "MemView.h"

void RegisterManagers() {
    TDocumentCreators& c = DocumentCreators();
    c.OpenMemView = OpenMemView;
    c.OpenGamesManager = OpenGamesManager;
    c.OpenConvert = OpenConvert;
}
