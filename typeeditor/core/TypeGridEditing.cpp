#include "TypeGridEditing.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "IntText.h"
#include "Tabledata.h"
#include "TypeObject.h"
#include "Typedata.h"

namespace {

std::string ParamPart(const TTypeData6& def, int32_t p, int32_t language, bool code) {
    std::string c, d;
    SplitParamName(def.GetParamName(p, language), c, d);
    return code ? c : d;
}

bool IsBinary(const TTypeObjectData& type, int32_t slot) {
    return SlotFormat(type.GetTypeData().GetDisplayFormats(), slot) == TDisplayFormat::Binary;
}

// The table and field of a table cell whose cell exists in data set 0.
struct TCellRef {
    TTableData* Table = nullptr;
    const _TableFieldInfo* Field = nullptr;
    int32_t Row = -1, Col = -1;
};

std::optional<TCellRef> CellOf(TTypeObjectData& type, const TTypeGridLayout& g, int32_t row, int32_t col) {
    if (g.Kind != _TypeSelection::KindTable) return std::nullopt;
    TTableData* table = type.GetTable(g.Table);
    if (!table || !table->IsValidCell(0, row - 1, col - 1)) return std::nullopt;
    const _TableFieldInfo* field = table->GetField(col - 1);
    if (!field || field->Size < 1 || field->Size > 4) return std::nullopt;
    return TCellRef{table, field, row - 1, col - 1};
}

// The slot of a parameter column, -1 for the others.
int32_t ParamSlot(int32_t col) {
    return col == ColValue ? SlotValue : col == ColMin ? SlotMin : col == ColMax ? SlotMax : -1;
}

}  // namespace

TGridEditPlan PlanGridEdit(TTypeObjectData& type, const TTypeGridLayout& g, int32_t language, bool expert,
                           int32_t row, int32_t col, bool clear) {
    TGridEditPlan plan;
    if (row < 1 || col < 1 || row >= g.RowCount || col >= g.ColCount || g.Empty) return plan;
    TTypeData6& def = type.GetTypeData();
    switch (g.Kind) {
    case _TypeSelection::KindParameters: {
        const int32_t p = row - 1;
        const _ParamFormatItem* format = def.GetParamFormat(p);
        if (!format) return plan;
        plan.Parameter = p;
        const int32_t slot = ParamSlot(col);
        if (col != ColValue && !expert) return plan;
        if (slot >= 0 && IsBinary(type, slot)) {
            plan.Editor = TGridEditor::Binary;
            plan.Bits = 16;
            plan.Value = col == ColValue ? def.GetValue(p, 0) : col == ColMin ? format->Min : format->Max;
            return plan;
        }
        switch (col) {
        case ColPar: plan.Editor = TGridEditor::GridText; plan.Text = ParamPart(def, p, language, true); break;
        case ColText: plan.Editor = TGridEditor::ParamText; plan.Text = ParamPart(def, p, language, false); break;
        case ColValue: plan.Editor = TGridEditor::GridText; plan.Text = def.GetValueText(p, 0); break;
        case ColMin: plan.Editor = TGridEditor::GridText; plan.Text = def.GetMinText(format); break;
        case ColMax: plan.Editor = TGridEditor::GridText; plan.Text = def.GetMaxText(format); break;
        case ColUnits: plan.Editor = TGridEditor::Units; plan.Text = format->GetUnits(); break;
        default: return plan;
        }
        break;
    }
    case _TypeSelection::KindConfiguration: {
        plan.Switch = 16 - row;
        if (col == 2) {
            plan.Editor = TGridEditor::Toggle;
            return plan;
        }
        if (!expert) return plan;
        const _LangItem* lang = def.GetLanguage(language);
        if (!lang) return plan;
        plan.Editor = TGridEditor::SwitchName;
        plan.Text = lang->GetSwitchText(plan.Switch);
        break;
    }
    case _TypeSelection::KindTable: {
        const auto cell = CellOf(type, g, row, col);
        if (!cell) return plan;
        if (SlotFormat(type.GetTypeData().GetDisplayFormats(), SlotFirstField + cell->Col) == TDisplayFormat::Binary) {
            plan.Editor = TGridEditor::Binary;
            plan.Bits = 8 * cell->Field->Size;
            // The bits the field holds: a signed cell comes sign-extended.
            plan.Value = cell->Table->GetValue(0, cell->Row, cell->Col) & GetFieldSizeMask(cell->Field->Size);
            return plan;
        }
        plan.Editor = TGridEditor::GridText;
        plan.Text = cell->Table->GetValueText(0, cell->Row, cell->Col);
        break;
    }
    default: return plan;
    }
    if (clear) plan.Text.clear();
    return plan;
}

uint16_t ClampBound(int64_t value) { return static_cast<uint16_t>(std::clamp<int64_t>(value, 0, 0xFFFF)); }

uint16_t ClampParamValue(int64_t value, const _ParamFormatItem& format) {
    const uint16_t v = ClampBound(value);
    if (v < format.Min) return format.Min;
    if (v > format.Max) return format.Max;
    return v;
}

