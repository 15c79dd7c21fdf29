#include "SettingsFile.h"

#include <cstdio>

#include "Bytes.h"
#include "SafeFile.h"
#include "Thdrobj.h"

// ---------------------------------------------------------------- records

void _WindowPlacement::Write(uint8_t* out) const {
    LePutI32(out, Top);
    LePutI32(out + 4, Left);
    LePutI32(out + 8, Width);
    LePutI32(out + 12, Height);
    out[16] = State;
}

void _WindowPlacement::Read(const uint8_t* in) {
    Top = LeGetI32(in);
    Left = LeGetI32(in + 4);
    Width = LeGetI32(in + 8);
    Height = LeGetI32(in + 12);
    State = in[16];
}

void TToolBarState::Write(uint8_t* out) const {
    out[0] = Visible;
    out[1] = Floating;
    LePutI32(out + 2, Left);
    LePutI32(out + 6, Top);
    LePutI32(out + 10, Right);
    LePutI32(out + 14, Bottom);
    LePutI32(out + 18, DockSite);
}

void TToolBarState::Read(const uint8_t* in) {
    Visible = in[0];
    Floating = in[1];
    Left = LeGetI32(in + 2);
    Top = LeGetI32(in + 6);
    Right = LeGetI32(in + 10);
    Bottom = LeGetI32(in + 14);
    DockSite = LeGetI32(in + 18);
}

std::array<TToolBarState, ToolBarSlotCount> DefaultToolBarStates() {
    static constexpr int32_t places[ToolBarSlotCount][2] = {{0, 0},   {0, 20},   {100, 20}, {100, 0},
                                                            {200, 0}, {300, 0}, {250, 20}, {0, 40}};
    std::array<TToolBarState, ToolBarSlotCount> states;
    for (int i = 0; i < ToolBarSlotCount; ++i) {
        states[i].Left = places[i][0];
        states[i].Top = places[i][1];
    }
    return states;
}

int WriteToolBarSection(THdrObj& container, const std::array<TToolBarState, ToolBarSlotCount>& states) {
    uint8_t bytes[ToolBarSectionSize];
    for (int i = 0; i < ToolBarSlotCount; ++i) states[i].Write(bytes + i * TToolBarState::Size);
    return container.WriteSection(SectToolBars, 0, ToolBarSectionSize, bytes);
}

bool ReadToolBarSection(THdrObj& container, std::array<TToolBarState, ToolBarSlotCount>& states) {
    uint8_t bytes[ToolBarSectionSize];
    if (!container.ReadSectionFixed(SectToolBars, 0, ToolBarSectionSize, bytes)) return false;
    for (int i = 0; i < ToolBarSlotCount; ++i) states[i].Read(bytes + i * TToolBarState::Size);
    return true;
}

std::vector<uint8_t> RecentFilesBytes(const TRecentNames& names) {
    std::vector<uint8_t> bytes;
    PutNulTexts(bytes, names.data(), names.size());
    return bytes;
}

int WriteRecentFilesSection(THdrObj& container, const TRecentNames& names) {
    const auto bytes = RecentFilesBytes(names);
    return container.WriteSection(SectRecentFiles, 0, static_cast<uint32_t>(bytes.size()), bytes.data());
}

bool ReadRecentFilesSection(THdrObj& container, TRecentNames& names) {
    uint32_t size = 0;
    const auto bytes = container.FindSection(SectRecentFiles, 0) >= 0
                           ? container.ReadSectionAlloc(SectRecentFiles, 0, &size)
                           : nullptr;
    for (auto& name : names) name.clear();
    if (bytes) GetNulTexts(bytes.get(), size, names.data(), names.size());
    return bytes != nullptr;
}

// ---------------------------------------------------------------- shortcuts

void _Shortcuts::Assign(const _Shortcuts& other) {
    for (int i = 0; i < Count; ++i) Items[i] = other.Items[i];
    FilterIndex = other.FilterIndex;
}

