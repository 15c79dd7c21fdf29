// The type object: its tables, the type file (".mtp") byte by byte and its
// bad forms, safe saving, and the way to and from unit memory blocks.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "SafeFile.h"
#include "SmallType.h"
#include "TableBlocks.h"
#include "Thdrobj.h"
#include "TypeObject.h"

namespace {

namespace fs = std::filesystem;
using Sections = std::map<std::pair<uint16_t, uint16_t>, Bytes>;

class TypeFile : public ::testing::Test {
protected:
    TempFolder Temp;
    const std::string& Folder = Temp.Path;
    void SetUp() override { ASSERT_FALSE(Folder.empty()); }
    std::string Path(const char* name) const { return Temp.File(name); }
    Bytes FileBytes(const std::string& path) const {
        const auto text = ReadWholeFile(path);
        return text ? Bytes(text->begin(), text->end()) : Bytes();
    }
    void WriteBytes(const std::string& path, const Bytes& bytes) const {
        ASSERT_TRUE(ReplaceFileContents(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
    }
    // A type file made of the given sections, in order.
    void WriteSections(const std::string& path, const std::vector<std::pair<std::pair<uint16_t, uint16_t>, Bytes>>& sections,
                       const char* ident = "QX218 TYPTAB") const {
        THdrFile file;
        ASSERT_TRUE(file.Create(path, ident));
        for (const auto& [key, bytes] : sections)
            ASSERT_TRUE(file.WriteSection(key.first, key.second, static_cast<uint32_t>(bytes.size()), bytes.data()));
    }
    size_t FilesInFolder() const { return static_cast<size_t>(std::distance(fs::directory_iterator(Folder), fs::directory_iterator())); }
};

Bytes At(const Sections& sections, uint16_t id, uint16_t sub) {
    const auto found = sections.find({id, sub});
    return found == sections.end() ? Bytes() : found->second;
}

// A container image of the given sections, put together by hand.
Bytes ContainerImage(const char* ident, const std::vector<std::pair<std::pair<uint16_t, uint16_t>, Bytes>>& sections) {
    Bytes image(16 + 8 * sections.size(), 0);
    PutAt(image, 0, ident);
    Put16At(image, 14, static_cast<uint16_t>(sections.size()));
    for (size_t i = 0; i < sections.size(); ++i) {
        Put16At(image, 16 + 8 * i, sections[i].first.first);
        Put16At(image, 18 + 8 * i, sections[i].first.second);
        Put32At(image, 20 + 8 * i, static_cast<uint32_t>(sections[i].second.size()));
    }
    for (const auto& s : sections) image.insert(image.end(), s.second.begin(), s.second.end());
    return image;
}

void ExpectSmallType(TTypeObjectData& object) {
    const TTypeData6& type = object.GetTypeData();
    EXPECT_EQ(object.GetTypeName(), "PUMP");
    ASSERT_EQ(type.GetLanguageCount(), 2);
    EXPECT_EQ(type.GetLanguage(1)->GetName(), "Deutsch");
    EXPECT_EQ(type.GetLanguage(1)->GetSwitchText(15), "Heizung");
    EXPECT_EQ(type.GetParamName(1, 1), "P2 Grenze");
    EXPECT_EQ(type.GetDataSetName(1), "Winter");
    EXPECT_EQ(type.GetValue(0, 1), 2000);
    ASSERT_EQ(object.GetTableCount(), 1);
    TTableData& table = *object.GetTable(0);
    EXPECT_EQ(table.GetName(), "Curve");
    ASSERT_EQ(table.GetDataSetCount(), 2);
    EXPECT_EQ(table.GetDataSetName(1), "Winter");
    EXPECT_EQ(table.GetField(0)->Flags, 1);
    EXPECT_EQ(table.GetValue(0, 0, 0), 0xFFFFFFFBu);
    EXPECT_EQ(table.GetValue(1, 1, 2), 0xFFFFFFu);
    EXPECT_EQ(table.GetDisplayFormats(), object.GetDisplayFormats());
}

}  // namespace

TEST_F(TypeFile, TheSmallTypeByteForByte) {
    SmallType small;
    const std::string path = Path("pump.mtp");
    ASSERT_TRUE(small.Object.SaveToFile(path));
    std::vector<std::pair<uint16_t, uint16_t>> order;
    Sections file = SplitContainer(FileBytes(path), "QX218 TYPTAB", &order);
    ASSERT_EQ(order, (std::vector<std::pair<uint16_t, uint16_t>>{{0x4100, 0}, {0x4200, 0}, {0x4300, 0}}));
    Bytes extension(256, 0);
    extension[0] = 1;
    EXPECT_EQ(At(file, 0x4300, 0), extension);

    // The table: names NUL-filled, the 31-byte field record, cells field
    // after field as GetValue gives them.
    Sections table = SplitContainer(At(file, 0x4200, 0), "QX218 TAB", &order);
    ASSERT_EQ(order.size(), 3u + 1 + 3 + 2);
    Bytes header(90, 0);
    PutAt(header, 0, "Curve");
    PutAt(header, 17, "PUMP");
    PutAt(header, 34, {3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0});
    EXPECT_EQ(At(table, 0x2100, 0), header);
    Bytes field(31, 0);
    PutAt(field, 0, "Temp");
    PutAt(field, 18, "C");
    PutAt(field, 26, {2, 1});
    EXPECT_EQ(At(table, 0x2200, 0), field);
    Bytes cells(68 + 4 * 6, 0);
    PutAt(cells, 0, "Summer");
    PutAt(cells, 68, {0xFB, 0xFF, 0xFF, 0xFF, 0x2C, 0x01, 0, 0,  // field 0, rows 0 and 1
                      0x07, 0, 0, 0, 0xFF, 0, 0, 0,              // field 1
                      0x56, 0x34, 0x12, 0, 0x01, 0, 0, 0});      // field 2
    EXPECT_EQ(At(table, 0x2300, 0), cells);

    // The type: short texts parameter after parameter, full texts language
    // after language.
    Sections type = SplitContainer(At(file, 0x4100, 0), "QX218 TYP");
    Bytes shortTexts(22 * 4, 0);
    PutAt(shortTexts, 0, "P1 Speed");
    PutAt(shortTexts, 22, "P1 Tempo");
    PutAt(shortTexts, 44, "P2 Limit");
    PutAt(shortTexts, 66, "P2 Grenze");
    EXPECT_EQ(At(type, 0x3400, 0), shortTexts);
    const std::string full("P1 Speed\0P2 Limit\0P1 Tempo\0P2 Grenze\0", 37);
    EXPECT_EQ(At(type, 0x3800, 0), Bytes(full.begin(), full.end()));

    TTypeObjectData loaded(small.Formats);
    ASSERT_TRUE(loaded.LoadFromFile(path));
    ExpectSmallType(loaded);
    EXPECT_EQ(loaded.GetExtension()[0], 1);
}

TEST_F(TypeFile, WithoutTablesAndWithGaps) {
    SmallType small;
    small.Object.DeleteTable(0);
    const std::string path = Path("plain.mtp");
    ASSERT_TRUE(small.Object.SaveToFile(path));
    std::vector<std::pair<uint16_t, uint16_t>> order;
    Sections file = SplitContainer(FileBytes(path), "QX218 TYPTAB", &order);
    EXPECT_EQ(order, (std::vector<std::pair<uint16_t, uint16_t>>{{0x4100, 0}, {0x4300, 0}}));
    TTypeObjectData loaded(small.Formats);
    loaded.AddTable();
    ASSERT_TRUE(loaded.LoadFromFile(path));
    EXPECT_EQ(loaded.GetTableCount(), 0);

    // Tables are read while their sections follow one another.
    SmallType withTable;
    ASSERT_TRUE(withTable.Object.SaveToFile(path));
    file = SplitContainer(FileBytes(path), "QX218 TYPTAB");
    WriteSections(path, {{{0x4100, 0}, At(file, 0x4100, 0)},
                         {{0x4200, 0}, At(file, 0x4200, 0)},
                         {{0x4200, 2}, At(file, 0x4200, 0)},
                         {{0x4300, 0}, At(file, 0x4300, 0)}});
    ASSERT_TRUE(loaded.LoadFromFile(path));
    EXPECT_EQ(loaded.GetTableCount(), 1);
}

TEST_F(TypeFile, WithoutExtensionEveryFieldIsUnsigned) {
    SmallType small;
    const std::string path = Path("old.mtp");
    ASSERT_TRUE(small.Object.SaveToFile(path));
    Sections file = SplitContainer(FileBytes(path), "QX218 TYPTAB");
    WriteSections(path, {{{0x4100, 0}, At(file, 0x4100, 0)}, {{0x4200, 0}, At(file, 0x4200, 0)}});
    TTypeObjectData loaded(small.Formats);
    ASSERT_TRUE(loaded.LoadFromFile(path));
    EXPECT_EQ(loaded.GetExtension()[0], 0);
    EXPECT_EQ(loaded.GetTable(0)->GetField(0)->Flags, 0);
    ASSERT_TRUE(loaded.SaveToFile(path));
    EXPECT_EQ(At(SplitContainer(FileBytes(path), "QX218 TYPTAB"), 0x4300, 0)[0], 1);

    // An extension of another size: its first 256 bytes count.
    Bytes longer(300, 0);
    longer[0] = 1;
    WriteSections(path, {{{0x4100, 0}, At(file, 0x4100, 0)}, {{0x4200, 0}, At(file, 0x4200, 0)}, {{0x4300, 0}, longer}});
    ASSERT_TRUE(loaded.LoadFromFile(path));
    EXPECT_EQ(loaded.GetTable(0)->GetField(0)->Flags, 1);
    WriteSections(path, {{{0x4100, 0}, At(file, 0x4100, 0)}, {{0x4200, 0}, At(file, 0x4200, 0)}, {{0x4300, 0}, {1}}});
    ASSERT_TRUE(loaded.LoadFromFile(path));
    EXPECT_EQ(loaded.GetExtension()[0], 1);
    EXPECT_EQ(loaded.GetExtension()[1], 0);
}

TEST_F(TypeFile, BadFilesLeaveTheOpenTypeAsItWas) {
    SmallType small;
    const std::string good = Path("good.mtp");
    ASSERT_TRUE(small.Object.SaveToFile(good));
    const Bytes bytes = FileBytes(good);
    Sections file = SplitContainer(bytes, "QX218 TYPTAB");
    const Bytes typeImage = At(file, 0x4100, 0);
    const Bytes tableImage = At(file, 0x4200, 0);
    const Bytes extension = At(file, 0x4300, 0);
    Sections table = SplitContainer(tableImage, "QX218 TAB");
    Sections type = SplitContainer(typeImage, "QX218 TYP");

    Bytes tooManyLanguages = At(type, 0x3100, 0);
    Put32At(tooManyLanguages, 21, 11);
    Bytes shortDataSet = At(table, 0x2300, 1);
    shortDataSet.pop_back();
    Bytes tooManyFields = At(table, 0x2100, 0);
    Put32At(tooManyFields, 34, 256);
    const auto replace = [](Sections sections, std::pair<uint16_t, uint16_t> key, Bytes content, const char* ident) {
        sections[key] = std::move(content);
        std::vector<std::pair<std::pair<uint16_t, uint16_t>, Bytes>> list(sections.begin(), sections.end());
        return ContainerImage(ident, list);
    };
    struct Case {
        const char* what;
        Bytes image;
    };
    const std::vector<Case> cases = {
        {"truncated", Bytes(bytes.begin(), bytes.end() - 1)},
        {"a byte too many", [&] { Bytes b = bytes; b.push_back(0); return b; }()},
        {"empty", {}},
        {"foreign ident", ContainerImage("QX318 APP", {{{0x4100, 0}, typeImage}})},
        {"no type section", ContainerImage("QX218 TYPTAB", {{{0x4200, 0}, tableImage}})},
        {"type section of a table", ContainerImage("QX218 TYPTAB", {{{0x4100, 0}, tableImage}})},
        {"type counts beyond the limits",
         ContainerImage("QX218 TYPTAB", {{{0x4100, 0}, replace(type, {0x3100, 0}, tooManyLanguages, "QX218 TYP")}})},
        {"table section unreadable",
         ContainerImage("QX218 TYPTAB", {{{0x4100, 0}, typeImage},
                                         {{0x4200, 0}, Bytes(tableImage.begin(), tableImage.end() - 1)},
                                         {{0x4300, 0}, extension}})},
        {"table section foreign",
         ContainerImage("QX218 TYPTAB", {{{0x4100, 0}, typeImage}, {{0x4200, 0}, typeImage}, {{0x4300, 0}, extension}})},
        {"data set of the wrong size",
         ContainerImage("QX218 TYPTAB", {{{0x4100, 0}, typeImage},
                                         {{0x4200, 0}, replace(table, {0x2300, 1}, shortDataSet, "QX218 TAB")},
                                         {{0x4300, 0}, extension}})},
        {"table counts beyond the limits",
         ContainerImage("QX218 TYPTAB", {{{0x4100, 0}, typeImage},
                                         {{0x4200, 0}, replace(table, {0x2100, 0}, tooManyFields, "QX218 TAB")}})},
    };
    const std::string path = Path("bad.mtp");
    for (const Case& c : cases) {
        WriteBytes(path, c.image);
        SmallType open;
        EXPECT_FALSE(open.Object.LoadFromFile(path)) << c.what;
        ExpectSmallType(open.Object);
    }
    SmallType open;
    EXPECT_FALSE(open.Object.LoadFromFile(Path("missing.mtp")));
    ExpectSmallType(open.Object);
}

TEST_F(TypeFile, AFailedSaveLeavesTheOldFile) {
    SmallType small;
    const std::string path = Path("keep.mtp");
    ASSERT_TRUE(small.Object.SaveToFile(path));
    const Bytes before = FileBytes(path);
    TTableData* big = small.Object.AddTable();
    big->SetName("Big");
    big->SetFieldCount(16);
    big->SetRowCount(4000);
    // The file system refuses files beyond 64 KiB while this one is written.
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto handler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit low = old;
    low.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &low), 0);
    const bool saved = small.Object.SaveToFile(path);
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, handler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_EQ(FilesInFolder(), 1u);  // nothing left behind

