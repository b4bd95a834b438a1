#include "dialogs/WindowFont.h"

QFont windowFont() {
    QFont font;
    // Narrow families first; where none is installed the system's own sans-serif stands in.
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Helvetica")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

QFont headingFont() {
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(9.75);
    font.setBold(true);
    return font;
}
