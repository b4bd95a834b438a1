#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

class QFileDialog;

// Acts on the next modal window of the given kind from inside its exec(), as the user would once it is open.
// Gives up loudly rather than leave a test waiting on a window that never came.
template <class Window> void whenModalOpens(std::function<void(Window*)> act, int attempts = 300) {
    QTimer::singleShot(10, [act, attempts] {
        if (auto* window = qobject_cast<Window*>(QApplication::activeModalWidget()))
            act(window);
        else if (attempts > 0)
            whenModalOpens<Window>(act, attempts - 1);
        else
            qFatal("no modal window opened");
    });
}

// Chooses a file in Qt's own file dialog as the user would: once the dialog lists the file's folder, the file is
// selected and the dialog's Open or Save button pressed; when the listing lags (a loaded machine), the path typed
// in full is accepted, as the dialog checks it on the disk itself. A dialog still open after that is cancelled and
// false returned, so the test fails rather than waits.
bool chooseInFileDialog(QFileDialog* dialog, const QString& file);
