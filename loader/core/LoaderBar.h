// Where the loader's bar lies: over the title bar of the window it covers,
// so that the title is hidden and the window's menus stay in view.
#pragma once

#include <optional>
#include <vector>

#include "ScreenPlacement.h"

// The rows and columns a window manager's frame adds around a window
// (_NET_FRAME_EXTENTS: left, right, top, bottom).
struct TFrameExtents {
    int Left = 0, Right = 0, Top = 0, Bottom = 0;
};

inline constexpr int kLoaderBarHeight = 20;

// The covered window's outer rectangle: its client rectangle with the frame.
TScreenRect FrameRect(const TScreenRect& client, const TFrameExtents& frame);

// The bar: 2 pixels inside the covered window's frame on the left, the top
// and the right, 20 rows high; without a window to cover, the top of the
// first screen across its width. Either way the bar lies fully on a screen.
TScreenRect LoaderBarRect(const std::optional<TScreenRect>& coveredClient, const TFrameExtents& frame,
                          const std::vector<TScreenRect>& screens);
