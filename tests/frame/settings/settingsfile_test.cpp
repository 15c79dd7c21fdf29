// The settings file's bytes, read into and written from the plain settings
// record, against files written out by hand.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "../../core/TempFolder.h"
#include "SettingsBytes.h"
#include "SettingsFile.h"
#include "Thdrobj.h"

namespace {

class SettingsFile : public TempFolderTest {
protected:
    std::string File() const { return Path("settings.cfg"); }

    std::string FileBytes(const std::string& path) const {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }

    // A settings file of the given sections, written with the container.
    void WriteSections(const std::vector<std::pair<uint16_t, std::string>>& sections) {
        THdrFile file;
        ASSERT_TRUE(file.Create(File(), SettingsIdent));
        for (const auto& [id, bytes] : sections) ASSERT_TRUE(file.WriteSection(id, 0, bytes.size(), bytes.data()));
    }
};

std::vector<int32_t> Placement(const _WindowPlacement& p) { return {p.Top, p.Left, p.Width, p.Height, p.State}; }

std::vector<int32_t> State(const TToolBarState& s) {
    return {s.Visible, s.Floating, s.Left, s.Top, s.Right, s.Bottom, s.DockSite};
}

}  // namespace

TEST_F(SettingsFile, NewRecordIsWrittenByteForByte) {
    const _SettingsRecord record(800, 800);
    ASSERT_TRUE(WriteSettingsFile(File(), record));
    EXPECT_EQ(FileBytes(File()), DefaultSettingsFile());
    EXPECT_EQ(FileCount(), 1u);  // no temporary file left
}

// A file the container refuses as a whole leaves the record as it was.
TEST_F(SettingsFile, RefusedFilesLeaveTheRecord) {
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
        Write("settings.cfg", c.bytes);
        _SettingsRecord record(800, 800);
        record.Units = {"kept"};
        record.RecentFiles[0] = "/kept";
        EXPECT_FALSE(ReadSettingsFile(File(), record)) << c.what;
        EXPECT_EQ(record.ComPort, 1) << c.what;
        EXPECT_EQ(record.BaudIndex, 1) << c.what;
        EXPECT_EQ(record.MainPlacement.State, _WindowPlacement::Maximized) << c.what;
        EXPECT_EQ(record.Units, std::vector<std::string>{"kept"}) << c.what;
        EXPECT_EQ(record.RecentFiles[0], "/kept") << c.what;
    }
    // The unchanged file with port 12 is read.
    Write("settings.cfg", port12);
    _SettingsRecord record(800, 800);
    EXPECT_TRUE(ReadSettingsFile(File(), record));
    EXPECT_EQ(record.ComPort, 12);
    _SettingsRecord none(800, 800);
    EXPECT_FALSE(ReadSettingsFile(Path("missing.cfg"), none));
}

// A section of the wrong size keeps the values of its own fields only.
TEST_F(SettingsFile, SectionOfWrongSizeKeepsItsValues) {
    const std::string flags = HexBytes("01 00 01 00 00 00 00 FF FF FF FF 00 00");
    WriteSections({{SectFlags, flags},
                   {SectMainPlacement, std::string(16, '\x01')},
                   {SectDisplayFormats, std::string(101, '\x01')},
                   {SectWindowPlacements, std::string(101, '\x01')},
                   {SectDialogPlacements, std::string(52, '\x01')},
                   {SectComPort, HexBytes("05 00 00 00 02 00 00 00 00")},
                   {SectToolBars, std::string(175, '\x01')}});
    _SettingsRecord record(800, 800);
    record.Units = {"old"};
    record.RecentFiles[0] = "/old";
    ASSERT_TRUE(ReadSettingsFile(File(), record));
    EXPECT_EQ(record.FlexibleToolBarsSetting, 1);
    EXPECT_EQ(record.ReopenMemoryManager, 1);
    EXPECT_EQ(record.LanguageIndex, -1);
    EXPECT_EQ(record.MainPlacement.Width, 640);
    EXPECT_EQ(record.MainPlacement.State, _WindowPlacement::Maximized);
    EXPECT_EQ(record.DisplayFormats[0], 0);
    EXPECT_EQ(record.WindowPlacements[0].Top, 10);
    EXPECT_EQ(record.DialogPlacements[0].Width, 550);
    EXPECT_EQ(record.ComPort, 1);
    EXPECT_EQ(record.ToolBars[1].Top, 20);
    // The units and the recent files come from the file alone: none there.
    EXPECT_TRUE(record.Units.empty());
    EXPECT_EQ(record.RecentFiles[0], "");
}

