#include "TypeGridLayout.h"

#include <algorithm>

#include "MessageIds.h"
#include "Mlsunit.h"
#include "Tabledata.h"
#include "TypeObject.h"
#include "Typedata.h"

TTypeGridTexts::TTypeGridTexts(const TMLSUnit& t)
    : Parameters(t.GetText(Msg::CaptionParameters)),
      Configuration(t.GetText(Msg::CaptionConfiguration)),
      Table(t.GetText(Msg::CaptionTable)),
      Nr(t.GetText(Msg::CaptionNr)),
      Text(t.GetText(Msg::CaptionText)),
      Value(t.GetText(Msg::CaptionValue)),
      Min(t.GetText(Msg::CaptionMin)),
      Max(t.GetText(Msg::CaptionMax)),
      Units(t.GetText(Msg::CaptionValueUnits)),
      Name(t.GetText(Msg::CaptionName)),
      Field(t.GetText(Msg::CaptionField)),
      Flag(t.GetText(Msg::CaptionFlag)),
      Par(t.GetText(Msg::CaptionPar)) {}

TDisplayFormat SlotFormat(const uint8_t* formats, int32_t slot) {
    if (!formats || slot < 0 || slot >= SlotCount) return TDisplayFormat::Decimal;
    return DisplayFormatOf(formats[slot]);
}

std::string WidestValueSample(const TTypeGridLayout& g, const TTypeObjectData& type, const uint8_t* formats,
                              int32_t col) {
    int32_t bytes = 0, slot = 0;
    bool isSigned = false;
    if (g.Kind == _TypeSelection::KindParameters && col >= ColValue && col <= ColMax) {
        bytes = 2;
        slot = col == ColValue ? SlotValue : col == ColMin ? SlotMin : SlotMax;
    } else if (g.Kind == _TypeSelection::KindTable && col >= 1) {
        const TTableData* table = type.GetTable(g.Table);
        if (!table || col > table->GetFieldCount()) return {};
        const auto* field = table->GetField(col - 1);
        bytes = field->Size;
        isSigned = field->IsSigned();
        slot = SlotFirstField + col - 1;
    }
    if (bytes < 1 || bytes > 4) return {};
    static constexpr size_t decimalDigits[4] = {3, 5, 8, 10};
    switch (SlotFormat(formats, slot)) {
    case TDisplayFormat::Binary: return std::string(static_cast<size_t>(8 * bytes), '0') + "b";
    case TDisplayFormat::Hexadecimal: return "0x" + std::string(static_cast<size_t>(2 * bytes), 'D');
    case TDisplayFormat::Decimal: break;
    }
    return (isSigned ? "-" : "") + std::string(decimalDigits[bytes - 1], '8');
}

std::vector<std::string> TypeGridTabs(const TTypeObjectData& type, const TTypeGridTexts& texts) {
    std::vector<std::string> tabs{texts.Parameters, texts.Configuration};
    for (int32_t i = 0; i < type.GetTableCount(); ++i) {
        std::string tab = texts.Table + " " + std::to_string(i + 1);
        const TTableData* table = type.GetTable(i);
        const std::string name = table ? table->GetName() : std::string();
        if (!name.empty()) tab += " (" + name + ")";
        tabs.push_back(tab);
    }
    return tabs;
}

int32_t TabOfSelection(_TypeSelection& sel, int32_t tabCount) {
    int32_t tab = -1;
    switch (sel.Kind) {
    case _TypeSelection::KindParameters: tab = 0; break;
    case _TypeSelection::KindConfiguration: tab = 1; break;
    case _TypeSelection::KindLanguage:
        sel.Kind = _TypeSelection::KindParameters;
        tab = 0;
        break;
    case _TypeSelection::KindTable:
    case _TypeSelection::KindField: tab = sel.Table < 0 ? -1 : sel.Table + 2; break;
    default: break;
    }
    return tab >= 0 && tab < tabCount ? tab : -1;
}

void SelectionOfTab(_TypeSelection& sel, int32_t tab) {
    if (tab == 0) sel.Kind = _TypeSelection::KindParameters;
    else if (tab == 1) sel.Kind = _TypeSelection::KindConfiguration;
    else if (tab > 1) {
        sel.Kind = _TypeSelection::KindTable;
        sel.Table = tab - 2;
    }
}

