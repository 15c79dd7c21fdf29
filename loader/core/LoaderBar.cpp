#include "LoaderBar.h"

#include <algorithm>

TScreenRect FrameRect(const TScreenRect& client, const TFrameExtents& frame) {
    return {client.Left - frame.Left, client.Top - frame.Top, client.Width + frame.Left + frame.Right,
            client.Height + frame.Top + frame.Bottom};
}

TScreenRect LoaderBarRect(const std::optional<TScreenRect>& coveredClient, const TFrameExtents& frame,
                          const std::vector<TScreenRect>& screens) {
    TScreenRect bar;
    if (coveredClient) {
        const TScreenRect outer = FrameRect(*coveredClient, frame);
        bar = {outer.Left + 2, outer.Top + 2, std::max(outer.Width - 4, 1), kLoaderBarHeight};
    } else {
        const TScreenRect screen = screens.empty() ? TScreenRect{} : screens.front();
        bar = {screen.Left, screen.Top, std::max(screen.Width, 1), kLoaderBarHeight};
    }
    return PlaceOnScreen(bar, screens);
}
