#include <gtest/gtest.h>

#include "Thdrobj.h"
#include "Typedata.h"

namespace {

std::string Bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list) s += static_cast<char>(b);
    return s;
}
std::string U16(uint16_t v) { return Bytes({v & 0xFF, v >> 8}); }
std::string U32(uint32_t v) { return U16(static_cast<uint16_t>(v)) + U16(static_cast<uint16_t>(v >> 16)); }
std::string Text(const std::string& t, size_t size) {
    std::string s = t.substr(0, size);
    s.resize(size, '\0');
    return s;
}
std::string Section(THdrObj& c, uint16_t id) {
    uint32_t n = 0;
    auto p = c.ReadSectionAlloc(id, 0, &n);
    return p ? std::string(reinterpret_cast<char*>(p.get()), n) : "<none>";
}
void Put(THdrObj& c, uint16_t id, const std::string& bytes) {
    ASSERT_EQ(c.WriteSection(id, 0, static_cast<uint32_t>(bytes.size()), bytes.data()), 1);
}

// Two parameters, two languages, two data sets.
void MakeType(TTypeData6& t) {
    t.SetName("Heater");
    t.SetLanguageCount(2);
    t.GetLanguage(1)->SetName("Deutsch");
    t.GetLanguage(0)->SetSwitchText(0, "Switch one with a text longer than 17");
    t.SetParameterCount(2);
    t.SetDataSetCount(2);
    t.SetParamNameRaw(0, 0, "P1 Speed");
    t.SetParamNameRaw(0, 1, "P1 Tempo");
    t.SetParamNameRaw(1, 0, "P2 Limit");
    t.GetParamFormat(1)->SetUnits("rpm");
    t.GetParamFormat(1)->Min = 1;
    t.GetParamFormat(1)->Max = 0x1234;
    t.SetValue(0, 1, 0xABCD);
    t.SetValue(1, 0, 7);
    t.SetSwitchMask(1, 0x8001);
    t.SetDataSetName(1, "second");
}

}  // namespace

TEST(TypeModel, NewTypeAndLanguages) {
    TTypeData6 t;
    EXPECT_EQ(t.GetLanguageCount(), 0);
    EXPECT_EQ(t.GetParameterCount(), 0);
    EXPECT_EQ(t.GetDataSetCount(), 0);
    _LangItem* lang = t.AddLanguage();
    ASSERT_NE(lang, nullptr);
    EXPECT_EQ(lang->GetName(), "Language");
    EXPECT_EQ(lang->GetSwitchText(0), "SW 1");
    EXPECT_EQ(lang->GetSwitchText(15), "SW 16");
    EXPECT_EQ(lang->GetSwitchText(16), "");
    EXPECT_EQ(t.InsertLanguage(1), nullptr);  // one past the last
    t.SetParameterCount(1);
    t.SetParamNameRaw(0, 0, "first");
    ASSERT_NE(t.InsertLanguage(0), nullptr);
    EXPECT_EQ(t.GetParamName(0, 0), "");
    EXPECT_EQ(t.GetParamName(0, 1), "first");
    t.DeleteLanguage(0);
    EXPECT_EQ(t.GetParamName(0, 0), "first");
    EXPECT_THROW(t.SetLanguageCount(11), TModelLimit);
    EXPECT_EQ(t.GetLanguageCount(), 1);
    t.SetLanguageCount(10);
    EXPECT_FALSE(t.CanAddLanguage());
    EXPECT_EQ(t.AddLanguage(), nullptr);
    EXPECT_EQ(t.InsertLanguage(0), nullptr);
    EXPECT_EQ(t.GetParamName(0, 9), "");
    EXPECT_EQ(t.GetParamName(0, 10), "?");
    lang = t.GetLanguage(0);
    lang->SetName("a language name of twenty");
    EXPECT_EQ(lang->GetName(), "a language name ");
    lang->SetSwitchText(3, std::string(40, 's'));
    EXPECT_EQ(lang->GetSwitchText(3), std::string(36, 's'));
    lang->SetSwitchText(-1, "ignored");
}

