#include "TypeTreeNodes.h"

#include "MessageIds.h"
#include "Mlsunit.h"
#include "Tabledata.h"
#include "TypeObject.h"
#include "Typedata.h"

TTypeTreeTexts::TTypeTreeTexts(const TMLSUnit& texts)
    : Parameters(texts.GetText(Msg::CaptionParameters)),
      Type(texts.GetText(Msg::CaptionType)),
      Configuration(texts.GetText(Msg::CaptionConfiguration)),
      Language(texts.GetText(Msg::CaptionLanguage)),
      Table(texts.GetText(Msg::CaptionTable)),
      Name(texts.GetText(Msg::CaptionName)),
      Cfg(texts.GetText(Msg::CaptionCfg)),
      Field(texts.GetText(Msg::CaptionField)) {
    Refetch(texts);
}

void TTypeTreeTexts::Refetch(const TMLSUnit& texts) {
    Function = texts.GetText(Msg::CaptionFunction);
    Block = texts.GetText(Msg::CaptionBlock);
    Level = texts.GetText(Msg::CaptionLevel);
    Rows = texts.GetText(Msg::CaptionRows);
    Fields = texts.GetText(Msg::CaptionFields);
    Size = texts.GetText(Msg::CaptionSize);
    Units = texts.GetText(Msg::CaptionUnits);
}

namespace {

std::string WithName(std::string text, const std::string& name) {
    if (!name.empty()) text += " (" + name + ")";
    return text;
}

// Looks for (findId, findSubId) in the parent and below it and updates what
// it finds; appends a new child otherwise.
TNodeExt* FindOrAddNode(TNodeExt* parent, int32_t findId, int32_t findSubId, int32_t id, int32_t subId,
                        const std::string& name) {
    if (TNodeExt* node = parent->Find(findId, findSubId, std::string())) {
        if (node->Id != id || node->SubId != subId || node->Name != name || !node->Text.empty())
            node->Update(id, subId, name);
        return node;
    }
    return new TNodeExt(parent, id, name, subId);
}

TNodeExt* FindOrAddNode(TNodeExt* parent, int32_t findId, int32_t findSubId, int32_t id, int32_t subId,
                        const std::string& name, const std::string& text) {
    if (TNodeExt* node = parent->Find(findId, findSubId, std::string())) {
        // An item whose text is already right is left alone: a rebuild of a
        // large type touches only what changed.
        if (node->Id != id || node->SubId != subId || node->Name != name || node->Text != text)
            node->Update(id, subId, name, text);
        return node;
    }
    return new TNodeExt(parent, id, name, text, subId);
}

std::string LanguageText(const TTypeData6& def, int32_t n) {
    const _LangItem* lang = def.GetLanguage(n);
    return std::to_string(n + 1) + (lang ? ". " + lang->GetName() : std::string(". ???"));
}

}  // namespace

