#include "TypeTreeEditing.h"

#include "MessageIds.h"
#include "Tabledata.h"
#include "TypeObject.h"
#include "TypeTreeNodes.h"
#include "Typedata.h"

namespace {

// The characters the edit box takes for a node: the length of the name it
// stores into; numbers are read whole (a longer text is no number).
int EditBoxMaxLength(int32_t id) {
    switch (id) {
    case NodeTypeName: return static_cast<int>(TTypeData6::NameLength);
    case NodeTableName: return static_cast<int>(TTableData::NameLength);
    case NodeFieldName: return static_cast<int>(_TableFieldInfo::NameLength);
    default: return 32767;  // a line edit's own limit
    }
}

}  // namespace

uint32_t TreeFlagTexts(int32_t nodeId) { return nodeId == NodeTableCfg ? Msg::Flag2SwapBytes : Msg::Flag1Signed; }

TTreeEditPlan PlanTreeEdit(const TTypeObjectData& type, int32_t nodeId, int32_t sub, int32_t table,
                           const std::string& nodeText, bool expert, bool withValue) {
    TTreeEditPlan plan;
    const TTableData* t = type.GetTable(table);
    switch (nodeId) {
    case NodeTypeName:
    case NodeTableName:
    case NodeFunction:
    case NodeBlock:
    case NodeLevel:
    case NodeRows:
    case NodeFields:
    case NodeFieldName:
        plan.ExpertOnly = true;
        if (!expert) return plan;
        plan.Editor = TTreeEditor::EditBox;
        // The box takes no more than the field keeps.
        plan.MaxLength = EditBoxMaxLength(nodeId);
        if (withValue) plan.Text = nodeText;
        return plan;
    case NodeLanguage:
        if (sub < 0 || sub >= type.GetTypeData().GetLanguageCount()) return plan;
        plan.Editor = TTreeEditor::Language;
        plan.Language = sub;
        return plan;
    case NodeFieldSize: {
        plan.ExpertOnly = true;
        const _TableFieldInfo* field = t ? t->GetField(sub) : nullptr;
        if (!expert || !field) return plan;
        plan.Editor = TTreeEditor::SizeCombo;
        plan.SizeIndex = FieldSizeToIndex(field->Size);
        return plan;
    }
    case NodeFieldUnits: {
        plan.ExpertOnly = true;
        const _TableFieldInfo* field = t ? t->GetField(sub) : nullptr;
        if (!expert || !field) return plan;
        plan.Editor = TTreeEditor::UnitsCombo;
        // No more than a field's unit keeps.
        plan.MaxLength = static_cast<int>(_TableFieldInfo::UnitLength);
        if (withValue) plan.Text = field->GetUnit();
        return plan;
    }
    case NodeTableCfg:
    case NodeFieldFlags: {
        plan.ExpertOnly = true;
        if (!expert) return plan;
        uint8_t bits = 0;
        if (nodeId == NodeTableCfg) {
            if (!t) return plan;
            bits = t->GetCfg();
        } else {
            const _TableFieldInfo* field = t ? t->GetField(sub) : nullptr;
            if (!field) return plan;
            bits = field->Flags;
        }
        plan.Editor = TTreeEditor::CheckList;
        plan.FirstText = TreeFlagTexts(nodeId);
        if (withValue) plan.Bits = bits;
        return plan;
    }
    default: return plan;
    }
}
