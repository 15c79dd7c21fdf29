#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "IniFile.h"
#include "QXMenu.h"
#include "SafeFile.h"

namespace fs = std::filesystem;

namespace {

class MenuFileTest : public ::testing::Test {
protected:
    fs::path dir;
    TQXMenuData menu{nullptr, nullptr, -1};

    void SetUp() override {
        char name[] = "/tmp/qxmenuXXXXXX";
        dir = ::mkdtemp(name);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = (dir / name).string();
        EXPECT_TRUE(ReplaceFileContents(path, bytes));
        return path;
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    std::string Read(const std::string& path) const { return ReadWholeFile(path).value_or("<none>"); }

    bool Load(const std::string& text) { return menu.LoadFromFile(Write("in.mnu", text)); }
};

// The menu of the example: Main with Setup under it and Clock under Setup,
// Clock hidden, one InfNot item of 20 bytes, one language English.
void FillExample(TQXMenuData& m) {
    m.AddMenuItem(0);
    m.AddMenuItem(0);
    m.AddMenuItem(1);
    m.SetMenuItemState(2, 1);
    m.AddInfNotItem();
    m.SetInfNotRange(0, 20);
    m.AddLanguage();
    m.SetLanguageName(0, "English");
    m.SetMenuItemName(0, 0, "Main");
    m.SetMenuItemName(0, 1, "Setup");
    m.SetMenuItemName(0, 2, "Clock");
    m.SetMenuItemHelp(0, 1, "Two\r\nlines");
    m.SetInfNotText(0, 0, "Wait");
}

const char ExampleFile[] =
    "[General]\r\nLanguages=1\r\nMenuCount=3\r\nInfNotCount=1\r\nLanguage1=English\r\n\r\n"
    "[Menu Connections]\r\n0=0\r\n1=0\r\n2=1\r\n\r\n"
    "[InfNot Ranges]\r\n0=20\r\n\r\n"
    "[Menu English]\r\n0=Main\r\n1=Setup\r\n2=Clock\r\n\r\n"
    "[Menu English Help]\r\n0=\r\n1=Two\xFF\xFElines\r\n2=\r\n\r\n"
    "[InfNot English]\r\n0=Wait\r\n\r\n"
    "[Menu States]\r\n0=0\r\n1=0\r\n2=1\r\n\r\n";

std::vector<int32_t> Parents(const TQXMenuData& m) {
    std::vector<int32_t> out;
    for (int32_t i = 0; i < m.GetMenuItemCount(); ++i) out.push_back(m.GetMenuItemParent(i));
    return out;
}

std::vector<std::string> Names(const TQXMenuData& m, int32_t language) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < m.GetMenuItemCount(); ++i) out.push_back(m.GetMenuItemName(language, i));
    return out;
}

// Everything a menu holds, as one text, for comparing two menus.
std::string Content(const TQXMenuData& m) {
    std::string out = std::to_string(m.GetMenuItemCount()) + " items:";
    for (int32_t i = 0; i < m.GetMenuItemCount(); ++i)
        out += " " + std::to_string(m.GetMenuItemParent(i)) + "/" + std::to_string(m.GetMenuItemState(i));
    out += "; infnot:";
    for (int32_t k = 0; k < m.GetInfNotCount(); ++k) out += " " + std::to_string(m.GetInfNotRange(k));
    for (int32_t l = 0; l < m.GetLanguageCount(); ++l) {
        out += "; [" + m.GetLanguageName(l) + "]";
        for (int32_t i = 0; i < m.GetMenuItemCount(); ++i)
            out += " " + m.GetMenuItemName(l, i) + "|" + m.GetMenuItemHelp(l, i);
        for (int32_t k = 0; k < m.GetInfNotCount(); ++k) out += " " + m.GetInfNotText(l, k);
    }
    return out;
}

}  // namespace

