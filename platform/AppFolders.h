// Where the program lives and where it keeps its settings.
//
// The program folder is the folder of the running executable; files the
// program expects beside it (language file, loader, help folder) are looked
// for there. The settings folder stands for the local application-data
// folder of the Windows program: $XDG_DATA_HOME (default ~/.local/share)
// followed by "RztSoftware/QX318 Utility/".
#pragma once

#include <string>

// The full path of the running executable.
std::string GetProgramPath();
// The folder of the running executable, without a trailing separator.
std::string GetProgramFolder();
// A path beside the program: the program folder, '/', name.
std::string ProgramFolderFile(const std::string& name);
// The program's file name with its extension replaced by ext (".cfg"); a
// program file without an extension gets ext appended.
std::string ProgramFileWithExt(const std::string& ext);

// Tests run the frame from their own folder: this makes every function above
// answer as if the executable were path (empty: the real executable again).
void SetProgramPathForTests(const std::string& path);

// $XDG_DATA_HOME, or $HOME/.local/share when that is unset or empty; empty
// when neither variable helps.
std::string LocalAppDataFolder();
// LocalAppDataFolder() + "/RztSoftware/QX318 Utility/" (with the trailing
// separator); empty when there is no application-data folder.
std::string SettingsFolder();

// Creates the folder with all missing parents; true when it exists afterwards.
bool CreateFolders(const std::string& path);
// The file-name part of a path (after the last '/').
std::string ExtractFileName(const std::string& path);
// The folder part of a path, without the trailing separator.
std::string ExtractFileDir(const std::string& path);
bool FileExists(const std::string& path);
