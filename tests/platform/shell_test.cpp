#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "Shell.h"

namespace fs = std::filesystem;

namespace {

class TempFolder : public ::testing::Test {
protected:
    fs::path Dir = fs::temp_directory_path() / ("qx shell " + std::to_string(getpid()));
    void SetUp() override { fs::create_directories(Dir); }
    void TearDown() override {
        SetStartHookForTests(nullptr);
        fs::remove_all(Dir);
    }
    // Waits for the started program's file, as long as a loaded machine may
    // need to start it.
    static bool WaitForFile(const fs::path& p) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!(fs::exists(p) && fs::file_size(p) > 0)) {
            if (std::chrono::steady_clock::now() > limit) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }
};

}  // namespace

// A real start: a script in a folder with a blank in its name writes its
// working folder and arguments; quotes and blanks arrive unparsed.
TEST_F(TempFolder, StartsProgramWithArgumentListInFolder) {
    const fs::path script = Dir / "echo args";
    {
        std::ofstream out(script);
        out << "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > out.tmp && mv out.tmp out.txt\n";
    }
    fs::permissions(script, fs::perms::owner_all);
    TStartRequest r{script.string(), {"COM12", "a \"quoted\" name.hex", "$HOME;rm"}, Dir.string()};
    ASSERT_TRUE(StartProgram(r));
    ASSERT_TRUE(WaitForFile(Dir / "out.txt"));
    std::ifstream in(Dir / "out.txt");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, Dir.string() + "\n[COM12]\n[a \"quoted\" name.hex]\n[$HOME;rm]\n");
}

TEST_F(TempFolder, MissingProgramIsNotStarted) {
    EXPECT_FALSE(StartProgram({(Dir / "none").string(), {}, ""}));
}

TEST_F(TempFolder, DocumentsAndWebShortcutsGoToTheOpener) {
    std::vector<TStartRequest> seen;
    SetStartHookForTests([&](const TStartRequest& r) {
        seen.push_back(r);
        return true;
    });
    EXPECT_TRUE(OpenDocument("QX318 Help.pdf", "/opt/qx/Help/"));
    {
        std::ofstream(Dir / "web.url") << "[InternetShortcut]\r\nURL=https://example.invalid/qx \r\n";
        std::ofstream(Dir / "empty.url") << "[InternetShortcut]\r\n";
    }
    EXPECT_TRUE(OpenWebShortcut((Dir / "web.url").string()));
    EXPECT_FALSE(OpenWebShortcut((Dir / "empty.url").string()));
    EXPECT_FALSE(OpenWebShortcut((Dir / "missing.url").string()));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(fs::path(seen[0].Program).filename(), "xdg-open");
    EXPECT_EQ(seen[0].Arguments, std::vector<std::string>{"QX318 Help.pdf"});
    EXPECT_EQ(seen[0].WorkingFolder, "/opt/qx/Help/");
    EXPECT_EQ(seen[1].Arguments, std::vector<std::string>{"https://example.invalid/qx"});
}

TEST(FindOnPath, FindsExecutables) {
    EXPECT_EQ(FindOnPath("sh").empty(), false);
    EXPECT_EQ(FindOnPath("no-such-program-qx318"), "");
    EXPECT_EQ(FindOnPath("/bin/sh"), "/bin/sh");
}