TTypeGridLayout LayoutTypeGrid(_TypeSelection& sel, const TTypeObjectData& type, const uint8_t* formats,
                               int32_t gridWidth, int32_t textEditorWidth) {
    TTypeGridLayout g;
    int32_t dataRows = 0, dataCols = 0;
    switch (sel.Kind) {
    case _TypeSelection::KindParameters:
    case _TypeSelection::KindLanguage: {
        sel.Kind = _TypeSelection::KindParameters;
        const int32_t p = type.GetTypeData().GetParameterCount();
        g.DefaultRowHeight = 50;
        g.ColCount = 7;
        g.RowCount = p == 0 ? 2 : p + 1;
        auto valueWidth = [&](int32_t slot) { return SlotFormat(formats, slot) == TDisplayFormat::Binary ? 115 : 60; };
        g.ColWidths = {35, 50, 0, valueWidth(SlotValue), valueWidth(SlotMin), valueWidth(SlotMax), 80};
        int32_t others = 0;
        for (int32_t w : g.ColWidths) others += w;
        g.ColWidths[ColText] = std::max(gridWidth - others - 25, textEditorWidth);
        dataRows = p;
        dataCols = 6;
        break;
    }
    case _TypeSelection::KindConfiguration:
        g.DefaultRowHeight = 33;
        g.ColCount = 3;
        g.RowCount = 17;
        g.ColWidths = {35, 180, 30};
        dataRows = 16;
        dataCols = 2;
        break;
    case _TypeSelection::KindTable:
    case _TypeSelection::KindField: {
        sel.Kind = _TypeSelection::KindTable;
        const TTableData* table = type.GetTable(sel.Table);
        const int32_t r = table ? table->GetRowCount() : 0;
        const int32_t f = table ? table->GetFieldCount() : 0;
        g.ColCount = f == 0 ? 2 : f + 1;
        g.RowCount = r == 0 ? 2 : r + 1;
        g.ColWidths.assign(static_cast<size_t>(g.ColCount), 80);
        g.ColWidths[0] = 35;
        if (f == 0) g.ColWidths[1] = 30;
        for (int32_t i = 0; i < f; ++i) {
            static constexpr int32_t plain[4] = {50, 60, 70, 80};
            static constexpr int32_t binary[4] = {70, 115, 165, 215};
            const int size = table->GetField(i)->Size;
            if (size < 1 || size > 4) continue;
            const bool bin = SlotFormat(formats, SlotFirstField + i) == TDisplayFormat::Binary;
            g.ColWidths[static_cast<size_t>(i) + 1] = bin ? binary[size - 1] : plain[size - 1];
        }
        dataRows = r;
        dataCols = f;
        g.Table = sel.Table;
        break;
    }
    default: g.ColWidths = {35, 30}; break;
    }
    g.Kind = sel.Kind;
    g.Empty = dataRows == 0 || dataCols == 0;
    return g;
}

namespace {

std::string ParamTextPart(const TTypeData6& def, int32_t p, int32_t language, bool code) {
    std::string c, d;
    SplitParamName(def.GetParamName(p, language), c, d);
    return code ? c : d;
}

}  // namespace

std::string TypeGridCellText(TTypeObjectData& type, const TTypeGridLayout& g, const TTypeGridTexts& texts,
                             int32_t language, int32_t row, int32_t col) {
    if (row < 0 || col < 0 || row >= g.RowCount || col >= g.ColCount) return std::string();
    const TTypeData6& def = type.GetTypeData();
    switch (g.Kind) {
    case _TypeSelection::KindParameters: {
        if (row == 0) {
            const std::string* heads[7] = {&texts.Nr,  &texts.Par, &texts.Text, &texts.Value,
                                           &texts.Min, &texts.Max, &texts.Units};
            return *heads[col];
        }
        if (def.GetParameterCount() == 0) return "-";
        const int32_t p = row - 1;
        const _ParamFormatItem* format = def.GetParamFormat(p);
        switch (col) {
        case ColNr: return std::to_string(row);
        case ColPar: return ParamTextPart(def, p, language, true);
        case ColText: return ParamTextPart(def, p, language, false);
        case ColValue: return def.GetValueText(p, 0);
        case ColMin: return format ? def.GetMinText(format) : std::string();
        case ColMax: return format ? def.GetMaxText(format) : std::string();
        default: return format ? format->GetUnits() : std::string();
        }
    }
    case _TypeSelection::KindConfiguration: {
        if (row == 0) return col == 0 ? texts.Nr : col == 1 ? texts.Name : texts.Flag;
        const int sw = 16 - row;
        if (col == 0) return std::to_string(17 - row);
        if (col == 1) {
            const _LangItem* lang = def.GetLanguage(language);
            return lang ? lang->GetSwitchText(sw) : std::string();
        }
        return def.GetSwitch(0, sw) ? "1" : "";
    }
    case _TypeSelection::KindTable: {
        TTableData* table = type.GetTable(g.Table);
        if (row == 0 && col == 0) return texts.Nr;
        if (!table) return "-";
        if (row == 0) {
            const _TableFieldInfo* field = table->GetField(col - 1);
            if (!field) return "-";
            const std::string name = field->GetName();
            return name.empty() ? texts.Field + " " + std::to_string(col) : name;
        }
        if (col == 0) return row <= table->GetRowCount() ? std::to_string(row) : "-";
        if (row - 1 < table->GetRowCount() && col - 1 < table->GetFieldCount())
            return table->GetValueText(0, row - 1, col - 1);
        return "-";
    }
    default: return std::string();
    }
}

TGridCellStyle TypeGridCellStyle(const TTypeGridLayout& g, int32_t row, int32_t col) {
    if (row <= 0 || g.Empty) return TGridCellStyle::Plain;
    if (g.Kind == _TypeSelection::KindParameters && col == ColText) return TGridCellStyle::ParamText;
    if (g.Kind == _TypeSelection::KindConfiguration && col == 1) return TGridCellStyle::SwitchName;
    if (g.Kind == _TypeSelection::KindConfiguration && col == 2) return TGridCellStyle::Tick;
    return TGridCellStyle::Plain;
}

std::vector<std::string> WrapFixedPitch(std::string_view text, int32_t columns) {
    std::vector<std::string> lines;
    if (columns < 1) columns = 1;
    const size_t width = static_cast<size_t>(columns);
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        std::string_view para = text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        if (!para.empty() && para.back() == '\r') para.remove_suffix(1);
        if (para.empty()) lines.emplace_back();
        while (!para.empty()) {
            if (para.size() <= width) {
                lines.emplace_back(para);
                break;
            }
            // The last blank within the line, or the first one right after it.
            size_t cut = para.substr(0, width + 1).find_last_of(' ');
            if (cut == std::string_view::npos) cut = width;
            else {
                // Blanks at the break stay on this line.
                cut += 1;
                while (cut < para.size() && para[cut] == ' ') ++cut;
            }
            lines.emplace_back(para.substr(0, cut));
            para.remove_prefix(cut);
        }
        if (end == std::string_view::npos) break;
        pos = end + 1;
    }
    return lines;
}
