#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "SafeFile.h"

namespace fs = std::filesystem;

class SafeFileTest : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override {
        char name[] = "/tmp/qxsafeXXXXXX";
        dir = ::mkdtemp(name);
    }
    void TearDown() override { fs::remove_all(dir); }
};

TEST_F(SafeFileTest, ReplacesAndLeavesNoTemporaryFile) {
    const std::string path = (dir / "a.bin").string();
    ASSERT_TRUE(ReplaceFileContents(path, std::string("one\0two", 7)));
    ASSERT_TRUE(ReplaceFileContents(path, "three"));
    EXPECT_EQ(ReadWholeFile(path), "three");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    EXPECT_EQ(ReadWholeFile(path, 4), std::nullopt);  // larger than the limit
    EXPECT_EQ(ReadWholeFile((dir / "missing").string()), std::nullopt);
    EXPECT_EQ(ReadWholeFile(dir.string()), std::nullopt);  // a folder is no file
}

TEST_F(SafeFileTest, FailedReplaceKeepsTheOldFile) {
    const std::string path = (dir / "keep.mtp").string();
    ASSERT_TRUE(ReplaceFileContents(path, "old"));
    if (::geteuid() == 0) {
        // root writes everywhere: make the rename fail instead
        fs::create_directory(dir / "sub");
        std::string error;
        EXPECT_FALSE(ReplaceFileContents((dir / "sub").string(), "new", &error));
        EXPECT_FALSE(error.empty());
    } else {
        ::chmod(dir.c_str(), 0500);
        std::string error;
        EXPECT_FALSE(ReplaceFileContents(path, "new", &error));
        EXPECT_FALSE(error.empty());
        ::chmod(dir.c_str(), 0700);
    }
    EXPECT_EQ(ReadWholeFile(path), "old");
    EXPECT_NE(TemporaryNameBeside(path), path);
}
