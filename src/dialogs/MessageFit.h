#pragma once

class QLabel;
class QString;

// Shows text in a word-wrapped label of a fixed-size window so that all of it can be read: a word too long for
// a line (a path, say) is broken where it must be, and when the lines need more height than the label has, the
// label and the window grow downwards by the difference, and every control below the label moves down with
// them. The width, and everything above the label's foot, stay as they were made. Can be called again with
// another text; the window then starts from its made size.
void showFitted(QLabel* label, const QString& text);