TEST_F(MenuFileTest, WritesTheSectionsByteForByte) {
    FillExample(menu);
    const std::string path = Path("example.mnu");
    std::string error;
    ASSERT_TRUE(menu.SaveToFile(path, &error)) << error;
    EXPECT_EQ(Read(path), ExampleFile);
}

TEST_F(MenuFileTest, ReadsTheSectionsBack) {
    ASSERT_TRUE(Load(ExampleFile));
    EXPECT_EQ(Parents(menu), (std::vector<int32_t>{0, 0, 1}));
    EXPECT_EQ(menu.GetMenuItemState(2), 1);
    EXPECT_EQ(menu.GetMenuItemState(1), 0);
    EXPECT_EQ(menu.GetInfNotCount(), 1);
    EXPECT_EQ(menu.GetInfNotRange(0), 20);
    EXPECT_EQ(menu.GetLanguageName(0), "English");
    EXPECT_EQ(Names(menu, 0), (std::vector<std::string>{"Main", "Setup", "Clock"}));
    EXPECT_EQ(menu.GetMenuItemHelp(0, 1), "Two\r\nlines");
    EXPECT_EQ(menu.GetInfNotText(0, 0), "Wait");

    TQXMenuData written(nullptr, nullptr, -1);
    FillExample(written);
    EXPECT_EQ(Content(menu), Content(written));
}

TEST_F(MenuFileTest, RoundTripKeepsEveryTextAndNumber) {
    menu.AddMenuItem(0);
    for (int32_t i = 1; i < 40; ++i) {
        menu.AddMenuItem(i / 3);
        menu.SetMenuItemState(i, static_cast<uint8_t>(i * 7));
    }
    for (int32_t k = 0; k < 5; ++k) {
        menu.AddInfNotItem();
        menu.SetInfNotRange(k, k * 4);
    }
    const char* languages[] = {"English", "Fran\xE7" "ais", " Deutsch"};
    for (int32_t l = 0; l < 3; ++l) {
        menu.AddLanguage();
        menu.SetLanguageName(l, languages[l]);
        for (int32_t i = 0; i < 40; ++i) {
            menu.SetMenuItemName(l, i, std::string(languages[l]) + " " + std::to_string(i) + " = x");
            menu.SetMenuItemHelp(l, i, "line 1\r\n\r\nline 3\n" + std::string(i, '\xE9'));
        }
        for (int32_t k = 0; k < 5; ++k) menu.SetInfNotText(l, k, "[" + std::to_string(k) + "] ;");
    }
    menu.SetMenuItemName(1, 3, "  blanks around  ");
    const std::string path = Path("round.mnu");
    std::string error;
    ASSERT_TRUE(menu.SaveToFile(path, &error)) << error;
    TQXMenuData back(nullptr, nullptr, -1);
    ASSERT_TRUE(back.LoadFromFile(path));
    EXPECT_EQ(Content(back), Content(menu));
}

TEST_F(MenuFileTest, OverlongTextsAreCutToTheirFields) {
    const std::string name(30, 'n'), help(200, 'h'), text(30, 't');
    ASSERT_TRUE(Load("[General]\nMenuCount=1\nInfNotCount=1\nLanguages=1\nLanguage1=LongLanguageName\n"
                     "[Menu LongLanguageName]\n0=" + name + "\n[Menu LongLanguageName Help]\n0=" + help +
                     "\n[InfNot LongLanguageName]\n0=" + text + "\n"));
    // The sections are found by the whole name; the language keeps ten characters.
    EXPECT_EQ(menu.GetLanguageName(0), "LongLangua");
    EXPECT_EQ(menu.GetMenuItemName(0, 0), name.substr(0, 17));
    EXPECT_EQ(menu.GetMenuItemHelp(0, 0), help.substr(0, 127));
    EXPECT_EQ(menu.GetInfNotText(0, 0), text.substr(0, 19));

    const std::string path = Path("cut.mnu");
    ASSERT_TRUE(menu.SaveToFile(path));
    TMemIniFile ini;
    ASSERT_TRUE(ini.LoadFromFile(path));
    EXPECT_EQ(ini.ReadString("General", "Language1", ""), "LongLangua");
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"General", "Menu Connections", "InfNot Ranges",
                                                            "Menu LongLangua", "Menu LongLangua Help",
                                                            "InfNot LongLangua", "Menu States"}));
}

