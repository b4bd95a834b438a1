#pragma once

#include <QList>

class QWidget;

// The program's hand pointer over the given buttons; the default pointer again over the window's bare
// background (shapes and disabled buttons count as background).
void installHoverPointer(QWidget* window, const QList<QWidget*>& buttons);