// Ports and baud indexes that no program writes: a damaged file must not
// set them.
TEST_F(SettingsFile, OutOfRangePortsAreRefused) {
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
        WriteSections({{SectComPort, c.port}});
        _SettingsRecord record(800, 800);
        ASSERT_TRUE(ReadSettingsFile(File(), record));
        EXPECT_EQ(record.ComPort, c.comPort);
        EXPECT_EQ(record.BaudIndex, c.baudIndex);
    }
}

TEST_F(SettingsFile, UnitsAndShortcutSections) {
    WriteSections({{SectUnits, ""}, {SectShortcuts, std::string("\x02/a\0/b", 6)}});
    {
        _SettingsRecord record(800, 800);
        record.Units = {"old"};
        ASSERT_TRUE(ReadSettingsFile(File(), record));
        EXPECT_TRUE(record.Units.empty());
        EXPECT_EQ(record.Shortcuts.FilterIndex, 2);
        EXPECT_EQ(record.Shortcuts.Items[0].Path, "/a");
        EXPECT_EQ(record.Shortcuts.Items[1].Path, "/b");  // cut off by the section's end
        EXPECT_EQ(record.Shortcuts.Items[2].Path, "");
    }
    struct Case {
        std::string text;
        std::vector<std::string> units;
    } units[] = {
        {"mm\r\nkg\r\n", {"mm", "kg"}},
        {"mm\rkg\nbar", {"mm", "kg", "bar"}},
        {"\r\n\r\nx\r\n", {"", "", "x"}},
    };
    for (const auto& c : units) {
        WriteSections({{SectUnits, c.text}});
        _SettingsRecord record(800, 800);
        ASSERT_TRUE(ReadSettingsFile(File(), record));
        EXPECT_EQ(record.Units, c.units);
        EXPECT_EQ(record.Shortcuts.FilterIndex, 4);
    }
    _Shortcuts s;
    s.Items[0].Path = "/x";
    s.Items[3].Path = "yz";
    EXPECT_EQ(s.SectionBytes(), (std::vector<uint8_t>{4, '/', 'x', 0, 0, 0, 'y', 'z', 0}));
}

TEST_F(SettingsFile, WindowPlacementInItsBytes) {
    uint8_t bytes[17];
    _WindowPlacement{-1, 2, 0x01020304, 4, 1}.Write(bytes);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 17), HexBytes("FFFFFFFF 02000000 04030201 04000000 01"));
}

