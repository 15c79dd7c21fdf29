#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "SafeFile.h"
#include "TempFolder.h"
#include "Thdrobj.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

std::string Bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list) s += static_cast<char>(b);
    return s;
}

// The 14 ident bytes of a text.
std::string IdentBytes(const std::string& text) {
    std::string s = text;
    s.resize(14, '\0');
    return s;
}

}  // namespace

class HdrTest : public TempFolderTest {
protected:
    std::string Contents(const std::string& name) const { return ReadWholeFile(Path(name)).value_or("<none>"); }
};

// A settings file written out by hand: two sections, the second of 3 bytes.
const std::string TwoSections = IdentBytes("QX318 APP") + Bytes({2, 0}) +
                                Bytes({0x10, 0x10, 0, 0, 2, 0, 0, 0}) + Bytes({0x12, 0x10, 5, 0, 3, 0, 0, 0}) +
                                "ab" + "xyz";

TEST_F(HdrTest, OpensAFileWrittenByHand) {
    THdrFile f;
    ASSERT_EQ(f.Open(Write("a.cfg", TwoSections), "QX318 APP"), 1);
    EXPECT_EQ(f.GetIdent(), "QX318 APP");
    EXPECT_EQ(f.GetSectionCount(), 2);
    EXPECT_EQ(f.GetHeaderSize(), 32u);
    EXPECT_EQ(f.GetSectionOffset(0), 32u);
    EXPECT_EQ(f.GetSectionOffset(1), 34u);
    EXPECT_EQ(f.GetSectionOffset(2), 0u);
    EXPECT_EQ(f.GetTotalSize(), 37u);
    uint16_t id = 0, sub = 0;
    uint32_t size = 0;
    ASSERT_EQ(f.GetSectionInfo(1, &id, &size, &sub), 1);
    EXPECT_EQ(id, 0x1012);
    EXPECT_EQ(sub, 5);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(f.GetSectionInfo(2, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(f.FindSection(0x1012, 5), 1);
    EXPECT_EQ(f.FindSection(0x1012, 0), -1);
    char buf[4] = {};
    EXPECT_EQ(f.ReadSectionFixed(0x1012, 5, 4, buf), 0);  // one byte off: nothing read
    EXPECT_EQ(f.ReadSectionFixed(0x1012, 5, 2, buf), 0);
    EXPECT_EQ(std::string(buf), "");
    EXPECT_EQ(f.ReadSectionFixed(0x1012, 5, 3, buf), 1);
    EXPECT_EQ(std::string(buf), "xyz");
    uint32_t n = 0;
    auto all = f.ReadSectionAlloc(0x1010, 0, &n);
    ASSERT_TRUE(all);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(all.get()), n), "ab");
    EXPECT_FALSE(f.ReadSectionAlloc(0x1011, 0, &n));
    f.Close();
    EXPECT_EQ(f.GetSectionCount(), -1);
    EXPECT_EQ(f.GetSectionInfo(0, &id, &size, &sub), 0);
    EXPECT_EQ(f.GetFileName(), Path("a.cfg"));  // kept after Close
    EXPECT_EQ(f.GetIdent(), "QX318 APP");
}

TEST_F(HdrTest, RefusesDamagedAndForeignFiles) {
    const std::string empty = IdentBytes("QX218 TYPTAB") + Bytes({0, 0});
    std::string noNul = "ABCDEFGHIJKLMN" + Bytes({0, 0});  // ident fills all 14 bytes
    struct Case {
        const char* what;
        std::string bytes;
        const char* ident;
        int result;
    } cases[] = {
        {"empty container", empty, "QX218 TYPTAB", 1},
        {"any ident accepted", TwoSections, "", 1},
        {"one byte too many", empty + "x", "QX218 TYPTAB", 0},
        {"other ident", TwoSections, "QX218 TYPTAB", 0},
        {"ident prefix only", TwoSections, "QX318", 0},
        {"truncated payload", TwoSections.substr(0, TwoSections.size() - 1), "", 0},
        {"trailing byte", TwoSections + "!", "", 0},
        {"short ident", "QX318", "", 0},
        {"no count", IdentBytes("QX318 APP"), "", 0},
        {"directory beyond the file", IdentBytes("QX318 APP") + Bytes({2, 0, 1, 0, 0, 0, 0, 0, 0, 0}), "", 0},
        // Two sizes of 0xFFFFFFFF and 2 more bytes: the sum only matches when it wraps.
        {"sizes that wrap in 32 bits",
         IdentBytes("X") + Bytes({3, 0}) + Bytes({1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}) +
             Bytes({2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}) + Bytes({3, 0, 0, 0, 4, 0, 0, 0}) + "abcd",
         "", 0},
        {"ident of 14 characters", noNul, "", 1},
    };
    for (const auto& c : cases) {
        THdrFile f;
        EXPECT_EQ(f.Open(Write("t.bin", c.bytes), c.ident), c.result) << c.what;
        EXPECT_EQ(f.IsOpen(), c.result == 1) << c.what;
    }
    THdrFile f;
    ASSERT_EQ(f.Open(Write("n.bin", noNul), ""), 1);
    EXPECT_EQ(f.GetIdent(), "ABCDEFGHIJKLMN");  // never past the field
    EXPECT_EQ(f.Open(Path("missing.bin"), ""), 0);
    EXPECT_EQ(f.Open(dir.string(), ""), 0);
    EXPECT_EQ(f.Open("", ""), 0);
}

