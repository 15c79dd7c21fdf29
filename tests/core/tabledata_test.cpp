#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "CSVFile.h"
#include "SafeFile.h"
#include "Tabledata.h"
#include "TempFolder.h"
#include "Thdrobj.h"

namespace fs = std::filesystem;

namespace {

std::string Bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list) s += static_cast<char>(b);
    return s;
}
std::string U32(uint32_t v) { return Bytes({int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int(v >> 24)}); }
std::string Text(const std::string& t, size_t size) {
    std::string s = t;
    s.resize(size, '\0');
    return s;
}
std::string Section(THdrObj& c, uint16_t id, uint16_t sub) {
    uint32_t n = 0;
    auto p = c.ReadSectionAlloc(id, sub, &n);
    return p ? std::string(reinterpret_cast<char*>(p.get()), n) : "<none>";
}

// A table of two fields (1 byte signed "a", 2 bytes "bb" in "mV"), 2 rows, 1 data set.
void MakeSmall(TTableData& t) {
    t.SetName("Tab");
    t.SetTypeName("Typ");
    t.SetFunction(1);
    t.SetBlock(2);
    t.SetCfg(3);
    t.SetLevel(4);
    t.SetFieldCount(2);
    t.GetField(0)->SetName("a");
    t.GetField(0)->Flags = 1;
    t.GetField(1)->SetName("bb");
    t.GetField(1)->SetUnit("mV");
    t.GetField(1)->SetSize("2");
    t.SetRowCount(2);
    t.SetDataSetCount(1);
    t.SetValue(0, 0, 0, 0xFF);
    t.SetValue(0, 1, 0, 5);
    t.SetValue(0, 0, 1, 0x12345);
    t.SetValue(0, 1, 1, 7);
}

}  // namespace

TEST(TableModel, LimitsThrowAndCanQueriesRefuse) {
    TTableData t;
    EXPECT_THROW(t.SetFieldCount(256), TModelLimit);
    EXPECT_THROW(t.SetRowCount(65536), TModelLimit);
    EXPECT_THROW(t.SetDataSetCount(51), TModelLimit);
    EXPECT_THROW(t.SetLevel(256), TModelLimit);
    EXPECT_THROW(t.SetFunction(-1), TModelLimit);
    EXPECT_THROW(t.SetRowCount(-1), TModelLimit);  // a negative count never loops
    EXPECT_EQ(t.GetFieldCount(), 0);
    t.SetLevel(255);
    EXPECT_EQ(t.GetLevel(), 255);
    // Each limit on a table that is small in the other two dimensions: the
    // refusals depend on one count each, so no table of every maximum at
    // once (3.3 GB of cells) is needed to show them.
    struct Case {
        const char* what;
        int32_t fields, rows, sets;
    } cases[] = {
        {"fields", TTableData::MaxFields, 1, 1},
        {"rows", 1, TTableData::MaxRows, 1},
        {"data sets", 1, 1, TTableData::MaxDataSets},
    };
    for (const Case& c : cases) {
        TTableData full;
        full.SetFieldCount(c.fields);
        full.SetRowCount(c.rows);
        full.SetDataSetCount(c.sets);
        const bool fields = c.fields == TTableData::MaxFields, rows = c.rows == TTableData::MaxRows,
                   sets = c.sets == TTableData::MaxDataSets;
        EXPECT_EQ(full.CanAddField(), !fields) << c.what;
        EXPECT_EQ(full.CanInsertField(0), !fields) << c.what;
        EXPECT_EQ(full.CanAddRow(), !rows) << c.what;
        EXPECT_EQ(full.CanInsertRow(0), !rows) << c.what;
        EXPECT_EQ(full.CanAddDataSet(), !sets) << c.what;
        if (fields) {
            EXPECT_EQ(full.AddField(), nullptr);
            EXPECT_EQ(full.InsertField(0), nullptr);
        }
        if (rows) {
            full.AddRow();
            full.InsertRow(0);
        }
        if (sets) {
            EXPECT_EQ(full.AddDataSet(), nullptr);
        }
        // A refused command changes nothing.
        EXPECT_EQ(full.GetFieldCount(), c.fields) << c.what;
        EXPECT_EQ(full.GetRowCount(), c.rows) << c.what;
        EXPECT_EQ(full.GetDataSetCount(), c.sets) << c.what;
    }
    TTableData u;
    u.SetFieldCount(2);
    EXPECT_TRUE(u.CanInsertField(1));
    EXPECT_FALSE(u.CanInsertField(2));  // one past the last: no
    EXPECT_EQ(u.InsertField(2), nullptr);
    EXPECT_FALSE(u.CanInsertRow(0));
    EXPECT_FALSE(u.CanDeleteField(-1));
}

