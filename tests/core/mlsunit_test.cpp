// The text layer: built-in texts, placeholders, the language file and the
// translation of windows.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "Mlsunit.h"

namespace {

class LanguageFile : public testing::Test {
protected:
    // One file per test: ctest runs the tests side by side.
    std::string Path = testing::TempDir() + "mlsunit_" +
                       testing::UnitTest::GetInstance()->current_test_info()->name() + ".mls";
    void TearDown() override { std::remove(Path.c_str()); }
    void Write(const std::string& text) {
        std::ofstream out(Path, std::ios::binary);
        out << text;
    }
    std::unique_ptr<TMLSUnit> Open(const std::string& text, int32_t language) {
        Write(text);
        auto mls = std::make_unique<TMLSUnit>(BuiltInMessages, Path);
        mls->SetLanguage(language);
        return mls;
    }
};

// Two languages; key "2" of LANGUAGES names the section of language index 1.
const std::string TwoLanguages =
    "[MLS-INTERFACE]\r\nProgram=QX318Utility\r\n"
    "[GENERAL]\r\nLanguages=2\r\n"
    "[LANGUAGES]\r\n1=Deutsch\r\n2=Fran\xE7" "ais\r\n"
    "[Deutsch]\r\nconst::1020=Neustart n\xF6tig.\r\nconst::1001=Nicht gespeichert\r\n"
    "const::1000=%s\\r\\n\xC4nderungen speichern?\r\nconst::1012=Zeile 1\\nZeile 2 %s %s %s\r\n"
    "const::99999=unknown id\r\n"
    "[Fran\xE7" "ais]\r\nconst::1020=Red\xE9marrer.\r\n";

}  // namespace

