// The rule that keeps a window on a screen, as a table: a window already in
// view stays, one that reaches past an edge comes back onto the screen that
// holds most of it, one on no screen goes to its owner's screen, one larger
// than its screen is cut down to it.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

#include "ScreenPlacement.h"

std::ostream& operator<<(std::ostream& out, const TScreenRect& r) {
    return out << '(' << r.Left << ',' << r.Top << ' ' << r.Width << 'x' << r.Height << ')';
}

namespace {

// One 1280 x 1024 screen with a task bar of 40 rows at the bottom, and a
// second screen of 1920 x 1080 to its right, a little higher.
const TScreenRect First{0, 0, 1280, 984};
const TScreenRect Second{1280, -56, 1920, 1080};

struct TPlaceCase {
    const char* What;
    TScreenRect Window;
    std::vector<TScreenRect> Screens;
    int Owner;
    TScreenRect Expected;
};

class PlaceOnScreenCases : public ::testing::TestWithParam<TPlaceCase> {};

TEST_P(PlaceOnScreenCases, MovesTheWindowFullyOntoAScreen) {
    const TPlaceCase& c = GetParam();
    EXPECT_EQ(PlaceOnScreen(c.Window, c.Screens, c.Owner), c.Expected) << c.What;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlaceOnScreenCases,
    ::testing::Values(
        TPlaceCase{"already visible: unchanged", {100, 50, 640, 420}, {First}, -1, {100, 50, 640, 420}},
        TPlaceCase{"exactly the screen: unchanged", {0, 0, 1280, 984}, {First}, -1, {0, 0, 1280, 984}},
        TPlaceCase{"off to the right", {1000, 100, 640, 420}, {First}, -1, {640, 100, 640, 420}},
        TPlaceCase{"below, into the task bar", {100, 800, 640, 420}, {First}, -1, {100, 564, 640, 420}},
        TPlaceCase{"above and left of the screen", {-200, -30, 640, 420}, {First}, -1, {0, 0, 640, 420}},
        TPlaceCase{"on no screen at all: the first one", {5000, 4000, 640, 420}, {First, Second}, -1,
                   {640, 564, 640, 420}},
        TPlaceCase{"on no screen at all: the owner's", {-5000, 100, 640, 420}, {First, Second}, 1,
                   {1280, 100, 640, 420}},
        TPlaceCase{"owner out of range: the first one", {-5000, 100, 640, 420}, {First, Second}, 7,
                   {0, 100, 640, 420}},
        TPlaceCase{"larger than the screen: cut down to it", {-10, -10, 2000, 1500}, {First}, -1, {0, 0, 1280, 984}},
        TPlaceCase{"wider only: keeps its height and row", {300, 200, 1500, 300}, {First}, -1, {0, 200, 1280, 300}},
        TPlaceCase{"on a second screen: stays there", {1400, 0, 800, 600}, {First, Second}, -1, {1400, 0, 800, 600}},
        TPlaceCase{"on a second screen, past its top", {1400, -100, 800, 600}, {First, Second}, -1,
                   {1400, -56, 800, 600}},
        TPlaceCase{"mostly on the second screen: goes onto it", {1200, 100, 800, 600}, {First, Second}, 0,
                   {1280, 100, 800, 600}},
        TPlaceCase{"mostly on the first screen: goes onto it", {700, 100, 800, 600}, {First, Second}, 1,
                   {480, 100, 800, 600}},
        TPlaceCase{"past the far right of the second screen", {3000, 100, 800, 600}, {First, Second}, -1,
                   {2400, 100, 800, 600}},
        TPlaceCase{"no screens: unchanged", {5000, 4000, 640, 420}, {}, -1, {5000, 4000, 640, 420}},
        TPlaceCase{"empty screen is skipped", {5000, 4000, 640, 420}, {{0, 0, 0, 0}, First}, 0,
                   {640, 564, 640, 420}},
        TPlaceCase{"a document area: inside its viewport", {500, 300, 640, 420}, {{0, 0, 800, 500}}, -1,
                   {160, 80, 640, 420}},
        TPlaceCase{"far coordinates do not overflow", {INT32_MAX - 10, INT32_MAX - 10, 640, 420}, {First}, -1,
                   {640, 564, 640, 420}}));

// Window > Arrange as a table: the tiles of a grid of about as many columns
// as rows, none smaller than the windows' least size; what does not fit
// leaves the area larger than its view, and the scroll bars take their room.
struct TArrangeCase {
    const char* What;
    int Count, ViewWidth, ViewHeight, LeastWidth, LeastHeight;
    std::vector<TScreenRect> Expected;
};

class ArrangeTilesCases : public ::testing::TestWithParam<TArrangeCase> {};

TEST_P(ArrangeTilesCases, PutTheWindowsSideBySide) {
    const TArrangeCase& c = GetParam();
    EXPECT_EQ(ArrangeTiles(c.Count, c.ViewWidth, c.ViewHeight, c.LeastWidth, c.LeastHeight, 15), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ArrangeTilesCases,
    ::testing::Values(
        TArrangeCase{"no window", 0, 800, 600, 100, 100, {}},
        TArrangeCase{"one window fills the view", 1, 800, 600, 100, 100, {{0, 0, 800, 600}}},
        TArrangeCase{"four in a square", 4, 1000, 700, 100, 100,
                     {{0, 0, 500, 350}, {500, 0, 500, 350}, {0, 350, 500, 350}, {500, 350, 500, 350}}},
        TArrangeCase{"three: the first is two rows high", 3, 1200, 800, 300, 200,
                     {{0, 0, 600, 800}, {600, 0, 600, 400}, {600, 400, 600, 400}}},
        TArrangeCase{"five: the gap of the second row goes to the first window", 5, 900, 600, 100, 100,
                     {{0, 0, 300, 600}, {300, 0, 300, 300}, {600, 0, 300, 300}, {300, 300, 300, 300},
                      {600, 300, 300, 300}}},
        TArrangeCase{"six wider than their tiles: the area scrolls across", 6, 1260, 900, 577, 420,
                     {{0, 0, 577, 442}, {577, 0, 577, 442}, {1154, 0, 577, 442}, {0, 442, 577, 443},
                      {577, 442, 577, 443}, {1154, 442, 577, 443}}},
        TArrangeCase{"the bar across takes the room that makes it scroll down too", 2, 500, 400, 300, 395,
                     {{0, 0, 300, 395}, {300, 0, 300, 395}}}));

TEST(ScreenHolding, NamesTheScreenWithTheLargestShare) {
    EXPECT_EQ(ScreenHolding({1200, 100, 100, 100}, {First, Second}), 0);  // 80 of 100 columns on the first
    EXPECT_EQ(ScreenHolding({1250, 100, 100, 100}, {First, Second}), 1);  // 70 of 100 on the second
    EXPECT_EQ(ScreenHolding({-500, -500, 100, 100}, {First, Second}), -1);
}

}  // namespace