TEST(TableModel, StructureKeepsCellsInStep) {
    TTableData t;
    t.SetFieldCount(2);
    t.SetRowCount(3);
    _TableDataSetName* name = t.AddDataSet();
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(t.GetDataSetName(0), "Data Set");
    for (int r = 0; r < 3; ++r)
        for (int f = 0; f < 2; ++f) EXPECT_TRUE(t.IsValidCell(0, r, f));
    EXPECT_FALSE(t.IsValidCell(0, 3, 0));
    t.SetValue(0, 1, 1, 11);
    ASSERT_NE(t.InsertField(0), nullptr);
    EXPECT_EQ(t.GetValue(0, 1, 2), 11u);
    EXPECT_EQ(t.GetValue(0, 1, 0), 0u);
    t.InsertRow(0);
    EXPECT_EQ(t.GetRowCount(), 4);
    EXPECT_EQ(t.GetValue(0, 2, 2), 11u);
    t.DeleteRow(0);
    t.DeleteField(0);
    EXPECT_EQ(t.GetValue(0, 1, 1), 11u);
    t.AddRow();
    EXPECT_EQ(t.GetRowCount(), 4);
    t.DeleteField(1);
    t.DeleteField(0);
    EXPECT_EQ(t.GetFieldCount(), 0);
    EXPECT_EQ(t.GetRowCount(), 4);  // rows of no cells
    EXPECT_EQ(t.RowCells(0, 3) != nullptr, true);
    t.SetDataSetName(0, "twenty characters...");
    EXPECT_EQ(t.GetDataSetName(0), "twenty character");
    t.SetDataSetName(5, "ignored");
    EXPECT_EQ(t.GetDataSetName(5), "");
    t.SetName("a name of more than sixteen");
    EXPECT_EQ(t.GetName(), "a name of more t");
}

