// The block images of a type: the Parameters Text and Parameters Data
// images byte by byte, the reader that rebuilds a definition, the data-set
// refresh, the names and the version gate.
#include <gtest/gtest.h>

#include "SmallType.h"
#include "TypeBlocks.h"

namespace {

const char PaddedPump[] = "PUMP            ";  // 16 characters, the NUL follows

// The Parameters Text image of the small type for languages A = 0, B = 1.
Bytes ExpectedTypeText() {
    Bytes b(1236 + 142 * 3, 0);
    PutAt(b, 0, PaddedPump);
    b[17] = 3;
    for (int i = 0; i < 16; ++i) {
        const std::string sw = "SW " + std::to_string(i + 1);
        PutAt(b, 20 + 76 * i, i == 0 ? "Fan" : i == 15 ? "Heater" : sw);
        PutAt(b, 58 + 76 * i, i == 0 ? "Luefter" : i == 15 ? "Heizung" : sw);
    }
    // Record 0 stays zero; records 1 and 2 are the parameters.
    PutAt(b, 1378, "P1 Speed");
    PutAt(b, 1378 + 64, "P1 Tempo");
    PutAt(b, 1378 + 128, "rpm");
    Put16At(b, 1378 + 136, 10);
    Put16At(b, 1378 + 138, 3000);
    PutAt(b, 1520, "P2 Limit");
    PutAt(b, 1520 + 64, "P2 Grenze");
    PutAt(b, 1520 + 128, "%");
    Put16At(b, 1520 + 138, 100);
    return b;
}

Bytes ExpectedTypeData(uint16_t mask, uint16_t v0, uint16_t v1) {
    Bytes b(42, 0);
    PutAt(b, 0, PaddedPump);
    PutAt(b, 17, PaddedPump);
    b[34] = 3;
    Put16At(b, 36, mask);
    Put16At(b, 38, v0);
    Put16At(b, 40, v1);
    return b;
}

TQXBlockMem* AddImage(TQXBlockMemList& list, uint8_t kind, const Bytes& data) {
    TQXBlockMem* block = list.Add();
    block->MemType = kind >= 3 ? 1 : 0;
    block->Header[0] = kind;
    EXPECT_TRUE(block->SetData(data.data(), static_cast<uint32_t>(data.size())));
    block->MakeHeadCopy();
    return block;
}

struct Reader : AskingContext {
    uint8_t Formats[100] = {};
    TTypeData6 Type{Formats};
    void Read(const TQXBlockMemList& list, bool reset = true) {
        ASSERT_TRUE(TypeDataFromBlocks(Type, list, Context, reset));
    }
};

// A type of one language with the given counts, and its blocks.
struct PlainType {
    uint8_t Formats[100] = {};
    TTypeData6 Type{Formats};
    TQXBlockMemList List;
    _BlockContext Context = V2Context();
    PlainType(const char* name, int32_t parameters, int32_t dataSets) {
        Type.SetName(name);
        Type.SetLanguageCount(1);
        Type.SetParameterCount(parameters);
        Type.SetDataSetCount(dataSets);
    }
    bool Write() {
        List.Clear();
        return TypeDataToBlocks(Type, List, Context, 0, 0);
    }
};

// The small type and its blocks for languages 0 and 1.
struct SmallBlocks {
    SmallType Small;
    TQXBlockMemList List;
    _BlockContext Context = V2Context();
    SmallBlocks() { EXPECT_TRUE(TypeDataToBlocks(Small.Type(), List, Context, 0, 1)); }
};

}  // namespace

