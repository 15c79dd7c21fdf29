// The loader's bar over the covered window: it lies on the window's title
// bar (the frame the window manager draws around the client area), so that
// the menus under the title stay visible.
#include <gtest/gtest.h>

#include <ostream>

#include "LoaderBar.h"

std::ostream& operator<<(std::ostream& out, const TScreenRect& r) {
    return out << '(' << r.Left << ',' << r.Top << ' ' << r.Width << 'x' << r.Height << ')';
}

namespace {

const TScreenRect Screen{0, 0, 1280, 1024};

struct TBarCase {
    const char* What;
    std::optional<TScreenRect> Client;
    TFrameExtents Frame;
    std::vector<TScreenRect> Screens;
    TScreenRect Expected;
};

class LoaderBarCases : public ::testing::TestWithParam<TBarCase> {};

TEST_P(LoaderBarCases, CoversTheTitleBar) {
    const TBarCase& c = GetParam();
    EXPECT_EQ(LoaderBarRect(c.Client, c.Frame, c.Screens), c.Expected) << c.What;
}

INSTANTIATE_TEST_SUITE_P(
    Table, LoaderBarCases,
    ::testing::Values(
        // A client area at (105, 130) with a 1-pixel border and a 25-row title:
        // the frame starts at (104, 105); the bar lies on the title, above the
        // client area where the menu bar is.
        TBarCase{"framed window", TScreenRect{105, 130, 800, 600}, {1, 1, 25, 1}, {Screen}, {106, 107, 798, 20}},
        TBarCase{"no frame", TScreenRect{100, 100, 800, 600}, {}, {Screen}, {102, 102, 796, 20}},
        TBarCase{"maximized under a title", TScreenRect{0, 25, 1280, 999}, {0, 0, 25, 0}, {Screen}, {2, 2, 1276, 20}},
        TBarCase{"no window to cover: the top of the screen", std::nullopt, {4, 4, 25, 4}, {Screen},
                 {0, 0, 1280, 20}},
        TBarCase{"a window partly above the screen: the bar stays on it", TScreenRect{300, 10, 400, 300},
                 {2, 2, 30, 2}, {Screen}, {300, 0, 400, 20}},
        TBarCase{"a tiny window still gets a bar", TScreenRect{50, 60, 2, 2}, {}, {Screen}, {52, 62, 1, 20}},
        TBarCase{"on a second screen", TScreenRect{1500, 200, 600, 400}, {1, 1, 25, 1},
                 {Screen, TScreenRect{1280, 0, 1920, 1080}}, {1501, 177, 598, 20}}));

TEST(LoaderBar, FrameRectAddsTheExtentsOnEverySide) {
    EXPECT_EQ(FrameRect({105, 130, 800, 600}, {1, 2, 25, 3}), (TScreenRect{104, 105, 803, 628}));
}

}  // namespace