// A settings file with a value of its own in every section, written out by
// hand: every field lands where the file puts it, and writing the record
// again gives the same bytes.
TEST_F(SettingsFile, HandWrittenFileIsReadFieldByFieldAndWrittenBack) {
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
    Write("settings.cfg", file);
    _SettingsRecord record(800, 800);
    ASSERT_TRUE(ReadSettingsFile(File(), record));
    EXPECT_EQ(record.FlexibleToolBarsSetting, 1);
    EXPECT_EQ(std::vector<int>({record.ReopenProgramManager, record.ReopenMemoryManager, record.ReopenMemoryViewer,
                                record.ReopenMenuEditor, record.ReopenApplications, record.ReopenConverter}),
              std::vector<int>({1, 0, 1, 0, 0, 1}));
    EXPECT_EQ(record.LanguageIndex, 2);
    EXPECT_EQ(record.Reserved[0], 7);
    EXPECT_EQ(record.Reserved[1], 3);
    EXPECT_EQ(record.Units, (std::vector<std::string>{"mm", "\xB0" "C"}));
    EXPECT_EQ(record.DisplayFormats[0], 1);
    EXPECT_EQ(record.DisplayFormats[1], 0);
    EXPECT_EQ(record.DisplayFormats[50], 2);
    EXPECT_EQ(record.DisplayFormats[99], 2);
    EXPECT_EQ(Placement(record.MainPlacement), (std::vector<int32_t>{20, 30, 700, 500, 0}));
    EXPECT_EQ(Placement(record.WindowPlacements[0]), (std::vector<int32_t>{1, 2, 300, 400, 2}));
    EXPECT_EQ(Placement(record.WindowPlacements[4]), (std::vector<int32_t>{90, 90, 280, 480, 1}));
    EXPECT_EQ(Placement(record.WindowPlacements[5]), (std::vector<int32_t>{999, 110, 480, 480, 0}));
    EXPECT_EQ(Placement(record.DialogPlacements[0]), (std::vector<int32_t>{0, 0, 550, 450, 0}));
    EXPECT_EQ(Placement(record.DialogPlacements[2]), (std::vector<int32_t>{10, 20, 640, 480, 0}));
    EXPECT_EQ(record.ComPort, 12);
    EXPECT_EQ(record.BaudIndex, 2);
    EXPECT_EQ(record.Shortcuts.FilterIndex, 2);
    EXPECT_EQ(record.Shortcuts.Items[0].Path, "/a.S");
    EXPECT_EQ(record.Shortcuts.Items[1].Path, "");
    EXPECT_EQ(record.Shortcuts.Items[2].Path, "/p/x.hex");
    EXPECT_EQ(record.Shortcuts.Items[3].Path, "");
    EXPECT_EQ(State(record.ToolBars[1]), (std::vector<int32_t>{1, 0, 0, 20, 100, 100, 0}));
    EXPECT_EQ(State(record.ToolBars[2]), (std::vector<int32_t>{1, 1, 50, 60, 150, 90, -1}));
    EXPECT_EQ(State(record.ToolBars[4]), (std::vector<int32_t>{1, 0, 200, 0, 100, 100, -1}));
    EXPECT_EQ(State(record.ToolBars[5]), (std::vector<int32_t>{0, 0, 300, 0, 100, 100, 0}));
    EXPECT_EQ(record.RecentFiles[0], "/b.mtp");
    EXPECT_EQ(record.RecentFiles[1], "/a.mnu");
    EXPECT_EQ(record.RecentFiles[2], "");

    const std::string again = Path("again.cfg");
    ASSERT_TRUE(WriteSettingsFile(again, record));
    EXPECT_EQ(FileBytes(again), file);
}

// A file that cannot be written leaves the old one as it was, and no file of
// the user's beside it is touched.
TEST_F(SettingsFile, AFailedWriteKeepsTheOldFile) {
    Write("settings.cfg", "old");
    Write("settings.cfg.new", "the user's own");
    const _SettingsRecord record(800, 800);
    {
        FileSizeLimit limit(100);
        EXPECT_FALSE(WriteSettingsFile(File(), record));
    }
    EXPECT_EQ(FileBytes(File()), "old");
    EXPECT_EQ(FileBytes(File() + ".new"), "the user's own");
    EXPECT_EQ(FileCount(), 2u);  // no temporary file left
    EXPECT_FALSE(WriteSettingsFile(Path("no/such/folder/settings.cfg"), record));
    ASSERT_TRUE(WriteSettingsFile(File(), record));
    EXPECT_EQ(FileBytes(File() + ".new"), "the user's own");
}