TEST(TypeBlocks, ImagesOfTheSmallTypeByteForByte) {
    SmallBlocks blocks;
    [[maybe_unused]] SmallType& small = blocks.Small;
    TQXBlockMemList& list = blocks.List;
    [[maybe_unused]] _BlockContext& context = blocks.Context;
    ASSERT_EQ(list.Count(), 3);
    const TQXBlockMem& text = *list.Get(0);
    EXPECT_EQ(text.MemType, 0);
    EXPECT_EQ(text.Header[0], 1);
    EXPECT_EQ(GetBlockDataLength(text.Header), 1662);
    EXPECT_EQ(BlockBytes(text), ExpectedTypeText());
    ASSERT_NE(text.HeadCopy(), nullptr);
    EXPECT_EQ(std::memcmp(text.HeadCopy(), text.Data(), 34), 0);
    for (int s = 0; s < 2; ++s) {
        const TQXBlockMem& data = *list.Get(1 + s);
        EXPECT_EQ(data.MemType, 1);
        EXPECT_EQ(data.Header[0], 3);
        EXPECT_EQ(GetBlockDataLength(data.Header), 42);
    }
    EXPECT_EQ(BlockBytes(*list.Get(1)), ExpectedTypeData(0x0001, 100, 50));
    EXPECT_EQ(BlockBytes(*list.Get(2)), ExpectedTypeData(0x8000, 2000, 75));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list.Get(i)->Index, 0);
        for (uint8_t byte : list.Get(i)->Descriptor) EXPECT_EQ(byte, 0);
    }
}

TEST(TypeBlocks, LanguagesSwapAndMissingLanguages) {
    SmallType small;
    TQXBlockMemList list;
    _BlockContext context = V2Context();
    // A missing language gives zero switch texts and "?" parameter texts.
    ASSERT_TRUE(TypeDataToBlocks(small.Type(), list, context, 1, 7));
    const uint8_t* text = list.Get(0)->Data();
    EXPECT_STREQ(reinterpret_cast<const char*>(text + 20), "Luefter");
    for (int i = 0; i < 38; ++i) EXPECT_EQ(text[58 + i], 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(text + 1378), "P1 Tempo");
    EXPECT_STREQ(reinterpret_cast<const char*>(text + 1378 + 64), "?");
}

TEST(TypeBlocks, SizesAtTheLimits) {
    PlainType plain("EMPTY", 0, 1);
    ASSERT_TRUE(plain.Write());
    EXPECT_EQ(plain.List.Get(0)->GetDataLength(), 1378u);
    EXPECT_EQ(plain.List.Get(0)->Data()[17], 1);
    EXPECT_EQ(plain.List.Get(1)->GetDataLength(), 38u);

    plain.Type.SetParameterCount(200);
    plain.Type.SetParamName(199, 0, "P200 Last");
    ASSERT_TRUE(plain.Write());
    EXPECT_EQ(plain.List.Get(0)->Data()[17], 201);
    Reader reader;
    reader.Read(plain.List);
    EXPECT_EQ(reader.Type.GetParameterCount(), 200);
    EXPECT_EQ(reader.Type.GetParamName(199, 1), "P200 Last");

    plain.Type.SetParameterCount(254);
    ASSERT_TRUE(plain.Write());
    EXPECT_EQ(plain.List.Get(0)->GetDataLength(), 1236u + 142 * 255);
    EXPECT_EQ(plain.List.Get(0)->Data()[17], 255);

    // One more cannot be described: refused before any block, with a reason.
    plain.Type.SetParameterCount(255);
    EXPECT_FALSE(plain.Write());
    EXPECT_EQ(plain.List.Count(), 0);
    EXPECT_EQ(plain.Context.RefusalId, Msg::TooManyBlockParameters);
    EXPECT_EQ(plain.Context.RefusalArgs[0], "EMPTY");
    EXPECT_EQ(plain.Context.RefusalArgs[1], "255");
}

TEST(TypeBlocks, VersionGate) {
    SmallBlocks blocks;
    [[maybe_unused]] SmallType& small = blocks.Small;
    TQXBlockMemList& list = blocks.List;
    [[maybe_unused]] _BlockContext& context = blocks.Context;
    for (const char* version : {"V3.0", "", "2.7", "V"}) {
        _BlockContext other;
        other.ModelVersion.SetText(version);
        TQXBlockMemList none;
        EXPECT_FALSE(TypeDataToBlocks(small.Type(), none, other, 0, 1)) << version;
        EXPECT_EQ(none.Count(), 0);
        EXPECT_EQ(other.RefusalId, 0);
        Reader reader;
        reader.Type.SetName("KEEP");
        EXPECT_FALSE(TypeDataFromBlocks(reader.Type, list, other, true));
        EXPECT_EQ(reader.Type.GetName(), "KEEP");
        std::string a = "x", b = "y";
        EXPECT_FALSE(GetTypeBlockNames(list.Get(0), other, a, b));
        EXPECT_FALSE(LoadTypeDataSetBlock(reader.Type, list, other, false));
    }
    _BlockContext lower;
    lower.ModelVersion.SetText("v2");
    TQXBlockMemList more;
    EXPECT_TRUE(TypeDataToBlocks(small.Type(), more, lower, 0, 1));
}

