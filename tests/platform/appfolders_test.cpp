#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "AppFolders.h"

namespace {

// Sets or clears an environment variable for one test and puts it back.
class EnvGuard {
public:
    EnvGuard(const char* name, const char* value) : Name(name) {
        if (const char* old = std::getenv(name)) Old = old, HadOld = true;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~EnvGuard() {
        if (HadOld) setenv(Name, Old.c_str(), 1);
        else unsetenv(Name);
    }

private:
    const char* Name;
    std::string Old;
    bool HadOld = false;
};

}  // namespace

TEST(AppFolders, SettingsFolderFollowsXdgDataHome) {
    struct Case {
        const char* xdg;
        const char* home;
        const char* expected;
    } cases[] = {
        {"/tmp/data", "/home/u", "/tmp/data/RztSoftware/QX318 Utility/"},
        {"/tmp/data/", "/home/u", "/tmp/data/RztSoftware/QX318 Utility/"},
        {"", "/home/u", "/home/u/.local/share/RztSoftware/QX318 Utility/"},
        {nullptr, "/home/u", "/home/u/.local/share/RztSoftware/QX318 Utility/"},
        {nullptr, nullptr, ""},
    };
    for (const auto& c : cases) {
        EnvGuard xdg("XDG_DATA_HOME", c.xdg);
        EnvGuard home("HOME", c.home);
        EXPECT_EQ(SettingsFolder(), c.expected) << (c.xdg ? c.xdg : "(unset)");
    }
}

TEST(AppFolders, ProgramFolderAndFilesBesideIt) {
    const std::string real = GetProgramPath();
    EXPECT_TRUE(FileExists(real));
    EXPECT_EQ(GetProgramFolder(), real.substr(0, real.rfind('/')));

    SetProgramPathForTests("/opt/qx/bin/QX318Utility");
    EXPECT_EQ(GetProgramFolder(), "/opt/qx/bin");
    EXPECT_EQ(ProgramFolderFile("loader"), "/opt/qx/bin/loader");
    EXPECT_EQ(ProgramFileWithExt(".cfg"), "/opt/qx/bin/QX318Utility.cfg");
    SetProgramPathForTests("/opt/qx.d/bin/QX318Utility.exe");
    EXPECT_EQ(ProgramFileWithExt(".mls"), "/opt/qx.d/bin/QX318Utility.mls");
    SetProgramPathForTests("");
    EXPECT_EQ(GetProgramPath(), real);
}

TEST(AppFolders, PathParts) {
    EXPECT_EQ(ExtractFileName("/a/b/c.cfg"), "c.cfg");
    EXPECT_EQ(ExtractFileName("c.cfg"), "c.cfg");
    EXPECT_EQ(ExtractFileDir("/a/b/c.cfg"), "/a/b");
    EXPECT_EQ(ExtractFileDir("/c.cfg"), "/");
    EXPECT_EQ(ExtractFileDir("c.cfg"), "");
}

TEST(AppFolders, CreateFoldersMakesAllParents) {
    const auto base = std::filesystem::temp_directory_path() / ("qxfolders" + std::to_string(getpid()));
    const auto deep = base / "RztSoftware" / "QX318 Utility";
    EXPECT_TRUE(CreateFolders(deep.string()));
    EXPECT_TRUE(std::filesystem::is_directory(deep));
    EXPECT_TRUE(CreateFolders(deep.string()));  // already there
    std::filesystem::remove_all(base);
}