void RebuildTypeTree(TNodeExt*& root, TTreeNodes* nodes, TTypeObjectData& type, int32_t currentLanguage,
                     const TTypeTreeTexts& texts) {
    TTypeData6& def = type.GetTypeData();
    const std::string rootText = WithName(texts.Type, type.GetTypeName());
    if (!root) root = new TNodeExt(nodes, rootText);
    else if (root->Name != rootText || root->Id != 0 || root->SubId != 0) root->Update(0, 0, rootText);

    TNodeExt* p = FindOrAddNode(root, NodeParameters, -1, NodeParameters, 0, texts.Parameters);
    FindOrAddNode(p, NodeTypeName, -1, NodeTypeName, 0, texts.Type, def.GetName());
    FindOrAddNode(p, NodeConfiguration, -1, NodeConfiguration, 0, texts.Configuration);
    const _LangItem* current = def.GetLanguage(currentLanguage);
    const std::string currentText =
        texts.Language + (current ? " (" + std::to_string(currentLanguage + 1) + ". " + current->GetName() + ")"
                                  : std::string(" (?\?\?)"));
    TNodeExt* g = FindOrAddNode(p, NodeCurrentLanguage, -1, NodeCurrentLanguage, 0, currentText);

    const int32_t languages = def.GetLanguageCount();
    for (int32_t n = 0;; ++n) {
        TNodeExt* left = g->Find(NodeLanguage, n, std::string());
        if (n >= languages && !left) break;
        if (n < languages) FindOrAddNode(g, NodeLanguage, n, NodeLanguage, n, LanguageText(def, n));
        else delete left;
    }

    const int32_t tables = type.GetTableCount();
    for (int32_t i = 0;; ++i) {
        TNodeExt* left = root->Find(NodeTable, i, std::string());
        if (i >= tables && !left) break;
        if (i >= tables) {
            delete left;
            continue;
        }
        TTableData* table = type.GetTable(i);
        if (!table) continue;
        const std::string tableText = WithName(texts.Table + std::to_string(i + 1), table->GetName());
        TNodeExt* t = FindOrAddNode(root, NodeTable, i, NodeTable, i, tableText);
        FindOrAddNode(t, NodeTableName, -1, NodeTableName, i, texts.Name, table->GetName());
        FindOrAddNode(t, NodeFunction, -1, NodeFunction, i, texts.Function, std::to_string(table->GetFunction()));
        FindOrAddNode(t, NodeBlock, -1, NodeBlock, i, texts.Block, std::to_string(table->GetBlock()));
        FindOrAddNode(t, NodeTableCfg, -1, NodeTableCfg, i, texts.Cfg, std::to_string(table->GetCfg()));
        FindOrAddNode(t, NodeLevel, -1, NodeLevel, i, texts.Level, std::to_string(table->GetLevel()));
        FindOrAddNode(t, NodeRows, -1, NodeRows, i, texts.Rows, std::to_string(table->GetRowCount()));
        FindOrAddNode(t, NodeFields, -1, NodeFields, i, texts.Fields, std::to_string(table->GetFieldCount()));
        for (int32_t j = 0;; ++j) {
            const _TableFieldInfo* field = table->GetField(j);
            TNodeExt* leftField = t->Find(NodeField, j, std::string());
            if (!field && !leftField) break;
            if (!field) {
                delete leftField;
                continue;
            }
            const std::string fieldText = WithName(texts.Field + " " + std::to_string(j + 1), field->GetName());
            TNodeExt* f = FindOrAddNode(t, NodeField, j, NodeField, j, fieldText);
            FindOrAddNode(f, NodeFieldName, j, NodeFieldName, j, texts.Name, field->GetName());
            FindOrAddNode(f, NodeFieldSize, j, NodeFieldSize, j, texts.Size, FieldSizeToStr(field->Size));
            FindOrAddNode(f, NodeFieldUnits, j, NodeFieldUnits, j, texts.Units, field->GetUnit());
            FindOrAddNode(f, NodeFieldFlags, j, NodeFieldFlags, j, texts.Cfg, std::to_string(field->Flags));
        }
    }
}

_TypeSelection SelectionOfNode(const TNodeExt* node) {
    _TypeSelection sel;
    if (!node || node->Id < 0 || node->Id >= NodeIdCount) return sel;
    const TNodeExt* parent = node->Parent();
    switch (node->Id) {
    case NodeLanguage:
        sel.Kind = _TypeSelection::KindLanguage;
        sel.Language = node->SubId;
        break;
    case NodeConfiguration: sel.Kind = _TypeSelection::KindConfiguration; break;
    case NodeTable:
    case NodeTableName:
    case NodeFunction:
    case NodeBlock:
    case NodeTableCfg:
    case NodeLevel:
    case NodeRows:
    case NodeFields:
        sel.Kind = _TypeSelection::KindTable;
        sel.Table = node->SubId;
        break;
    case NodeField:
        sel.Kind = _TypeSelection::KindField;
        sel.Field = node->SubId;
        sel.Table = parent ? parent->SubId : -1;
        break;
    case NodeFieldName:
    case NodeFieldUnits:
    case NodeFieldSize:
    case NodeFieldFlags: {
        const TNodeExt* grand = parent ? parent->Parent() : nullptr;
        sel.Kind = _TypeSelection::KindField;
        sel.Field = node->SubId;
        sel.Table = grand ? grand->SubId : -1;
        break;
    }
    default: break;
    }
    return sel;
}

TNodeExt* NodeOfSelection(TNodeExt* root, const _TypeSelection& sel) {
    if (!root) return nullptr;
    switch (sel.Kind) {
    case _TypeSelection::KindParameters: return root->Find(NodeParameters, -1, std::string());
    case _TypeSelection::KindConfiguration: return root->Find(NodeConfiguration, -1, std::string());
    case _TypeSelection::KindLanguage: return root->Find(NodeLanguage, sel.Language, std::string());
    case _TypeSelection::KindTable: return root->Find(NodeTable, sel.Table, std::string());
    case _TypeSelection::KindField: {
        TNodeExt* table = root->Find(NodeTable, sel.Table, std::string());
        return table ? table->Find(NodeField, sel.Field, std::string()) : nullptr;
    }
    default: return nullptr;
    }
}