TEST_F(HdrTest, FileNamesUpTo511Characters) {
    // Long names through a deep folder, so that no single component is too long.
    std::string folder = dir.string();
    while (folder.size() < 400) {
        folder += "/" + std::string(50, 'd');
        fs::create_directory(folder);
    }
    const std::string base = folder + "/";
    const std::string name511 = base + std::string(511 - base.size(), 'f');
    const std::string name512 = base + std::string(512 - base.size(), 'f');
    THdrFile f;
    EXPECT_EQ(f.Create(name511, "QX318 APP"), 1);
    EXPECT_EQ(f.Create(name512, "QX318 APP"), 0);
    EXPECT_FALSE(fs::exists(name512));
}

TEST_F(HdrTest, CreateAndWriteGiveTheBytesOfTheFormat) {
    THdrFile f;
    ASSERT_EQ(f.Create(Path("t.mtp"), "QX218 TYPTAB and more"), 1);  // cut to 13 characters
    EXPECT_EQ(Contents("t.mtp"), IdentBytes("QX218 TYPTAB ") + Bytes({0, 0}));
    ASSERT_EQ(f.WriteSection(0x1010, 0, 3, "abc"), 1);
    ASSERT_EQ(f.WriteSection(0x2200, 7, 0, nullptr), 1);
    ASSERT_EQ(f.WriteSection(0x1010, 0, 2, "de"), 1);  // replaced: now the last one
    const std::string expected = IdentBytes("QX218 TYPTAB ") + Bytes({2, 0}) +
                                 Bytes({0x00, 0x22, 7, 0, 0, 0, 0, 0}) + Bytes({0x10, 0x10, 0, 0, 2, 0, 0, 0}) + "de";
    EXPECT_EQ(Contents("t.mtp"), expected);
    EXPECT_EQ(f.ReadSectionFixed(0x2200, 7, 0, nullptr), 1);
    char buf[2];
    EXPECT_EQ(f.ReadSection(0x1010, 0, buf), 1);
    EXPECT_EQ(std::string(buf, 2), "de");
    ASSERT_EQ(f.DeleteSection(0x2200, 7), 1);
    EXPECT_EQ(f.DeleteSection(0x2200, 7), 0);
    EXPECT_EQ(Contents("t.mtp"), IdentBytes("QX218 TYPTAB ") + Bytes({1, 0, 0x10, 0x10, 0, 0, 2, 0, 0, 0}) + "de");
    EXPECT_EQ(FileCount(), 1u);  // no temporary file left
}

TEST_F(HdrTest, TheTemporaryFileIsNeverTheFileItself) {
    THdrFile f;
    ASSERT_EQ(f.Create(Path("odd.cf$"), "QX318 APP"), 1);
    ASSERT_EQ(f.WriteSection(1, 0, 4, "data"), 1);
    ASSERT_EQ(f.WriteSection(1, 0, 4, "more"), 1);
    THdrFile g;
    ASSERT_EQ(g.Open(Path("odd.cf$"), "QX318 APP"), 1);
    char buf[4];
    ASSERT_EQ(g.ReadSectionFixed(1, 0, 4, buf), 1);
    EXPECT_EQ(std::string(buf, 4), "more");
    EXPECT_EQ(FileCount(), 1u);
}

