#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "SafeFile.h"
#include "SystemCause.h"

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

// Saving under the name of a device or a pipe must never put a regular file
// in its place (as root a rename would do just that); a folder stays a folder.
TEST_F(SafeFileTest, OnlyRegularFilesAreReplaced) {
    const std::string fifo = (dir / "pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = (dir / "folder").string();
    fs::create_directory(folder);
    for (const std::string& target : {fifo, folder}) {
        SCOPED_TRACE(target);
        std::string error;
        EXPECT_FALSE(ReplaceFileContents(target, "new", &error));
        EXPECT_FALSE(error.empty());
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);  // no temporary file left
}

// Each failure keeps the system's reason as the thread's cause, taken where
// the call failed (not from the clean-up after it).
TEST_F(SafeFileTest, FailuresKeepTheSystemsCause) {
    ASSERT_TRUE(ReplaceFileContents((dir / "plain").string(), "a file"));
    ASSERT_TRUE(ReplaceFileContents((dir / "big").string(), "12345"));
    fs::create_directory(dir / "sub");
    const struct {
        const char* what;
        bool (*call)(const fs::path&);
        fs::path path;
        const char* cause;
    } cases[] = {
        {"save into a file for a folder", [](const fs::path& p) { return ReplaceFileContents(p.string(), "x"); },
         dir / "plain" / "a.mtp", "Not a directory"},
        {"save into a missing folder", [](const fs::path& p) { return ReplaceFileContents(p.string(), "x"); },
         dir / "none" / "a.mtp", "No such file or directory"},
        {"save over a folder", [](const fs::path& p) { return ReplaceFileContents(p.string(), "x"); }, dir / "sub",
         "Is a directory"},
        {"read a missing file", [](const fs::path& p) { return ReadWholeFile(p.string()).has_value(); },
         dir / "missing", "No such file or directory"},
        {"read a folder", [](const fs::path& p) { return ReadWholeFile(p.string()).has_value(); }, dir / "sub",
         "Is a directory"},
        {"read past the limit", [](const fs::path& p) { return ReadWholeFile(p.string(), 4).has_value(); },
         dir / "big", "File too large"},
        {"a device is no regular file", [](const fs::path& p) { return IsRegularFile(p.string()); }, "/dev/null",
         "Invalid argument"},
    };
    for (const auto& c : cases) {
        ClearSystemCause();
        EXPECT_FALSE(c.call(c.path)) << c.what;
        EXPECT_EQ(SystemCause(), c.cause) << c.what;
    }
    ClearSystemCause();
    EXPECT_TRUE(ReadWholeFile((dir / "plain").string()));
    EXPECT_TRUE(IsRegularFile((dir / "plain").string()));
    EXPECT_EQ(SystemCause(), "");
    EXPECT_EQ(MessageWithCause("Cannot save file:\r\nx", "Not a directory"), "Cannot save file:\r\nx\r\nNot a directory");
    EXPECT_EQ(MessageWithCause("Cannot save file:\r\nx", ""), "Cannot save file:\r\nx");
}
