// The keys that end an in-place editor, and the length rule of the
// multi-line editors: shared by every editor of the type and menu windows.
#pragma once

#include <QString>
#include <functional>

class QKeyEvent;
class QPlainTextEdit;

// What a key does to an open in-place editor.
enum class TEditEnd {
    None,     // the key stays with the editor
    Store,    // the edit ends and what was typed is stored
    Discard,  // the edit ends and the stored value stays
};

// Esc discards; Tab, Shift+Tab and Ctrl+Enter store, as leaving the editor
// does. Enter without Ctrl stores in a one-line editor and starts a new line
// in a multi-line one. Ctrl+Tab is left to the window (it moves between the
// views).
TEditEnd EditorEndKey(const QKeyEvent& key, bool multiLine);

// Whether a shortcut must leave the key to an open editor (the keys that
// end it).
bool EditorOwnsKey(const QKeyEvent& key, bool multiLine);

// Keeps a multi-line editor at maxLength characters, counted by length (the
// text's own length unless given): what would pass them is refused, a paste
// is cut to what still fits. before is the text as it was before this
// change and becomes the text as it is now. Call it from the editor's
// textChanged signal; it changes the text only when it has to, with the
// editor's signals blocked.
void RefuseBeyondLength(QPlainTextEdit* editor, QString& before, int maxLength,
                        const std::function<int(const QString&)>& length = {});