TEST_F(HdrTest, AFailedRewriteLeavesFileAndContainerAsTheyWere) {
    THdrFile f;
    ASSERT_EQ(f.Create(Path("keep.mtp"), "QX218 TYPTAB"), 1);
    ASSERT_EQ(f.WriteSection(1, 0, 3, "one"), 1);
    ASSERT_EQ(f.WriteSection(2, 0, 3, "two"), 1);
    const std::string before = Contents("keep.mtp");
    {
        FileSizeLimit limit(before.size() + 100);
        const std::string big(1000, 'x');
        EXPECT_EQ(f.WriteSection(1, 0, static_cast<uint32_t>(big.size()), big.data()), 0);
        EXPECT_EQ(f.WriteSection(3, 0, static_cast<uint32_t>(big.size()), big.data()), 0);
    }
    EXPECT_EQ(Contents("keep.mtp"), before);
    EXPECT_EQ(FileCount(), 1u);
    ASSERT_TRUE(f.IsOpen());
    char buf[3];
    ASSERT_EQ(f.ReadSectionFixed(1, 0, 3, buf), 1);
    EXPECT_EQ(std::string(buf, 3), "one");
    EXPECT_EQ(f.FindSection(3, 0), -1);
    // The container goes on working afterwards.
    ASSERT_EQ(f.WriteSection(1, 0, 3, "uno"), 1);
    EXPECT_EQ(f.FindSection(1, 0), 1);
}

TEST_F(HdrTest, The65536thSectionIsRefused) {
    std::string bytes = IdentBytes("X") + Bytes({0xFF, 0xFF});
    for (int i = 0; i < 65535; ++i) bytes += Bytes({i & 0xFF, (i >> 8) & 0xFF, 0, 0, 0, 0, 0, 0});
    THdrFile f;
    ASSERT_EQ(f.Open(Write("full.bin", bytes), "X"), 1);
    EXPECT_EQ(f.GetSectionCount(), 65535);
    EXPECT_EQ(f.WriteSection(0, 1, 1, "x"), 0);
    EXPECT_EQ(Contents("full.bin"), bytes);
    THdrMem m;
    ASSERT_EQ(m.CopyFrom(&f, "X"), 1);
    EXPECT_EQ(m.WriteSection(0, 1, 1, "x"), 0);
    EXPECT_EQ(m.WriteSection(65534, 0, 1, "x"), 1);  // replacing one still works
    EXPECT_EQ(m.GetSectionCount(), 65535);
}

TEST_F(HdrTest, MemoryContainerNestsInASection) {
    THdrFile f;
    ASSERT_EQ(f.Create(Path("n.mtp"), "QX218 TYPTAB"), 1);
    THdrMem m;
    EXPECT_EQ(m.WriteSection(1, 0, 1, "a"), 0);  // closed
    ASSERT_EQ(m.Create("ignored", "QX218 TAB"), 1);
    EXPECT_EQ(m.GetSectionCount(), 0);
    ASSERT_EQ(m.WriteSection(0x2100, 0, 2, "hi"), 1);
    ASSERT_EQ(m.AttachToSection(&f, 0x4200, 3), 1);
    const std::string image = IdentBytes("QX218 TAB") + Bytes({1, 0, 0x00, 0x21, 0, 0, 2, 0, 0, 0}) + "hi";
    const std::string file = IdentBytes("QX218 TYPTAB") + Bytes({1, 0, 0x00, 0x42, 3, 0}) +
                             Bytes({static_cast<int>(image.size()), 0, 0, 0}) + image;
    EXPECT_EQ(Contents("n.mtp"), file);
    // Every change is written back.
    ASSERT_EQ(m.WriteSection(0x2200, 1, 1, "f"), 1);
    ASSERT_EQ(m.DeleteSection(0x2100, 0), 1);
    THdrMem back;
    ASSERT_EQ(back.OpenFromSection(&f, 0x4200, "QX218 TAB", 3), 1);
    EXPECT_TRUE(back.IsAttached());
    EXPECT_EQ(back.GetSectionCount(), 1);
    EXPECT_EQ(back.FindSection(0x2200, 1), 0);
    EXPECT_EQ(back.OpenFromSection(&f, 0x4200, "QX218 TYP", 3), 0);
    EXPECT_EQ(back.OpenFromSection(&f, 0x4200, "QX218 TAB", 4), 0);
    EXPECT_EQ(back.Open(Path("n.mtp"), ""), 0);  // not for memory containers
    back.Close();
    EXPECT_FALSE(back.IsAttached());
    EXPECT_EQ(back.GetSectionCount(), -1);
}

