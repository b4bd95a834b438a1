#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

// Every image the program shows comes from its compiled-in resources through these.
QIcon programIcon();
QCursor customCursor();
// name: "talk", "hand" or "alert".
QPixmap picture(const QString& name);
