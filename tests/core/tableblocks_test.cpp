// The block images of a table: Table Text and Table Data byte by byte, the
// reader that rebuilds a table, the data-set refresh and the names.
#include <gtest/gtest.h>

#include "SmallType.h"
#include "TableBlocks.h"

namespace {

const char PaddedCurve[] = "Curve           ";
const char PaddedPump[] = "PUMP            ";

Bytes ExpectedTableText() {
    Bytes b(44 + 32 * 3, 0);
    PutAt(b, 0, PaddedCurve);
    PutAt(b, 17, PaddedPump);
    PutAt(b, 34, {2, 0, 3, 1, 2, 3, 4});
    PutAt(b, 44, "Temp");
    PutAt(b, 44 + 18, "C");
    PutAt(b, 44 + 30, {2, 1});
    PutAt(b, 76, "Flag");
    PutAt(b, 76 + 30, {1, 0});
    PutAt(b, 108, "Big");
    PutAt(b, 108 + 18, "mV");
    PutAt(b, 108 + 30, {3, 0});
    return b;
}

// Row after row, within a row field after field: 2 + 1 + 3 bytes.
Bytes ExpectedTableData(std::initializer_list<uint8_t> cells) {
    Bytes b(36 + 12, 0);
    PutAt(b, 0, PaddedCurve);
    PutAt(b, 17, PaddedPump);
    PutAt(b, 36, cells);
    return b;
}

struct Reader : AskingContext {
    uint8_t Formats[100] = {};
    TTableData Table{Formats};
    void Read(const TQXBlockMemList& list, bool reset = true) {
        ASSERT_TRUE(TableDataFromBlocks(Table, list, Context, reset));
    }
};

struct SmallTableBlocks {
    SmallType Small;
    TQXBlockMemList List;
    _BlockContext Context = V2Context();
    SmallTableBlocks() { EXPECT_TRUE(TableDataToBlocks(Small.Table(), List, Context)); }
};

}  // namespace

TEST(TableBlocks, ImagesOfTheSmallTableByteForByte) {
    SmallTableBlocks blocks;
    const TQXBlockMemList& list = blocks.List;
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Get(0)->MemType, 0);
    EXPECT_EQ(list.Get(0)->Header[0], 2);
    EXPECT_EQ(GetBlockDataLength(list.Get(0)->Header), 140);
    EXPECT_EQ(BlockBytes(*list.Get(0)), ExpectedTableText());
    for (int d = 1; d <= 2; ++d) {
        EXPECT_EQ(list.Get(d)->MemType, 1);
        EXPECT_EQ(list.Get(d)->Header[0], 4);
        EXPECT_EQ(GetBlockDataLength(list.Get(d)->Header), 48);
        ASSERT_NE(list.Get(d)->HeadCopy(), nullptr);
    }
    // -5 in the signed 2-byte field, 7, 0x123456; then 300, 255, 1.
    EXPECT_EQ(BlockBytes(*list.Get(1)),
              ExpectedTableData({0xFB, 0xFF, 0x07, 0x56, 0x34, 0x12, 0x2C, 0x01, 0xFF, 0x01, 0x00, 0x00}));
    EXPECT_EQ(BlockBytes(*list.Get(2)),
              ExpectedTableData({0x01, 0x00, 0x02, 0x03, 0x00, 0x00, 0x00, 0x80, 0x80, 0xFF, 0xFF, 0xFF}));
}

TEST(TableBlocks, ReadBackKeepsEveryDataSet) {
    SmallTableBlocks blocks;
    Reader reader;
    reader.Read(blocks.List);
    const TTableData& table = reader.Table;
    EXPECT_EQ(table.GetName(), "Curve");
    EXPECT_EQ(table.GetTypeName(), "PUMP");
    EXPECT_EQ(table.GetRowCount(), 2);
    ASSERT_EQ(table.GetFieldCount(), 3);
    EXPECT_EQ(table.GetFunction(), 1);
    EXPECT_EQ(table.GetLevel(), 4);
    EXPECT_EQ(table.GetField(0)->GetName(), "Temp");
    EXPECT_EQ(table.GetField(2)->GetUnit(), "mV");
    EXPECT_EQ(table.GetField(0)->Flags, 1);
    EXPECT_EQ(table.GetField(2)->Size, 3);
    ASSERT_EQ(table.GetDataSetCount(), 2);
    EXPECT_EQ(table.GetDataSetName(0), "Curve");
    EXPECT_EQ(table.GetDataSetName(1), "Curve");
    EXPECT_EQ(reader.Questions, 0);
    // The 2-byte cell comes back zero-extended; GetValue sign-extends it.
    EXPECT_EQ(table.GetValue(0, 0, 0), 0xFFFFFFFBu);
    EXPECT_EQ(table.RowCells(0, 0)[0], 0xFFFBu);
    EXPECT_EQ(table.GetValue(0, 0, 2), 0x123456u);
    EXPECT_EQ(table.GetValue(0, 1, 1), 255u);
    // A 1-byte cell always comes back sign-extended, whatever the flags.
    EXPECT_EQ(table.RowCells(1, 1)[1], 0xFFFFFF80u);
    EXPECT_EQ(table.RowCells(1, 1)[0], 0x8000u);
    EXPECT_EQ(table.GetValue(1, 1, 2), 0xFFFFFFu);
}