uint32_t CellBitsOfInput(int64_t value, int size, bool isSigned) {
    const uint32_t mask = GetFieldSizeMask(size);
    if (value >= 0) {
        if (value <= static_cast<int64_t>(mask)) return static_cast<uint32_t>(value);
        return isSigned ? mask >> 1 : mask;
    }
    const int64_t lowest = isSigned ? -(static_cast<int64_t>(mask >> 1) + 1) : INT32_MIN;
    return static_cast<uint32_t>(static_cast<uint64_t>(std::max(value, lowest)));
}

bool StoreGridText(TTypeObjectData& type, const TTypeGridLayout& g, int32_t language, bool expert, int32_t row,
                   int32_t col, const std::string& text) {
    if (row < 1 || col < 1 || row >= g.RowCount || col >= g.ColCount) return false;
    TTypeData6& def = type.GetTypeData();
    const std::optional<int64_t> number = ReadIntText64(text);
    switch (g.Kind) {
    case _TypeSelection::KindParameters: {
        const int32_t p = row - 1;
        _ParamFormatItem* format = def.GetParamFormat(p);
        if (!format) return false;
        const int32_t slot = ParamSlot(col);
        const bool binary = slot >= 0 && IsBinary(type, slot);
        if (col == ColPar) {
            if (!expert) return true;
            def.SetParamNameRaw(p, language, JoinParamName(text, ParamPart(def, p, language, false)));
        } else if (col == ColValue) {
            // Text that is no number leaves the value as it is, also one
            // outside the parameter's range.
            if (!binary && number) def.SetValue(p, 0, ClampParamValue(*number, *format));
        } else if (col == ColMin || col == ColMax) {
            if (!expert || binary) return true;
            uint16_t& bound = col == ColMin ? format->Min : format->Max;
            bound = ClampBound(number.value_or(bound));
        }
        return true;
    }
    case _TypeSelection::KindTable: {
        const auto cell = CellOf(type, g, row, col);
        if (!cell) return false;
        if (SlotFormat(def.GetDisplayFormats(), SlotFirstField + cell->Col) == TDisplayFormat::Binary || !number) return true;
        cell->Table->SetValue(0, cell->Row, cell->Col, CellBitsOfInput(*number, cell->Field->Size, cell->Field->IsSigned()));
        return true;
    }
    default: return true;
    }
}

bool StoreBinaryResult(TTypeObjectData& type, const TTypeGridLayout& g, int32_t row, int32_t col, uint32_t value) {
    TTypeData6& def = type.GetTypeData();
    if (g.Kind == _TypeSelection::KindParameters) {
        _ParamFormatItem* format = def.GetParamFormat(row - 1);
        if (!format) return false;
        if (col == ColValue) def.SetValue(row - 1, 0, ClampParamValue(value, *format));
        else if (col == ColMin) format->Min = static_cast<uint16_t>(value);
        else if (col == ColMax) format->Max = static_cast<uint16_t>(value);
        else return false;
        return true;
    }
    const auto cell = CellOf(type, g, row, col);
    if (!cell) return false;
    cell->Table->SetValue(0, cell->Row, cell->Col, value);
    return true;
}

void ToggleSwitch(TTypeData6& type, int32_t switchIndex, bool clear) {
    type.SetSwitch(0, switchIndex, clear ? false : !type.GetSwitch(0, switchIndex));
}

std::string ComposeEditorLines(const std::vector<std::string>& lines, int32_t maxLines, int32_t width) {
    const size_t count = std::min(lines.size(), static_cast<size_t>(std::max(maxLines, 0)));
    const size_t w = static_cast<size_t>(std::max(width, 0));
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        std::string line = lines[i];
        line.resize(w, ' ');
        if (i + 1 == count) line.erase(line.find_last_not_of(' ') + 1);
        text += line;
    }
    return text;
}

std::string StoredUnits(const std::string& text) {
    // Blanks and control characters around the text go.
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    size_t first = 0, end = text.size();
    while (first < end && blank(text[first])) ++first;
    while (end > first && blank(text[end - 1])) --end;
    return text.substr(first, std::min<size_t>(end - first, 7));
}

void SortUnits(std::vector<std::string>& units) {
    auto lower = [](unsigned char c) { return std::tolower(c); };
    std::stable_sort(units.begin(), units.end(), [&](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [&](char x, char y) { return lower(x) < lower(y); });
    });
}

bool MoveParameter(TTypeData6& type, int32_t source, int32_t target) {
    const int32_t count = type.GetParameterCount();
    if (source == target || source < 0 || source >= count || target < 0 || target >= count) return false;
    if (target > source) {
        const int32_t t = target + 1;
        if (t >= count) {
            if (!type.CanAddParameter()) return false;
            type.AddParameter();
        } else {
            if (!type.CanInsertParameter(t)) return false;
            type.InsertParameter(t);
        }
        type.AssignParameter(t, source);
        type.DeleteParameter(source);
        return true;
    }
    if (!type.CanInsertParameter(target)) return false;
    type.InsertParameter(target);
    type.AssignParameter(target, source + 1);
    type.DeleteParameter(source + 1);
    return true;
}