std::vector<uint8_t> _Shortcuts::SectionBytes() const {
    std::vector<uint8_t> bytes{FilterIndex};
    for (const auto& item : Items) {
        bytes.insert(bytes.end(), item.Path.begin(), item.Path.end());
        bytes.push_back(0);
    }
    return bytes;
}

void _Shortcuts::ReadSection(const uint8_t* data, size_t size) {
    if (size == 0) return;
    FilterIndex = data[0];
    std::string paths[Count];
    GetNulTexts(data + 1, size - 1, paths, Count);
    for (int i = 0; i < Count; ++i) Items[i].Path = std::move(paths[i]);
}

int _Shortcuts::SaveTo(THdrObj& container) const {
    const auto bytes = SectionBytes();
    return container.WriteSection(SectionId, 0, static_cast<uint32_t>(bytes.size()), bytes.data());
}

bool _Shortcuts::LoadFrom(THdrObj& container) {
    uint32_t size = 0;
    const auto bytes = container.ReadSectionAlloc(SectionId, 0, &size);
    if (!bytes) return false;
    ReadSection(bytes.get(), size);
    return true;
}

// ---------------------------------------------------------------- the record

_SettingsRecord::_SettingsRecord(int32_t screenWidth, int32_t screenHeight) : ToolBars(DefaultToolBarStates()) {
    MainPlacement = {0, 0, 640, 480, _WindowPlacement::Maximized};
    static constexpr int32_t managers[6][4] = {{10, 10, 280, 480}, {30, 30, 280, 480}, {50, 50, 480, 480},
                                               {70, 70, 280, 480}, {90, 90, 280, 480}, {110, 110, 480, 480}};
    for (int i = 0; i < 6; ++i)
        WindowPlacements[i] = {managers[i][0], managers[i][1], managers[i][2], managers[i][3], _WindowPlacement::Normal};
    for (auto& d : DialogPlacements)
        d = {(screenHeight - 450) / 2, (screenWidth - 550) / 2, 550, 450, _WindowPlacement::Normal};
}

namespace {

// The units list as one text: each entry followed by CR LF.
std::vector<uint8_t> UnitsText(const std::vector<std::string>& units) {
    std::vector<uint8_t> bytes;
    for (const auto& u : units) {
        bytes.insert(bytes.end(), u.begin(), u.end());
        bytes.push_back('\r');
        bytes.push_back('\n');
    }
    return bytes;
}

// A list's text split into lines at CR LF, CR or LF (as a text list takes it).
std::vector<std::string> SplitLines(const uint8_t* data, size_t size) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] != '\r' && data[i] != '\n') continue;
        lines.emplace_back(reinterpret_cast<const char*>(data) + start, i - start);
        if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < size) lines.emplace_back(reinterpret_cast<const char*>(data) + start, size - start);
    return lines;
}

void ReadPlacements(THdrObj& file, uint16_t id, _WindowPlacement* placements, size_t count) {
    std::vector<uint8_t> bytes(count * _WindowPlacement::Size);
    if (!file.ReadSectionFixed(id, 0, static_cast<uint32_t>(bytes.size()), bytes.data())) return;
    for (size_t i = 0; i < count; ++i) placements[i].Read(bytes.data() + i * _WindowPlacement::Size);
}

int WritePlacements(THdrObj& file, uint16_t id, const _WindowPlacement* placements, size_t count) {
    std::vector<uint8_t> bytes(count * _WindowPlacement::Size);
    for (size_t i = 0; i < count; ++i) placements[i].Write(bytes.data() + i * _WindowPlacement::Size);
    return file.WriteSection(id, 0, static_cast<uint32_t>(bytes.size()), bytes.data());
}

constexpr size_t FlagsSize = 13;

void FlagsToBytes(const _SettingsRecord& r, uint8_t* b) {
    b[0] = r.FlexibleToolBarsSetting;
    b[1] = r.ReopenProgramManager;
    b[2] = r.ReopenMemoryManager;
    b[3] = r.ReopenMemoryViewer;
    b[4] = r.ReopenMenuEditor;
    b[5] = r.ReopenApplications;
    b[6] = r.ReopenConverter;
    LePutI32(b + 7, r.LanguageIndex);
    b[11] = r.Reserved[0];
    b[12] = r.Reserved[1];
}