TEST(TableBlocks, EmptyTablesAndOddFieldSizes) {
    uint8_t formats[100] = {};
    TTableData table(formats);
    table.SetName("E");
    table.SetRowCount(3);
    table.SetDataSetCount(1);
    TQXBlockMemList list;
    _BlockContext context = V2Context();
    ASSERT_TRUE(TableDataToBlocks(table, list, context));
    EXPECT_EQ(list.Get(0)->GetDataLength(), 44u);
    EXPECT_EQ(list.Get(1)->GetDataLength(), 36u);

    // A field of size 0 between two of size 1: taken unchanged, no bytes.
    table.SetFieldCount(3);
    table.GetField(1)->Size = 0;
    table.SetRowCount(1);
    table.SetValue(0, 0, 0, 0x11);
    table.SetValue(0, 0, 2, 0x22);
    list.Clear();
    ASSERT_TRUE(TableDataToBlocks(table, list, context));
    const Bytes data = BlockBytes(*list.Get(1));
    ASSERT_EQ(data.size(), 38u);
    EXPECT_EQ(data[36], 0x11);
    EXPECT_EQ(data[37], 0x22);
    Reader reader;
    reader.Read(list);
    EXPECT_EQ(reader.Table.GetField(1)->Size, 0);
    EXPECT_EQ(reader.Table.GetValue(0, 0, 0), 0x11u);
    EXPECT_EQ(reader.Table.GetValue(0, 0, 2), 0x22u);
}

TEST(TableBlocks, LimitOfTheDataImage) {
    uint8_t formats[100] = {};
    TTableData table(formats);
    table.SetName("Big");
    table.SetFieldCount(3);
    for (int f = 0; f < 3; ++f) table.GetField(f)->Size = 3;
    table.SetRowCount(7277);  // 7277 x 9 = 65493 bytes: the largest image
    table.SetDataSetCount(1);
    TQXBlockMemList list;
    _BlockContext context = V2Context();
    ASSERT_TRUE(TableDataToBlocks(table, list, context));
    EXPECT_EQ(GetBlockDataLength(list.Get(1)->Header), 65529);
    table.AddRow();
    list.Clear();
    EXPECT_FALSE(TableDataToBlocks(table, list, context));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(context.RefusalId, Msg::TableBlockTooLarge);
    EXPECT_EQ(context.RefusalArgs[0], "Big");
    EXPECT_EQ(context.RefusalArgs[1], "65502");
}

TEST(TableBlocks, MalformedAndForeignBlocks) {
    SmallTableBlocks blocks;
    const Bytes text = BlockBytes(*blocks.List.Get(0));
    const Bytes data = BlockBytes(*blocks.List.Get(1));
    const auto add = [](TQXBlockMemList& list, uint8_t kind, const Bytes& image) {
        TQXBlockMem* block = list.Add();
        block->Header[0] = kind;
        block->SetData(image.data(), static_cast<uint32_t>(image.size()));
        return block;
    };
    for (const Bytes& bad : {Bytes(text.begin(), text.begin() + 43), Bytes(text.begin(), text.end() - 1)}) {
        TQXBlockMemList list;
        add(list, 2, bad);
        add(list, 4, data);
        Reader reader;
        reader.Read(list);
        EXPECT_EQ(reader.Table.GetName(), "");
        EXPECT_EQ(reader.Table.GetFieldCount(), 0);
        EXPECT_EQ(reader.Table.GetRowCount(), 0);
        EXPECT_EQ(reader.Table.GetDataSetCount(), 0);
    }
    Bytes otherTable = data;
    PutAt(otherTable, 0, "Other");
    TQXBlockMemList list;
    add(list, 4, data);  // before its text block
    add(list, 2, text);
    list.Add()->Header[0] = 2;  // a descriptor without data: nothing
    add(list, 4, otherTable);
    add(list, 4, Bytes(data.begin(), data.end() - 1));
    add(list, 3, data);
    SetBlockDataLength(add(list, 4, data)->Header, 10);  // header and data disagree
    add(list, 4, data);
    Reader reader;
    reader.Read(list);
    ASSERT_EQ(reader.Table.GetDataSetCount(), 1);
    EXPECT_EQ(reader.Table.GetValue(0, 0, 1), 7u);

    // A data block written before the row count changed no longer fits.
    reader.Table.AddRow();
    EXPECT_FALSE(LoadTableDataSetBlock(reader.Table, list, reader.Context, false));
}

