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

TEST_F(Settings, DefaultRecordIsWrittenByteForByte) {
    ASSERT_TRUE(ScreenIs800x800());
    _AppInterface app;
    ASSERT_TRUE(SaveSettings(app, Path()));
    EXPECT_EQ(ReadFileBytes(Path()), DefaultSettingsFile());
    EXPECT_FALSE(fs::exists(Path() + ".new"));
}

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

// A file the container refuses as a whole leaves every default.
TEST_F(Settings, RefusedFilesLeaveTheDefaults) {
    std::string foreign = DefaultSettingsFile();
    foreign.replace(0, 9, "QX218 TYP");
    std::string port12 = DefaultSettingsFile();
    const size_t portAt = port12.size() - 5 - 176 - 5 - 8;
    port12[portAt] = 12;
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"foreign ident", foreign},
        {"trailing byte", port12 + std::string(1, '\0')},
        {"truncated", port12.substr(0, port12.size() - 1)},
        {"empty", ""},
        {"directory only", port12.substr(0, 40)},
    };
    for (const auto& c : cases) {
        WriteFileBytes(Path(), c.bytes);
        _AppInterface app;
        EXPECT_FALSE(LoadSettings(app, Path())) << c.what;
        EXPECT_EQ(app.ComPort, 1) << c.what;
        EXPECT_EQ(app.BaudIndex, 1) << c.what;
        EXPECT_EQ(app.MainPlacement.State, _WindowPlacement::Maximized) << c.what;
    }
    // The unchanged file with port 12 is read.
    WriteFileBytes(Path(), port12);
    _AppInterface app;
    EXPECT_TRUE(LoadSettings(app, Path()));
    EXPECT_EQ(app.ComPort, 12);
    _AppInterface none;
    EXPECT_FALSE(LoadSettings(none, (Root / "missing.cfg").string()));
}

// A section of the wrong size keeps the defaults of its own fields only.
TEST_F(Settings, SectionOfWrongSizeKeepsItsDefaults) {
    std::string flags = HexBytes("01 00 01 00 00 00 00 FF FF FF FF 00 00");
    WriteSections({{SectFlags, flags},
                   {SectMainPlacement, std::string(16, '\x01')},
                   {SectDisplayFormats, std::string(101, '\x01')},
                   {SectWindowPlacements, std::string(101, '\x01')},
                   {SectDialogPlacements, std::string(52, '\x01')},
                   {SectComPort, HexBytes("05 00 00 00 02 00 00 00 00")},
                   {TAppToolBars::SectionId, std::string(175, '\x01')}});
    _AppInterface app;
    ASSERT_TRUE(LoadSettings(app, Path()));
    EXPECT_EQ(app.FlexibleToolBars, 1);
    EXPECT_EQ(app.ReopenMemoryManager, 1);
    EXPECT_EQ(app.MainPlacement.Width, 640);
    EXPECT_EQ(app.MainPlacement.State, _WindowPlacement::Maximized);
    EXPECT_EQ(app.DisplayFormats[0], 0);
    EXPECT_EQ(app.WindowPlacements[0].Top, 10);
    EXPECT_EQ(app.DialogPlacements[0].Width, 550);
    EXPECT_EQ(app.ComPort, 1);
    EXPECT_EQ(app.ToolBars.Slots[1].State.Top, 20);
    EXPECT_TRUE(app.UnitsList->empty());
}

// Values that no program writes: a damaged file must not take them.
TEST_F(Settings, OutOfRangeValuesAreRefused) {
    struct Case {
        std::string port;
        int32_t comPort, baudIndex;
    } ports[] = {
        {HexBytes("00 00 00 00 01 00 00 00"), 1, 1},  // port 0
        {HexBytes("00 01 00 00 01 00 00 00"), 1, 1},  // port 256
        {HexBytes("FF 00 00 00 03 00 00 00"), 1, 1},  // baud index 3
        {HexBytes("FF 00 00 00 FF FF FF FF"), 1, 1},  // baud index -1
        {HexBytes("FF 00 00 00 00 00 00 00"), 255, 0},
    };
    for (const auto& c : ports) {
        WriteSections({{SectComPort, c.port}, {SectFlags, HexBytes("00 00 00 00 00 00 00 05 00 00 00 00 00")}});
        _AppInterface app;
        ASSERT_TRUE(LoadSettings(app, Path()));
        EXPECT_EQ(app.ComPort, c.comPort);
        EXPECT_EQ(app.BaudIndex, c.baudIndex);
        // No language file: language 5 does not exist.
        EXPECT_EQ(app.LanguageIndex, -1);
        EXPECT_EQ(app.Mls->GetLanguageIndex(), -1);
    }
}

TEST_F(Settings, UnitsAndShortcutSections) {
    WriteSections({{SectUnits, ""}, {_Shortcuts::SectionId, std::string("\x02/a\0/b", 6)}});
    {
        _AppInterface app;
        app.UnitsList->push_back("old");
        ASSERT_TRUE(LoadSettings(app, Path()));
        EXPECT_TRUE(app.UnitsList->empty());
        EXPECT_EQ(app.Shortcuts.FilterIndex, 2);
        EXPECT_EQ(app.Shortcuts.Items[0].Path, "/a");
        EXPECT_EQ(app.Shortcuts.Items[1].Path, "/b");  // cut off by the section's end
        EXPECT_EQ(app.Shortcuts.Items[2].Path, "");
    }
    WriteSections({{SectUnits, "mm\r\nkg\r\n"}});
    _AppInterface app;
    ASSERT_TRUE(LoadSettings(app, Path()));
    EXPECT_EQ(*app.UnitsList, (std::vector<std::string>{"mm", "kg"}));
    EXPECT_EQ(app.Shortcuts.FilterIndex, 4);
    _Shortcuts s;
    s.Items[0].Path = "/x";
    s.Items[3].Path = "yz";
    EXPECT_EQ(s.SectionBytes(), (std::vector<uint8_t>{4, '/', 'x', 0, 0, 0, 'y', 'z', 0}));
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
    uint8_t bytes[17];
    _WindowPlacement{-1, 2, 0x01020304, 4, 1}.Write(bytes);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 17), HexBytes("FFFFFFFF 02000000 04030201 04000000 01"));
}
