// Types the type-window tests share: a type built in memory with two
// languages, three parameters and two tables, and a type file written out
// byte by byte from the file format.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "Tabledata.h"
#include "TypeObject.h"
#include "TypeSelection.h"
#include "Typedata.h"

// A selection record: the kind and the indexes that apply (-1 the others).
inline _TypeSelection Selected(uint8_t kind, int32_t table = -1, int32_t field = -1, int32_t row = -1,
                               int32_t param = -1, int32_t language = -1) {
    _TypeSelection s;
    s.Kind = kind;
    s.Table = table;
    s.Field = field;
    s.Row = row;
    s.Parameter = param;
    s.Language = language;
    return s;
}

inline std::ostream& operator<<(std::ostream& out, const _TypeSelection& s) {
    return out << "{kind " << int(s.Kind) << ", table " << s.Table << ", field " << s.Field << ", row " << s.Row
               << ", param " << s.Parameter << ", lang " << s.Language << ", switch " << s.SwitchRow << "}";
}

// Two languages (English, Deutsch), three parameters, one data set, switch
// 1 and 16 set; table 0 "Speeds" of three fields (1, 2 signed and 4 bytes)
// by two rows, table 1 without a name, fields or rows.
inline void FillSampleType(TTypeObjectData& object) {
    object.SetTypeName("PUMP");
    TTypeData6& type = object.GetTypeData();
    type.SetLanguageCount(2);
    type.GetLanguage(0)->SetName("English");
    type.GetLanguage(1)->SetName("Deutsch");
    type.GetLanguage(0)->SetSwitchText(0, "Fan");
    type.GetLanguage(0)->SetSwitchText(15, "Heater on the left side of the unit");
    type.SetParameterCount(3);
    type.SetParamNameRaw(0, 0, "P1 Speed");
    type.SetParamNameRaw(0, 1, "P1 Tempo");
    type.SetParamNameRaw(1, 0, "P2 Limit");
    type.SetParamNameRaw(2, 0, "P3 Delay");
    type.GetParamFormat(0)->SetUnits("rpm");
    type.GetParamFormat(0)->Min = 10;
    type.GetParamFormat(0)->Max = 3000;
    type.SetValue(0, 0, 100);
    type.SetValue(1, 0, 0xABCD);
    type.SetValue(2, 0, 5);
    type.SetSwitchMask(0, 0x8001);
    TTableData* speeds = object.AddTable();
    speeds->SetName("Speeds");
    speeds->SetFieldCount(3);
    speeds->GetField(0)->SetName("Step");
    speeds->GetField(0)->Size = 1;
    speeds->GetField(1)->SetName("Temp");
    speeds->GetField(1)->Size = 2;
    speeds->GetField(1)->Flags = 1;
    speeds->GetField(2)->Size = 4;
    speeds->SetRowCount(2);
    speeds->SetValue(0, 0, 0, 7);
    speeds->SetValue(0, 0, 1, 0xFFFB);
    speeds->SetValue(0, 0, 2, 0x12345678);
    speeds->SetValue(0, 1, 0, 255);
    speeds->SetValue(0, 1, 1, 300);
    speeds->SetValue(0, 1, 2, 1);
    object.AddTable();
}

// A type file written out from the format by hand: the file container
// "QX218 TYPTAB" holding the type container "QX218 TYP" (type "BOILER", one
// language "English" whose switch 1 is "Pump", two parameters "P1 Flow" in
// l/h from 0 to 500 valued 120 and "P2 Mode" valued 3, one data set "Main"
// with switch 1 set) and the 256-byte extension block; no tables.
inline std::string HandWrittenTypeFile() {
    auto u16 = [](uint32_t v) { return std::string{char(v & 0xFF), char(v >> 8 & 0xFF)}; };
    auto u32 = [&](uint32_t v) { return u16(v & 0xFFFF) + u16(v >> 16); };
    auto field = [](std::string_view text, size_t size) {
        std::string f(text);
        f.resize(size, '\0');
        return f;
    };
    struct Section {
        uint16_t Id;
        std::string Bytes;
    };
    auto container = [&](std::string_view ident, const std::vector<Section>& sections) {
        std::string image = field(ident, 14) + u16(static_cast<uint32_t>(sections.size()));
        for (const Section& s : sections) image += u16(s.Id) + u16(0) + u32(static_cast<uint32_t>(s.Bytes.size()));
        for (const Section& s : sections) image += s.Bytes;
        return image;
    };
    // _LangItem: sixteen 38-byte switch texts, then the 17-byte name.
    std::string language = field("Pump", 38);
    for (int i = 2; i <= 16; ++i) language += field("SW " + std::to_string(i), 38);
    language += field("English", 17);
    // The shortened form: 18-byte switch texts, then the name.
    std::string shortLanguage = field("Pump", 18);
    for (int i = 2; i <= 16; ++i) shortLanguage += field("SW " + std::to_string(i), 18);
    shortLanguage += field("English", 17);
    const std::string type = container(
        "QX218 TYP",
        {{0x3100, field("BOILER", 17) + u32(2) + u32(1) + u32(1) + std::string(32, '\0')},
         {0x3900, language},
         {0x3200, shortLanguage},
         {0x3300, field("l/h", 8) + u16(0) + u16(500) + field("", 8) + u16(0) + u16(0)},
         {0x3400, field("P1 Flow", 22) + field("P2 Mode", 22)},
         {0x3800, std::string("P1 Flow\0P2 Mode\0", 16)},
         {0x3500, u16(120) + u16(3)},
         {0x3600, u16(0x0001)},
         {0x3700, field("Main", 17)}});
    std::string extension(256, '\0');
    extension[0] = 1;
    return container("QX218 TYPTAB", {{0x4100, type}, {0x4300, extension}});
}
