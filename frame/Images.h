// The program's image lists. The main window holds two of them,
// Images16x16x16b_Actions (menus, tool bars and menu-editor tree nodes of
// the document windows) and Images16x16x256_Manager (the memory manager's
// block tree); the type window's tree and the menu editor's visibility states
// have lists of their own. An index stands for a picture of the icon theme,
// or for one of our own where the theme has none that fits.
#pragma once

#include <QIcon>
#include <span>

// The indexes of the lists' pictures.
// Images16x16x16b_Actions: document windows' actions, tool-bar buttons and
// menu items.
enum TActionImage : int {
    aiNewMenu = 0,
    aiSave = 2,
    aiPrint = 3,
    aiAddField = 4,
    aiInsertField = 5,
    aiDeleteField = 6,
    aiAddRow = 7,
    aiInsertRow = 8,
    aiDeleteRow = 9,
    aiAddParameter = 11,  // also Add Inf-Not Item
    aiInsertParameter = 12,
    aiDeleteParameter = 13,
    aiToggleVisible = 15,
    aiRefresh = 16,
    aiShortcut1 = 19,  // shortcuts 1 to 4 holding a program file: 19 to 22
    aiShortcut1Empty = 23,  // shortcuts 1 to 4 empty: 23 to 26
    aiRefreshUnit = 32,  // the memory manager's Refresh, QX Synchronization
    aiAddLanguage = 35,
    aiInsertLanguage = 36,
    aiDeleteLanguage = 37,
    aiLanguage = 38,  // Rename Language, the Language submenu
    aiAddTable = 39,
    aiInsertTable = 40,
    aiDeleteTable = 41,
    aiPageUp = 44,
    aiPageDown = 45,
    aiGotoPage = 46,
    aiSavePage = 47,
    aiMenuItem = 51,
    aiAddMenuItem = 52,
    aiAddChildMenuItem = 53,
    aiInsertMenuItem = 54,
    aiDeleteMenuItem = 55,
    aiShowOriginalName = 58,
    aiPcToQx = 63,
    aiQxToPc = 64,
    aiDelete = 65,
    aiCopy = 66,
    aiPaste = 67,
};

// Images16x16x256_Manager: the memory manager's block tree, by node kind.
enum TManagerImage : int {
    miUnit = 0,
    miParametersText = 1,
    miTableText = 2,
    miTypeFolder = 10,
    miTableFolder = 11,
};

// The type window's tree, by node id.
enum TTypeTreeImage : int {
    tiType = 0,
    tiParameters = 1,
    tiTypeName = 2,
    tiLanguage = 3,
    tiConfiguration = 4,
    tiTable = 8,
    tiTableName = 9,
    tiFunction = 10,
    tiBlock = 11,
    tiTableCfg = 12,
    tiLevel = 13,
    tiRows = 14,
    tiFields = 15,
    tiField = 16,
    tiFieldName = 17,
    tiFieldUnits = 18,
    tiFieldSize = 19,
    tiCurrentLanguage = 20,
    tiFieldFlags = 21,
};

// The menu editor's state images.
enum TMenuStateImage : int {
    msVisible = 1,
    msHidden = 2,
};

class TImageList {
public:
    enum class TKind {
        Actions,     // the shared list of menus and tool bars
        Manager,     // the memory manager's block tree, by node kind
        TypeTree,    // the type window's tree, by node id
        MenuStates,  // the menu editor's state images: visible, hidden
    };

    // A small picture laid over the bottom right of another, telling the
    // command apart from its siblings (add, insert, delete ...).
    enum class TBadge { None, Add, Insert, Delete, Child, Table, Show };

    // One picture of a list. Icon is a standard freedesktop icon name, looked
    // up in the icon theme, or ":/qx/<file>.svg" for one of our own pictures.
    struct TEntry {
        int Index;
        const char* Icon;
        TBadge Badge;
        const char* Shows;
    };

    explicit TImageList(TKind kind) : ListKind(kind) {}

    TKind Kind() const { return ListKind; }
    // True when the list holds a picture at the index.
    bool Has(int index) const;
    // The picture at the index; a null icon for an index the list does not
    // hold, or whose picture cannot be found.
    QIcon Icon(int index) const;
    // Every picture of the list, in index order.
    std::span<const TEntry> Entries() const;

private:
    TKind ListKind;
};

// The icon for a theme name or one of our own pictures (":/qx/..."), with an
// optional badge; null when the picture cannot be found.
QIcon LoadIcon(const char* icon, TImageList::TBadge badge = TImageList::TBadge::None);

// The picture of one of the main window's own actions.
struct TActionIcon {
    const char* Action;  // the action's object name
    const char* Icon;
    TImageList::TBadge Badge;
    const char* Shows;
};
// Every main-window action that shows a picture.
std::span<const TActionIcon> MainActionIcons();
// The picture of the main-window action of that object name; null for an
// action that shows none.
QIcon MainActionIcon(const QString& objectName);

// Makes the icon theme usable on a machine without a desktop: the installed
// Breeze theme becomes the fallback (and the theme itself where none is set)
// and /usr/share/icons a search path. Needs the application object; the
// program calls it at start, and the first icon loaded calls it too.
void SetUpIconTheme();
