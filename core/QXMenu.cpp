#include "QXMenu.h"

#include "TextHelpers.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

template <size_t N>
void PutText(char (&field)[N], std::string_view text) {
    SetFixedText(field, N, text);
}

template <size_t N>
std::string TextOf(const char (&field)[N]) {
    return FixedText(field, N);
}

template <typename Record>
std::string RecordText(const Record* record) {
    return record ? TextOf(record->Text) : std::string();
}

// One text record of one language, or null for a bad index; const as the
// languages are.
template <typename LanguageList, typename Record>
auto TextRecord(LanguageList& languages, int32_t language, TVector<Record> _QXMenuLanguage::*texts, int32_t index) {
    auto* l = languages.Get(language);
    return l ? (l->*texts).Get(index) : nullptr;
}

}  // namespace

TQXMenuData::TQXMenuData(TTreeNodes* treeNodes, TQXMenuData* linkedMenu, int32_t linkedLanguage)
    : LinkedMenu(linkedMenu), LinkedLanguage(linkedLanguage), Root(std::make_unique<TNodeExt>(treeNodes, "")) {}

TQXMenuData::~TQXMenuData() = default;

void TQXMenuData::Clear() {
    Items.Clear();
    InfNotItems.Clear();
    Languages.Clear();
    TTreeNodes* nodes = Root->Nodes;
    Root.reset();
    Root = std::make_unique<TNodeExt>(nodes, "");
}

bool TQXMenuData::CanAddLanguage() const { return GetLanguageCount() < MaxLanguages; }

bool TQXMenuData::CanInsertLanguage(int32_t language) const {
    return language >= 0 && language < GetLanguageCount() && CanAddLanguage();
}

bool TQXMenuData::CanDeleteLanguage(int32_t language) const {
    return language >= 0 && language < GetLanguageCount();
}

bool TQXMenuData::CanAddMenuItem(int32_t parent) const {
    const int32_t count = GetMenuItemCount();
    return count < MaxMenuItems && parent >= 0 && (parent < count || parent == 0);
}

bool TQXMenuData::CanInsertMenuItem(int32_t item) const {
    return item >= 1 && item < GetMenuItemCount() && GetMenuItemCount() < MaxMenuItems;
}

bool TQXMenuData::CanDeleteMenuItem(int32_t item) const { return item >= 1 && item < GetMenuItemCount(); }

bool TQXMenuData::CanAddInfNotItem() const { return GetInfNotCount() < MaxInfNotItems; }

bool TQXMenuData::CanInsertInfNotItem(int32_t k) const {
    return k >= 0 && k < GetInfNotCount() && CanAddInfNotItem();
}

bool TQXMenuData::CanDeleteInfNotItem(int32_t k) const { return k >= 0 && k < GetInfNotCount(); }

// Languages ------------------------------------------------------------------

_QXMenuLanguage* TQXMenuData::NewLanguage(_QXMenuLanguage* language) {
    language->ItemNames.SetCount(GetMenuItemCount());
    language->ItemHelps.SetCount(GetMenuItemCount());
    language->InfNotTexts.SetCount(GetInfNotCount());
    return language;
}

_QXMenuLanguage* TQXMenuData::AddLanguage() {
    if (!CanAddLanguage()) return nullptr;
    return NewLanguage(Languages.Add());
}

_QXMenuLanguage* TQXMenuData::InsertLanguage(int32_t language) {
    if (!CanInsertLanguage(language)) return nullptr;
    return NewLanguage(Languages.Insert(language));
}

void TQXMenuData::DeleteLanguage(int32_t language) {
    if (CanDeleteLanguage(language)) Languages.Delete(language);
}

// Menu items -----------------------------------------------------------------

TNodeExt* TQXMenuData::FindNode(int32_t item) const {
    if (item < 0) return nullptr;  // -1 would match any node
    return Root->Find(item, -1, "");
}

// One walk over the tree instead of one per item: the node of each item
// 0 .. count - 1, the first in pre-order as FindNode gives it, or null.
std::vector<TNodeExt*> TQXMenuData::NodesByItem(int32_t count) const {
    std::vector<TNodeExt*> nodes(static_cast<size_t>(std::max(count, 0)), nullptr);
    std::vector<TNodeExt*> pending{Root.get()};
    while (!pending.empty()) {
        TNodeExt* node = pending.back();
        pending.pop_back();
        if (node->Id >= 0 && node->Id < count && !nodes[static_cast<size_t>(node->Id)])
            nodes[static_cast<size_t>(node->Id)] = node;
        if (node != Root.get() && node->Next) pending.push_back(node->Next);
        if (node->FirstChild) pending.push_back(node->FirstChild);
    }
    return nodes;
}

void TQXMenuData::ShowNodeImages(TNodeExt* node, int32_t item) const {
    if (!node->Nodes || !node->TreeNode) return;
    const int32_t state = (GetMenuItemState(item) & 1) ? StateImageIndex + 1 : StateImageIndex;
    node->Nodes->SetImages(node->TreeNode, ImageIndex, state);
}

