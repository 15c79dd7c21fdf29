// The modal input box and the save dialog of the menu windows, through
// seams that tests answer without a modal loop.
#pragma once

#include <functional>
#include <string>

class QWidget;

// What an input box asks; texts are Windows-1252 bytes.
struct TInputRequest {
    QWidget* Owner = nullptr;
    std::string Caption;
    std::string Prompt;
    std::string Value;  // the preset text
};

// Runs the input box; true on OK with the text in value (preset on entry).
bool InputQuery(QWidget* owner, const std::string& caption, const std::string& prompt, std::string& value);

// What a save dialog asks. Filter in the form "Text|*.a"; FileName preset.
struct TMenuSaveRequest {
    QWidget* Owner = nullptr;
    std::string Filter;
    std::string DefaultExt;  // without the dot
    std::string FileName;
};

// Runs the save dialog of a menu file; true when a file was chosen
// (file-system bytes). Unlike the frame's save dialog it does not ask about
// an existing file: the menu window asks that itself, in the program's words.
bool RunMenuSaveDialog(const TMenuSaveRequest& request, std::string& fileName);

// Test seams: while set, the box and the dialog are answered by these.
void SetInputQueryHook(std::function<bool(const TInputRequest&, std::string&)> hook);
void SetMenuSaveDialogHook(std::function<bool(const TMenuSaveRequest&, std::string&)> hook);
