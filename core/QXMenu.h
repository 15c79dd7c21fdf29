// The unit's menu: a tree of menu items with a name and a help text per menu
// language, the items' visibility, the information/notification (InfNot)
// items with the size of their text fields, and up to ten menu languages.
//
// The model can mirror its item tree into a tree view, and it can be linked
// to a second menu (the editor links the edited menu to the default menu):
// every structural change of the items and of the InfNot list is repeated on
// the linked menu with the same arguments, so both keep the same numbering.
// Kept as a .mnu file (ini text) and turned into the images the unit stores.
//
// GUI thread only. The model shows no message; operations refuse quietly and
// the Can... checks tell beforehand.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Containers.h"
#include "NodeExt.h"

class TMemIniFile;

// Per menu item: its state (bit 0 set = hidden; the other bits are kept as
// they are) and the index of its parent item.
struct _QXMenuItemCfg {
    uint8_t State;
    uint16_t Parent;
};

// Per InfNot item: the size in bytes of its text field in the unit's language
// image, terminator included.
struct _QXInfNotItemCfg {
    uint8_t Range;
};

// The fixed-size texts of a menu language: NUL-terminated, zero after the NUL.
struct _QXMenuItemName {
    char Text[18];
};
struct _QXMenuItemHelp {
    char Text[128];  // may hold CR and LF
};
struct _QXInfNotItemText {
    char Text[20];
};

// One menu language with all its texts, in the order of the items and of the
// InfNot items.
struct _QXMenuLanguage {
    char Name[11] = {};
    TVector<_QXMenuItemName> ItemNames;
    TVector<_QXMenuItemHelp> ItemHelps;
    TVector<_QXInfNotItemText> InfNotTexts;
};

class TQXMenuData {
public:
    static constexpr int32_t MaxLanguages = 10;
    static constexpr int32_t MaxMenuItems = 1000;  // the root included
    static constexpr int32_t MaxInfNotItems = 1000;
    static constexpr size_t LanguageNameLength = sizeof(_QXMenuLanguage::Name) - 1;
    static constexpr size_t ItemNameLength = sizeof(_QXMenuItemName::Text) - 1;
    static constexpr size_t ItemHelpLength = sizeof(_QXMenuItemHelp::Text) - 1;
    static constexpr size_t InfNotTextLength = sizeof(_QXInfNotItemText::Text) - 1;
    // The language image starts with this header.
    static constexpr uint32_t LanguageImageHeaderSize = 32;

    // Not owned, may be null; must outlive this menu.
    TQXMenuData* LinkedMenu;
    // The linked menu's language LinkedLanguage + 1 gives the names shown
    // beside the current ones (-1 selects its language 0).
    int32_t LinkedLanguage;
    // Set by the owner: the language that labels the tree (-1 none), the
    // image of every node, the state image of a visible item's node (a hidden
    // one gets this + 1), and whether nodes show the linked menu's names.
    int32_t DisplayLanguage = -1;
    int32_t ImageIndex = -1;
    int32_t StateImageIndex = -1;
    uint8_t ShowLinked = 0;

    // With tree nodes the root node gets a top-level tree item at once. A new
    // menu has no items at all, not even the root.
    TQXMenuData(TTreeNodes* treeNodes, TQXMenuData* linkedMenu, int32_t linkedLanguage);
    ~TQXMenuData();
    TQXMenuData(const TQXMenuData&) = delete;
    TQXMenuData& operator=(const TQXMenuData&) = delete;

    // Removes every item, InfNot item and language; a new root node is bound
    // to the same tree. The linked menu is not touched.
    void Clear();

    int32_t GetLanguageCount() const { return Languages.Count(); }
    int32_t GetMenuItemCount() const { return Items.Count(); }
    int32_t GetInfNotCount() const { return InfNotItems.Count(); }

    bool CanAddLanguage() const;
    bool CanInsertLanguage(int32_t language) const;
    bool CanDeleteLanguage(int32_t language) const;
    bool CanAddMenuItem(int32_t parent) const;
    bool CanInsertMenuItem(int32_t item) const;
    bool CanDeleteMenuItem(int32_t item) const;
    bool CanAddInfNotItem() const;
    bool CanInsertInfNotItem(int32_t k) const;
    bool CanDeleteInfNotItem(int32_t k) const;