TEST_F(HdrTest, NestedImagesAreCheckedAgainstTheirSection) {
    const std::string inner = IdentBytes("QX218 TAB") + Bytes({1, 0, 5, 0, 0, 0, 2, 0, 0, 0}) + "ok";
    struct Case {
        const char* what;
        std::string payload;
        int result;
    } cases[] = {
        {"exact image", inner, 1},
        {"bytes after the image", inner + "junk", 1},
        {"image one byte short", inner.substr(0, inner.size() - 1), 0},
        {"less than 16 bytes", inner.substr(0, 15), 0},
        {"directory beyond the section", IdentBytes("QX218 TAB") + Bytes({9, 0}) + std::string(20, '\0'), 0},
    };
    for (const auto& c : cases) {
        THdrFile f;
        ASSERT_EQ(f.Create(Path("p.mtp"), "P"), 1);
        ASSERT_EQ(f.WriteSection(0x4200, 0, static_cast<uint32_t>(c.payload.size()), c.payload.data()), 1);
        THdrMem m;
        EXPECT_EQ(m.OpenFromSection(&f, 0x4200, "QX218 TAB", 0), c.result) << c.what;
        if (c.result != 1) continue;
        char buf[2];
        ASSERT_EQ(m.ReadSectionFixed(5, 0, 2, buf), 1) << c.what;
        EXPECT_EQ(std::string(buf, 2), "ok");
        // The next write-back drops whatever followed the image.
        ASSERT_EQ(m.WriteSection(6, 0, 0, nullptr), 1);
        uint32_t n = 0;
        auto stored = f.ReadSectionAlloc(0x4200, 0, &n);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(stored.get()), n),
                  IdentBytes("QX218 TAB") + Bytes({2, 0, 5, 0, 0, 0, 2, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0}) + "ok");
    }
}

TEST_F(HdrTest, ANestedImageOver16MiBReadsBack) {
    THdrFile f;
    ASSERT_EQ(f.Create(Path("big.mtp"), "QX218 TYPTAB"), 1);
    THdrMem table;
    ASSERT_EQ(table.Create("", "QX218 TAB"), 1);
    std::string cells(17u << 20, '\0');
    for (size_t i = 0; i < cells.size(); i += 4096) cells[i] = static_cast<char>(i >> 12);
    ASSERT_EQ(table.WriteSection(0x2300, 0, static_cast<uint32_t>(cells.size()), cells.data()), 1);
    ASSERT_EQ(table.AttachToSection(&f, 0x4200, 0), 1);
    ASSERT_EQ(table.AttachToSection(&f, 0x4200, 1), 1);
    f.Close();
    ASSERT_EQ(f.Open(Path("big.mtp"), "QX218 TYPTAB"), 1);
    for (uint16_t sub = 0; sub < 2; ++sub) {
        THdrMem back;
        ASSERT_EQ(back.OpenFromSection(&f, 0x4200, "QX218 TAB", sub), 1) << sub;
        uint32_t n = 0;
        auto read = back.ReadSectionAlloc(0x2300, 0, &n);
        ASSERT_TRUE(read);
        EXPECT_TRUE(std::string(reinterpret_cast<char*>(read.get()), n) == cells);
    }
}

TEST_F(HdrTest, ALoadedNestedContainerKeepsItsBytesWhenTheParentChanges) {
    THdrFile f;
    ASSERT_EQ(f.Create(Path("s.mtp"), "S"), 1);
    THdrMem a;
    ASSERT_EQ(a.Create("", "A"), 1);
    ASSERT_EQ(a.WriteSection(1, 0, 3, "old"), 1);
    ASSERT_EQ(a.AttachToSection(&f, 0x10, 0), 1);
    THdrMem loaded;
    ASSERT_EQ(loaded.OpenFromSection(&f, 0x10, "A", 0), 1);
    ASSERT_EQ(a.WriteSection(1, 0, 3, "new"), 1);  // the file is rewritten
    char buf[3];
    ASSERT_EQ(loaded.ReadSectionFixed(1, 0, 3, buf), 1);
    EXPECT_EQ(std::string(buf, 3), "old");
    // A nested container inside the loaded one reads from the same snapshot.
    THdrMem inner;
    ASSERT_EQ(inner.Create("", "I"), 1);
    ASSERT_EQ(inner.WriteSection(2, 0, 1, "i"), 1);
    ASSERT_EQ(inner.AttachToSection(&a, 3, 0), 1);
    THdrMem reloaded, innerLoaded;
    ASSERT_EQ(reloaded.OpenFromSection(&f, 0x10, "A", 0), 1);
    ASSERT_EQ(innerLoaded.OpenFromSection(&reloaded, 3, "I", 0), 1);
    ASSERT_EQ(innerLoaded.ReadSectionFixed(2, 0, 1, buf), 1);
    EXPECT_EQ(buf[0], 'i');
}

