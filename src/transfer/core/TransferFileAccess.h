#pragma once

#include <QByteArray>
#include <QString>

// The whole file at once: 53 when it does not exist, 75 with the system's reason when it cannot be read.
QByteArray readWholeFile(const QString& path);

// Writes through a temporary file that replaces the target only once everything is written, so a failure on
// the way (a full disk, a missing directory, a file the user may not replace) leaves an existing file as it
// was. Fails with 75 and the system's reason.
void saveWholeFile(const QString& path, const QByteArray& content);