TEST(TypeModel, ParametersAndDataSets) {
    TTypeData6 t;
    t.SetLanguageCount(1);
    t.SetDataSetCount(2);
    t.SetParameterCount(65535);
    EXPECT_FALSE(t.CanAddParameter());
    EXPECT_THROW(t.SetParameterCount(65536), TModelLimit);
    EXPECT_THROW(t.SetParameterCount(-1), TModelLimit);
    t.SetParameterCount(3);
    t.SetValue(2, 1, 9);
    t.GetParamFormat(2)->SetUnits("kilogram");
    EXPECT_EQ(t.GetParamFormat(2)->GetUnits(), "kilogra");
    t.InsertParameter(0);
    EXPECT_EQ(t.GetValue(3, 1), 9);
    t.AssignParameter(0, 3);
    EXPECT_EQ(t.GetValue(0, 1), 9);
    EXPECT_EQ(t.GetParamFormat(0)->GetUnits(), "kilogra");
    t.DeleteParameter(3);
    EXPECT_EQ(t.GetParameterCount(), 3);
    EXPECT_EQ(t.GetValue(3, 1), 0);
    t.SetValue(5, 0, 1);  // ignored
    ASSERT_NE(t.AddDataSet(), nullptr);
    EXPECT_EQ(t.GetDataSetName(2), "Data Set");
    EXPECT_EQ(t.GetDataSetName(3), "");
    EXPECT_EQ(t.GetValue(0, 2), 0);
    t.SetDataSetCount(50);
    EXPECT_EQ(t.AddDataSet(), nullptr);
    EXPECT_THROW(t.SetDataSetCount(51), TModelLimit);
    EXPECT_EQ(t.GetValue(0, 1), 9);
    t.SetSwitch(1, 15, true);
    t.SetSwitch(1, 16, true);
    EXPECT_EQ(t.GetSwitchMask(1), 0x8000);
    EXPECT_TRUE(t.GetSwitch(1, 15));
    EXPECT_FALSE(t.GetSwitch(1, 16));
    t.SetSwitch(1, 15, false);
    EXPECT_EQ(t.GetSwitchMask(1), 0);
    EXPECT_EQ(t.GetSwitchMask(60), 0);
}

TEST(TypeModel, ParameterNamesAreNormalised) {
    TTypeData6 t;
    t.SetLanguageCount(1);
    t.SetParameterCount(1);
    struct Case {
        const char* given;
        std::string stored;
    } cases[] = {
        {"P1 Maximum temperature of the heater", "P1 Maximum temperature  of the heater"},
        {"Temperature limit", " Temperature limit"},
        {"ABCD", "ABCD "},
        {"P2   spaced", "P2 spaced"},
        {" leading", " leading"},
        // A word longer than 21 characters stays split.
        {"P3 Averyveryverylongwordindeed x", "P3 Averyveryverylongwordindeed x"},
        // Each line boundary is looked at in turn.
        {"P4 aaaa bbbb cccc ddddd eeee ffff gggg hhhhh", "P4 aaaa bbbb cccc ddddd eeee ffff gggg hhhhh"},
        {"P5 aaaa bbbb cccc ddddddd eeee ffff ggggg hhhhhhh",
         "P5 aaaa bbbb cccc       ddddddd eeee ffff    ggggg hhhhhhh"},
    };
    for (const auto& c : cases) {
        t.SetParamName(0, 0, c.given);
        EXPECT_EQ(t.GetParamName(0, 0), c.stored) << c.given;
    }
    t.SetParamName(0, 0, "P5 " + std::string(100, 'x'));
    EXPECT_EQ(t.GetParamName(0, 0).size(), 63u);
    t.SetParamName(3, 0, "ignored");
}

TEST(TypeModel, DisplayTexts) {
    uint8_t formats[100] = {};
    TTypeData6 t(formats);
    t.SetLanguageCount(1);
    t.SetParameterCount(1);
    t.SetDataSetCount(1);
    t.SetValue(0, 0, 255);
    EXPECT_EQ(t.GetValueText(0, 0), "255");
    formats[9] = 1;
    EXPECT_EQ(t.GetValueText(0, 0), "0x00FF");
    formats[9] = 2;
    EXPECT_EQ(t.GetValueText(0, 0), "0000000011111111b");
    formats[9] = 0;
    t.SetValue(0, 0, 65535);
    EXPECT_EQ(t.GetValueText(0, 0), "65535");
    EXPECT_EQ(t.GetValueText(1, 0), "?");
    _ParamFormatItem* f = t.GetParamFormat(0);
    f->Min = 10;
    f->Max = 0xBEEF;
    formats[7] = 1;
    EXPECT_EQ(t.GetMinText(f), "0x000A");
    EXPECT_EQ(t.GetMaxText(f), "48879");
    formats[8] = 3;  // unknown: decimal
    EXPECT_EQ(t.GetMaxText(f), "48879");
    EXPECT_EQ(t.GetMinText(nullptr), "?");
}