TEST_F(HdrTest, AFailedWriteBackIsReportedAndUndone) {
    THdrFile f;
    ASSERT_EQ(f.Create(Path("w.mtp"), "W"), 1);
    THdrMem m;
    ASSERT_EQ(m.Create("", "M"), 1);
    ASSERT_EQ(m.WriteSection(1, 0, 3, "one"), 1);
    ASSERT_EQ(m.AttachToSection(&f, 0x4100, 0), 1);
    const std::string before = Contents("w.mtp");
    {
        FileSizeLimit limit(before.size() + 50);
        const std::string big(500, 'b');
        EXPECT_EQ(m.WriteSection(2, 0, static_cast<uint32_t>(big.size()), big.data()), 0);
        EXPECT_EQ(m.WriteSection(1, 0, static_cast<uint32_t>(big.size()), big.data()), 0);
        THdrMem other;
        ASSERT_EQ(other.Create("", "O"), 1);
        ASSERT_EQ(other.WriteSection(1, 0, static_cast<uint32_t>(big.size()), big.data()), 1);
        EXPECT_EQ(other.AttachToSection(&f, 0x4200, 0), 0);
        EXPECT_FALSE(other.IsAttached());
    }
    EXPECT_EQ(Contents("w.mtp"), before);
    EXPECT_EQ(m.GetSectionCount(), 1);
    char buf[3];
    ASSERT_EQ(m.ReadSectionFixed(1, 0, 3, buf), 1);
    EXPECT_EQ(std::string(buf, 3), "one");
    // A failed delete is undone as well.
    {
        FileSizeLimit limit(10);
        EXPECT_EQ(m.DeleteSection(1, 0), 0);
    }
    EXPECT_EQ(m.FindSection(1, 0), 0);
    EXPECT_EQ(Contents("w.mtp"), before);
}

TEST_F(HdrTest, CopyFromTakesEverySection) {
    THdrMem m;
    ASSERT_EQ(m.Create("", "QX318 APP"), 1);
    ASSERT_EQ(m.WriteSection(0x1010, 0, 2, "ab"), 1);
    ASSERT_EQ(m.WriteSection(0x1012, 5, 3, "xyz"), 1);
    THdrFile f;
    EXPECT_EQ(f.CopyFrom(&m, "QX318 APP"), 0);  // no file name yet
    ASSERT_EQ(f.Create(Path("c.cfg"), "QX318 APP"), 1);
    EXPECT_EQ(f.CopyFrom(&m, "OTHER"), 0);
    ASSERT_EQ(f.CopyFrom(&m, "QX318 APP"), 1);
    EXPECT_EQ(Contents("c.cfg"), TwoSections);
    THdrMem copy;
    ASSERT_EQ(copy.CopyFrom(&f, ""), 1);
    EXPECT_FALSE(copy.IsAttached());
    EXPECT_EQ(copy.GetTotalSize(), TwoSections.size());
    char buf[3];
    ASSERT_EQ(copy.ReadSectionFixed(0x1012, 5, 3, buf), 1);
    EXPECT_EQ(std::string(buf, 3), "xyz");
}

TEST_F(HdrTest, CopyFromRecreatesTheFileWithAnIdentOfAtMost13Characters) {
    // A foreign file whose ident fills all 14 bytes.
    THdrFile f;
    ASSERT_EQ(f.Open(Write("w.cfg", "ABCDEFGHIJKLMN"s + Bytes({0, 0})), ""), 1);
    EXPECT_EQ(f.GetIdent(), "ABCDEFGHIJKLMN");
    THdrMem m;
    ASSERT_EQ(m.Create("", "QX318 APP"), 1);
    ASSERT_EQ(m.WriteSection(0x1010, 0, 2, "ab"), 1);
    ASSERT_EQ(f.CopyFrom(&m, ""), 1);
    EXPECT_EQ(Contents("w.cfg"), IdentBytes("ABCDEFGHIJKLM") + Bytes({1, 0, 0x10, 0x10, 0, 0, 2, 0, 0, 0}) + "ab");
    EXPECT_EQ(f.GetIdent(), "ABCDEFGHIJKLM");
}
