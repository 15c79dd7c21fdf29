// The program's image lists. The main window holds two of them,
// Images16x16x16b_Actions (menus, tool bars and menu-editor tree nodes of
// the document windows) and Images16x16x256_Manager (the memory manager's
// block tree); the type window's tree and the menu editor's visibility states
// have lists of their own. An index stands for a picture of the icon theme,
// or for one of our own where the theme has none that fits.
#pragma once

#include <QIcon>
#include <span>

class TImageList {
public:
    enum class TKind {
        Actions,     // the shared list of menus and tool bars
        Manager,     // the memory manager's block tree, by node kind
        TypeTree,    // the type window's tree, by node id
        MenuStates,  // the menu editor's state images: 1 visible, 2 hidden
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