TEST_F(MenuFileTest, MissingSectionsAndKeysAndNonNumbersCountAsEmptyOrZero) {
    ASSERT_TRUE(Load("[General]\nMenuCount=3\nLanguages=2\nLanguage1=A\nInfNotCount=2a\n"
                     "[Menu Connections]\n1=one\n2=1\n[Menu States]\n0=?\n1=257\n2=-1\n[Menu A]\n1=only one\n"));
    EXPECT_EQ(Parents(menu), (std::vector<int32_t>{0, 0, 1}));
    EXPECT_EQ(menu.GetMenuItemState(0), 0);
    EXPECT_EQ(menu.GetMenuItemState(1), 1);
    EXPECT_EQ(menu.GetMenuItemState(2), 0xFF);
    EXPECT_EQ(menu.GetInfNotCount(), 0);
    EXPECT_EQ(menu.GetLanguageCount(), 2);
    EXPECT_EQ(Names(menu, 0), (std::vector<std::string>{"", "only one", ""}));
    EXPECT_EQ(menu.GetLanguageName(1), "");
    EXPECT_EQ(Names(menu, 1), (std::vector<std::string>{"", "", ""}));

    ASSERT_TRUE(Load("[General]\n"));
    EXPECT_EQ(menu.GetMenuItemCount(), 0);
    ASSERT_TRUE(Load("[general]\nmenucount=0x2\nINFNOTCOUNT=$1\n[infnot ranges]\n0=300\n"));
    EXPECT_EQ(menu.GetMenuItemCount(), 2);
    EXPECT_EQ(menu.GetInfNotRange(0), 300 & 0xFF);
}

TEST_F(MenuFileTest, ParentsThatDoNotComeFirstHangFromTheRootAndKeepTheirTexts) {
    for (const char* bad : {"-1", "2", "3", "5000", "4294967295"}) {
        SCOPED_TRACE(bad);
        // Item 2 names a parent that is itself, a later item, or none at all.
        ASSERT_TRUE(Load(std::string("[General]\nMenuCount=4\nLanguages=1\nLanguage1=E\n"
                                     "[Menu Connections]\n0=0\n1=0\n2=") +
                         bad + "\n3=2\n[Menu States]\n2=1\n3=0\n[Menu E]\n0=r\n1=a\n2=b\n3=c\n"));
        EXPECT_EQ(Parents(menu), (std::vector<int32_t>{0, 0, 0, 2}));
        EXPECT_EQ(Names(menu, 0), (std::vector<std::string>{"r", "a", "b", "c"}));
        EXPECT_EQ(menu.GetMenuItemState(2), 1);
        EXPECT_EQ(menu.GetMenuItemState(3), 0);
    }
    // A loop: 1 under 2 and 2 under 1.
    ASSERT_TRUE(Load("[General]\nMenuCount=3\n[Menu Connections]\n1=2\n2=1\n"));
    EXPECT_EQ(Parents(menu), (std::vector<int32_t>{0, 0, 1}));
    // The root is its own parent whatever the file says.
    ASSERT_TRUE(Load("[General]\nMenuCount=2\n[Menu Connections]\n0=1\n1=0\n"));
    EXPECT_EQ(Parents(menu), (std::vector<int32_t>{0, 0}));
}