TEST(TypeBlocks, ReadBackRebuildsTheDefinitionWithEveryDataSet) {
    SmallBlocks blocks;
    [[maybe_unused]] SmallType& small = blocks.Small;
    TQXBlockMemList& list = blocks.List;
    [[maybe_unused]] _BlockContext& context = blocks.Context;
    Reader reader;
    reader.Read(list);
    const TTypeData6& type = reader.Type;
    EXPECT_EQ(type.GetName(), "PUMP");
    ASSERT_EQ(type.GetLanguageCount(), 2);
    EXPECT_EQ(type.GetLanguage(0)->GetName(), "Language 1");
    EXPECT_EQ(type.GetLanguage(1)->GetName(), "Language 2");
    EXPECT_EQ(type.GetLanguage(0)->GetSwitchText(0), "Fan");
    EXPECT_EQ(type.GetLanguage(1)->GetSwitchText(15), "Heizung");
    ASSERT_EQ(type.GetParameterCount(), 2);
    EXPECT_EQ(type.GetParamName(0, 0), "P1 Speed");
    EXPECT_EQ(type.GetParamName(1, 1), "P2 Grenze");
    EXPECT_EQ(type.GetParamFormat(0)->GetUnits(), "rpm");
    EXPECT_EQ(type.GetParamFormat(0)->Min, 10);
    EXPECT_EQ(type.GetParamFormat(0)->Max, 3000);
    // Both data sets, in block order, each named after the type.
    ASSERT_EQ(type.GetDataSetCount(), 2);
    EXPECT_EQ(type.GetDataSetName(0), "PUMP");
    EXPECT_EQ(type.GetDataSetName(1), "PUMP");
    EXPECT_EQ(type.GetSwitchMask(0), 0x0001);
    EXPECT_EQ(type.GetSwitchMask(1), 0x8000);
    EXPECT_EQ(type.GetValue(0, 0), 100);
    EXPECT_EQ(type.GetValue(1, 1), 75);
    EXPECT_EQ(reader.Questions, 0);
}

TEST(TypeBlocks, EveryDataSetComesBackAlsoForAFullLengthName) {
    // A name of 16 characters equals its padded form, which made every data
    // block after the first one "already exist".
    PlainType plain("ABCDEFGHIJKLMNOP", 1, 3);
    for (int s = 0; s < 3; ++s) plain.Type.SetValue(0, s, static_cast<uint16_t>(10 + s));
    ASSERT_TRUE(plain.Write());
    Reader reader;
    reader.Read(plain.List);
    ASSERT_EQ(reader.Type.GetDataSetCount(), 3);
    for (int s = 0; s < 3; ++s) EXPECT_EQ(reader.Type.GetValue(0, s), 10 + s);
    EXPECT_EQ(reader.Questions, 0);
}

TEST(TypeBlocks, OneLanguageWrittenTwiceReadsBackAsTwo) {
    PlainType plain("ONE", 1, 1);
    plain.Type.SetParamNameRaw(0, 0, "P1 Only");
    ASSERT_TRUE(plain.Write());
    Reader reader;
    reader.Read(plain.List);
    ASSERT_EQ(reader.Type.GetLanguageCount(), 2);
    EXPECT_EQ(reader.Type.GetParamName(0, 0), "P1 Only");
    EXPECT_EQ(reader.Type.GetParamName(0, 1), "P1 Only");
    EXPECT_EQ(reader.Type.GetLanguage(1)->GetSwitchText(3), "SW 4");
}

