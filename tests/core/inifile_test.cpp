#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "IniFile.h"
#include "SafeFile.h"

TEST(TMemIniFile, ReadsWindowsTextWithoutRegardToCase) {
    TMemIniFile ini;
    ini.SetText("; comment\r\n[General]\r\nLanguages=2\r\n  Language1 = English\r\n[menu English]\r\n"
                "0= Root \r\n1=\xFF\xFEtext=with=equals\r\n1=second is ignored\r\nno equals sign\r\n"
                "[LANGUAGES]\n1=Deutsch");
    EXPECT_TRUE(ini.SectionExists("general"));
    EXPECT_EQ(ini.ReadInteger("GENERAL", "languages", -1), 2);
    EXPECT_EQ(ini.ReadString("General", "LANGUAGE1", "?"), " English");  // values byte for byte
    EXPECT_EQ(ini.ReadString("Menu English", "0", "?"), " Root ");
    EXPECT_EQ(ini.ReadString("Menu English", "1", "?"), "\xFF\xFEtext=with=equals");
    EXPECT_EQ(ini.ReadString("Languages", "1", "?"), "Deutsch");  // the last line without a line end
    EXPECT_EQ(ini.ReadString("Languages", "2", "none"), "none");
    EXPECT_EQ(ini.ReadSection("menu english"), (std::vector<std::string>{"0", "1"}));
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"General", "menu English", "LANGUAGES"}));
}

TEST(TMemIniFile, ReadIntegerTakesIntegerTextsOnly) {
    TMemIniFile ini;
    ini.SetText("[S]\nhex=0x1F\ndollar=$10\nneg=-3\nword=abc\nempty=\nbig=99999999999\nblanks= 2 \t\n");
    EXPECT_EQ(ini.ReadInteger("S", "hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("S", "dollar", 0), 16);
    EXPECT_EQ(ini.ReadInteger("S", "neg", 0), -3);
    EXPECT_EQ(ini.ReadInteger("S", "word", 7), 7);
    EXPECT_EQ(ini.ReadInteger("S", "empty", 7), 7);
    EXPECT_EQ(ini.ReadInteger("S", "big", 7), 7);
    EXPECT_EQ(ini.ReadInteger("S", "missing", 7), 7);
    EXPECT_EQ(ini.ReadInteger("S", "blanks", 7), 2);
}

TEST(TMemIniFile, WritesCrLfTextInOrder) {
    TMemIniFile ini;
    ini.WriteInteger("General", "Languages", 1);
    ini.WriteString("General", "Language1", "English");
    ini.WriteString("Menu English", "0", "");
    ini.WriteString("general", "LANGUAGES", "2");  // same key, other case: replaced in place
    std::string text;
    ASSERT_TRUE(ini.GetText(text));
    EXPECT_EQ(text, "[General]\r\nLanguages=2\r\nLanguage1=English\r\n\r\n[Menu English]\r\n0=\r\n\r\n");
    ini.EraseSection("MENU ENGLISH");
    ini.DeleteKey("General", "languages");
    ASSERT_TRUE(ini.GetText(text));
    EXPECT_EQ(text, "[General]\r\nLanguage1=English\r\n\r\n");
}

TEST(TMemIniFile, RefusesWhatCannotStandInIniText) {
    for (auto [section, key, value] : {std::tuple{"S", "k", "two\r\nlines"}, std::tuple{"S", "a=b", "v"},
                                       std::tuple{"S]", "k", "v"}, std::tuple{"S", "", "v"},
                                       std::tuple{"S", " k", "v"}, std::tuple{"S", ";k", "v"},
                                       // the reader drops blanks around a section name
                                       std::tuple{" S", "k", "v"}, std::tuple{"S\t", "k", "v"}}) {
        TMemIniFile ini;
        ini.WriteString(section, key, value);
        std::string text;
        EXPECT_FALSE(ini.GetText(text)) << section << "/" << key;
    }
}

TEST(TMemIniFile, FilesRoundTripAndAFailedSaveKeepsTheOldFile) {
    char name[] = "/tmp/qxiniXXXXXX";
    const std::filesystem::path dir = ::mkdtemp(name);
    const std::string path = (dir / "menu.mnu").string();
    TMemIniFile ini;
    ini.WriteString("A", "x", "\xA7 1");
    ASSERT_TRUE(ini.SaveToFile(path));
    TMemIniFile back;
    ASSERT_TRUE(back.LoadFromFile(path));
    EXPECT_EQ(back.ReadString("a", "X", ""), "\xA7 1");

    ini.WriteString("A", "y", "bad\nvalue");
    std::string error;
    EXPECT_FALSE(ini.SaveToFile(path, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadWholeFile(path), "[A]\r\nx=\xA7 1\r\n\r\n");

    EXPECT_FALSE(back.LoadFromFile((dir / "missing.mnu").string()));
    EXPECT_FALSE(back.SectionExists("A"));  // a failed load leaves empty content
    std::filesystem::remove_all(dir);
}
