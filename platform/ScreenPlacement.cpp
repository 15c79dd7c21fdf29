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
