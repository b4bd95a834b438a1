#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

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
