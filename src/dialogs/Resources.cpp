#include "dialogs/Resources.h"

#include <QFile>
#include <QGuiApplication>

// Resources compiled into a static library must be registered by hand before first use.
static void ensureResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(lumaret);
        return true;
    }();
    Q_UNUSED(done);
}

namespace {
QPixmap loadPixmap(const QString& path) {
    ensureResources();
    const QString doubled = QString(path).replace(QLatin1String(".png"), QLatin1String("@2x.png"));
    // On a screen scaled to 200 % the drawn double-size image is sharper than a scaled one.
    if (qGuiApp && qGuiApp->devicePixelRatio() > 1.5 && QFile::exists(doubled)) {
        QPixmap pixmap(doubled);
        pixmap.setDevicePixelRatio(2.0);
        return pixmap;
    }
    return QPixmap(path);
}
} // namespace

QIcon programIcon() {
    ensureResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/lumaret16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/lumaret.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/lumaret@2x.png"), QSize(64, 64));
    return icon;
}

// Made once: the pointer turns into it over every button the mouse crosses. Kept for the life of the process,
// since a pixmap must not outlive the application object at exit.
QCursor customCursor() {
    static const QCursor* cursor = new QCursor(loadPixmap(QStringLiteral(":/cursors/hand.png")), 12, 1);
    return *cursor;
}

QPixmap picture(const QString& name) {
    return loadPixmap(QStringLiteral(":/pictures/%1.png").arg(name));
}
