#include "Appinterface.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdio>

#include "AppFolders.h"
#include "Bytes.h"
#include "Messages.h"
#include "RegistryMarker.h"
#include "Thdrobj.h"

// ---------------------------------------------------------------- placements

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

void SaveWindowPlacement(_WindowPlacement& placement, QWidget* form) {
    const Qt::WindowStates s = form->windowState();
    placement.State = s & Qt::WindowMaximized   ? _WindowPlacement::Maximized
                      : s & Qt::WindowMinimized ? _WindowPlacement::Minimized
                                                : _WindowPlacement::Normal;
    if (placement.State == _WindowPlacement::Maximized) return;
    placement.Top = form->y();
    placement.Left = form->x();
    placement.Width = form->width();
    placement.Height = form->height();
}

void RestoreWindowPlacement(QWidget* form, const _WindowPlacement& placement) {
    form->move(placement.Left, placement.Top);
    form->resize(std::max(1, placement.Width), std::max(1, placement.Height));
    form->setWindowState(placement.State == _WindowPlacement::Maximized   ? Qt::WindowMaximized
                         : placement.State == _WindowPlacement::Minimized ? Qt::WindowMinimized
                                                                          : Qt::WindowNoState);
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

// ---------------------------------------------------------------- record

_AppInterface::_AppInterface() {
    ModelVersion.Clear();
    CopyPaste = std::make_unique<TCopyPaste>();
    UnitsList = std::make_unique<std::vector<std::string>>();
    RecentFiles = std::make_unique<TRecentFiles>();
    IniFileName = GetSettingsFilePath(ProgramFileWithExt(".ini"));
    IniFile = std::make_unique<TMemIniFile>();
    IniFile->LoadFromFile(IniFileName);
    IniFile->GetText(IniFileText);
    Mls = std::make_unique<TMLSUnit>(BuiltInMessages, ProgramFileWithExt(".mls"));
    Mls->SetLanguage(LanguageIndex);
    ComModule = std::make_unique<TBaseComModule>(Mls.get());

    MainPlacement = {0, 0, 640, 480, _WindowPlacement::Maximized};
    static constexpr int32_t managers[6][4] = {{10, 10, 280, 480}, {30, 30, 280, 480}, {50, 50, 480, 480},
                                               {70, 70, 280, 480}, {90, 90, 280, 480}, {110, 110, 480, 480}};
    for (int i = 0; i < 6; ++i)
        WindowPlacements[i] = {managers[i][0], managers[i][1], managers[i][2], managers[i][3], _WindowPlacement::Normal};
    QSize screen(1024, 768);
    if (const QScreen* primary = QGuiApplication::primaryScreen()) screen = primary->size();
    for (auto& d : DialogPlacements)
        d = {(screen.height() - 450) / 2, (screen.width() - 550) / 2, 550, 450, _WindowPlacement::Normal};
}

_AppInterface::~_AppInterface() {
    UnitsList.reset();
    RecentFiles.reset();
    ComModule.reset();  // closes the port and stops the link threads
    Mls.reset();
    // What was written into the ini object during the run goes to the file;
    // a run that changed nothing leaves the file as it is.
    std::string text;
    if (IniFile && IniFile->GetText(text) && text != IniFileText) IniFile->SaveToFile(IniFileName);
    IniFile.reset();
    CopyPaste.reset();
}

void _AppInterface::AddRecentUnit(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return;
    const std::string unit = text.substr(first, text.find_last_not_of(' ') - first + 1);
    auto& list = *UnitsList;
    if (std::find(list.begin(), list.end(), unit) != list.end()) return;
    list.insert(list.begin(), unit);
    if (list.size() >= 30) list.pop_back();
}

// ---------------------------------------------------------------- settings file

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

void FlagsToBytes(const _AppInterface& app, uint8_t* b) {
    b[0] = app.FlexibleToolBarsSetting;
    b[1] = app.ReopenProgramManager;
    b[2] = app.ReopenMemoryManager;
    b[3] = app.ReopenMemoryViewer;
    b[4] = app.ReopenMenuEditor;
    b[5] = app.ReopenApplications;
    b[6] = app.ReopenConverter;
    LePutI32(b + 7, app.LanguageIndex);
    b[11] = app.Reserved[0];
    b[12] = app.Reserved[1];
}

void BytesToFlags(_AppInterface& app, const uint8_t* b) {
    app.FlexibleToolBarsSetting = b[0];
    app.ReopenProgramManager = b[1];
    app.ReopenMemoryManager = b[2];
    app.ReopenMemoryViewer = b[3];
    app.ReopenMenuEditor = b[4];
    app.ReopenApplications = b[5];
    app.ReopenConverter = b[6];
    app.LanguageIndex = LeGetI32(b + 7);
    app.Reserved[0] = b[11];
    app.Reserved[1] = b[12];
}

}  // namespace