    // A name that is a folder is refused, and the folder stays.
    EXPECT_FALSE(small.Object.SaveToFile(Folder));
    EXPECT_TRUE(fs::is_directory(Folder));
    EXPECT_FALSE(small.Object.SaveToFile(Path("no/such/folder.mtp")));
}

TEST_F(TypeFile, LargeLegalTablesReopen) {
    // More than 16 MiB in one table section.
    uint8_t formats[100] = {};
    TTypeObjectData object(formats);
    object.SetTypeName("LARGE");
    TTableData* table = object.AddTable();
    table->SetName("Wide");
    table->SetFieldCount(255);
    for (int f = 0; f < 255; ++f) table->GetField(f)->Size = 4;
    table->SetRowCount(16500);
    table->SetValue(0, 16499, 254, 0xCAFEF00D);
    const std::string path = Path("large.mtp");
    ASSERT_TRUE(object.SaveToFile(path));
    EXPECT_GT(fs::file_size(path), 16u << 20);
    TTypeObjectData loaded(formats);
    ASSERT_TRUE(loaded.LoadFromFile(path));
    ASSERT_EQ(loaded.GetTableCount(), 1);
    EXPECT_EQ(loaded.GetTable(0)->GetRowCount(), 16500);
    EXPECT_EQ(loaded.GetTable(0)->GetValue(0, 16499, 254), 0xCAFEF00Du);
}

