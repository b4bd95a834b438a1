#include "dialogs/WindowFont.h"

#include <QFontDatabase>
#include <QThreadPool>

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

void startLoadingFonts() {
    static bool started = false;
    if (started)
        return;
    started = true;
    // The application waits for the pool's threads before it ends.
    QThreadPool::globalInstance()->start([] { QFontDatabase::families(); });
}