bool LoadSettings(_AppInterface& app, const std::string& path) {
    THdrFile file;
    if (!file.Open(path, SettingsIdent)) return false;
    uint8_t flags[13];
    if (file.ReadSectionFixed(SectFlags, 0, sizeof flags, flags)) BytesToFlags(app, flags);
    app.FlexibleToolBars = app.FlexibleToolBarsSetting;
    // A damaged file may name any language: one the language file does not
    // offer is English.
    if (app.LanguageIndex < -1 || app.LanguageIndex >= app.Mls->GetLanguageCount()) app.LanguageIndex = -1;
    app.Mls->SetLanguage(app.LanguageIndex);
    app.UnitsList->clear();
    uint32_t size = 0;
    if (const auto units = file.ReadSectionAlloc(SectUnits, 0, &size)) *app.UnitsList = SplitLines(units.get(), size);
    file.ReadSectionFixed(SectDisplayFormats, 0, sizeof app.DisplayFormats, app.DisplayFormats);
    ReadPlacements(file, SectMainPlacement, &app.MainPlacement, 1);
    ReadPlacements(file, SectWindowPlacements, app.WindowPlacements, 6);
    ReadPlacements(file, SectDialogPlacements, app.DialogPlacements, 3);
    uint8_t port[8];
    // A port or baud index out of range keeps the defaults of both.
    if (file.ReadSectionFixed(SectComPort, 0, sizeof port, port) && LeGetI32(port) >= 1 && LeGetI32(port) <= 255 &&
        LeGetI32(port + 4) >= 0 && LeGetI32(port + 4) <= 2) {
        app.ComPort = LeGetI32(port);
        app.BaudIndex = LeGetI32(port + 4);
    }
    app.Shortcuts.LoadFrom(file);
    app.ToolBars.LoadFrom(file);
    app.RecentFiles->LoadFrom(file);
    file.Close();
    return true;
}

bool SaveSettings(_AppInterface& app, const std::string& path) {
    // The whole file is written under a temporary name and renamed over the
    // old one at the end, so that a failed write leaves the old settings.
    const std::string temporary = path + ".new";
    THdrFile file;
    if (!file.Create(temporary, SettingsIdent)) return false;
    uint8_t flags[13];
    FlagsToBytes(app, flags);
    bool ok = file.WriteSection(SectFlags, 0, sizeof flags, flags);
    const auto units = UnitsText(*app.UnitsList);
    ok = file.WriteSection(SectUnits, 0, static_cast<uint32_t>(units.size()), units.data()) && ok;
    ok = file.WriteSection(SectDisplayFormats, 0, sizeof app.DisplayFormats, app.DisplayFormats) && ok;
    ok = WritePlacements(file, SectMainPlacement, &app.MainPlacement, 1) && ok;
    ok = WritePlacements(file, SectWindowPlacements, app.WindowPlacements, 6) && ok;
    ok = WritePlacements(file, SectDialogPlacements, app.DialogPlacements, 3) && ok;
    uint8_t port[8];
    LePutI32(port, app.ComPort);
    LePutI32(port + 4, app.BaudIndex);
    ok = file.WriteSection(SectComPort, 0, sizeof port, port) && ok;
    ok = app.Shortcuts.SaveTo(file) && ok;
    if (app.ToolBars.SaveTo(file)) ok = app.RecentFiles->SaveTo(file) && ok;
    else ok = false;
    file.Close();
    if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool DeleteSettingsFile(const std::string& path) {
    if (!FileExists(path)) return true;
    return std::remove(path.c_str()) == 0;
}

std::string GetSettingsFilePath(const std::string& fileName) {
    const std::string folder = SettingsFolder();
    if (folder.empty()) return fileName;
    CreateFolders(folder);
    return folder + ExtractFileName(fileName);
}

bool ReadExpertMarker(std::string& value) {
    const std::string key = std::string("Software\\") + AccessCode;
    return ReadRegistryString(key, AccessCode, value) != TRegistryRead::NoKey;
}
