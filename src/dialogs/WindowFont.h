#pragma once

#include <QFont>
#include <QStringList>

// The font every window's text uses unless a control names its own. The fixed layouts were drawn for a small
// sans-serif of eight points; a wider or larger font would cut captions off at their designed sizes.
QFont windowFont();

// The bold heading of a window ("Choose a category and figure:", the Move window's "Category:").
QFont headingFont();
