// The settings file <program>.cfg: a sectioned container with the ident
// "QX318 APP" that keeps the user's settings from one run to the next. This
// unit reads the file into a plain record and writes the record back; the
// application record and the windows take their settings from that record.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class THdrObj;

// The ident and section ids of the settings file; every section has sub-id 0.
constexpr const char* SettingsIdent = "QX318 APP";
enum : uint16_t {
    SectRecentFiles = 0x0101,
    SectFlags = 0x1010,
    SectUnits = 0x1011,
    SectDisplayFormats = 0x1012,
    SectMainPlacement = 0x1013,
    SectWindowPlacements = 0x1014,
    SectComPort = 0x1015,
    SectShortcuts = 0x1016,
    SectToolBars = 0x1017,
    SectDialogPlacements = 0x1018,
};

// Position, size and state of a window; 17 bytes in the settings file:
// int32 top, left, width, height, byte state.
struct _WindowPlacement {
    static constexpr size_t Size = 17;
    static constexpr uint8_t Normal = 0, Minimized = 1, Maximized = 2;
    int32_t Top = 0, Left = 0, Width = 0, Height = 0;
    uint8_t State = Normal;

    void Write(uint8_t* out) const;
    void Read(const uint8_t* in);
};

// The saved state of one main-window tool bar, 22 bytes in the settings file:
// byte visible, byte floating, int32 left, top, right, bottom, dock site.
struct TToolBarState {
    static constexpr size_t Size = 22;
    uint8_t Visible = 1;
    uint8_t Floating = 0;
    int32_t Left = 0, Top = 0, Right = 100, Bottom = 100;
    int32_t DockSite = 0;  // 0..3, -1 when not in a registered dock site

    void Write(uint8_t* out) const;
    void Read(const uint8_t* in);
};

constexpr int ToolBarSlotCount = 8;
constexpr size_t ToolBarSectionSize = ToolBarSlotCount * TToolBarState::Size;  // 176
// The tool bars of a new record: docked in the first site, each at its place.
std::array<TToolBarState, ToolBarSlotCount> DefaultToolBarStates();
// Section 0x1017: the eight states; read only when it has exactly its size.
int WriteToolBarSection(THdrObj& container, const std::array<TToolBarState, ToolBarSlotCount>& states);
bool ReadToolBarSection(THdrObj& container, std::array<TToolBarState, ToolBarSlotCount>& states);

// Section 0x0101: the five most recent file names, each followed by one NUL
// (an empty slot is a lone NUL). Reading empties every slot first and gives
// false when there is no section.
constexpr int RecentFileCount = 5;
using TRecentNames = std::array<std::string, RecentFileCount>;
std::vector<uint8_t> RecentFilesBytes(const TRecentNames& names);
int WriteRecentFilesSection(THdrObj& container, const TRecentNames& names);
bool ReadRecentFilesSection(THdrObj& container, TRecentNames& names);

struct TShortcut {
    std::string Path;  // empty: unassigned
};

// The Program Manager's four program shortcuts and the filter last used in
// the program-file dialogs; settings section 0x1016.
struct _Shortcuts {
    static constexpr int Count = 4;
    static constexpr uint16_t SectionId = SectShortcuts;
    TShortcut Items[Count];
    uint8_t FilterIndex = 4;  // "All files"

    void Assign(const _Shortcuts& other);
    std::vector<uint8_t> SectionBytes() const;
    void ReadSection(const uint8_t* data, size_t size);
    int SaveTo(THdrObj& container) const;
    bool LoadFrom(THdrObj& container);
};

// Everything the settings file holds, with the values of a new record.
struct _SettingsRecord {
    // The dialogs are centred on a screen of this size.
    _SettingsRecord(int32_t screenWidth, int32_t screenHeight);

    // Section 0x1010, 13 bytes in this order.
    uint8_t FlexibleToolBarsSetting = 0;
    uint8_t ReopenProgramManager = 0;
    uint8_t ReopenMemoryManager = 0;
    uint8_t ReopenMemoryViewer = 0;
    uint8_t ReopenMenuEditor = 0;
    uint8_t ReopenApplications = 0;
    uint8_t ReopenConverter = 0;
    int32_t LanguageIndex = -1;
    uint8_t Reserved[2] = {0, 0};

    std::vector<std::string> Units;  // each followed by CR LF in the file
    uint8_t DisplayFormats[100] = {};
    _WindowPlacement MainPlacement;
    _WindowPlacement WindowPlacements[6];
    _WindowPlacement DialogPlacements[3];
    int32_t ComPort = 1;
    int32_t BaudIndex = 1;
    _Shortcuts Shortcuts;
    std::array<TToolBarState, ToolBarSlotCount> ToolBars;
    TRecentNames RecentFiles;
};

// Reads the file into the record. A file the container refuses (missing,
// foreign ident, damaged) leaves the record as it was and gives false.
// Otherwise a fixed-size section is taken only with exactly its size and a
// missing one keeps its fields; the units and the recent files are emptied
// first; a COM port outside 1..255 or a baud index outside 0..2 keeps both.
bool ReadSettingsFile(const std::string& path, _SettingsRecord& record);
// Writes the whole file under a temporary name and renames it over the old
// one, so that a failed write leaves the old settings; false on failure.
bool WriteSettingsFile(const std::string& path, const _SettingsRecord& record);
