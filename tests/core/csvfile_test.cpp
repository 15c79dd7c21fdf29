#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "CSVFile.h"
#include "TempFolder.h"
#include "SafeFile.h"

namespace fs = std::filesystem;

class CsvTest : public TempFolderTest {
protected:
    std::string Write(const std::string& bytes) const { return TempFolderTest::Write("in.csv", bytes); }
};

TEST_F(CsvTest, WritesFieldsAndLines) {
    {
        CSVFile f(Path("out.csv"), true);
        ASSERT_TRUE(f.IsOpen());
        EXPECT_EQ(f.ReadField(), nullptr);  // not for writing
        EXPECT_EQ(f.GetCurrentField(), nullptr);
        f.WriteField("a");
        EXPECT_EQ(f.GetLineIndex(), 0);
        f.WriteField(static_cast<const char*>(nullptr));
        f.WriteField(std::string_view());  // an empty view has no data to write
        f.WriteIntField(5);
        f.EndLine();
        f.WriteIntField(-2147483647 - 1);
        f.WriteEmptyFields(2);
        f.WriteEmptyFields(-3);
        f.EndLine();
        EXPECT_EQ(f.GetLineIndex(), 2);
        EXPECT_EQ(f.GetFieldIndex(), -1);
        EXPECT_TRUE(f.Flush());
        EXPECT_FALSE(fs::exists(Path("out.csv")));  // in place only when complete
        EXPECT_TRUE(f.Close());
    }
    EXPECT_EQ(ReadWholeFile(Path("out.csv")), "a;;;5\r\n-2147483648;;\r\n");
    EXPECT_EQ(FileCount(), 1u);
}

TEST_F(CsvTest, ADiscardedFileLeavesTheOldOneAsItWas) {
    std::ofstream(Path("out.csv"), std::ios::binary) << "old";
    {
        CSVFile f(Path("out.csv"), true);
        f.WriteField("new");
        f.EndLine();
        f.Discard();
        EXPECT_FALSE(f.IsOpen());
        EXPECT_FALSE(f.Close());
    }
    EXPECT_EQ(ReadWholeFile(Path("out.csv")), "old");
    EXPECT_EQ(FileCount(), 1u);
}

TEST_F(CsvTest, AFileThatCannotBeCreatedIsNotOpen) {
    CSVFile f(Path("no/such/folder.csv"), true);
    EXPECT_FALSE(f.IsOpen());
    EXPECT_FALSE(f.Flush());
    f.EndLine();  // does nothing
    EXPECT_FALSE(f.Close());
    CSVFile r(Path("missing.csv"), false);
    EXPECT_FALSE(r.IsOpen());
    EXPECT_FALSE(r.ReadLine());
    CSVFile folder(dir.string(), false);
    EXPECT_FALSE(folder.IsOpen());
}

TEST_F(CsvTest, ReadsLinesAndFields) {
    const std::string longField(300, 'L');
    CSVFile f(Write("a;;5\r\n\n;x\n" + longField + ";after\nnext;y\nlast"), false);
    ASSERT_TRUE(f.IsOpen());
    EXPECT_EQ(f.ReadField(), nullptr);  // no line yet
    ASSERT_TRUE(f.ReadLine());
    EXPECT_STREQ(f.ReadField(), "a");
    EXPECT_STREQ(f.ReadField(), "");
    EXPECT_STREQ(f.ReadField(), "5");  // the CR is dropped
    EXPECT_EQ(f.GetFieldIndex(), 2);
    EXPECT_EQ(f.ReadField(), nullptr);
    EXPECT_EQ(f.GetCurrentField(), nullptr);
    ASSERT_TRUE(f.ReadLine());  // empty line
    EXPECT_EQ(f.ReadField(), nullptr);
    ASSERT_TRUE(f.ReadLine());
    EXPECT_STREQ(f.ReadField(), "");
    EXPECT_STREQ(f.ReadField(), "x");
    EXPECT_STREQ(f.GetCurrentField(), "x");
    ASSERT_TRUE(f.ReadLine());
    EXPECT_STREQ(f.GetCurrentField(), "x");  // kept across ReadLine
    EXPECT_EQ(f.ReadField(), nullptr);       // 300 characters: refused, line lost
    EXPECT_EQ(f.ReadField(), nullptr);
    ASSERT_TRUE(f.ReadLine());
    EXPECT_STREQ(f.ReadField(), "next");
    EXPECT_EQ(f.GetLineIndex(), 4);
    ASSERT_TRUE(f.ReadLine());
    EXPECT_STREQ(f.ReadField(), "last");  // no line end at the end of the file
    EXPECT_FALSE(f.ReadLine());
    EXPECT_EQ(f.GetCurrentField(), nullptr);  // the end of the file forgets it
    f.Rewind();
    EXPECT_EQ(f.GetLineIndex(), -1);
    ASSERT_TRUE(f.ReadLine());
    EXPECT_STREQ(f.ReadField(), "a");
}

TEST_F(CsvTest, FieldsOf255CharactersAreRead) {
    const std::string field(255, 'f');
    CSVFile f(Write(field + ";" + std::string(256, 'g') + "\n"), false);
    ASSERT_TRUE(f.ReadLine());
    EXPECT_EQ(std::string(f.ReadField()), field);
    EXPECT_EQ(f.ReadField(), nullptr);
}

TEST(CsvNumbers, FieldToInt) {
    EXPECT_EQ(CSVFieldToInt(" -5"), -5);
    EXPECT_EQ(CSVFieldToInt("0x1F"), 31);
    EXPECT_EQ(CSVFieldToInt("$ff"), 255);
    EXPECT_EQ(CSVFieldToInt("4294967295"), 4294967295LL);
    for (const char* bad : {"", "12a", "?", "4294967296", "0101b"}) EXPECT_THROW(CSVFieldToInt(bad), EConvertError) << bad;
    EXPECT_THROW(CSVFieldToInt(nullptr), EConvertError);
}
