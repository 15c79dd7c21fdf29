// The keys that end an in-place editor without the mouse, in the order the
// editor tests press them: Esc between the storing keys, so that each Esc
// has to put back what the key before it stored.
#pragma once

#include <Qt>
#include <vector>

struct TEndKey {
    const char* Name;
    int Key;
    Qt::KeyboardModifiers Mods;
    bool Stores;  // what was typed is stored; otherwise the stored value stays
};

inline const std::vector<TEndKey>& EndKeys() {
    static const std::vector<TEndKey> keys{{"Tab", Qt::Key_Tab, Qt::NoModifier, true},
                                           {"Esc", Qt::Key_Escape, Qt::NoModifier, false},
                                           {"Shift+Tab", Qt::Key_Backtab, Qt::ShiftModifier, true},
                                           {"Ctrl+Enter", Qt::Key_Return, Qt::ControlModifier, true},
                                           {"Esc", Qt::Key_Escape, Qt::NoModifier, false}};
    return keys;
}
