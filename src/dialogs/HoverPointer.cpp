#include "dialogs/HoverPointer.h"

#include "dialogs/Pointer.h"

#include <QMouseEvent>
#include <QWidget>

namespace {
void backgroundMove() {
    // Also undoes a busy pointer that a failed command left behind.
    if (pointer() != Pointer::Default)
        setPointer(Pointer::Default);
}

// Lives as long as its window and watches the window and the buttons it was given.
class HoverPointer : public QObject {
public:
    HoverPointer(QWidget* window, const QList<QWidget*>& buttons) : QObject(window), window(window) {
        window->setMouseTracking(true);
        window->installEventFilter(this);
        for (QWidget* button : buttons) {
            // A disabled button gets no move of its own, but tracked it still passes its moves to the filters,
            // which is where it must count as background.
            button->setMouseTracking(true);
            button->installEventFilter(this);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseMove)
            return false;
        if (watched != window) {
            if (static_cast<QWidget*>(watched)->isEnabled())
                setPointer(Pointer::Custom); // on every move, whatever the pointer was
            else
                backgroundMove();
            return false;
        }
        // A button passes its moves on to the window, so the window also sees moves that are not over its
        // background; shapes take no mouse, so the spot under a shape is background.
        const QWidget* under = window->childAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (!under || !under->isEnabled())
            backgroundMove();
        return false;
    }

private:
    QWidget* window;
};
} // namespace

void installHoverPointer(QWidget* window, const QList<QWidget*>& buttons) {
    new HoverPointer(window, buttons);
}
