#include "dialogs/WindowFont.h"

#include <QFontDatabase>
#include <QThreadPool>
#include <future>
#include <mutex>
#if LUMARET_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace {
// Set once, on the main thread before the application object exists (startReadingFontConfiguration), and only
// read afterwards.
std::shared_future<void> fontConfiguration;
} // namespace

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

void startReadingFontConfiguration() {
#if LUMARET_HAVE_FONTCONFIG
    // Qt reads the configuration through the same call and finds it read; parsing it takes longer than the
    // application object's own start.
    if (!fontConfiguration.valid())
        fontConfiguration = std::async(std::launch::async, [] { FcInit(); }).share();
#endif
}

void startLoadingFonts() {
    // Started once per process, whichever thread asks first.
    static std::once_flag started;
    std::call_once(started, [] {
        // The application waits for the pool's threads before it ends.
        QThreadPool::globalInstance()->start([configuration = fontConfiguration] {
            if (configuration.valid())
                configuration.wait(); // read twice at once, it would cost twice
            QFontDatabase::families();
        });
    });
}