void TQXMenuData::AppendMenuItem(int32_t parent) {
    const int32_t n = GetMenuItemCount();
    _QXMenuItemCfg* cfg = Items.Add();
    cfg->State = 0;
    cfg->Parent = static_cast<uint16_t>(parent);
    for (int32_t l = 0; l < GetLanguageCount(); ++l) {
        _QXMenuLanguage* language = Languages.Get(l);
        language->ItemNames.Add();
        language->ItemHelps.Add();
    }
    if (n == 0) return;  // the root node stands for the root
    delete FindNode(n);
    if (TNodeExt* parentNode = FindNode(parent)) {
        auto* node = new TNodeExt(parentNode, n, "", GetMenuItemName(DisplayLanguage, n), 0);
        ShowNodeImages(node, n);
    }
}

void TQXMenuData::AddMenuItem(int32_t parent) {
    if (!CanAddMenuItem(parent)) return;
    const bool root = GetMenuItemCount() == 0;
    AppendMenuItem(parent);
    if (!root && LinkedMenu) LinkedMenu->AddMenuItem(parent);
}

void TQXMenuData::InsertMenuItem(int32_t item) {
    if (!CanInsertMenuItem(item)) return;
    const int32_t oldCount = GetMenuItemCount();
    const uint16_t parent = Items.Get(item)->Parent;
    _QXMenuItemCfg* cfg = Items.Insert(item);
    cfg->State = 0;
    cfg->Parent = parent;
    for (int32_t v = 0; v <= oldCount; ++v) {
        _QXMenuItemCfg* c = Items.Get(v);
        if (c->Parent >= item) ++c->Parent;
    }
    for (int32_t l = 0; l < GetLanguageCount(); ++l) {
        _QXMenuLanguage* language = Languages.Get(l);
        language->ItemNames.Insert(item);
        language->ItemHelps.Insert(item);
    }
    // Every node from the item on moves up by one.
    const std::vector<TNodeExt*> nodes = NodesByItem(oldCount);
    for (int32_t j = oldCount - 1; j >= item; --j)
        if (TNodeExt* node = nodes[static_cast<size_t>(j)]) ++node->Id;
    TNodeExt* follower = nodes[static_cast<size_t>(item)];
    delete FindNode(item);
    if (follower) {
        TNodeExt* node = follower->InsertBefore(item, 0, "", GetMenuItemName(DisplayLanguage, item));
        if (node) ShowNodeImages(node, item);
    }
    if (LinkedMenu) LinkedMenu->InsertMenuItem(item);
}

void TQXMenuData::DeleteMenuItem(int32_t item) {
    if (!CanDeleteMenuItem(item)) return;
    // Children follow their parent, so the item keeps its index meanwhile.
    for (int32_t v = 0; v < GetMenuItemCount();) {
        if (v != item && Items.Get(v)->Parent == item) DeleteMenuItem(v);
        else ++v;
    }
    const int32_t oldCount = GetMenuItemCount();
    Items.Delete(item);
    delete FindNode(item);
    const std::vector<TNodeExt*> nodes = NodesByItem(oldCount);
    for (int32_t j = item + 1; j < oldCount; ++j)
        if (TNodeExt* node = nodes[static_cast<size_t>(j)]) --node->Id;
    for (int32_t v = 0; v < GetMenuItemCount(); ++v) {
        _QXMenuItemCfg* c = Items.Get(v);
        if (c->Parent >= item) --c->Parent;
    }
    for (int32_t l = 0; l < GetLanguageCount(); ++l) {
        _QXMenuLanguage* language = Languages.Get(l);
        language->ItemNames.Delete(item);
        language->ItemHelps.Delete(item);
    }
    if (LinkedMenu) LinkedMenu->DeleteMenuItem(item);
}

// InfNot items ---------------------------------------------------------------

void TQXMenuData::AppendInfNotItem() {
    InfNotItems.Add()->Range = 0;
    for (int32_t l = 0; l < GetLanguageCount(); ++l) Languages.Get(l)->InfNotTexts.Add();
}

void TQXMenuData::AddInfNotItem() {
    if (!CanAddInfNotItem()) return;
    AppendInfNotItem();
    if (LinkedMenu) LinkedMenu->AddInfNotItem();
}

void TQXMenuData::InsertInfNotItem(int32_t k) {
    if (!CanInsertInfNotItem(k)) return;
    InfNotItems.Insert(k)->Range = 0;
    for (int32_t l = 0; l < GetLanguageCount(); ++l) Languages.Get(l)->InfNotTexts.Insert(k);
    if (LinkedMenu) LinkedMenu->InsertInfNotItem(k);
}

void TQXMenuData::DeleteInfNotItem(int32_t k) {
    if (!CanDeleteInfNotItem(k)) return;
    InfNotItems.Delete(k);
    for (int32_t l = 0; l < GetLanguageCount(); ++l) Languages.Get(l)->InfNotTexts.Delete(k);
    if (LinkedMenu) LinkedMenu->DeleteInfNotItem(k);
}

// Texts ----------------------------------------------------------------------

