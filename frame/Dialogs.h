// Message boxes and file dialogs of every window go through here, so that
// tests can answer them without a modal loop.
#pragma once

#include <QMessageBox>
#include <functional>
#include <string>

#include "DialogAnswers.h"

class QWidget;

enum class TMsgIcon { Stop, Warning, Information };
enum class TMsgButtons { Ok, YesNo, YesNoCancel };

// What a message box asks; the texts are Windows-1252 bytes.
struct TMessageRequest {
    QWidget* Owner = nullptr;
    std::string Text;
    std::string Caption;
    TMsgIcon Icon = TMsgIcon::Stop;
    TMsgButtons Buttons = TMsgButtons::Ok;
};

// Shows a modal message box; the result is the button chosen
// (QMessageBox::Ok, Yes, No or Cancel). An empty caption takes the
// application title.
QMessageBox::StandardButton ShowMessageBox(QWidget* owner, const std::string& text, TMsgIcon icon,
                                           TMsgButtons buttons = TMsgButtons::Ok, const std::string& caption = {});

// Shows a stop box for a file or port operation that failed: the text, then
// as its last line the cause the system gave at the failing call, when one
// was kept since the last ClearSystemCause() (SystemCause.h). Call
// ClearSystemCause() before the operation.
void ShowFailureMessage(QWidget* owner, const std::string& text);

// The application title, the caption of message boxes ("QX318 Utility V2.7"
// once the main window is built).
std::string ApplicationTitle();
void SetApplicationTitle(const std::string& title);

// What an open dialog asks. Filter in the form "Text|*.a|Other|*.b;*.c";
// FilterIndex counts from 1.
struct TOpenDialogRequest {
    QWidget* Owner = nullptr;
    std::string Title;
    std::string Filter;
    int FilterIndex = 1;
    std::string DefaultExt;
};

// Runs an open dialog. True when a file was chosen: fileName receives it
// (file-system bytes) and filterIndex the filter it was chosen under.
bool RunOpenDialog(const TOpenDialogRequest& request, std::string& fileName, int& filterIndex);

// Runs a save dialog that starts with startName. True when a file was
// chosen: fileName receives it (file-system bytes); it need not exist.
bool RunSaveDialog(const TOpenDialogRequest& request, const std::string& startName, std::string& fileName);

// What an input box asks; texts are Windows-1252 bytes.
struct TInputRequest {
    QWidget* Owner = nullptr;
    std::string Caption;
    std::string Prompt;
    std::string Value;  // the preset text
    int MaxLength = 0;  // the characters the box takes; 0: no limit of its own
};

// Runs the input box; true on OK with the text in value (preset on entry).
// maxLength: where the answer goes into a field of fixed length, the box
// takes no more characters than the field keeps (a longer preset is cut).
bool InputQuery(QWidget* owner, const std::string& caption, const std::string& prompt, std::string& value,
                int maxLength = 0);

// The Qt name filters of a filter text: each kind's text with its patterns
// once, at its end in parentheses (NameFilters in FileFilter.h).
QStringList QtNameFilters(const std::string& filter);

// The kinds of these boxes and dialogs for TDialogAnswers: an answer set for
// one of them answers the box or dialog instead of showing it.
struct TMessageBoxDialog {
    using TAnswer = std::function<QMessageBox::StandardButton(const TMessageRequest&)>;
};
struct TOpenFileDialog {
    using TAnswer = std::function<bool(const TOpenDialogRequest&, std::string& fileName, int& filterIndex)>;
};
struct TSaveFileDialog {
    using TAnswer = std::function<bool(const TOpenDialogRequest&, const std::string& startName, std::string& fileName)>;
};
struct TInputQueryDialog {
    using TAnswer = std::function<bool(const TInputRequest&, std::string& value)>;
};