void BytesToFlags(_SettingsRecord& r, const uint8_t* b) {
    r.FlexibleToolBarsSetting = b[0];
    r.ReopenProgramManager = b[1];
    r.ReopenMemoryManager = b[2];
    r.ReopenMemoryViewer = b[3];
    r.ReopenMenuEditor = b[4];
    r.ReopenApplications = b[5];
    r.ReopenConverter = b[6];
    r.LanguageIndex = LeGetI32(b + 7);
    r.Reserved[0] = b[11];
    r.Reserved[1] = b[12];
}

}  // namespace

bool ReadSettingsFile(const std::string& path, _SettingsRecord& record) {
    THdrFile file;
    if (!file.Open(path, SettingsIdent)) return false;
    uint8_t flags[FlagsSize];
    if (file.ReadSectionFixed(SectFlags, 0, sizeof flags, flags)) BytesToFlags(record, flags);
    record.Units.clear();
    uint32_t size = 0;
    if (const auto units = file.ReadSectionAlloc(SectUnits, 0, &size)) record.Units = SplitLines(units.get(), size);
    file.ReadSectionFixed(SectDisplayFormats, 0, sizeof record.DisplayFormats, record.DisplayFormats);
    ReadPlacements(file, SectMainPlacement, &record.MainPlacement, 1);
    ReadPlacements(file, SectWindowPlacements, record.WindowPlacements, 6);
    ReadPlacements(file, SectDialogPlacements, record.DialogPlacements, 3);
    uint8_t port[8];
    // A port or baud index out of range keeps the values of both.
    if (file.ReadSectionFixed(SectComPort, 0, sizeof port, port) && LeGetI32(port) >= 1 && LeGetI32(port) <= 255 &&
        LeGetI32(port + 4) >= 0 && LeGetI32(port + 4) <= 2) {
        record.ComPort = LeGetI32(port);
        record.BaudIndex = LeGetI32(port + 4);
    }
    record.Shortcuts.LoadFrom(file);
    ReadToolBarSection(file, record.ToolBars);
    ReadRecentFilesSection(file, record.RecentFiles);
    file.Close();
    return true;
}

bool WriteSettingsFile(const std::string& path, const _SettingsRecord& record) {
    const std::string temporary = TemporaryNameBeside(path);
    THdrFile file;
    if (!file.Create(temporary, SettingsIdent)) return false;
    uint8_t flags[FlagsSize];
    FlagsToBytes(record, flags);
    bool ok = file.WriteSection(SectFlags, 0, sizeof flags, flags);
    const auto units = UnitsText(record.Units);
    ok = file.WriteSection(SectUnits, 0, static_cast<uint32_t>(units.size()), units.data()) && ok;
    ok = file.WriteSection(SectDisplayFormats, 0, sizeof record.DisplayFormats, record.DisplayFormats) && ok;
    ok = WritePlacements(file, SectMainPlacement, &record.MainPlacement, 1) && ok;
    ok = WritePlacements(file, SectWindowPlacements, record.WindowPlacements, 6) && ok;
    ok = WritePlacements(file, SectDialogPlacements, record.DialogPlacements, 3) && ok;
    uint8_t port[8];
    LePutI32(port, record.ComPort);
    LePutI32(port + 4, record.BaudIndex);
    ok = file.WriteSection(SectComPort, 0, sizeof port, port) && ok;
    ok = record.Shortcuts.SaveTo(file) && ok;
    // The recent files follow only a written tool-bar section.
    if (WriteToolBarSection(file, record.ToolBars)) ok = WriteRecentFilesSection(file, record.RecentFiles) && ok;
    else ok = false;
    file.Close();
    if (!ok || !MoveIntoPlace(temporary, path)) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