void TQXMenuData::SetLanguageName(int32_t language, std::string_view text) {
    if (_QXMenuLanguage* l = Languages.Get(language)) PutText(l->Name, text);
}

std::string TQXMenuData::GetLanguageName(int32_t language) const {
    const _QXMenuLanguage* l = Languages.Get(language);
    return l ? TextOf(l->Name) : std::string();
}


void TQXMenuData::SetMenuItemName(int32_t language, int32_t item, std::string_view text) {
    if (auto* r = TextRecord(Languages, language, &_QXMenuLanguage::ItemNames, item)) PutText(r->Text, text);
}

std::string TQXMenuData::GetMenuItemName(int32_t language, int32_t item) const {
    return RecordText(TextRecord(Languages, language, &_QXMenuLanguage::ItemNames, item));
}

void TQXMenuData::SetMenuItemHelp(int32_t language, int32_t item, std::string_view text) {
    if (auto* r = TextRecord(Languages, language, &_QXMenuLanguage::ItemHelps, item)) PutText(r->Text, text);
}

std::string TQXMenuData::GetMenuItemHelp(int32_t language, int32_t item) const {
    return RecordText(TextRecord(Languages, language, &_QXMenuLanguage::ItemHelps, item));
}

void TQXMenuData::SetInfNotText(int32_t language, int32_t k, std::string_view text) {
    if (auto* r = TextRecord(Languages, language, &_QXMenuLanguage::InfNotTexts, k)) PutText(r->Text, text);
}

std::string TQXMenuData::GetInfNotText(int32_t language, int32_t k) const {
    return RecordText(TextRecord(Languages, language, &_QXMenuLanguage::InfNotTexts, k));
}

// Item and InfNot attributes -------------------------------------------------

int32_t TQXMenuData::GetMenuItemParent(int32_t item) const {
    const _QXMenuItemCfg* c = Items.Get(item);
    return c ? c->Parent : 0;
}

uint8_t TQXMenuData::GetMenuItemState(int32_t item) const {
    const _QXMenuItemCfg* c = Items.Get(item);
    return c ? c->State : 0;
}

void TQXMenuData::SetMenuItemState(int32_t item, uint8_t state) {
    if (_QXMenuItemCfg* c = Items.Get(item)) c->State = state;
}

void TQXMenuData::SetMenuItemStateRecursive(int32_t item, uint8_t state) {
    SetMenuItemState(item, state);
    // v != item keeps the root, its own parent, from recursing into itself.
    for (int32_t v = 0; v < GetMenuItemCount(); ++v)
        if (v != item && Items.Get(v)->Parent == item) SetMenuItemStateRecursive(v, state);
}

uint8_t TQXMenuData::GetInfNotRange(int32_t k) const {
    const _QXInfNotItemCfg* c = InfNotItems.Get(k);
    return c ? c->Range : 0;
}

void TQXMenuData::SetInfNotRange(int32_t k, int32_t range) {
    if (_QXInfNotItemCfg* c = InfNotItems.Get(k)) c->Range = static_cast<uint8_t>(range & 0xFF);
}

void TQXMenuData::TruncateInfNotText(int32_t k) {
    const _QXInfNotItemCfg* c = InfNotItems.Get(k);
    if (!c) return;
    const size_t keep = c->Range > 1 ? c->Range - 1u : 0u;
    for (int32_t l = 0; l < GetLanguageCount(); ++l)
        SetInfNotText(l, k, LeftStr(GetInfNotText(l, k), static_cast<int>(keep)));
}

// Tree view ------------------------------------------------------------------

void TQXMenuData::RefreshTree() {
    const std::vector<TNodeExt*> nodes = NodesByItem(GetMenuItemCount());
    for (int32_t i = 0; i < GetMenuItemCount(); ++i) {
        const std::string name = DisplayLanguage == -1 ? std::string("?") : GetMenuItemName(DisplayLanguage, i);
        TNodeExt* node = nodes[static_cast<size_t>(i)];
        if (!node) continue;
        if (ShowLinked && LinkedMenu) {
            std::string original = "(";
            original += LinkedMenu->GetMenuItemName(LinkedLanguage + 1, i);
            original += ')';
            node->Update(i, 0, original, name);
        } else
            node->Update(i, 0, "", name);
        ShowNodeImages(node, i);
    }
}

int32_t TQXMenuData::GetMenuItemIndex(const TTreeNode* treeNode) const {
    if (!treeNode) return -1;
    // Pre-order walk over the nodes for the one that owns this tree item.
    std::vector<const TNodeExt*> pending{Root.get()};
    while (!pending.empty()) {
        const TNodeExt* node = pending.back();
        pending.pop_back();
        if (node->TreeNode == treeNode)
            return node->Id >= 0 && node->Id < GetMenuItemCount() ? node->Id : -1;
        if (node->Next) pending.push_back(node->Next);
        if (node->FirstChild) pending.push_back(node->FirstChild);
    }
    return -1;
}

TTreeNode* TQXMenuData::GetTreeNode(int32_t item) const {
    const TNodeExt* node = FindNode(item);
    return node ? node->TreeNode : nullptr;
}