TEST_F(MenuFileTest, CountsBeyondTheLimitsAreRefusedAndLeaveAnEmptyMenu) {
    struct Case {
        const char* general;
        bool loads;
    };
    const Case cases[] = {
        {"MenuCount=1000\nInfNotCount=1000\nLanguages=10\n", true},
        {"MenuCount=1001\n", false},
        {"InfNotCount=1001\n", false},
        {"Languages=11\n", false},
        {"MenuCount=4294967295\n", false},
        {"MenuCount=-5\nInfNotCount=-1\nLanguages=-2147483648\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.general);
        FillExample(menu);
        EXPECT_EQ(Load(std::string("[General]\n") + c.general), c.loads);
        if (!c.loads) {
            EXPECT_EQ(menu.GetMenuItemCount(), 0);
            EXPECT_EQ(menu.GetInfNotCount(), 0);
            EXPECT_EQ(menu.GetLanguageCount(), 0);
        }
        menu.Clear();
    }
}

TEST_F(MenuFileTest, AFileWithoutGeneralLeavesTheMenuAsItWas) {
    FillExample(menu);
    const std::string before = Content(menu);
    for (const char* text : {"", "[Menu English]\n0=Other\n", "QX218 TYPTAB binary", "General=1\n"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(Load(text));
        EXPECT_EQ(Content(menu), before);
    }
    EXPECT_FALSE(menu.LoadFromFile(Path("missing.mnu")));
    EXPECT_FALSE(menu.LoadFromFile(dir.string()));
    EXPECT_EQ(Content(menu), before);
}

TEST_F(MenuFileTest, LanguagesOfTheSameNameShareTheirTextsOnReading) {
    ASSERT_TRUE(Load("[General]\nMenuCount=1\nLanguages=2\nLanguage1=Same\nLanguage2=same\n[Menu SAME]\n0=shared\n"));
    EXPECT_EQ(menu.GetMenuItemName(0, 0), "shared");
    EXPECT_EQ(menu.GetMenuItemName(1, 0), "shared");
    EXPECT_EQ(menu.GetLanguageName(1), "same");
}

TEST_F(MenuFileTest, LoadingLeavesTheLinkedMenuAlone) {
    TQXMenuData linked(nullptr, nullptr, -1);
    FillExample(linked);
    TQXMenuData loaded(nullptr, &linked, -1);
    ASSERT_TRUE(loaded.LoadFromFile(Write("ex.mnu", ExampleFile)));
    EXPECT_EQ(loaded.GetMenuItemCount(), 3);
    EXPECT_EQ(linked.GetMenuItemCount(), 3);
    EXPECT_EQ(linked.GetInfNotCount(), 1);
}

TEST_F(MenuFileTest, SavingOverAFileLeavesNothingOfIt) {
    const std::string path = Write("four.mnu",
                                   "[General]\r\nLanguages=4\r\nMenuCount=1\r\nLanguage1=A\r\nLanguage2=B\r\n"
                                   "Language3=C\r\nLanguage4=D\r\n[Menu A]\r\n0=a\r\n[Menu B]\r\n0=b\r\n"
                                   "[Menu C]\r\n0=c\r\n[InfNot D]\r\n0=d\r\n[Extra]\r\nkey=1\r\n");
    ASSERT_TRUE(menu.LoadFromFile(path));
    menu.DeleteLanguage(3);
    menu.DeleteLanguage(0);
    menu.SetLanguageName(1, "X");
    ASSERT_TRUE(menu.SaveToFile(path));
    TMemIniFile ini;
    ASSERT_TRUE(ini.LoadFromFile(path));
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"General", "Menu Connections", "Menu B", "Menu B Help",
                                                            "Menu X", "Menu X Help", "Menu States"}));
    EXPECT_FALSE(ini.ValueExists("General", "Language3"));
    EXPECT_EQ(ini.ReadString("Menu X", "0", ""), "c");
}

