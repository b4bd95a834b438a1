#include "dialogs/Pointer.h"

#include "dialogs/Resources.h"

#include <QGuiApplication>

namespace {
Pointer current = Pointer::Default;
}

// At most one override cursor is ever pushed, so that "default" always means the plain arrow again.
void setPointer(Pointer shape) {
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
    return current;
}
