#pragma once

class QWidget;

// Windows place themselves: there may be no window manager to centre them.
void centreOnScreen(QWidget* window);
void centreOver(QWidget* window, const QWidget* owner);
