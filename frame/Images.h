// The main window's two image lists, Images16x16x16b_Actions (menus, tool
// bars and tree nodes of the document windows) and Images16x16x256_Manager
// (the memory manager's block tree). An index stands for a picture of the
// icon theme, or for one of our own where the theme has none that fits.
#pragma once

#include <QIcon>

class TImageList {
public:
    enum class TKind { Actions, Manager };

    explicit TImageList(TKind kind) : ListKind(kind) {}

    TKind Kind() const { return ListKind; }
    // True when the list holds a picture at the index.
    bool Has(int index) const;
    // The picture at the index; a null icon for an index the list does not hold.
    QIcon Icon(int index) const;

private:
    TKind ListKind;
};
