// The keys of the type grid as the status bar names them.
#pragma once

#include <cstdint>

// The Windows virtual-key code of a key (Qt key numbers), as the status bar
// shows it during a row move; 0 when the key has none here.
int32_t VirtualKeyCode(int qtKey);
