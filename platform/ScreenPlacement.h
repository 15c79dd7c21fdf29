// Where a window may lie: the rule that keeps every window we place fully on
// a screen (or, for a document window, fully inside the frame's document
// area). A window that already lies fully on a screen stays where it is; one
// that reaches past the edges of the screen holding most of it is moved back
// onto that screen; one on no screen at all goes onto its owner's screen (or
// the first one); one larger than its screen is cut down to the screen.
#pragma once

#include <cstdint>
#include <vector>

struct TScreenRect {
    int Left = 0, Top = 0, Width = 0, Height = 0;

    int64_t Right() const { return int64_t(Left) + Width; }   // first column past the rectangle
    int64_t Bottom() const { return int64_t(Top) + Height; }  // first row past the rectangle
    bool Empty() const { return Width <= 0 || Height <= 0; }
    bool operator==(const TScreenRect&) const = default;
};

// The area two rectangles share (0 when they do not meet).
int64_t SharedArea(const TScreenRect& a, const TScreenRect& b);

// The index of the screen that holds the largest part of the rectangle; -1
// when the rectangle touches no screen.
int ScreenHolding(const TScreenRect& window, const std::vector<TScreenRect>& screens);

// The rectangle moved (and, when it is larger, cut down) fully onto the
// screen that holds most of it. A rectangle on no screen goes onto the
// screen `owner` (an index into `screens`; -1 or out of range: the first
// screen). Without screens, or with empty ones only, the rectangle is
// returned as it is.
TScreenRect PlaceOnScreen(const TScreenRect& window, const std::vector<TScreenRect>& screens, int owner = -1);

// The rectangle moved fully onto one given screen.
TScreenRect FitIntoScreen(const TScreenRect& window, const TScreenRect& screen);

// Window > Arrange: the places of `count` windows side by side in a view of
// `viewWidth` x `viewHeight`, in a grid of about as many columns as rows,
// filled row by row; when the grid has gaps, the first windows of the top
// row are two rows high and the second row leaves their room. No tile is
// smaller than `leastWidth` x `leastHeight`: tiles that do not fit leave the
// area larger than its view, and the scroll bars (`bar` wide) then take their
// room from the view. The last column and row take what is left of the view.
std::vector<TScreenRect> ArrangeTiles(int count, int viewWidth, int viewHeight, int leastWidth, int leastHeight,
                                      int bar);
