#pragma once

#include <QFont>
#include <QStringList>

// The font every window's text uses unless a control names its own. The fixed layouts were drawn for a small
// sans-serif of eight points; a wider or larger font would cut captions off at their designed sizes.
QFont windowFont();

// The bold heading of a window ("Choose a category and figure:", the Move window's "Category:").
QFont headingFont();

// Reading the system's fonts is a good part of start-up and needs nothing from the window, so it runs on threads
// of its own while the window is built, the catalogue opened and the lists filled; the first text measured
// waits for it. Each starts once per program.
//
// The system's font configuration, before the application object exists (where the system has fontconfig).
void startReadingFontConfiguration();
// The application's font database, once the application object exists.
void startLoadingFonts();
