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
    QPixmap pixmap(path);
    const QString doubled = QString(path).replace(QLatin1String(".png"), QLatin1String("@2x.png"));
    // On a screen scaled to 200 % the drawn double-size image is sharper than a scaled one.
    if (qGuiApp && qGuiApp->devicePixelRatio() > 1.5 && QFile::exists(doubled)) {
        pixmap = QPixmap(doubled);
        pixmap.setDevicePixelRatio(2.0);
    }
    return pixmap;
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

QCursor customCursor() {
    return QCursor(loadPixmap(QStringLiteral(":/cursors/hand.png")), 12, 1);
}

QPixmap picture(const QString& name) {
    return loadPixmap(QStringLiteral(":/pictures/%1.png").arg(name));
}
