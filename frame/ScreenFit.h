// Keeps the windows we place where they can be seen: a top-level window
// fully on a screen (the one that holds most of it, else its owner's), a
// document window fully inside the main window's document area. The rule
// itself is PlaceOnScreen; these apply it to widgets.
#pragma once

#include <vector>

#include "ScreenPlacement.h"

class QWidget;
class QRect;

TScreenRect ToScreenRect(const QRect& rect);

// The screens' available rectangles (without panels and task bars), the
// primary screen first.
std::vector<TScreenRect> AvailableScreens();

// The index in AvailableScreens of the screen that shows the owner's
// window; -1 without an owner.
int OwnerScreen(const QWidget* owner);

// Moves the window fully onto the screen (or into the document area) where
// it belongs, cutting it down when it is larger. A document window whose
// area is not shown yet is left alone; it is placed when it is shown, and
// one shown before the main window is on the screen when the main window
// gets there (only then has the document area its size).
void KeepInView(QWidget* window);

// Moves a top-level window so that its centre lies on the centre of its
// owner's screen (the primary screen without an owner), fully on that screen.
void CentreOnOwnerScreen(QWidget* window, const QWidget* owner);
