#include "TypeCSV.h"

#include <string>
#include <string_view>
#include <vector>

#include "CSVFile.h"
#include "IntText.h"
#include "Typedata.h"

namespace {

constexpr int32_t FixedColumns = 5;
// Marked language columns are kept as a set of 32 column indexes.
constexpr size_t MaxMarkedColumn = 31;

// The text after its first blank; the whole text when it has none.
std::string_view AfterCode(std::string_view text) {
    const size_t blank = text.find(' ');
    return blank == std::string_view::npos ? text : text.substr(blank + 1);
}

// The code of a parameter: its text in the first language whose text is not
// empty, up to the first blank (empty when the text begins with one).
std::string ParameterCode(const TTypeData6& type, int32_t p) {
    for (int32_t l = 0; l < type.GetLanguageCount(); ++l) {
        const std::string text = type.GetParamName(p, l);
        if (!text.empty()) return text.substr(0, text.find(' '));
    }
    return {};
}

// Every field of the current line (up to a field the file cannot hold).
std::vector<std::string> RestOfLine(CSVFile& file, const char* first) {
    std::vector<std::string> fields{first};
    while (const char* field = file.ReadField()) fields.emplace_back(field);
    return fields;
}

bool StartsWithSection(std::string_view field) { return !field.empty() && field[0] == '\xA7'; }

}  // namespace

bool WriteToCSV(const TTypeData6& type, CSVFile& file, std::span<const uint8_t> chosen, bool withParameters,
                bool withConfig) {
    const int32_t L = type.GetLanguageCount();
    const auto isChosen = [&](int32_t l) { return static_cast<size_t>(l) < chosen.size() && chosen[static_cast<size_t>(l)] != 0; };
    // One row: the fixed columns (the missing ones empty), then a field per
    // language.
    const auto row = [&](std::initializer_list<std::string_view> fixed, auto language) {
        int32_t n = 0;
        for (std::string_view field : fixed) {
            file.WriteField(field);
            ++n;
        }
        for (; n < FixedColumns; ++n) file.WriteField("");
        for (int32_t l = 0; l < L; ++l) file.WriteField(std::string_view(language(l)));
        file.EndLine();
    };
    const auto none = [](int32_t) { return std::string(); };

    row({"QX318Utility_Exported"}, none);
    row({"Anzahl_Config-Switches", "16"}, none);
    row({"Ident-String", type.GetName()}, none);
    row({"\xA7Sprachen"}, [&](int32_t l) { return std::string(isChosen(l) ? "x" : ""); });
    row({"Bezeichner", "Wert", "Einheit", "Min ", "Max"}, [&](int32_t l) { return type.GetLanguage(l)->GetName(); });
    if (withConfig) {
        row({"\xA7" "Config"}, none);
        for (int b = 15; b >= 0; --b) {
            const std::string key = std::string(b + 1 < 10 ? "SW0" : "SW") + std::to_string(b + 1);
            row({key, type.GetSwitch(0, b) ? "x" : ""},
                [&](int32_t l) { return isChosen(l) ? type.GetLanguage(l)->GetSwitchText(b) : std::string(); });
        }
    }
    if (withParameters) {
        row({"\xA7Parameter"}, none);
        for (int32_t p = 0; p < type.GetParameterCount(); ++p) {
            const _ParamFormatItem* format = type.GetParamFormat(p);
            row({ParameterCode(type, p), std::to_string(type.GetValue(p, 0)), format->GetUnits(),
                 std::to_string(format->Min), std::to_string(format->Max)},
                [&](int32_t l) {
                    return isChosen(l) ? std::string(AfterCode(type.GetParamName(p, l))) : std::string();
                });
        }
    }
    return file.Good();
}

bool ReadFromCSV(TTypeData6& type, CSVFile& file, uint32_t* found) {
    enum class Section { Header, Switches, Parameters } section = Section::Header;
    std::vector<int32_t> rank(MaxMarkedColumn + 1, -1);  // column -> marked language, -1 none
    uint32_t mask = 0;
    int32_t switchRow = 0;
    bool result = true;

    while (file.ReadLine()) {
        const char* firstField = file.ReadField();
        if (!firstField) continue;
        const std::string first = firstField;
        if (StartsWithSection(first)) {
            if (first == "\xA7Sprachen") {
                // The marks, then the next row names the marked languages.
                rank.assign(MaxMarkedColumn + 1, -1);
                int32_t marks = 0;
                for (size_t column = 1; const char* field = file.ReadField(); ++column) {
                    if (field[0] != 'x' || column > MaxMarkedColumn) continue;
                    // The first mark uses language 0; every further one adds a language.
                    if (marks > 0 || type.GetLanguageCount() == 0) {
                        if (type.CanAddLanguage()) type.AddLanguage();
                    }
                    rank[column] = marks++;
                }
                if (file.ReadLine()) {
                    for (size_t column = 0; const char* field = file.ReadField(); ++column)
                        if (column <= MaxMarkedColumn && rank[column] >= 0)
                            if (_LangItem* lang = type.GetLanguage(rank[column])) lang->SetName(field);
                }
                mask |= CSVFoundLanguages;
                section = Section::Header;
                continue;
            }
            section = first == "\xA7" "Config" ? Section::Switches
                      : first == "\xA7Parameter" ? Section::Parameters
                                                  : Section::Header;
            continue;  // the marker row itself holds nothing
        }
        if (section == Section::Header) {
            if (first == "Ident-String") {
                if (const char* name = file.ReadField()) type.SetName(name);
                mask |= CSVFoundName;
            }
            continue;
        }
        const std::vector<std::string> fields = RestOfLine(file, firstField);
        if (section == Section::Switches) {
            if (switchRow >= 16) continue;
            const int bit = 15 - switchRow++;
            type.SetSwitch(0, bit, fields.size() > 1 && !fields[1].empty());
            for (size_t column = 2; column < fields.size() && column <= MaxMarkedColumn; ++column)
                if (rank[column] >= 0)
                    if (_LangItem* lang = type.GetLanguage(rank[column])) lang->SetSwitchText(bit, fields[column]);
            mask |= CSVFoundSwitches;
            continue;
        }
        // A parameter row. Only a row with every field empty is no
        // parameter: a row without a code is a parameter whose name has
        // none, and skipping it would shift every parameter after it.
        bool empty = true;
        for (const std::string& field : fields) empty = empty && field.empty();
        if (empty || !type.CanAddParameter()) continue;
        type.AddParameter();
        const int32_t p = type.GetParameterCount() - 1;
        mask |= CSVFoundParameters;
        _ParamFormatItem* format = type.GetParamFormat(p);
        // Units, then min and max, then the value (min when it is empty),
        // then the texts; a number that does not convert ends the row there.
        if (fields.size() > 2) format->SetUnits(fields[2]);
        const auto number = [&](size_t column, uint16_t& to) {
            if (column >= fields.size()) return true;
            const auto value = ReadIntText(fields[column]);
            if (value) to = static_cast<uint16_t>(*value);
            return value.has_value();
        };
        uint16_t value = 0;
        if (!number(3, format->Min) || !number(4, format->Max)) {
            result = false;
            continue;
        }
        value = format->Min;
        if (fields.size() > 1 && !fields[1].empty() && !number(1, value)) {
            result = false;
            continue;
        }
        type.SetValue(p, 0, value);
        for (size_t column = 1; column < fields.size() && column <= MaxMarkedColumn; ++column)
            if (rank[column] >= 0) type.SetParamNameRaw(p, rank[column], first + " " + fields[column]);
    }
    if (found) *found = mask;
    return result;
}