TEST(TableModel, ValuesAndTextsByFieldSizeAndFormat) {
    uint8_t formats[100] = {};
    TTableData t(formats);
    t.SetFieldCount(5);
    t.SetRowCount(1);
    t.SetDataSetCount(1);
    struct Case {
        int size;
        bool isSigned;
        uint32_t cell;
        uint32_t value;
        const char* dec;
        const char* hex;
        const char* bin;
    } cases[] = {
        {1, true, 0xFF, 0xFFFFFFFF, "-1", "0xFF", "11111111b"},
        {1, false, 0xFF, 255, "255", "0xFF", "11111111b"},
        {1, false, 10, 10, "10", "0x0A", "00001010b"},
        {2, false, 10, 10, "10", "0x000A", "0000000000001010b"},
        {2, true, 0x18000, 0xFFFF8000, "-32768", "0x8000", "1000000000000000b"},
        {3, true, 0xFFFFFF, 0xFFFFFF, "16777215", "0xFFFFFF", "111111111111111111111111b"},
        {4, true, 0xFFFFFFFF, 0xFFFFFFFF, "-1", "0xFFFFFFFF", "11111111111111111111111111111111b"},
        {4, false, 0xFFFFFFFF, 0xFFFFFFFF, "4294967295", "0xFFFFFFFF", "11111111111111111111111111111111b"},
    };
    for (const auto& c : cases) {
        _TableFieldInfo* field = t.GetField(0);
        field->Size = static_cast<uint8_t>(c.size);
        field->Flags = c.isSigned ? 1 : 0;
        const std::string what = std::to_string(c.size) + (c.isSigned ? " signed " : " unsigned ") + c.dec;
        t.SetValue(0, 0, 0, c.cell);
        EXPECT_EQ(t.GetValue(0, 0, 0), c.value) << what;
        formats[13] = 0;
        EXPECT_EQ(t.GetValueText(0, 0, 0), c.dec) << what;
        formats[13] = 1;
        EXPECT_EQ(t.GetValueText(0, 0, 0), c.hex) << what;
        formats[13] = 2;
        EXPECT_EQ(t.GetValueText(0, 0, 0), c.bin) << what;
        formats[13] = 7;  // unknown: decimal
        EXPECT_EQ(t.GetValueText(0, 0, 0), c.dec) << what;
    }
    // The text cuts the stored cell to the field's size.
    t.GetField(1)->Size = 2;
    t.SetValue(0, 0, 1, 0x12345);
    EXPECT_EQ(t.GetValueText(0, 0, 1), "9029");
    EXPECT_EQ(t.RowCells(0, 0)[0], 0xFFFFFFFFu);
    EXPECT_EQ(t.RowCells(0, 0)[1], 0x2345u);
    // A field size read from a file outside 1..4.
    t.GetField(2)->Size = 0;
    t.GetField(3)->Size = 5;
    for (int f : {2, 3}) {
        EXPECT_FALSE(t.IsValidCell(0, 0, f));
        t.SetValue(0, 0, f, 9);
        EXPECT_EQ(t.GetValue(0, 0, f), 0u);
        EXPECT_EQ(t.GetValueText(0, 0, f), "?");
        EXPECT_EQ(t.GetField(f)->GetSize(), "?");
    }
    EXPECT_EQ(t.GetRowSize(), 4u + 2 + 0 + 5 + 1);
    EXPECT_EQ(t.GetValueText(0, 1, 0), "?");
    EXPECT_EQ(t.GetValueText(1, 0, 0), "?");
}

TEST(TableModel, FieldsBeyondTheFormatRecordShowInDecimal) {
    uint8_t formats[100];
    std::fill(std::begin(formats), std::end(formats), 1);
    TTableData t(formats);
    t.SetFieldCount(88);
    t.SetRowCount(1);
    t.SetDataSetCount(1);
    t.SetValue(0, 0, 86, 10);
    t.SetValue(0, 0, 87, 10);
    EXPECT_EQ(t.GetValueText(0, 0, 86), "0x0A");
    EXPECT_EQ(t.GetValueText(0, 0, 87), "10");
}

TEST(TableModel, FieldRecordAndSizeFunctions) {
    _TableFieldInfo f;
    EXPECT_EQ(f.Size, 1);
    EXPECT_EQ(f.GetName(), "");
    f.SetName("eighteen character");
    EXPECT_EQ(f.GetName(), "eighteen characte");
    f.SetUnit("kilogram");
    EXPECT_EQ(f.GetUnit(), "kilogra");
    for (const char* bad : {"0", "5", " 1", "01", "", "12"}) EXPECT_THROW(f.SetSize(bad), TModelLimit) << bad;
    f.SetSize("3");
    EXPECT_EQ(f.GetSize(), "3");
    const int sizes[] = {0, 1, 2, 3, 4, 5};
    const char* strs[] = {"?", "1", "2", "3", "4", "?"};
    const int toIndex[] = {0, 0, 1, 2, 3, 0};
    const uint32_t masks[] = {0, 0xFF, 0xFFFF, 0xFFFFFF, 0xFFFFFFFF, 0};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(FieldSizeToStr(sizes[i]), strs[i]);
        EXPECT_EQ(FieldSizeToIndex(sizes[i]), toIndex[i]);
        EXPECT_EQ(GetFieldSizeMask(sizes[i]), masks[i]);
    }
    EXPECT_EQ(IndexToFieldSize(0), 1);
    EXPECT_EQ(IndexToFieldSize(3), 4);
    EXPECT_EQ(IndexToFieldSize(4), 1);
}