TEST(TypeBlocks, MalformedTextBlocksClearTheDefinition) {
    SmallBlocks blocks;
    [[maybe_unused]] SmallType& small = blocks.Small;
    TQXBlockMemList& good = blocks.List;
    [[maybe_unused]] _BlockContext& context = blocks.Context;
    const Bytes text = BlockBytes(*good.Get(0));
    const Bytes data = BlockBytes(*good.Get(1));

    struct Case {
        const char* what;
        Bytes image;
    };
    Bytes countZero = text;
    countZero[17] = 0;
    Bytes countHigh = text;
    countHigh[17] = 4;  // one record more than the image holds
    const std::vector<Case> cases = {
        {"count byte 0", countZero},
        {"1000 bytes", Bytes(text.begin(), text.begin() + 1000)},
        {"19 bytes", Bytes(text.begin(), text.begin() + 19)},
        {"a record short", countHigh},
        {"one byte short of the last record", Bytes(text.begin(), text.end() - 1)},
    };
    for (const Case& c : cases) {
        TQXBlockMemList list;
        AddImage(list, 1, c.image);
        AddImage(list, 3, data);
        Reader reader;
        reader.Read(list);
        EXPECT_EQ(reader.Type.GetName(), "") << c.what;
        EXPECT_EQ(reader.Type.GetLanguageCount(), 2) << c.what;
        EXPECT_EQ(reader.Type.GetParameterCount(), 0) << c.what;
        EXPECT_EQ(reader.Type.GetDataSetCount(), 1) << c.what;  // the one every definition gets
    }

    // A header whose length disagrees with the data the block holds.
    TQXBlockMemList list;
    TQXBlockMem* block = AddImage(list, 1, text);
    SetBlockDataLength(block->Header, 2000);
    Reader reader;
    reader.Read(list);
    EXPECT_EQ(reader.Type.GetParameterCount(), 0);
    EXPECT_EQ(reader.Type.GetName(), "");

    // A later good text block rebuilds it; a text block without data (its
    // descriptor only) changes nothing.
    AddImage(list, 1, text);
    list.Add()->Header[0] = 1;
    AddImage(list, 3, data);
    reader.Read(list);
    EXPECT_EQ(reader.Type.GetName(), "PUMP");
    EXPECT_EQ(reader.Type.GetParameterCount(), 2);
    EXPECT_EQ(reader.Type.GetDataSetCount(), 1);
}

TEST(TypeBlocks, DataBlocksThatDoNotFitAreIgnored) {
    SmallBlocks blocks;
    [[maybe_unused]] SmallType& small = blocks.Small;
    TQXBlockMemList& good = blocks.List;
    [[maybe_unused]] _BlockContext& context = blocks.Context;
    const Bytes text = BlockBytes(*good.Get(0));
    const Bytes data = BlockBytes(*good.Get(1));
    Bytes otherType = data;
    PutAt(otherType, 17, "VALVE");
    Bytes longer = data;
    longer.push_back(0);
    longer.push_back(0);

    TQXBlockMemList list;
    AddImage(list, 3, data);  // before the text block
    AddImage(list, 1, text);
    AddImage(list, 3, otherType);
    AddImage(list, 3, longer);
    AddImage(list, 3, Bytes(data.begin(), data.begin() + 37));
    AddImage(list, 4, data);  // a table data block
    AddImage(list, 3, data);
    Reader reader;
    reader.Read(list);
    ASSERT_EQ(reader.Type.GetDataSetCount(), 1);
    EXPECT_EQ(reader.Type.GetValue(0, 0), 100);
}

TEST(TypeBlocks, ExistingDataSetsAreOverwrittenOnlyWhenTheUserSaysYes) {
    SmallBlocks blocks;
    [[maybe_unused]] SmallType& small = blocks.Small;
    TQXBlockMemList& list = blocks.List;
    [[maybe_unused]] _BlockContext& context = blocks.Context;
    for (bool answer : {false, true}) {
        Reader reader;
        reader.Read(list);
        for (int s = 0; s < 2; ++s) reader.Type.SetValue(0, s, 9);
        // Reading again without reset: data sets 0 and 1 exist already.
        reader.Answer = answer;
        std::vector<std::pair<std::string, std::string>> asked;
        reader.Context.AskOverwrite = [&](std::string_view set, std::string_view owner) {
            asked.emplace_back(set, owner);
            return answer;
        };
        reader.Read(list, false);
        ASSERT_EQ(asked.size(), 2u);
        EXPECT_EQ(asked[0].first, PaddedPump);
        EXPECT_EQ(asked[0].second, "PUMP");
        EXPECT_EQ(reader.Type.GetDataSetCount(), 2);
        EXPECT_EQ(reader.Type.GetValue(0, 0), answer ? 100 : 9);
        EXPECT_EQ(reader.Type.GetValue(0, 1), answer ? 2000 : 9);
    }
}

