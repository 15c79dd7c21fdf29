#include "Appinterface.h"
#include "FrameTest.h"
#include "Thdrobj.h"

namespace {

class Settings : public FrameFixture {
protected:
    std::string Path() const { return (Root / "settings.cfg").string(); }

    // A settings file of the given sections, written with the container.
    void WriteSections(const std::vector<std::pair<uint16_t, std::string>>& sections, const char* ident = SettingsIdent) {
        THdrFile file;
        ASSERT_TRUE(file.Create(Path(), ident));
        for (const auto& [id, bytes] : sections) ASSERT_TRUE(file.WriteSection(id, 0, bytes.size(), bytes.data()));
    }
};

}  // namespace

TEST_F(Settings, SavedValuesComeBack) {
    {
        _AppInterface app;
        app.FlexibleToolBarsSetting = 1;
        app.ReopenMemoryViewer = 1;
        app.ReopenConverter = 1;
        app.Reserved[0] = 7;
        app.UnitsList->assign({"mm", "\xB0" "C", "bar"});
        app.DisplayFormats[99] = 2;
        app.MainPlacement = {5, 6, 700, 500, _WindowPlacement::Normal};
        app.WindowPlacements[5].Top = 999;
        app.DialogPlacements[2].Width = 640;
        app.ComPort = 12;
        app.BaudIndex = 2;
        app.Shortcuts.FilterIndex = 2;
        app.Shortcuts.Items[1].Path = "/home/u/prog.hex";
        app.ToolBars.Slots[7].State = {0, 1, 10, 20, 110, 50, -1};
        app.RecentFiles->Add("/a.mtp");
        ASSERT_TRUE(SaveSettings(app, Path()));
    }
    _AppInterface app;
    ASSERT_TRUE(LoadSettings(app, Path()));
    EXPECT_EQ(app.FlexibleToolBarsSetting, 1);
    EXPECT_EQ(app.FlexibleToolBars, 1);
    EXPECT_EQ(app.ReopenMemoryViewer, 1);
    EXPECT_EQ(app.ReopenConverter, 1);
    EXPECT_EQ(app.ReopenProgramManager, 0);
    EXPECT_EQ(app.Reserved[0], 7);
    EXPECT_EQ(*app.UnitsList, (std::vector<std::string>{"mm", "\xB0" "C", "bar"}));
    EXPECT_EQ(app.DisplayFormats[99], 2);
    EXPECT_EQ(app.MainPlacement.Left, 6);
    EXPECT_EQ(app.MainPlacement.Width, 700);
    EXPECT_EQ(app.MainPlacement.State, _WindowPlacement::Normal);
    EXPECT_EQ(app.WindowPlacements[5].Top, 999);
    EXPECT_EQ(app.DialogPlacements[2].Width, 640);
    EXPECT_EQ(app.ComPort, 12);
    EXPECT_EQ(app.BaudIndex, 2);
    EXPECT_EQ(app.Shortcuts.FilterIndex, 2);
    EXPECT_EQ(app.Shortcuts.Items[1].Path, "/home/u/prog.hex");
    EXPECT_EQ(app.Shortcuts.Items[0].Path, "");
    EXPECT_EQ(app.ToolBars.Slots[7].State.Floating, 1);
    EXPECT_EQ(app.ToolBars.Slots[7].State.Right, 110);
    EXPECT_EQ(app.ToolBars.Slots[7].State.DockSite, -1);
    EXPECT_EQ(app.RecentFiles->Names()[0], "/a.mtp");
}

// The file's language is taken only when the language file offers it.
TEST_F(Settings, LanguageOfTheFileMustBeOffered) {
    WriteFileBytes(ProgramDir / "QX318Utility.mls",
                   "[MLS-INTERFACE]\r\nProgram=QX318\r\n[GENERAL]\r\nLanguages=3\r\n[LANGUAGES]\r\n1=A\r\n2=B\r\n3=C\r\n");
    struct Case {
        const char* flags;
        int32_t language;
    } cases[] = {
        {"00 00 00 00 00 00 00 02 00 00 00 00 00", 2},
        {"00 00 00 00 00 00 00 03 00 00 00 00 00", -1},
        {"00 00 00 00 00 00 00 05 00 00 00 00 00", -1},
        {"00 00 00 00 00 00 00 FE FF FF FF 00 00", -1},
        {"00 00 00 00 00 00 00 FF FF FF FF 00 00", -1},
    };
    for (const auto& c : cases) {
        WriteSections({{SectFlags, HexBytes(c.flags)}});
        _AppInterface app;
        ASSERT_TRUE(LoadSettings(app, Path()));
        EXPECT_EQ(app.LanguageIndex, c.language) << c.flags;
        EXPECT_EQ(app.Mls->GetLanguageIndex(), c.language) << c.flags;
    }
    // Without a language file only English is offered.
    std::filesystem::remove(ProgramDir / "QX318Utility.mls");
    WriteSections({{SectFlags, HexBytes(cases[0].flags)}});
    _AppInterface app;
    ASSERT_TRUE(LoadSettings(app, Path()));
    EXPECT_EQ(app.LanguageIndex, -1);
    EXPECT_EQ(app.Mls->GetLanguageIndex(), -1);
}

