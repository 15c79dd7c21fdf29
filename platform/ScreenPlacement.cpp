#include "ScreenPlacement.h"

#include <algorithm>

int64_t SharedArea(const TScreenRect& a, const TScreenRect& b) {
    const int64_t w = std::min(a.Right(), b.Right()) - std::max(a.Left, b.Left);
    const int64_t h = std::min(a.Bottom(), b.Bottom()) - std::max(a.Top, b.Top);
    return w > 0 && h > 0 ? w * h : 0;
}

int ScreenHolding(const TScreenRect& window, const std::vector<TScreenRect>& screens) {
    int best = -1;
    int64_t most = 0;
    for (size_t i = 0; i < screens.size(); ++i) {
        const int64_t shared = SharedArea(window, screens[i]);
        if (shared > most) {
            most = shared;
            best = static_cast<int>(i);
        }
    }
    return best;
}

TScreenRect FitIntoScreen(const TScreenRect& window, const TScreenRect& screen) {
    if (screen.Empty()) return window;
    TScreenRect placed = window;
    placed.Width = std::clamp(window.Width, 1, screen.Width);
    placed.Height = std::clamp(window.Height, 1, screen.Height);
    placed.Left = static_cast<int>(std::clamp<int64_t>(window.Left, screen.Left, screen.Right() - placed.Width));
    placed.Top = static_cast<int>(std::clamp<int64_t>(window.Top, screen.Top, screen.Bottom() - placed.Height));
    return placed;
}

TScreenRect PlaceOnScreen(const TScreenRect& window, const std::vector<TScreenRect>& screens, int owner) {
    int target = ScreenHolding(window, screens);
    if (target < 0) {
        // On no screen: the owner's screen, else the first one that can take it.
        const auto usable = [&](int i) { return i >= 0 && i < static_cast<int>(screens.size()) && !screens[i].Empty(); };
        target = owner;
        for (int i = 0; !usable(target) && i < static_cast<int>(screens.size()); ++i) target = i;
        if (!usable(target)) return window;
    }
    return FitIntoScreen(window, screens[target]);
}

std::vector<TScreenRect> ArrangeTiles(int count, int viewWidth, int viewHeight, int leastWidth, int leastHeight,
                                      int bar) {
    std::vector<TScreenRect> tiles;
    if (count <= 0) return tiles;
    int columns = 1;
    while (columns * columns < count) ++columns;
    const int rows = (count + columns - 1) / columns;
    const int tall = count % columns ? columns - count % columns : 0;  // top-row windows two rows high
    const int64_t across = int64_t(columns) * leastWidth, down = int64_t(rows) * leastHeight;
    bool scrollsAcross = across > viewWidth;
    bool scrollsDown = down > viewHeight;
    if (scrollsAcross && !scrollsDown) scrollsDown = down > viewHeight - bar;
    if (scrollsDown && !scrollsAcross) scrollsAcross = across > viewWidth - bar;
    if (scrollsAcross) viewHeight -= bar;
    if (scrollsDown) viewWidth -= bar;
    const int width = std::max(viewWidth / columns, leastWidth);
    const int height = std::max(viewHeight / rows, leastHeight);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns && int(tiles.size()) < count; ++column) {
            if (row == 1 && column < tall) continue;
            const int x = column * width, y = row * height;
            const int w = column == columns - 1 ? std::max(viewWidth - x, width) : width;
            const int h = row == 0 && column < tall ? (rows == 2 ? std::max(viewHeight, 2 * height) : 2 * height)
                          : row == rows - 1         ? std::max(viewHeight - y, height)
                                                    : height;
            tiles.push_back({x, y, w, h});
        }
    return tiles;
}