TEST(TypeBlocks, FiftyDataSetsAtMost) {
    PlainType plain("MANY", 1, 1);
    ASSERT_TRUE(plain.Write());
    const Bytes data = BlockBytes(*plain.List.Get(1));
    for (int i = 0; i < 60; ++i) AddImage(plain.List, 3, data);
    Reader reader;
    reader.Read(plain.List);
    EXPECT_EQ(reader.Type.GetDataSetCount(), 50);
}

TEST(TypeBlocks, RefreshingDataSetZero) {
    SmallBlocks blocks;
    [[maybe_unused]] SmallType& small = blocks.Small;
    TQXBlockMemList& list = blocks.List;
    [[maybe_unused]] _BlockContext& context = blocks.Context;
    list.Delete(1);  // the Winter block stays: its values go into data set 0
    TTypeData6& type = small.Type();
    type.SetName("  PUMP ");
    EXPECT_TRUE(LoadTypeDataSetBlock(type, list, context, false));
    EXPECT_EQ(type.GetValue(0, 0), 100);
    EXPECT_TRUE(LoadTypeDataSetBlock(type, list, context, true));
    EXPECT_EQ(type.GetValue(0, 0), 2000);
    EXPECT_EQ(type.GetSwitchMask(0), 0x8000);
    EXPECT_EQ(type.GetValue(0, 1), 2000);  // data set 1 as it was
    EXPECT_EQ(type.GetDataSetName(0), "Summer");
    type.AddParameter();  // another size
    EXPECT_FALSE(LoadTypeDataSetBlock(type, list, context, true));
}

TEST(TypeBlocks, Names) {
    SmallBlocks blocks;
    [[maybe_unused]] SmallType& small = blocks.Small;
    TQXBlockMemList& list = blocks.List;
    [[maybe_unused]] _BlockContext& context = blocks.Context;
    std::string first, second = "unchanged";
    ASSERT_TRUE(GetTypeBlockNames(list.Get(0), context, first, second));
    EXPECT_EQ(first, PaddedPump);
    EXPECT_EQ(second, "");
    ASSERT_TRUE(GetTypeBlockNames(list.Get(1), context, first, second));
    EXPECT_EQ(first, PaddedPump);
    EXPECT_EQ(second, PaddedPump);
    EXPECT_FALSE(GetTypeBlockNames(nullptr, context, first, second));
    TQXBlockMem table;
    table.Header[0] = 2;
    table.AllocData(44);
    table.MakeHeadCopy();
    EXPECT_FALSE(GetTypeBlockNames(&table, context, first, second));
    TQXBlockMem bare;
    bare.Header[0] = 1;
    bare.AllocData(20);
    bare.MakeHeadCopy();  // too short for a head copy
    EXPECT_FALSE(GetTypeBlockNames(&bare, context, first, second));
    // A head copy without its NUL gives at most 17 characters.
    uint8_t head[34];
    std::memset(head, 'A', sizeof head);
    bare.SetHeadCopy(head);
    bare.Header[0] = 3;
    ASSERT_TRUE(GetTypeBlockNames(&bare, context, first, second));
    EXPECT_EQ(first, std::string(17, 'A'));
    EXPECT_EQ(second, std::string(17, 'A'));
}

TEST(TypeBlocks, TrimmedNames) {
    EXPECT_EQ(TrimBlockName("  PUMP    "), "PUMP");
    EXPECT_EQ(TrimBlockName("\t\x01PUMP X\r\n"), "PUMP X");
    EXPECT_EQ(TrimBlockName("\xE4nderung "), "\xE4nderung");
    EXPECT_EQ(TrimBlockName("   "), "");
}