TEST(TypeObject, TablesAndNames) {
    uint8_t formats[100] = {};
    TTypeObjectData object(formats);
    EXPECT_EQ(object.GetTypeData().GetDataSetCount(), 1);
    EXPECT_EQ(object.GetTypeData().GetLanguageCount(), 1);
    EXPECT_EQ(object.GetExtension()[0], 0);
    TTableData* a = object.AddTable();
    EXPECT_EQ(a->GetDataSetCount(), 1);
    EXPECT_EQ(a->GetDisplayFormats(), formats);
    a->SetName("Alpha");
    EXPECT_EQ(object.InsertTable(1), nullptr);
    TTableData* b = object.InsertTable(0);
    ASSERT_NE(b, nullptr);
    b->SetName("Beta");
    EXPECT_EQ(object.GetTable(0), b);
    EXPECT_EQ(object.GetTable(2), nullptr);
    EXPECT_TRUE(object.TableExists("Alpha"));
    EXPECT_FALSE(object.TableExists("alpha"));
    object.SetTypeName("A TYPE NAME LONGER THAN SIXTEEN");
    EXPECT_EQ(object.GetTypeName(), "A TYPE NAME LONG");
    EXPECT_EQ(a->GetTypeName(), "A TYPE NAME LONG");
    object.DeleteTable(5);
    object.DeleteTable(0);
    EXPECT_EQ(object.GetTableCount(), 1);
    EXPECT_EQ(object.GetTable(0), a);
}