TEST(TextLayer, BuiltInTextsAndPlaceholders) {
    TMLSUnit mls(BuiltInMessages, "");
    EXPECT_FALSE(mls.HasLanguageFile());
    EXPECT_EQ(mls.GetLanguageIndex(), -1);
    EXPECT_EQ(mls.GetLanguageCount(), 0);
    EXPECT_EQ(mls.GetText(1020), "Restart the program to change the current language.");
    EXPECT_EQ(mls.GetText(1000, "a.mtp"), "a.mtp\r\nSave changes?");
    EXPECT_EQ(mls.GetText(1004, "Set1", std::string("3")), "Set: Set1 (3)\r\nData set already exists, overwrite?");
    EXPECT_EQ(mls.GetText(0), "");
    EXPECT_EQ(mls.GetText(4711, "x"), "");

    struct Case {
        const char* argument;
        const char* shown;
    };
    // Arguments are taken literally: placeholders, percent signs and the
    // two characters backslash-n of a path stay as they are.
    const Case cases[] = {
        {"%s", "Cannot save file:\r\n%s"},
        {"100%", "Cannot save file:\r\n100%"},
        {"C:\\new\\types\\r1.mtp", "Cannot save file:\r\nC:\\new\\types\\r1.mtp"},
        {nullptr, "Cannot save file:\r\n"},
        {"", "Cannot save file:\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(mls.GetText(1001, c.argument), c.shown);
    // Missing arguments leave their placeholders; extra ones are not used.
    EXPECT_EQ(mls.GetText(1004, "Set1"), "Set: Set1 (%s)\r\nData set already exists, overwrite?");
    EXPECT_EQ(mls.GetText(1001, "a", "b"), "Cannot save file:\r\na");
}

TEST_F(LanguageFile, SelectedLanguageReplacesTextsById) {
    auto mls = Open(TwoLanguages, 0);
    ASSERT_TRUE(mls->HasLanguageFile());
    EXPECT_EQ(mls->GetLanguageCount(), 2);
    EXPECT_EQ(mls->GetLanguageNames(), (std::vector<std::string>{"Deutsch", "Fran\xE7" "ais"}));
    EXPECT_EQ(mls->GetText(1020), "Neustart n\xF6tig.");
    // A language text without the placeholder drops the argument.
    EXPECT_EQ(mls->GetText(1001, "x.mtp"), "Nicht gespeichert");
    // Backslash-r and backslash-n of the file are CR and LF.
    EXPECT_EQ(mls->GetText(1000, "a\\n.mtp"), "a\\n.mtp\r\n\xC4nderungen speichern?");
    EXPECT_EQ(mls->GetText(1012, "%s", "b"), "Zeile 1\nZeile 2 %s b %s");
    // Ids the language lacks stay English.
    EXPECT_EQ(mls->GetText(1009), "&Edit");

    mls->SetLanguage(1);
    EXPECT_EQ(mls->GetText(1020), "Red\xE9marrer.");
    EXPECT_EQ(mls->GetText(1001, "x"), "Cannot save file:\r\nx");
    for (int32_t outside : {-1, 2, 7, -5}) {
        mls->SetLanguage(outside);
        EXPECT_EQ(mls->GetText(1020), "Restart the program to change the current language.") << outside;
    }
}

TEST_F(LanguageFile, UnusableFilesLeaveEnglish) {
    struct Case {
        const char* what;
        std::string text;
        bool used;
        int32_t count;
    };
    const std::string languages = "[GENERAL]\nLanguages=1\n[LANGUAGES]\n1=L\n[L]\nconst::1020=Translated\n";
    const Case cases[] = {
        {"no program", languages, false, 0},
        {"empty program", "[MLS-INTERFACE]\nProgram=\n" + languages, false, 0},
        {"LF line ends", "[MLS-INTERFACE]\nProgram=x\n" + languages, true, 1},
        {"no languages", "[MLS-INTERFACE]\nProgram=x\n[L]\nconst::1020=Translated\n", true, 0},
        {"count not a number", "[MLS-INTERFACE]\nProgram=x\n[GENERAL]\nLanguages=two\n", true, 0},
        {"negative count", "[MLS-INTERFACE]\nProgram=x\n[GENERAL]\nLanguages=-3\n", true, 0},
        {"count too large", "[MLS-INTERFACE]\nProgram=x\n[GENERAL]\nLanguages=2000000000\n", true,
         TMLSUnit::MaxLanguages},
        {"binary garbage", std::string("\x00\xFF[\x80]=\r\r\n=\n[", 11), false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto mls = Open(c.text, 0);
        EXPECT_EQ(mls->HasLanguageFile(), c.used);
        EXPECT_EQ(mls->GetLanguageCount(), c.count);
        EXPECT_EQ(mls->GetLanguageNames().size(), static_cast<size_t>(c.count));
        EXPECT_EQ(mls->GetText(1020), c.count == 1 ? "Translated" : "Restart the program to change the current language.");
    }
    TMLSUnit missing(BuiltInMessages, Path + ".none");
    EXPECT_FALSE(missing.HasLanguageFile());
}

TEST_F(LanguageFile, MissingSectionsAndNames) {
    // Three languages listed, the second name missing, the third section missing.
    auto mls = Open("[MLS-INTERFACE]\nProgram=x\n[GENERAL]\nLanguages=3\n[LANGUAGES]\n1=A\n3=C\n[A]\nconst::1009=&Bearbeiten\n", 1);
    EXPECT_EQ(mls->GetLanguageNames(), (std::vector<std::string>{"A", "", "C"}));
    EXPECT_EQ(mls->GetText(1009), "&Edit");
    mls->SetLanguage(2);
    EXPECT_EQ(mls->GetText(1009), "&Edit");
    mls->SetLanguage(0);
    EXPECT_EQ(mls->GetText(1009), "&Bearbeiten");
    // An overlong text is taken whole.
    const std::string longText(100000, 'x');
    mls = Open("[MLS-INTERFACE]\nProgram=x\n[GENERAL]\nLanguages=1\n[LANGUAGES]\n1=A\n[A]\nconst::1009=" + longText + "\n", 0);
    EXPECT_EQ(mls->GetText(1009), longText);
}

namespace {

// A window tree as the widget layer would present it.
struct FakeComponent : TTextComponent {
    std::string Name;
    bool Form = false;
    bool HasCaption = true;
    std::string Caption;
    std::vector<std::unique_ptr<FakeComponent>> Owned;

    FakeComponent(std::string name, bool form = false) : Name(std::move(name)), Form(form) {}
    FakeComponent& Own(std::string name, bool form = false) {
        Owned.push_back(std::make_unique<FakeComponent>(std::move(name), form));
        return *Owned.back();
    }
    std::string GetName() const override { return Name; }
    bool IsForm() const override { return Form; }
    void SetCaption(std::string_view text) override {
        if (HasCaption) Caption = text;
    }
    void ForEachOwned(const std::function<void(TTextComponent&)>& visit) override {
        for (auto& c : Owned) visit(*c);
    }
};

}  // namespace

TEST_F(LanguageFile, TranslatesWindowsByFormAndComponentName) {
    auto mls = Open(
        "[MLS-INTERFACE]\nProgram=x\n[GENERAL]\nLanguages=1\n[LANGUAGES]\n1=L\n[L]\n"
        "::frmMemory_2=Speicher 2\n::frmMemory=Speicher\nfrmMemory::btnRefresh=&Aktualisieren\n"
        "frmMemory_2::btnClose=wrong prefix\nfrmMemory::lblInfo=Zeile 1\\nZeile 2\n"
        "frmMemory::actDelete=L\xF6schen\nfrmMemory::mnuFile=\nfrmMemory::grid=not a caption\n"
        "frmFrame::lblInner=Innen\n",
        0);
    FakeComponent form("frmMemory_2", true);
    FakeComponent& refresh = form.Own("btnRefresh");
    FakeComponent& close = form.Own("btnClose");
    close.Caption = "Close";
    FakeComponent& menu = form.Own("mnuFile");
    menu.Caption = "&File";
    FakeComponent& action = menu.Own("actDelete");
    FakeComponent& info = form.Own("lblInfo");
    FakeComponent& grid = form.Own("grid");
    grid.HasCaption = false;
    FakeComponent& frame = form.Own("frmFrame", true);
    FakeComponent& inner = frame.Own("lblInner");

    mls->TranslateForm(form);
    EXPECT_EQ(form.Caption, "Speicher 2");
    EXPECT_EQ(refresh.Caption, "&Aktualisieren");
    EXPECT_EQ(close.Caption, "Close");
    EXPECT_EQ(menu.Caption, "&File");  // an empty value leaves the text
    EXPECT_EQ(action.Caption, "L\xF6schen");
    EXPECT_EQ(info.Caption, "Zeile 1\nZeile 2");
    EXPECT_EQ(grid.Caption, "");
    EXPECT_EQ(inner.Caption, "Innen");

    // English leaves the window alone.
    FakeComponent english("frmMemory", true);
    english.Caption = "Memory";
    mls->SetLanguage(-1);
    mls->TranslateForm(english);
    EXPECT_EQ(english.Caption, "Memory");
}
