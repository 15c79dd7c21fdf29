// The save dialog of the menu windows, through a seam that tests answer
// without a modal loop. The input box is the frame's (InputQuery).
#pragma once

#include <functional>
#include <string>

#include "Dialogs.h"

class QWidget;

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

// Its kind for TDialogAnswers: an answer set for it answers the dialog.
struct TMenuSaveDialog {
    using TAnswer = std::function<bool(const TMenuSaveRequest&, std::string& fileName)>;
};