TEST(TypeObject, AReplacedTableTakesThePlaceAndTheDisplayFormats) {
    uint8_t formats[100] = {}, others[100] = {};
    TTypeObjectData object(formats);
    object.AddTable()->SetName("First");
    object.AddTable()->SetName("Second");
    auto copy = std::make_unique<TTableData>(others);
    copy->SetName("Copy");
    TTableData* const raw = copy.get();
    EXPECT_EQ(object.ReplaceTable(0, std::move(copy)), raw);
    EXPECT_EQ(object.GetTableCount(), 2);
    EXPECT_EQ(object.GetTable(0)->GetName(), "Copy");
    EXPECT_EQ(object.GetTable(0)->GetDisplayFormats(), formats);
    EXPECT_EQ(object.GetTable(1)->GetName(), "Second");
    // No table at the index: nothing changes.
    EXPECT_EQ(object.ReplaceTable(2, std::make_unique<TTableData>(formats)), nullptr);
    EXPECT_EQ(object.ReplaceTable(-1, std::make_unique<TTableData>(formats)), nullptr);
    EXPECT_EQ(object.ReplaceTable(0, nullptr), nullptr);
    EXPECT_EQ(object.GetTableCount(), 2);
    EXPECT_EQ(object.GetTable(0), raw);
}

