#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "RegistryMarker.h"

namespace {

class RegistryFile : public ::testing::Test {
protected:
    std::string Path = (std::filesystem::temp_directory_path() / ("qxreg" + std::to_string(getpid()) + ".ini")).string();
    void SetUp() override { setenv("QX318_REGISTRY", Path.c_str(), 1); }
    void TearDown() override {
        unsetenv("QX318_REGISTRY");
        std::filesystem::remove(Path);
    }
    void Write(const std::string& text) { std::ofstream(Path, std::ios::binary) << text; }
};

}  // namespace

TEST_F(RegistryFile, ReadsStringValuesOfAKey) {
    Write("[Software\\KVOZ]\r\nKVOZ=KVOZ\r\nCount=dword:00000001\r\nBlob=hex:01,02\r\nEmpty=\r\n");
    struct Case {
        const char* key;
        const char* name;
        TRegistryRead result;
        const char* value;
    } cases[] = {
        {"Software\\KVOZ", "KVOZ", TRegistryRead::String, "KVOZ"},
        {"SOFTWARE\\kvoz", "kvoz", TRegistryRead::String, "KVOZ"},  // the registry ignores case in names
        {"Software\\KVOZ", "Count", TRegistryRead::NotString, ""},
        {"Software\\KVOZ", "Blob", TRegistryRead::NotString, ""},
        {"Software\\KVOZ", "Empty", TRegistryRead::String, ""},
        {"Software\\KVOZ", "Missing", TRegistryRead::NoValue, ""},
        {"Software\\Other", "KVOZ", TRegistryRead::NoKey, ""},
    };
    for (const auto& c : cases) {
        std::string value = "left over";
        EXPECT_EQ(ReadRegistryString(c.key, c.name, value), c.result) << c.name;
        EXPECT_EQ(value, c.value) << c.name;
    }
}

TEST_F(RegistryFile, MissingFileHasNoKeys) {
    std::string value = "x";
    EXPECT_EQ(ReadRegistryString("Software\\KVOZ", "KVOZ", value), TRegistryRead::NoKey);
    EXPECT_EQ(value, "");
}

TEST(RegistryFilePath, DefaultsUnderEtc) {
    unsetenv("QX318_REGISTRY");
    EXPECT_EQ(RegistryFilePath(), "/etc/qx318/registry.ini");
    setenv("QX318_REGISTRY", "", 1);
    EXPECT_EQ(RegistryFilePath(), "/etc/qx318/registry.ini");
    unsetenv("QX318_REGISTRY");
}