// A refused file leaves every default of the record.
TEST_F(Settings, RefusedFileLeavesTheDefaults) {
    WriteFileBytes(Path(), "QX218 TYP");
    _AppInterface app;
    app.UnitsList->push_back("kept");
    EXPECT_FALSE(LoadSettings(app, Path()));
    EXPECT_EQ(app.ComPort, 1);
    EXPECT_EQ(app.MainPlacement.State, _WindowPlacement::Maximized);
    EXPECT_EQ(*app.UnitsList, std::vector<std::string>{"kept"});
}

TEST_F(Settings, AddRecentUnit) {
    _AppInterface app;
    app.AddRecentUnit("mm");
    app.AddRecentUnit("  mm ");
    app.AddRecentUnit("   ");
    app.AddRecentUnit("MM");
    EXPECT_EQ(*app.UnitsList, (std::vector<std::string>{"MM", "mm"}));
    app.UnitsList->clear();
    for (int i = 0; i < 29; ++i) app.AddRecentUnit("u" + std::to_string(i));
    EXPECT_EQ(app.UnitsList->size(), 29u);
    app.AddRecentUnit("new");
    EXPECT_EQ(app.UnitsList->size(), 29u);
    EXPECT_EQ(app.UnitsList->front(), "new");
    EXPECT_EQ(app.UnitsList->back(), "u1");
}

TEST_F(Settings, FilesLiveInTheSettingsFolder) {
    EXPECT_FALSE(fs::exists(SettingsDir()));
    EXPECT_EQ(GetSettingsFilePath("/opt/qx/QX318Utility.cfg"), (SettingsDir() / "QX318Utility.cfg").string());
    EXPECT_TRUE(fs::is_directory(SettingsDir()));
    _AppInterface app;
    EXPECT_EQ(app.IniFileName, (SettingsDir() / "QX318Utility.ini").string());
    EXPECT_EQ(app.Mls->GetFileName(), (ProgramDir / "QX318Utility.mls").string());

    EXPECT_TRUE(DeleteSettingsFile(Path()));  // none there
    WriteFileBytes(Path(), "x");
    EXPECT_TRUE(DeleteSettingsFile(Path()));
    EXPECT_FALSE(fs::exists(Path()));
}

TEST_F(Settings, ExpertMarker) {
    struct Case {
        const char* file;
        bool result;
        const char* value;
    } cases[] = {
        {"[Software\\KVOZ]\nKVOZ=KVOZ\n", true, "KVOZ"},
        {"[Software\\KVOZ]\nKVOZ=kvoz\n", true, "kvoz"},
        {"[Software\\KVOZ]\nKVOZ=dword:00000001\n", true, ""},
        {"[Software\\KVOZ]\nOther=KVOZ\n", true, ""},
        {"[Software\\Other]\nKVOZ=KVOZ\n", false, ""},
    };
    for (const auto& c : cases) {
        WriteRegistry(c.file);
        std::string value;
        EXPECT_EQ(ReadExpertMarker(value), c.result) << c.file;
        EXPECT_EQ(value, c.value) << c.file;
    }
}

TEST_F(Settings, WindowPlacementKeepsTheNormalSizeOfAMaximizedWindow) {
    QWidget w;
    RestoreWindowPlacement(&w, {30, 40, 300, 200, _WindowPlacement::Normal});
    _WindowPlacement p;
    SaveWindowPlacement(p, &w);
    EXPECT_EQ(p.Top, 30);
    EXPECT_EQ(p.Left, 40);
    EXPECT_EQ(p.Width, 300);
    EXPECT_EQ(p.Height, 200);
    EXPECT_EQ(p.State, _WindowPlacement::Normal);
    w.setWindowState(Qt::WindowMaximized);
    p = {1, 2, 3, 4, 0};
    SaveWindowPlacement(p, &w);
    EXPECT_EQ(p.State, _WindowPlacement::Maximized);
    EXPECT_EQ(p.Width, 3);
}

// What the converter writes into the record's ini object reaches
// <program>.ini by the end of the run; a run that writes nothing leaves no file.
TEST_F(Settings, IniValuesReachTheIniFile) {
    const fs::path ini = SettingsDir() / "QX318Utility.ini";
    { _AppInterface app; }
    EXPECT_FALSE(fs::exists(ini));
    {
        _AppInterface app;
        app.IniFile->WriteInteger("frmConvert", "Top", 42);
    }
    _AppInterface next;
    EXPECT_EQ(next.IniFile->ReadInteger("frmConvert", "Top", 0), 42);
}
