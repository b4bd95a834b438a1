#include "dialogs/Pointer.h"

#include "dialogs/Resources.h"

#include <QGuiApplication>
#include <QThread>

namespace {
// The pointer is the application's override cursor, which belongs to the GUI thread like every window; so does
// this record of it, and the functions below refuse any other thread.
Pointer current = Pointer::Default;

void onGuiThread() {
    Q_ASSERT(!QCoreApplication::instance() || QThread::currentThread() == QCoreApplication::instance()->thread());
}
} // namespace

// At most one override cursor is ever pushed, so that "default" always means the plain arrow again.
void setPointer(Pointer shape) {
    onGuiThread();
    if (shape == current)
        return;
    if (shape == Pointer::Default) {
        QGuiApplication::restoreOverrideCursor();
    } else {
        const QCursor cursor = shape == Pointer::Busy ? QCursor(Qt::WaitCursor) : customCursor();
        if (current == Pointer::Default)
            QGuiApplication::setOverrideCursor(cursor);
        else
            QGuiApplication::changeOverrideCursor(cursor);
    }
    current = shape;
}

Pointer pointer() {
    onGuiThread();
    return current;
}