TEST(TypeSections, BytesOfTheFormat) {
    TTypeData6 t;
    MakeType(t);
    THdrMem c;
    ASSERT_EQ(c.Create("", "QX218 TYP"), 1);
    ASSERT_TRUE(t.SaveTo(c));
    const uint16_t order[] = {0x3100, 0x3900, 0x3200, 0x3300, 0x3400, 0x3800, 0x3500, 0x3600, 0x3700};
    ASSERT_EQ(c.GetSectionCount(), 9);
    for (int i = 0; i < 9; ++i) {
        uint16_t id = 0;
        c.GetSectionInfo(i, &id, nullptr, nullptr);
        EXPECT_EQ(id, order[i]);
    }
    EXPECT_EQ(Section(c, 0x3100), Text("Heater", 17) + U32(2) + U32(2) + U32(2) + std::string(32, '\0'));
    std::string lang0, lang1, short0, short1;
    for (int i = 0; i < 16; ++i) {
        const std::string sw = i == 0 ? "Switch one with a text longer than 17" : "SW " + std::to_string(i + 1);
        lang0 += Text(sw.substr(0, 36), 38);
        lang1 += Text("SW " + std::to_string(i + 1), 38);
        short0 += Text(sw.substr(0, 17), 18);
        short1 += Text("SW " + std::to_string(i + 1), 18);
    }
    EXPECT_EQ(Section(c, 0x3900), lang0 + Text("Language", 17) + lang1 + Text("Deutsch", 17));
    EXPECT_EQ(Section(c, 0x3200), short0 + Text("Language", 17) + short1 + Text("Deutsch", 17));
    EXPECT_EQ(Section(c, 0x3300), std::string(12, '\0') + Text("rpm", 8) + U16(1) + U16(0x1234));
    EXPECT_EQ(Section(c, 0x3400), Text("P1 Speed", 22) + Text("P1 Tempo", 22) + Text("P2 Limit", 22) + Text("", 22));
    EXPECT_EQ(Section(c, 0x3800), std::string("P1 Speed\0P2 Limit\0P1 Tempo\0\0", 28));
    EXPECT_EQ(Section(c, 0x3500), U16(0) + U16(0xABCD) + U16(7) + U16(0));
    EXPECT_EQ(Section(c, 0x3600), U16(0) + U16(0x8001));
    EXPECT_EQ(Section(c, 0x3700), Text("Data Set", 17) + Text("second", 17));
}

TEST(TypeSections, ReadsBackAndPrefersTheFullTexts) {
    TTypeData6 t;
    MakeType(t);
    t.SetParamNameRaw(1, 1, "P2 A rather long description text");
    THdrMem c;
    ASSERT_EQ(c.Create("", "QX218 TYP"), 1);
    ASSERT_TRUE(t.SaveTo(c));
    TTypeData6 back;
    ASSERT_TRUE(back.LoadFrom(c));
    EXPECT_EQ(back.GetName(), "Heater");
    EXPECT_EQ(back.GetLanguage(0)->GetSwitchText(0), "Switch one with a text longer than 1");
    EXPECT_EQ(back.GetLanguage(1)->GetName(), "Deutsch");
    EXPECT_EQ(back.GetParamName(1, 1), "P2 A rather long        description text");  // normalised
    EXPECT_EQ(back.GetValue(0, 1), 0xABCD);
    EXPECT_EQ(back.GetSwitchMask(1), 0x8001);
    EXPECT_EQ(back.GetParamFormat(1)->Max, 0x1234);
    EXPECT_EQ(back.GetDataSetName(1), "second");

    // Without the full texts: switch texts of 17, parameter texts of 21 characters.
    ASSERT_EQ(c.DeleteSection(0x3900, 0), 1);
    ASSERT_EQ(c.DeleteSection(0x3800, 0), 1);
    TTypeData6 cut;
    ASSERT_TRUE(cut.LoadFrom(c));
    EXPECT_EQ(cut.GetLanguage(0)->GetSwitchText(0), "Switch one with a");
    EXPECT_EQ(cut.GetParamName(1, 1), "P2 A rather long desc");
}