TEST(TableBlocks, DataSetsOfACellLessTableAreBounded) {
    // 255 fields of size 0 by 65535 rows: the 36-byte data images would make
    // data sets of 16 million cells each. They are not taken.
    Bytes text(44 + 32 * 255, 0);
    PutAt(text, 0, PaddedCurve);
    PutAt(text, 34, {0xFF, 0xFF, 0xFF});
    Bytes data(36, 0);
    PutAt(data, 0, PaddedCurve);
    TQXBlockMemList list;
    for (const auto& [kind, image] : {std::pair{2, text}, std::pair{4, data}}) {
        TQXBlockMem* block = list.Add();
        block->Header[0] = static_cast<uint8_t>(kind);
        block->SetData(image.data(), static_cast<uint32_t>(image.size()));
    }
    Reader reader;
    reader.Read(list);
    EXPECT_EQ(reader.Table.GetFieldCount(), 255);
    EXPECT_EQ(reader.Table.GetRowCount(), 65535);
    EXPECT_EQ(reader.Table.GetDataSetCount(), 0);
}

TEST(TableBlocks, ExistingDataSetsAreOverwrittenOnlyWhenTheUserSaysYes) {
    SmallTableBlocks blocks;
    for (bool answer : {false, true}) {
        Reader reader;
        reader.Read(blocks.List);
        reader.Table.SetValue(1, 0, 2, 9);
        reader.Answer = answer;
        reader.Read(blocks.List, false);
        EXPECT_EQ(reader.Questions, 2);
        EXPECT_EQ(reader.Table.GetDataSetCount(), 2);
        EXPECT_EQ(reader.Table.GetValue(1, 0, 2), answer ? 3u : 9u);
    }
}

TEST(TableBlocks, RefreshingDataSetZero) {
    SmallTableBlocks blocks;
    blocks.List.Delete(1);
    TTableData& table = blocks.Small.Table();
    EXPECT_TRUE(LoadTableDataSetBlock(table, blocks.List, blocks.Context, false));
    EXPECT_EQ(table.GetValue(0, 0, 2), 0x123456u);
    EXPECT_TRUE(LoadTableDataSetBlock(table, blocks.List, blocks.Context, true));
    EXPECT_EQ(table.GetValue(0, 0, 2), 3u);
    EXPECT_EQ(table.GetValue(1, 0, 2), 3u);
    EXPECT_EQ(table.GetDataSetName(0), "Summer");
    table.SetName("Other");
    EXPECT_FALSE(LoadTableDataSetBlock(table, blocks.List, blocks.Context, true));
}

TEST(TableBlocks, NamesAndGate) {
    SmallTableBlocks blocks;
    std::string first, second;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(GetTableBlockNames(blocks.List.Get(i), blocks.Context, first, second));
        EXPECT_EQ(first, PaddedCurve);
        EXPECT_EQ(second, PaddedPump);
    }
    TQXBlockMem type;
    type.Header[0] = 1;
    type.AllocData(40);
    type.MakeHeadCopy();
    EXPECT_FALSE(GetTableBlockNames(&type, blocks.Context, first, second));
    EXPECT_FALSE(GetTableBlockNames(nullptr, blocks.Context, first, second));

    _BlockContext v3;
    v3.ModelVersion.SetText("V3.1");
    TQXBlockMemList none;
    EXPECT_FALSE(TableDataToBlocks(blocks.Small.Table(), none, v3));
    EXPECT_EQ(none.Count(), 0);
    EXPECT_FALSE(GetTableBlockNames(blocks.List.Get(0), v3, first, second));
    Reader reader;
    EXPECT_FALSE(TableDataFromBlocks(reader.Table, blocks.List, v3, true));
    EXPECT_FALSE(LoadTableDataSetBlock(reader.Table, blocks.List, v3, false));
}
