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

// A settings file with a value of its own in every section, written out by
// hand: every field lands where the file puts it, and writing the record
// again gives the same bytes.
TEST_F(Settings, HandWrittenFileIsReadFieldByFieldAndWrittenBack) {
    WriteFileBytes(ProgramDir / "QX318Utility.mls",
                   "[MLS-INTERFACE]\r\nProgram=QX318\r\n[GENERAL]\r\nLanguages=3\r\n[LANGUAGES]\r\n1=A\r\n2=B\r\n3=C\r\n");
    const std::string file = HexBytes(
        "51 58 33 31 38 20 41 50 50 00 00 00 00 00  0A 00"
        "10 10 00 00 0D 00 00 00   11 10 00 00 08 00 00 00"
        "12 10 00 00 64 00 00 00   13 10 00 00 11 00 00 00"
        "14 10 00 00 66 00 00 00   18 10 00 00 33 00 00 00"
        "15 10 00 00 08 00 00 00   16 10 00 00 11 00 00 00"
        "17 10 00 00 B0 00 00 00   01 01 00 00 11 00 00 00"
        // 0x1010: flexible; reopen Program Manager, Memory Viewer, converter;
        // language 2; reserved 7 and 3
        "01  01 00 01 00 00 01  02 00 00 00  07 03"
        // 0x1011: "mm", degree sign "C"
        "6D 6D 0D 0A B0 43 0D 0A"
        // 0x1012: formats 1 at slot 0, 2 at slots 50 and 99
        "01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
        "00 00 00 00 00 00 00 00 00 00 02 00 00 00 00 00 00 00 00 00"
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 02"
        // 0x1013: main window top 20, left 30, 700 x 500, normal
        "14 00 00 00  1E 00 00 00  BC 02 00 00  F4 01 00 00  00"
        // 0x1014: memory manager top 1, left 2, 300 x 400, maximized;
        // Applications minimized; the reserved one at top 999
        "01 00 00 00  02 00 00 00  2C 01 00 00  90 01 00 00  02"
        "1E 00 00 00  1E 00 00 00  18 01 00 00  E0 01 00 00  00"
        "32 00 00 00  32 00 00 00  E0 01 00 00  E0 01 00 00  00"
        "46 00 00 00  46 00 00 00  18 01 00 00  E0 01 00 00  00"
        "5A 00 00 00  5A 00 00 00  18 01 00 00  E0 01 00 00  01"
        "E7 03 00 00  6E 00 00 00  E0 01 00 00  E0 01 00 00  00"
        // 0x1018: the report window top 10, left 20, 640 x 480
        "00 00 00 00  00 00 00 00  26 02 00 00  C2 01 00 00  00"
        "00 00 00 00  00 00 00 00  26 02 00 00  C2 01 00 00  00"
        "0A 00 00 00  14 00 00 00  80 02 00 00  E0 01 00 00  00"
        // 0x1015: COM port 12, baud index 2
        "0C 00 00 00  02 00 00 00"
        // 0x1016: filter index 2, "/a.S", "", "/p/x.hex", ""
        "02  2F 61 2E 53 00  00  2F 70 2F 78 2E 68 65 78 00  00"
        // 0x1017: Type floating at 50, 60 - 150, 90; MemoryManager in no
        // registered site; MemoryViewer hidden
        "01 00  00 00 00 00  00 00 00 00  64 00 00 00  64 00 00 00  00 00 00 00"
        "01 00  00 00 00 00  14 00 00 00  64 00 00 00  64 00 00 00  00 00 00 00"
        "01 01  32 00 00 00  3C 00 00 00  96 00 00 00  5A 00 00 00  FF FF FF FF"
        "01 00  64 00 00 00  00 00 00 00  64 00 00 00  64 00 00 00  00 00 00 00"
        "01 00  C8 00 00 00  00 00 00 00  64 00 00 00  64 00 00 00  FF FF FF FF"
        "00 00  2C 01 00 00  00 00 00 00  64 00 00 00  64 00 00 00  00 00 00 00"
        "01 00  FA 00 00 00  14 00 00 00  64 00 00 00  64 00 00 00  00 00 00 00"
        "01 00  00 00 00 00  28 00 00 00  64 00 00 00  64 00 00 00  00 00 00 00"
        // 0x0101: "/b.mtp", "/a.mnu", three empty slots
        "2F 62 2E 6D 74 70 00  2F 61 2E 6D 6E 75 00  00 00 00");
    WriteFileBytes(Path(), file);
    _AppInterface app;
    ASSERT_TRUE(LoadSettings(app, Path()));
    EXPECT_EQ(app.FlexibleToolBarsSetting, 1);
    EXPECT_EQ(app.FlexibleToolBars, 1);
    EXPECT_EQ(std::vector<int>({app.ReopenProgramManager, app.ReopenMemoryManager, app.ReopenMemoryViewer,
                                app.ReopenMenuEditor, app.ReopenApplications, app.ReopenConverter}),
              std::vector<int>({1, 0, 1, 0, 0, 1}));
    EXPECT_EQ(app.LanguageIndex, 2);
    EXPECT_EQ(app.Mls->GetLanguageIndex(), 2);
    EXPECT_EQ(app.Reserved[0], 7);
    EXPECT_EQ(app.Reserved[1], 3);
    EXPECT_EQ(*app.UnitsList, (std::vector<std::string>{"mm", "\xB0" "C"}));
    EXPECT_EQ(app.DisplayFormats[0], 1);
    EXPECT_EQ(app.DisplayFormats[1], 0);
    EXPECT_EQ(app.DisplayFormats[50], 2);
    EXPECT_EQ(app.DisplayFormats[99], 2);
    const auto placement = [](const _WindowPlacement& p) {
        return std::vector<int32_t>{p.Top, p.Left, p.Width, p.Height, p.State};
    };
    EXPECT_EQ(placement(app.MainPlacement), (std::vector<int32_t>{20, 30, 700, 500, 0}));
    EXPECT_EQ(placement(app.WindowPlacements[0]), (std::vector<int32_t>{1, 2, 300, 400, 2}));
    EXPECT_EQ(placement(app.WindowPlacements[4]), (std::vector<int32_t>{90, 90, 280, 480, 1}));
    EXPECT_EQ(placement(app.WindowPlacements[5]), (std::vector<int32_t>{999, 110, 480, 480, 0}));
    EXPECT_EQ(placement(app.DialogPlacements[0]), (std::vector<int32_t>{0, 0, 550, 450, 0}));
    EXPECT_EQ(placement(app.DialogPlacements[2]), (std::vector<int32_t>{10, 20, 640, 480, 0}));
    EXPECT_EQ(app.ComPort, 12);
    EXPECT_EQ(app.BaudIndex, 2);
    EXPECT_EQ(app.Shortcuts.FilterIndex, 2);
    EXPECT_EQ(app.Shortcuts.Items[0].Path, "/a.S");
    EXPECT_EQ(app.Shortcuts.Items[1].Path, "");
    EXPECT_EQ(app.Shortcuts.Items[2].Path, "/p/x.hex");
    EXPECT_EQ(app.Shortcuts.Items[3].Path, "");
    const auto state = [](const TToolBarState& s) {
        return std::vector<int32_t>{s.Visible, s.Floating, s.Left, s.Top, s.Right, s.Bottom, s.DockSite};
    };
    EXPECT_EQ(state(app.ToolBars.Slots[1].State), (std::vector<int32_t>{1, 0, 0, 20, 100, 100, 0}));
    EXPECT_EQ(state(app.ToolBars.Slots[2].State), (std::vector<int32_t>{1, 1, 50, 60, 150, 90, -1}));
    EXPECT_EQ(state(app.ToolBars.Slots[4].State), (std::vector<int32_t>{1, 0, 200, 0, 100, 100, -1}));
    EXPECT_EQ(state(app.ToolBars.Slots[5].State), (std::vector<int32_t>{0, 0, 300, 0, 100, 100, 0}));
    EXPECT_EQ(app.RecentFiles->Names()[0], "/b.mtp");
    EXPECT_EQ(app.RecentFiles->Names()[1], "/a.mnu");
    EXPECT_EQ(app.RecentFiles->Names()[2], "");

    const std::string again = (Root / "again.cfg").string();
    ASSERT_TRUE(SaveSettings(app, again));
    EXPECT_EQ(ReadFileBytes(again), file);
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