TEST(TypeObject, BlocksThereAndBackKeepEveryDataSet) {
    SmallType small;
    small.Table().SetTypeName("");
    TQXBlockMemList list;
    _BlockContext context = V2Context();
    ASSERT_TRUE(small.Object.SaveToBlocks(list, context, 0, 1));
    ASSERT_EQ(list.Count(), 6);
    EXPECT_EQ(small.Table().GetTypeName(), "PUMP");  // the owner is set first
    // Blocks of a table of another type stay where they are.
    SmallType other;
    other.Object.SetTypeName("VALVE");
    other.Table().SetName("Alien");
    TQXBlockMemList alien;
    ASSERT_TRUE(TableDataToBlocks(other.Table(), alien, context));
    list.Add()->Assign(*alien.Get(0));

    TTypeObjectData loaded(small.Formats);
    ASSERT_TRUE(loaded.LoadFromBlocks(list, context, true));
    EXPECT_EQ(loaded.GetTypeName(), "PUMP");
    EXPECT_EQ(loaded.GetTypeData().GetDataSetCount(), 2);
    EXPECT_EQ(loaded.GetTypeData().GetValue(0, 1), 2000);
    ASSERT_EQ(loaded.GetTableCount(), 1);
    const TTableData& table = *loaded.GetTable(0);
    EXPECT_EQ(table.GetName(), "Curve");
    ASSERT_EQ(table.GetDataSetCount(), 2);
    EXPECT_EQ(table.GetValue(1, 1, 2), 0xFFFFFFu);
    EXPECT_EQ(table.GetDisplayFormats(), small.Formats);
    // The Table Text block used is gone; the other one is left.
    ASSERT_EQ(list.Count(), 6);
    EXPECT_EQ(list.Get(5)->Header[0], 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(list.Get(5)->Data()), 5), "Alien");

    _BlockContext v1;
    v1.ModelVersion.SetText("V1.0");
    TTypeObjectData none(small.Formats);
    EXPECT_FALSE(none.LoadFromBlocks(list, v1, true));
    EXPECT_EQ(none.GetTableCount(), 0);
}

TEST(TypeObject, WhatTheBlocksCannotCarryIsRefusedFirst) {
    SmallType small;
    TTableData* big = small.Object.AddTable();
    big->SetName("Big");
    big->SetFieldCount(16);
    big->SetRowCount(4094);  // 4094 x 16 = 65504 bytes
    TQXBlockMemList list;
    list.Add();
    _BlockContext context = V2Context();
    EXPECT_FALSE(small.Object.SaveToBlocks(list, context, 0, 1));
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(context.RefusalId, Msg::TableBlockTooLarge);
    EXPECT_EQ(context.RefusalArgs[0], "Big");
    big->SetRowCount(4093);
    small.Type().SetParameterCount(255);
    EXPECT_FALSE(small.Object.SaveToBlocks(list, context, 0, 1));
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(context.RefusalId, Msg::TooManyBlockParameters);
    small.Type().SetParameterCount(254);
    EXPECT_TRUE(small.Object.SaveToBlocks(list, context, 0, 1));
    EXPECT_EQ(context.RefusalId, 0);
    EXPECT_EQ(list.Count(), 1 + 3 + 3 + 2);

    _BlockContext v3;
    v3.ModelVersion.SetText("V3.0");
    EXPECT_FALSE(small.Object.SaveToBlocks(list, v3, 0, 1));
    EXPECT_EQ(v3.RefusalId, 0);
}