TEST(TypeSections, EmptyTypeAndDamagedSections) {
    TTypeData6 empty;
    empty.SetLanguageCount(1);
    empty.SetDataSetCount(1);
    THdrMem c;
    ASSERT_EQ(c.Create("", "QX218 TYP"), 1);
    ASSERT_TRUE(empty.SaveTo(c));
    for (uint16_t id : {0x3300, 0x3400, 0x3800, 0x3500}) EXPECT_EQ(Section(c, id), "") << id;
    TTypeData6 back;
    EXPECT_TRUE(back.LoadFrom(c));

    TTypeData6 t;
    MakeType(t);
    THdrMem good;
    ASSERT_EQ(good.Create("", "QX218 TYP"), 1);
    ASSERT_TRUE(t.SaveTo(good));
    for (uint16_t id : {0x3100, 0x3200, 0x3300, 0x3400, 0x3500, 0x3600, 0x3700}) {
        THdrMem bad;
        ASSERT_EQ(bad.CopyFrom(&good, ""), 1);
        ASSERT_EQ(bad.DeleteSection(id, 0), 1);
        TTypeData6 r;
        EXPECT_FALSE(r.LoadFrom(bad)) << std::hex << id;
        const std::string one = Section(good, id);
        ASSERT_EQ(bad.WriteSection(id, 0, static_cast<uint32_t>(one.size() + 1), (one + "x").data()), 1);
        EXPECT_FALSE(r.LoadFrom(bad)) << std::hex << id << " one byte long";
    }
    // A 0x3900 of the wrong size is ignored: the texts of 0x3200 stay.
    THdrMem odd;
    ASSERT_EQ(odd.CopyFrom(&good, ""), 1);
    Put(odd, 0x3900, "short");
    TTypeData6 r;
    ASSERT_TRUE(r.LoadFrom(odd));
    EXPECT_EQ(r.GetLanguage(0)->GetSwitchText(0), "Switch one with a");
}

TEST(TypeSections, CountsOutOfRangeResetTheType) {
    const uint32_t counts[][3] = {{0, 11, 1}, {65536, 1, 1}, {0, 1, 51}, {0xFFFFFFFF, 1, 1}};
    for (const auto& n : counts) {
        THdrMem c;
        ASSERT_EQ(c.Create("", "QX218 TYP"), 1);
        Put(c, 0x3100, Text("X", 17) + U32(n[0]) + U32(n[1]) + U32(n[2]) + std::string(32, '\0'));
        TTypeData6 t;
        MakeType(t);
        EXPECT_FALSE(t.LoadFrom(c));
        EXPECT_EQ(t.GetParameterCount(), 0);
        EXPECT_EQ(t.GetLanguageCount(), 1);
        EXPECT_EQ(t.GetDataSetCount(), 1);
    }
    // Large counts that the sections do not bear out allocate nothing.
    THdrMem c;
    ASSERT_EQ(c.Create("", "QX218 TYP"), 1);
    Put(c, 0x3100, Text("X", 17) + U32(65535) + U32(10) + U32(50) + std::string(32, '\0'));
    TTypeData6 t;
    EXPECT_FALSE(t.LoadFrom(c));
    EXPECT_EQ(t.GetParameterCount(), 0);
}

TEST(TypeSections, FullTextsWithoutTheLastNul) {
    TTypeData6 t;
    t.SetLanguageCount(1);
    t.SetParameterCount(2);
    t.SetDataSetCount(1);
    THdrMem c;
    ASSERT_EQ(c.Create("", "QX218 TYP"), 1);
    ASSERT_TRUE(t.SaveTo(c));
    Put(c, 0x3800, std::string("P1 One\0P2 Two", 13));
    TTypeData6 back;
    ASSERT_TRUE(back.LoadFrom(c));
    EXPECT_EQ(back.GetParamName(0, 0), "P1 One");
    EXPECT_EQ(back.GetParamName(1, 0), "P2 Tw");  // the last byte became the NUL
    Put(c, 0x3800, std::string("A1 a\0A2 b\0A3 c\0", 15));  // more texts than cells
    ASSERT_TRUE(back.LoadFrom(c));
    EXPECT_EQ(back.GetParamName(1, 0), "A2 b");
}
