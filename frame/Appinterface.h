// The application record: the user's settings, the objects every window
// shares (texts, device link, clipboard store, tool bars, recent files) and
// the window placements, kept from run to run in the settings file
// <program>.cfg (a sectioned container with the ident "QX318 APP").
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AppToolBars.h"
#include "Basecommodule.h"
#include "CopyPaste.h"
#include "Images.h"
#include "IniFile.h"
#include "Mlsunit.h"
#include "ModelVersion.h"
#include "RecentFiles.h"
#include "SettingsFile.h"

class QMainWindow;
class QMenuBar;
class QMenu;
class QWidget;
void SaveWindowPlacement(_WindowPlacement& placement, QWidget* form);
void RestoreWindowPlacement(QWidget* form, const _WindowPlacement& placement);

constexpr const char* AccessCode = "KVOZ";
constexpr const char* VersionText = "V2.7";

struct _AppInterface {
    _AppInterface();
    ~_AppInterface();
    _AppInterface(const _AppInterface&) = delete;
    _AppInterface& operator=(const _AppInterface&) = delete;

    QMainWindow* MainForm = nullptr;
    QMenuBar* MainMenu = nullptr;
    QMenu* FileMenu = nullptr;
    TAppToolBars ToolBars;
    // The 13 bytes of settings section 0x1010 start at FlexibleToolBarsSetting.
    uint8_t FlexibleToolBars = 0;
    uint8_t ResetAtNextStart = 0;
    uint8_t FlexibleToolBarsSetting = 0;
    uint8_t ReopenProgramManager = 0;
    uint8_t ReopenMemoryManager = 0;
    uint8_t ReopenMemoryViewer = 0;
    uint8_t ReopenMenuEditor = 0;  // never set
    uint8_t ReopenApplications = 0;
    uint8_t ReopenConverter = 0;
    int32_t LanguageIndex = -1;
    uint8_t Reserved[2] = {0, 0};
    std::unique_ptr<std::vector<std::string>> UnitsList;
    std::unique_ptr<TRecentFiles> RecentFiles;
    std::unique_ptr<TMLSUnit> Mls;
    std::unique_ptr<TBaseComModule> ComModule;  // the device link; its threads run from here to the end
    int32_t ComPort = 1;
    int32_t BaudIndex = 1;  // into {9600, 57600, 115200}
    uint8_t DisplayFormats[100] = {};
    _WindowPlacement MainPlacement;
    _WindowPlacement WindowPlacements[6];
    _WindowPlacement DialogPlacements[3];
    _Shortcuts Shortcuts;
    TImageList* ActionImages = nullptr;
    TImageList* ManagerImages = nullptr;
    std::function<void(QWidget*)> OnBlocksChanged;
    int32_t UntitledCounter = 0;
    uint8_t MenuUI = 0;
    uint8_t ExpertMode = 0;
    _QXModelVersion ModelVersion;
    std::unique_ptr<TCopyPaste> CopyPaste;
    std::unique_ptr<TMemIniFile> IniFile;  // <program>.ini, the converter's section
    std::string IniFileName;
    std::string IniFileText;  // the ini text as read at construction

    // Puts a parameter unit text at the top of UnitsList (Trimmed; kept in
    // place when present; at most 29 entries when the list grows this way).
    void AddRecentUnit(const std::string& text);
    // The text of a message in the selected language.
    template <typename... Args>
    std::string Text(uint32_t id, const Args&... args) const {
        return Mls->GetText(id, args...);
    }
};

// The baud rates of BaudIndex.
constexpr int32_t BaudRates[3] = {9600, 57600, 115200};

bool LoadSettings(_AppInterface& app, const std::string& path);
bool SaveSettings(_AppInterface& app, const std::string& path);
bool DeleteSettingsFile(const std::string& path);
// The settings folder followed by the file-name part of the name (the
// folder is created); the name itself when there is no settings folder.
std::string GetSettingsFilePath(const std::string& fileName);
// The expert-mode marker: true when its key exists; value the string read
// (empty when missing or not a string).
bool ReadExpertMarker(std::string& value);