    // A language with an empty name and an empty text for every item and
    // InfNot item; null when refused. Never repeated on the linked menu.
    _QXMenuLanguage* AddLanguage();
    _QXMenuLanguage* InsertLanguage(int32_t language);
    void DeleteLanguage(int32_t language);

    // Item 0 is the root; AddMenuItem(0) on an empty menu creates it. These
    // keep parents before their children, renumber parents and tree nodes,
    // and repeat themselves on the linked menu.
    void AddMenuItem(int32_t parent);
    // The new item becomes the previous sibling of the item now at index.
    void InsertMenuItem(int32_t item);
    // Removes the item with its whole subtree.
    void DeleteMenuItem(int32_t item);

    void AddInfNotItem();
    void InsertInfNotItem(int32_t k);
    void DeleteInfNotItem(int32_t k);

    // Texts; a bad index gives "" or changes nothing; setters cut the text to
    // its field (10, 17, 127 and 19 characters).
    void SetLanguageName(int32_t language, std::string_view text);
    std::string GetLanguageName(int32_t language) const;
    void SetMenuItemName(int32_t language, int32_t item, std::string_view text);
    std::string GetMenuItemName(int32_t language, int32_t item) const;
    void SetMenuItemHelp(int32_t language, int32_t item, std::string_view text);
    std::string GetMenuItemHelp(int32_t language, int32_t item) const;
    void SetInfNotText(int32_t language, int32_t k, std::string_view text);
    std::string GetInfNotText(int32_t language, int32_t k) const;

    int32_t GetMenuItemParent(int32_t item) const;  // 0 for a bad index
    uint8_t GetMenuItemState(int32_t item) const;   // 0 for a bad index
    void SetMenuItemState(int32_t item, uint8_t state);
    // The item and every descendant take the state byte.
    void SetMenuItemStateRecursive(int32_t item, uint8_t state);
    uint8_t GetInfNotRange(int32_t k) const;  // 0 for a bad index
    void SetInfNotRange(int32_t k, int32_t range);  // keeps the low byte
    // Cuts item k's text in every language to Range - 1 characters.
    void TruncateInfNotText(int32_t k);

    // Relabels every item's node and sets its images.
    void RefreshTree();
    // The item index of a tree item of this menu's tree; -1 when it is none.
    int32_t GetMenuItemIndex(const TTreeNode* treeNode) const;
    // The tree item of item i, or null.
    TTreeNode* GetTreeNode(int32_t item) const;

    // The language image for one language slot of the unit: a 32-byte header
    // (name, CRC-16 of the body and its complement), then the item names in
    // 18-byte fields and the InfNot texts in fields of their ranges.
    std::unique_ptr<uint8_t[]> BuildLanguageImage(int32_t language, uint32_t& size) const;
    // One byte per item, the root included: 1 visible, 0 hidden.
    std::unique_ptr<uint8_t[]> BuildStatesImage(uint32_t& size) const;

    // The .mnu file. A load that finds no section General leaves the menu as
    // it was; one that runs into a limit leaves it empty; both give false.
    // A save that cannot be written, or whose languages would share or lose
    // their sections in the file, gives false with the reason and leaves the
    // old file as it was.
    bool LoadFromFile(const std::string& fileName);
    bool SaveToFile(const std::string& fileName, std::string* error = nullptr) const;
    // The same on ini content already in memory.
    bool LoadFromIni(const TMemIniFile& ini);
    bool SaveToIni(TMemIniFile& ini, std::string* error = nullptr) const;

private:
    TVector<_QXMenuItemCfg> Items;
    TVector<_QXInfNotItemCfg> InfNotItems;
    TVector<_QXMenuLanguage> Languages;
    std::unique_ptr<TNodeExt> Root;  // stands for item 0 (node id 0)

    // The structural steps on this menu only (a load does not touch the
    // linked menu); the public operations check and repeat them.
    void AppendMenuItem(int32_t parent);
    void AppendInfNotItem();
    _QXMenuLanguage* NewLanguage(_QXMenuLanguage* language);
    TNodeExt* FindNode(int32_t item) const;
    std::vector<TNodeExt*> NodesByItem(int32_t count) const;
    void ShowNodeImages(TNodeExt* node, int32_t item) const;
    bool CheckSections(std::string* error) const;
};
