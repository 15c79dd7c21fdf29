// Sizes of windows laid out by a Qt layout. A window is designed at a size;
// that size is where it starts and the least it may shrink to, and it grows
// beyond it wherever its layout needs more room for its texts (a longer
// language, a bigger font, another screen scale).
#pragma once

#include <QSize>

class QWidget;

// The size the window's layout needs, never less than the designed size.
// Word-wrapped texts are given the height they need at that width.
QSize LayoutNeed(QWidget* form, QSize designed);

// Opens the window at its designed size, grown to what its layout needs,
// and keeps it from being made smaller than that.
void SetStartingSize(QWidget* form, QSize designed);

// After texts changed: raises the least size to what the layout now needs,
// which grows the window when it has become too small; it never shrinks.
void GrowToLayout(QWidget* form, QSize designed);

class QMessageBox;

// A short message makes a narrow box: keeps the box wide enough for its
// whole caption beside the window manager's icon and buttons.
void KeepCaptionWhole(QMessageBox& box);