TEST(TableModel, CopyIsIndependent) {
    TTableData t;
    MakeSmall(t);
    TTableData copy(t);
    t.SetValue(0, 0, 0, 1);
    t.GetField(0)->SetName("changed");
    EXPECT_EQ(copy.GetValue(0, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(copy.GetField(0)->GetName(), "a");
    EXPECT_EQ(copy.GetName(), "Tab");
    EXPECT_EQ(copy.GetLevel(), 4);
    ASSERT_NE(copy.AddDataSet(), nullptr);
    EXPECT_EQ(copy.GetDataSetName(1), "Data Set");
}

// ---------------------------------------------------------------- sections

TEST(TableSections, BytesOfTheFormat) {
    TTableData t;
    MakeSmall(t);
    THdrMem c;
    ASSERT_EQ(c.Create("", "QX218 TAB"), 1);
    ASSERT_TRUE(t.SaveTo(c));
    EXPECT_EQ(c.GetSectionCount(), 4);
    const std::string header = Text("Tab", 17) + Text("Typ", 17) + U32(2) + U32(2) + U32(1) + U32(2) + U32(3) +
                               U32(4) + std::string(32, '\0');
    EXPECT_EQ(Section(c, 0x2100, 0), header);
    EXPECT_EQ(Section(c, 0x2200, 0), Text("a", 18) + Text("", 8) + Bytes({1, 1, 0, 0, 0}));
    EXPECT_EQ(Section(c, 0x2200, 1), Text("bb", 18) + Text("mV", 8) + Bytes({2, 0, 0, 0, 0}));
    // Field 0 (signed byte) for both rows, then field 1 cut to 16 bits.
    EXPECT_EQ(Section(c, 0x2300, 0), Text("Data Set", 68) + U32(0xFFFFFFFF) + U32(5) + U32(0x2345) + U32(7));
}

TEST(TableSections, LoadsWhatWasSavedAndRefusesBadSections) {
    TTableData t;
    MakeSmall(t);
    t.SetDataSetCount(3);
    t.SetDataSetName(2, "third");
    t.SetValue(2, 1, 1, 0xBEEF);
    t.GetField(0)->Reserved[1] = 9;  // carried unchanged
    THdrMem c;
    ASSERT_EQ(c.Create("", "QX218 TAB"), 1);
    ASSERT_TRUE(t.SaveTo(c));
    TTableData back;
    ASSERT_TRUE(back.LoadFrom(c));
    EXPECT_EQ(back.GetName(), "Tab");
    EXPECT_EQ(back.GetTypeName(), "Typ");
    EXPECT_EQ(back.GetCfg(), 3);
    EXPECT_EQ(back.GetDataSetCount(), 3);
    EXPECT_EQ(back.GetDataSetName(2), "third");
    EXPECT_EQ(back.GetValue(2, 1, 1), 0xBEEFu);
    EXPECT_EQ(back.GetValue(0, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(back.GetField(1)->GetUnit(), "mV");
    EXPECT_EQ(back.GetField(0)->Reserved[1], 9);

    // A gap in the data sets ends them: (0x2300, 1) missing gives one data set.
    THdrMem gap;
    ASSERT_EQ(gap.CopyFrom(&c, ""), 1);
    ASSERT_EQ(gap.DeleteSection(0x2300, 1), 1);
    ASSERT_TRUE(back.LoadFrom(gap));
    EXPECT_EQ(back.GetDataSetCount(), 1);

    // A data set one byte short: false, the data sets before it stay.
    THdrMem shortSet;
    ASSERT_EQ(shortSet.CopyFrom(&c, ""), 1);
    const std::string set1 = Section(c, 0x2300, 1);
    ASSERT_EQ(shortSet.WriteSection(0x2300, 1, static_cast<uint32_t>(set1.size() - 1), set1.data()), 1);
    EXPECT_FALSE(back.LoadFrom(shortSet));
    EXPECT_EQ(back.GetDataSetCount(), 1);

    // Field texts from a file end at their first NUL; the bytes after it are zero.
    THdrMem junk;
    ASSERT_EQ(junk.CopyFrom(&c, ""), 1);
    const std::string field0 = std::string("ab\0junk", 7) + std::string(11, 'n') + std::string("unit\0xyz", 8) + Bytes({4, 1, 7, 8, 9});
    ASSERT_EQ(field0.size(), 31u);
    ASSERT_EQ(junk.WriteSection(0x2200, 0, 31, field0.data()), 1);
    ASSERT_TRUE(back.LoadFrom(junk));
    EXPECT_EQ(back.GetField(0)->GetName(), "ab");
    EXPECT_EQ(back.GetField(0)->GetUnit(), "unit");
    EXPECT_EQ(back.GetField(0)->Reserved[2], 9);
    THdrMem rewritten;
    ASSERT_EQ(rewritten.Create("", "QX218 TAB"), 1);
    ASSERT_TRUE(back.SaveTo(rewritten));
    EXPECT_EQ(Section(rewritten, 0x2200, 0), Text("ab", 18) + Text("unit", 8) + Bytes({4, 1, 7, 8, 9}));

    // A missing field section.
    THdrMem noField;
    ASSERT_EQ(noField.CopyFrom(&c, ""), 1);
    ASSERT_EQ(noField.DeleteSection(0x2200, 1), 1);
    EXPECT_FALSE(back.LoadFrom(noField));

    THdrMem empty;
    ASSERT_EQ(empty.Create("", "QX218 TAB"), 1);
    TTableData untouched;
    MakeSmall(untouched);
    EXPECT_FALSE(untouched.LoadFrom(empty));  // no header: unchanged
    EXPECT_EQ(untouched.GetDataSetCount(), 1);
}

TEST(TableSections, HeaderCountsOutOfRange) {
    struct Case {
        uint32_t fields, rows, level;
    } cases[] = {{256, 1, 0}, {1, 65536, 0}, {1, 1, 256}, {0xFFFFFFFF, 1, 0}, {1, 0x80000000u, 0}};
    for (const auto& c : cases) {
        THdrMem m;
        ASSERT_EQ(m.Create("", "QX218 TAB"), 1);
        const std::string header = Text("T", 34) + U32(c.fields) + U32(c.rows) + U32(0) + U32(0) + U32(0) +
                                   U32(c.level) + std::string(32, '\0');
        ASSERT_EQ(m.WriteSection(0x2100, 0, 90, header.data()), 1);
        TTableData t;
        MakeSmall(t);
        EXPECT_FALSE(t.LoadFrom(m)) << c.fields << " " << c.rows;
        EXPECT_EQ(t.GetDataSetCount(), 0);  // removed all the same
    }
}

TEST(TableSections, EmptyTablesWrite68ByteDataSets) {
    for (int fields : {0, 3}) {
        TTableData t;
        t.SetFieldCount(fields);
        t.SetDataSetCount(2);
        THdrMem c;
        ASSERT_EQ(c.Create("", "QX218 TAB"), 1);
        ASSERT_TRUE(t.SaveTo(c));
        EXPECT_EQ(Section(c, 0x2300, 1).size(), 68u);
        TTableData back;
        ASSERT_TRUE(back.LoadFrom(c));
        EXPECT_EQ(back.GetDataSetCount(), 2);
        EXPECT_EQ(back.GetFieldCount(), fields);
    }
}

// ---------------------------------------------------------------- CSV

class TableCsv : public TempFolderTest {
protected:
    std::string Path() const { return TempFolderTest::Path("t.csv"); }
    std::string Put(const std::string& text) const { return Write("t.csv", text); }
};

TEST_F(TableCsv, WritesTheBlockOfTheFormat) {
    uint8_t formats[100] = {};
    formats[14] = 1;  // field 1 in hexadecimal
    TTableData t(formats);
    MakeSmall(t);
    {
        CSVFile f(Path(), true);
        EXPECT_TRUE(t.WriteToCSV(f));
    }
    EXPECT_EQ(ReadWholeFile(Path()),
              "\xA7Table\r\n\xA7TableInfo\r\nName;Tab\r\nFunction;1\r\nBlock;2\r\nCfg;3\r\nLevel;4\r\n"
              "\xA7TableFields\r\na;1;;1\r\nbb;2;mV;0\r\n\xA7TableData\r\n-1;0x2345\r\n5;0x0007\r\n");
}

TEST_F(TableCsv, RoundTripsInEveryDisplayFormat) {
    for (uint8_t format : {0, 1, 2}) {
        uint8_t formats[100] = {};
        std::fill(formats + 13, formats + 17, format);
        TTableData t(formats);
        t.SetFieldCount(4);
        for (int f = 0; f < 4; ++f) t.GetField(f)->Size = static_cast<uint8_t>(f + 1);
        t.GetField(0)->Flags = 1;
        t.GetField(3)->Flags = 0;  // unsigned 4 bytes
        t.SetRowCount(2);
        t.SetDataSetCount(1);
        const uint32_t row0[] = {0xFFFFFF80, 0xFFFF, 0xFFFFFF, 0xFFFFFFFF};
        const uint32_t row1[] = {0x7F, 0x8000, 0x800000, 0x80000000};
        for (int f = 0; f < 4; ++f) {
            t.SetValue(0, 0, f, row0[f]);
            t.SetValue(0, 1, f, row1[f]);
        }
        {
            CSVFile f(Path(), true);
            ASSERT_TRUE(t.WriteToCSV(f));
        }
        CSVFile in(Path(), false);
        TTableData back(formats);
        back.SetDataSetCount(1);
        ASSERT_TRUE(back.ReadFromCSV(in)) << int(format);
        ASSERT_EQ(back.GetRowCount(), 2);
        for (int r = 0; r < 2; ++r)
            for (int f = 0; f < 4; ++f)
                EXPECT_EQ(back.GetValue(0, r, f), t.GetValue(0, r, f)) << int(format) << " " << r << " " << f;
        EXPECT_EQ(back.GetField(0)->Flags, 1);
    }
}

TEST_F(TableCsv, TwoBlocksReadOneAfterTheOther) {
    const std::string text =
        "QX318Utility_Exported;;\n\xA7TableInfo\nName;skipped before any table\n"
        "\xA7Table\n\xA7TableInfo\nName;first\nFunction;0x10\nOther;7\n\xA7TableFields\nf;1;u;0\n"
        "\xA7TableData\n1\n;9\n2;extra;fields\n"
        "\xA7Table\n\xA7TableInfo\nName;second\n\xA7TableFields\ng;2\nh\n\xA7TableData\n$10;3\n4\n"
        "\xA7" "Config\n1\n";
    CSVFile f(Put(text), false);
    TTableData a, b, c;
    a.SetDataSetCount(1);
    b.SetDataSetCount(1);
    ASSERT_TRUE(a.ReadFromCSV(f));
    EXPECT_EQ(a.GetName(), "first");
    EXPECT_EQ(a.GetFunction(), 16);
    EXPECT_EQ(a.GetFieldCount(), 1);
    EXPECT_EQ(a.GetField(0)->GetUnit(), "u");
    ASSERT_EQ(a.GetRowCount(), 2);  // the line with an empty first field is skipped
    EXPECT_EQ(a.GetValue(0, 0, 0), 1u);
    EXPECT_EQ(a.GetValue(0, 1, 0), 2u);
    ASSERT_TRUE(b.ReadFromCSV(f));  // starts at the second "\xA7Table" line
    EXPECT_EQ(b.GetName(), "second");
    ASSERT_EQ(b.GetFieldCount(), 2);
    EXPECT_EQ(b.GetField(0)->Size, 2);
    EXPECT_EQ(b.GetField(1)->Size, 1);
    ASSERT_EQ(b.GetRowCount(), 2);  // "\xA7" "Config" ended the block
    EXPECT_EQ(b.GetValue(0, 0, 0), 16u);
    EXPECT_EQ(b.GetValue(0, 0, 1), 3u);
    EXPECT_EQ(b.GetValue(0, 1, 1), 0u);  // a short line leaves the rest at 0
    EXPECT_FALSE(c.ReadFromCSV(f));      // no further table
}

TEST_F(TableCsv, AtTheEndOfTheFileEveryTableIsReadOnce) {
    // The file ends on a "\xA7Table" line, or on a field that begins like one:
    // reading tables until one fails must come to an end.
    const struct {
        const char* last;
        int tables;
    } cases[] = {{"\xA7Table\n", 2}, {"\xA7Table", 2}, {"Name;\xA7Table\n", 1}};
    for (const auto& c : cases) {
        CSVFile f(Put(std::string("\xA7Table\n\xA7TableInfo\nName;one\n") + c.last), false);
        int tables = 0;
        for (TTableData t; tables < 5 && t.ReadFromCSV(f);) ++tables;
        EXPECT_EQ(tables, c.tables) << c.last;
        EXPECT_EQ(f.GetCurrentField(), nullptr) << c.last;
    }
}

TEST_F(TableCsv, AfterRewindTheFirstBlockIsReadAgain) {
    CSVFile f(Put("x\n\xA7Table\n\xA7TableInfo\nName;one\n\xA7Table\n\xA7TableInfo\nName;two\n"), false);
    TTableData a, b, again;
    ASSERT_TRUE(a.ReadFromCSV(f));
    ASSERT_TRUE(b.ReadFromCSV(f));
    EXPECT_EQ(b.GetName(), "two");
    EXPECT_EQ(f.GetCurrentField(), nullptr);  // the end of the file was reached
    ASSERT_TRUE(f.ReadLine() == false);
    // A scan that stopped on a marker line must not leak into a read after Rewind.
    f.Rewind();
    while (f.ReadLine() && std::string(f.ReadField()) != "\xA7Table") {
    }
    f.Rewind();
    EXPECT_EQ(f.GetCurrentField(), nullptr);
    ASSERT_TRUE(again.ReadFromCSV(f));
    EXPECT_EQ(again.GetName(), "one");
}

TEST_F(TableCsv, BadFieldsAreRefusedAndLeaveTheTableAsItWas) {
    struct Case {
        const char* what;
        std::string text;
        bool convert;  // EConvertError, else TModelLimit
    } cases[] = {
        {"cell not a number", "\xA7Table\n\xA7TableFields\nf;1\n\xA7TableData\n12a\n", true},
        {"question mark cell", "\xA7Table\n\xA7TableFields\nf;1\n\xA7TableData\n?\n", true},
        {"cell too large", "\xA7Table\n\xA7TableFields\nf;1\n\xA7TableData\n4294967296\n", true},
        {"binary of 33 digits", "\xA7Table\n\xA7TableFields\nf;1\n\xA7TableData\n" + std::string(33, '1') + "b\n", true},
        {"attribute not a number", "\xA7Table\n\xA7TableInfo\nLevel;high\n", true},
        {"attribute missing", "\xA7Table\n\xA7TableInfo\nLevel\n", true},
        {"flags not a number", "\xA7Table\n\xA7TableFields\nf;1;u;x\n", true},
        {"attribute above 255", "\xA7Table\n\xA7TableInfo\nCfg;256\n", false},
        {"bad size", "\xA7Table\n\xA7TableFields\nf;5\n", false},
        {"empty size", "\xA7Table\n\xA7TableFields\nf;;u\n", false},
    };
    for (const auto& c : cases) {
        CSVFile f(Put(c.text), false);
        TTableData t;
        MakeSmall(t);
        if (c.convert)
            EXPECT_THROW(t.ReadFromCSV(f), EConvertError) << c.what;
        else
            EXPECT_THROW(t.ReadFromCSV(f), TModelLimit) << c.what;
        EXPECT_EQ(t.GetFieldCount(), 2) << c.what;
        EXPECT_EQ(t.GetRowCount(), 2) << c.what;
        EXPECT_EQ(t.GetValue(0, 0, 1), 0x2345u) << c.what;
        EXPECT_EQ(t.GetValue(0, 1, 0), 5u) << c.what;
        EXPECT_EQ(t.GetLevel(), 4) << c.what;
        EXPECT_EQ(t.GetCfg(), 3) << c.what;
        EXPECT_EQ(t.GetField(0)->GetName(), "a") << c.what;
    }
}

TEST_F(TableCsv, RowsWithoutDataSetOrFieldsAndFlags) {
    CSVFile f(Put("\xA7Table\n\xA7TableFields\nf;1;u;257\n\xA7TableData\n-1\n"), false);
    TTableData t;  // no data set: rows are added, values are not kept
    ASSERT_TRUE(t.ReadFromCSV(f));
    EXPECT_EQ(t.GetField(0)->Flags, 1);  // low 8 bits
    EXPECT_EQ(t.GetRowCount(), 1);
    EXPECT_EQ(t.GetDataSetCount(), 0);
    CSVFile g(Put("\xA7Table\n\xA7TableData\n1\n2\n"), false);
    TTableData n;
    ASSERT_TRUE(n.ReadFromCSV(g));
    EXPECT_EQ(n.GetRowCount(), 0);  // no fields: data lines are ignored
}

class TableFile : public TempFolderTest {};

TEST_F(TableFile, ATableOver16MiBAndTheTableAfterItReadBack) {
    TTableData big;
    big.SetFieldCount(64);
    big.SetRowCount(20000);
    big.SetDataSetCount(4);  // 64 x 20000 x 4 x 4 bytes: about 20 MB of cells
    for (int d = 0; d < 4; ++d) big.SetValue(d, 19999, 63, 0xC0DE0000u + static_cast<uint32_t>(d));
    big.GetField(63)->Size = 4;
    TTableData small;
    small.SetName("after");
    THdrFile file;
    ASSERT_EQ(file.Create(Path("t.mtp"), "QX218 TYPTAB"), 1);
    uint16_t sub = 0;
    for (TTableData* t : {&big, &small}) {
        THdrMem nested;
        ASSERT_EQ(nested.Create("", "QX218 TAB"), 1);
        ASSERT_TRUE(t->SaveTo(nested));
        ASSERT_EQ(nested.AttachToSection(&file, 0x4200, sub++), 1);
    }
    file.Close();
    ASSERT_EQ(file.Open(Path("t.mtp"), "QX218 TYPTAB"), 1);
    uint32_t size = 0;
    ASSERT_EQ(file.GetSectionInfo(0, nullptr, &size, nullptr), 1);
    EXPECT_GT(size, 16u << 20);
    THdrMem first, second;
    ASSERT_EQ(first.OpenFromSection(&file, 0x4200, "QX218 TAB", 0), 1);
    TTableData back;
    ASSERT_TRUE(back.LoadFrom(first));
    EXPECT_EQ(back.GetDataSetCount(), 4);
    EXPECT_EQ(back.GetValue(3, 19999, 63), 0xC0DE0003u);
    ASSERT_EQ(second.OpenFromSection(&file, 0x4200, "QX218 TAB", 1), 1);
    TTableData after;
    ASSERT_TRUE(after.LoadFrom(second));
    EXPECT_EQ(after.GetName(), "after");
}
