#pragma once

#include <QFont>
#include <QStringList>

// The font every window's text uses unless a control names its own. The fixed layouts were drawn for a small
// sans-serif of eight points; a wider or larger font would cut captions off at their designed sizes.
QFont windowFont();

// The bold heading of a window ("Choose a category and figure:", the Move window's "Category:").
QFont headingFont();

// Starts reading the system's fonts on a thread of its own, once per program; the first text measured waits for
// it. Reading the font configuration is a good part of start-up and needs nothing from the window, so it runs
// while the window is built, the catalogue opened and the lists filled.
void startLoadingFonts();
