#include "TypeReport.h"

#include "MessageIds.h"
#include "Mlsunit.h"
#include "Tabledata.h"
#include "TextHelpers.h"
#include "TypeObject.h"
#include "TypeObjectItems.h"
#include "Typedata.h"

namespace {

// Report blocks are laid out in lines of at most 80 characters, with five
// blanks between columns.
constexpr int BlockWidth = 80;
constexpr int BlockGap = 5;

// The cells hold the texts as shown: the columns are padded to what the
// reader sees, and only then are the texts escaped.
void AppendBlock(std::vector<std::string>& lines, TTextGrid& grid) {
    PadGridColumns(grid);
    for (auto& column : grid.Cells)
        for (std::string& cell : column)
            if (cell.find_first_of("\\{}") != std::string::npos) cell = RtfText(cell);
    GridToRtf(lines, grid, BlockWidth, BlockGap);
}

}  // namespace

std::string RtfText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\\' || c == '{' || c == '}') out += '\\';
        out += c;
    }
    return out;
}

int32_t FirstSelectedLanguage(const _TypeObjectItems& items) {
    for (size_t i = 0; i < items.languages.size(); ++i)
        if (items.languages[i]) return static_cast<int32_t>(i);
    return 0;
}

bool AppendTypeReport(std::vector<std::string>& lines, const TMLSUnit& texts, TTypeObjectData& type,
                      const _TypeObjectItems& items, int32_t language, std::string_view displayName,
                      const std::function<void()>& progressStep) {
    const TTypeData6& def = type.GetTypeData();
    const _LangItem* lang = def.GetLanguage(language);
    if (!lang) return false;
        // Block cells are escaped when the block is written; the lines' own
    // texts here. Message texts come from the language file: escaped as well.
    auto T = [&](uint32_t id) { return texts.GetText(id); };
    auto Te = [&](uint32_t id) { return RtfText(texts.GetText(id)); };
    auto step = [&] {
        if (progressStep) progressStep();
    };
    const std::string typeName = type.GetTypeName();

    lines.emplace_back("\\par ");
    lines.push_back("\\f1 \\fs16 \\b " + Te(Msg::ReportFile) + ": " + RtfText(displayName) + "\\b0 \\par \\par ");
    lines.push_back("\\f1 \\fs40 \\b " + Te(Msg::CaptionType) + ": " + RtfText(typeName) + "\\b0 \\par");
    lines.emplace_back("\\f0 \\fs20 \\par");

    const int32_t parameters = def.GetParameterCount();
    {
        TTextGrid summary(2, 3);
        summary.Cell(0, 0) = T(Msg::CaptionName) + ":";
        summary.Cell(1, 0) = typeName;
        summary.Cell(0, 1) = T(Msg::CaptionParameters) + ":";
        summary.Cell(1, 1) = std::to_string(parameters);
        summary.Cell(0, 2) = T(Msg::CaptionLanguage) + ":";
        summary.Cell(1, 2) = lang->GetName();
        AppendBlock(lines, summary);
        step();
    }

    if (items.parameters) {
        if (parameters > 0) {
            lines.push_back("\\par \\b \\ul " + Te(Msg::CaptionParameters) + "\\b0 \\ul0 \\par ");
            TTextGrid grid(6, parameters + 1);
            const uint32_t header[] = {Msg::CaptionNr,  Msg::CaptionName, Msg::CaptionValue,
                                       Msg::CaptionMin, Msg::CaptionMax,  Msg::CaptionValueUnits};
            for (int c = 0; c < 6; ++c) grid.Cell(c, 0) = T(header[c]);
            for (int32_t p = 0; p < parameters; ++p) {
                const _ParamFormatItem* format = def.GetParamFormat(p);
                grid.Cell(0, p + 1) = std::to_string(p + 1);
                grid.Cell(1, p + 1) = def.GetParamName(p, language);
                grid.Cell(2, p + 1) = def.GetValueText(p, 0);
                grid.Cell(3, p + 1) = format ? def.GetMinText(format) : "?";
                grid.Cell(4, p + 1) = format ? def.GetMaxText(format) : "?";
                grid.Cell(5, p + 1) = format ? format->GetUnits() : "?";
            }
            AppendBlock(lines, grid);
        }
        step();
    }

    if (items.configuration) {
        lines.push_back("\\b \\ul " + Te(Msg::CaptionConfiguration) + "\\b0 \\ul0 \\par ");
        TTextGrid grid(3, 17);
        grid.Cell(0, 0) = T(Msg::CaptionNr);
        grid.Cell(1, 0) = T(Msg::CaptionName);
        grid.Cell(2, 0) = T(Msg::CaptionFlag);
        const uint16_t mask = def.GetSwitchMask(0);
        for (int i = 0; i < 16; ++i) {
            const int s = 15 - i;
            grid.Cell(0, i + 1) = std::to_string(s + 1);
            grid.Cell(1, i + 1) = lang->GetSwitchText(s);
            grid.Cell(2, i + 1) = (mask >> s & 1) ? "V" : "";
        }
        AppendBlock(lines, grid);
        step();
    }

    for (int32_t k = 0; k < type.GetTableCount(); ++k) {
        TTableData* table = type.GetTable(k);
        if (!table || size_t(k) >= items.tables.size() || !items.tables[size_t(k)]) continue;
        lines.push_back("\\b \\ul " + Te(Msg::CaptionTable) + "\\ul0 \\b0 \\par");
        const int32_t fields = table->GetFieldCount();
        const int32_t rows = table->GetRowCount();
        {
            TTextGrid grid(2, 7);
            const std::pair<uint32_t, std::string> attributes[] = {
                {Msg::CaptionName, table->GetName()},
                {Msg::CaptionFunction, std::to_string(table->GetFunction())},
                {Msg::CaptionBlock, std::to_string(table->GetBlock())},
                {Msg::CaptionCfg, std::to_string(table->GetCfg())},
                {Msg::CaptionLevel, std::to_string(table->GetLevel())},
                {Msg::CaptionRows, std::to_string(rows)},
                {Msg::CaptionFields, std::to_string(fields)},
            };
            for (int r = 0; r < 7; ++r) {
                grid.Cell(0, r) = T(attributes[r].first) + ":";
                grid.Cell(1, r) = attributes[r].second;
            }
            AppendBlock(lines, grid);
        }
        if (fields > 0) {
            lines.push_back("\\b \\ul " + Te(Msg::CaptionFieldsInfo) + "\\ul0 \\b0 \\par");
            TTextGrid grid(4, fields + 1);
            grid.Cell(0, 0) = T(Msg::CaptionNr);
            grid.Cell(1, 0) = T(Msg::CaptionName);
            grid.Cell(2, 0) = T(Msg::CaptionSize);
            grid.Cell(3, 0) = T(Msg::CaptionUnits);
            for (int32_t f = 0; f < fields; ++f) {
                const _TableFieldInfo* field = table->GetField(f);
                grid.Cell(0, f + 1) = std::to_string(f + 1);
                grid.Cell(1, f + 1) = field->GetName();
                grid.Cell(2, f + 1) = FieldSizeToStr(field->Size);
                grid.Cell(3, f + 1) = field->GetUnit();
            }
            AppendBlock(lines, grid);
        }
        if (fields > 0 && rows > 0) {
            TTextGrid grid(fields + 1, rows + 1);
            grid.Cell(0, 0) = T(Msg::CaptionNr);
            const std::string field = T(Msg::CaptionField);
            for (int32_t f = 0; f < fields; ++f) {
                const std::string name = table->GetField(f)->GetName();
                grid.Cell(f + 1, 0) = name.empty() ? field + " " + std::to_string(f + 1) : name;
            }
            for (int32_t r = 0; r < rows; ++r) {
                grid.Cell(0, r + 1) = std::to_string(r + 1);
                for (int32_t f = 0; f < fields; ++f) grid.Cell(f + 1, r + 1) = table->GetValueText(0, r, f);
            }
            AppendBlock(lines, grid);
        }
        step();
    }
    lines.emplace_back("}");
    return true;
}