TEST_F(MenuFileTest, NamesThatWouldMixOrLoseTextsAreRefusedAndTheOldFileStays) {
    struct Case {
        std::vector<std::string> languages;
        const char* reason;  // a piece of the message
    };
    const Case cases[] = {
        {{"English", ""}, "Language 2 has no name"},
        {{"English", "Deutsch", "English"}, "\"Menu English\" of language 3 (\"English\") would be that of language 1"},
        {{"English", "ENGLISH"}, "would be that of language 1 (\"English\")"},
        {{"states"}, "would be that of the section \"Menu States\""},
        {{"Ranges"}, "the section \"InfNot Ranges\""},
        {{"Main", "Main Help"}, "\"Menu Main Help\" of language 2 (\"Main Help\") would be that of language 1"},
        {{"English "}, "ends in a blank"},
        {{"Eng\t"}, "ends in a blank"},
        {{"A]B"}, "cannot stand in a section name"},
        {{"A\r\nB"}, "cannot stand in a section name"},
    };
    const std::string path = Write("old.mnu", ExampleFile);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        TQXMenuData m(nullptr, nullptr, -1);
        m.AddMenuItem(0);
        for (const std::string& name : c.languages) {
            m.AddLanguage();
            m.SetLanguageName(m.GetLanguageCount() - 1, name);
        }
        std::string error;
        EXPECT_FALSE(m.SaveToFile(path, &error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(Read(path), ExampleFile);
    }
    FillExample(menu);
    menu.SetMenuItemName(0, 2, "Clock\nface");
    std::string error;
    EXPECT_FALSE(menu.SaveToFile(path, &error));
    EXPECT_EQ(error, "The name of item 2 in language 1 (\"English\") holds a line break.");
    menu.SetMenuItemName(0, 2, "Clock");
    menu.SetInfNotText(0, 0, "a\rb");
    EXPECT_FALSE(menu.SaveToFile(path, &error));
    EXPECT_EQ(error, "The text of InfNot item 0 in language 1 (\"English\") holds a line break.");
    EXPECT_EQ(Read(path), ExampleFile);
    EXPECT_FALSE(menu.SaveToFile((dir / "no such folder" / "x.mnu").string(), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST(DefaultMenu, IsACompleteMenuInItsOwnFormat) {
    const fs::path path = fs::path(QX_SOURCE_DIR) / "core/data/DefaultMenu.mnu";
    TQXMenuData menu(nullptr, nullptr, -1);
    ASSERT_TRUE(menu.LoadFromFile(path.string()));
    ASSERT_EQ(menu.GetLanguageCount(), 2);
    EXPECT_EQ(menu.GetLanguageName(0), "English");  // serves the built-in English texts
    EXPECT_EQ(menu.GetLanguageName(1), "Deutsch");
    EXPECT_GT(menu.GetMenuItemCount(), 20);
    EXPECT_GT(menu.GetInfNotCount(), 5);
    for (int32_t l = 0; l < 2; ++l) {
        for (int32_t i = 0; i < menu.GetMenuItemCount(); ++i) {
            SCOPED_TRACE("item " + std::to_string(i));
            EXPECT_FALSE(menu.GetMenuItemName(l, i).empty());
            EXPECT_FALSE(menu.GetMenuItemHelp(l, i).empty());
            // A hidden item's subtree is hidden too.
            if (menu.GetMenuItemState(menu.GetMenuItemParent(i)) & 1) {
                EXPECT_EQ(menu.GetMenuItemState(i) & 1, 1);
            }
        }
        for (int32_t k = 0; k < menu.GetInfNotCount(); ++k) {
            SCOPED_TRACE("InfNot " + std::to_string(k));
            EXPECT_GT(menu.GetInfNotRange(k), 1);
            EXPECT_LE(menu.GetInfNotRange(k), 20);  // what the editor accepts
            EXPECT_LT(menu.GetInfNotText(l, k).size(), menu.GetInfNotRange(k));
            EXPECT_FALSE(menu.GetInfNotText(l, k).empty());
        }
    }
    // Nothing of it was cut or dropped: written again it is the same file.
    TMemIniFile ini;
    std::string text;
    ASSERT_TRUE(menu.SaveToIni(ini));
    ASSERT_TRUE(ini.GetText(text));
    EXPECT_EQ(text, ReadWholeFile(path.string()).value_or(""));
}