TEST(TypeObject, DataSetRefreshIsAllOrNothing) {
    SmallType small;
    TQXBlockMemList list;
    _BlockContext context = V2Context();
    ASSERT_TRUE(small.Object.SaveToBlocks(list, context, 0, 1));
    TQXBlockMemList dataOnly;
    dataOnly.Add()->Assign(*list.Get(2));  // the type's Winter values
    SmallType open;
    EXPECT_FALSE(open.Object.LoadDataSetFromBlocks(dataOnly, context, true));
    EXPECT_EQ(open.Type().GetValue(0, 0), 100);  // nothing applied
    dataOnly.Add()->Assign(*list.Get(5));        // the table's Winter cells
    EXPECT_TRUE(open.Object.LoadDataSetFromBlocks(dataOnly, context, false));
    EXPECT_EQ(open.Type().GetValue(0, 0), 100);
    EXPECT_TRUE(open.Object.LoadDataSetFromBlocks(dataOnly, context, true));
    EXPECT_EQ(open.Type().GetValue(0, 0), 2000);
    EXPECT_EQ(open.Table().GetValue(0, 0, 2), 3u);
    EXPECT_EQ(open.Table().GetValue(1, 0, 2), 3u);
}

TEST_F(TypeFile, WideTablesPassThroughTheWriterFieldGroupByFieldGroup) {
    // 100 fields by 5,000 rows: the cells of one data set leave the writer
    // in more than one group of fields; every cell must land field after
    // field, rows in order, cut to its field's size.
    uint8_t formats[100] = {};
    TTypeObjectData object(formats);
    TTableData* table = object.AddTable();
    constexpr int32_t Fields = 100, Rows = 5000, Sets = 2;
    table->SetFieldCount(Fields);
    for (int32_t f = 0; f < Fields; ++f) table->GetField(f)->Size = static_cast<uint8_t>(1 + f % 4);
    table->SetRowCount(Rows);
    table->SetDataSetCount(Sets);
    table->SetDataSetName(1, "Second");
    auto value = [](int32_t d, int32_t r, int32_t f) { return static_cast<uint32_t>(d * 1000003 + r * 40503 + f * 977) * 2654435761u; };
    for (int32_t d = 0; d < Sets; ++d)
        for (int32_t r = 0; r < Rows; ++r)
            for (int32_t f = 0; f < Fields; ++f) table->SetValue(d, r, f, value(d, r, f));
    const std::string path = Path("wide.mtp");
    ASSERT_TRUE(object.SaveToFile(path));
    std::vector<std::pair<uint16_t, uint16_t>> order;
    Sections file = SplitContainer(FileBytes(path), "QX218 TYPTAB", &order);
    ASSERT_EQ(order, (std::vector<std::pair<uint16_t, uint16_t>>{{0x4100, 0}, {0x4200, 0}, {0x4300, 0}}));
    order.clear();
    Sections sections = SplitContainer(At(file, 0x4200, 0), "QX218 TAB", &order);
    ASSERT_EQ(order.size(), 1u + Fields + Sets);
    for (int32_t d = 0; d < Sets; ++d) {
        const Bytes set = At(sections, 0x2300, static_cast<uint16_t>(d));
        ASSERT_EQ(set.size(), 68u + 4u * Fields * Rows);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(set.data())), d == 0 ? "Data Set" : "Second");
        EXPECT_TRUE(std::all_of(set.begin() + 17, set.begin() + 68, [](uint8_t b) { return b == 0; }));
        size_t wrong = 0;
        for (int32_t f = 0; f < Fields; ++f) {
            const uint32_t mask = f % 4 == 3 ? 0xFFFFFFFFu : (1u << (8 * (1 + f % 4))) - 1;
            for (int32_t r = 0; r < Rows; ++r) {
                const uint8_t* at = set.data() + 68 + 4 * (static_cast<size_t>(f) * Rows + r);
                const uint32_t stored = at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24;
                wrong += stored != (value(d, r, f) & mask);
            }
        }
        EXPECT_EQ(wrong, 0u) << "data set " << d;
    }
    TTypeObjectData loaded(formats);
    ASSERT_TRUE(loaded.LoadFromFile(path));
    EXPECT_EQ(loaded.GetTable(0)->GetValue(1, Rows - 1, Fields - 1), value(1, Rows - 1, Fields - 1));
}
