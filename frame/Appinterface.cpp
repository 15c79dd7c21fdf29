#include "Appinterface.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdio>

#include "AppFolders.h"
#include "Messages.h"
#include "RegistryMarker.h"
#include "ScreenFit.h"

// ---------------------------------------------------------------- placements

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
    // A placement saved on a screen that is gone, or with another screen
    // size, comes back onto a screen (or into the document area).
    KeepInView(form);
    form->setWindowState(placement.State == _WindowPlacement::Maximized   ? Qt::WindowMaximized
                         : placement.State == _WindowPlacement::Minimized ? Qt::WindowMinimized
                                                                          : Qt::WindowNoState);
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

    QSize screen(1024, 768);
    if (const QScreen* primary = QGuiApplication::primaryScreen()) screen = primary->size();
    const _SettingsRecord defaults(screen.width(), screen.height());
    MainPlacement = defaults.MainPlacement;
    std::copy(std::begin(defaults.WindowPlacements), std::end(defaults.WindowPlacements), WindowPlacements);
    std::copy(std::begin(defaults.DialogPlacements), std::end(defaults.DialogPlacements), DialogPlacements);
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

template <typename T>
void Assign(T& to, const T& from) {
    to = from;
}
template <typename T, size_t N>
void Assign(T (&to)[N], const T (&from)[N]) {
    std::copy(from, from + N, to);
}

// Calls pair(field of the application record, field of the settings record)
// for every setting both keep as a plain value.
template <typename App, typename Settings, typename Pair>
void PairSettings(App& app, Settings& s, Pair pair) {
    pair(app.FlexibleToolBarsSetting, s.FlexibleToolBarsSetting);
    pair(app.ReopenProgramManager, s.ReopenProgramManager);
    pair(app.ReopenMemoryManager, s.ReopenMemoryManager);
    pair(app.ReopenMemoryViewer, s.ReopenMemoryViewer);
    pair(app.ReopenMenuEditor, s.ReopenMenuEditor);
    pair(app.ReopenApplications, s.ReopenApplications);
    pair(app.ReopenConverter, s.ReopenConverter);
    pair(app.LanguageIndex, s.LanguageIndex);
    pair(app.Reserved, s.Reserved);
    pair(*app.UnitsList, s.Units);
    pair(app.DisplayFormats, s.DisplayFormats);
    pair(app.MainPlacement, s.MainPlacement);
    pair(app.WindowPlacements, s.WindowPlacements);
    pair(app.DialogPlacements, s.DialogPlacements);
    pair(app.ComPort, s.ComPort);
    pair(app.BaudIndex, s.BaudIndex);
}

// The settings the file keeps, as the application record holds them now.
_SettingsRecord SettingsOf(const _AppInterface& app) {
    _SettingsRecord s(0, 0);
    PairSettings(app, s, [](const auto& from, auto& to) { Assign(to, from); });
    s.Shortcuts.Assign(app.Shortcuts);
    for (int i = 0; i < ToolBarSlotCount; ++i) s.ToolBars[i] = app.ToolBars.Slots[i].State;
    s.RecentFiles = app.RecentFiles->Names();
    return s;
}

void TakeSettings(_AppInterface& app, const _SettingsRecord& s) {
    PairSettings(app, s, [](auto& to, const auto& from) { Assign(to, from); });
    app.Shortcuts.Assign(s.Shortcuts);
    for (int i = 0; i < ToolBarSlotCount; ++i) app.ToolBars.Slots[i].State = s.ToolBars[i];
    app.RecentFiles->SetNames(s.RecentFiles);
}

}  // namespace

bool LoadSettings(_AppInterface& app, const std::string& path) {
    _SettingsRecord settings = SettingsOf(app);
    if (!ReadSettingsFile(path, settings)) return false;
    TakeSettings(app, settings);
    app.FlexibleToolBars = app.FlexibleToolBarsSetting;
    // A damaged file may name any language: one the language file does not
    // offer is English.
    if (app.LanguageIndex < -1 || app.LanguageIndex >= app.Mls->GetLanguageCount()) app.LanguageIndex = -1;
    app.Mls->SetLanguage(app.LanguageIndex);
    return true;
}

bool SaveSettings(_AppInterface& app, const std::string& path) { return WriteSettingsFile(path, SettingsOf(app)); }

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
