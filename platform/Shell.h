// Starting other programs and opening documents, as the Windows shell did.
//
// Programs are started with an argument list (no shell in between, so file
// names with blanks or quotes reach the program as they are), detached from
// the caller: nothing waits for them and nothing comes back.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct TStartRequest {
    std::string Program;                 // full path of the program file
    std::vector<std::string> Arguments;  // after the program name
    std::string WorkingFolder;           // empty: the caller's
};

// Starts the program detached. False when it could not be started (no such
// program, fork failed); the program's own outcome is not looked at.
bool StartProgram(const TStartRequest& request);

// Opens a document (a file name, relative to folder when not absolute, or a
// URL) with the desktop's default application (xdg-open). False when the
// opener could not be started.
bool OpenDocument(const std::string& document, const std::string& folder);

// Opens the URL that a web shortcut file names (ini text, section
// "InternetShortcut", value "URL"). False when the file names none.
bool OpenWebShortcut(const std::string& shortcutFile);

// The first directory of $PATH that holds an executable of that name; empty
// when none does.
std::string FindOnPath(const std::string& name);

// Test seam: when set, every request goes here instead of being started, and
// its result is the start's result.
void SetStartHookForTests(std::function<bool(const TStartRequest&)> hook);
