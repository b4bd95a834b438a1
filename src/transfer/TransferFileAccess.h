#pragma once

#include "transfer/TransferReader.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// A transfer file opened to be read line by line, in a buffer of bounded size whatever the file's length.
// Opening fails with 53 when the file does not exist and with 75, naming it and giving the reason, when it
// cannot be read or is not a regular file: a named pipe would hold the program until someone writes to it, and
// a device such as /dev/zero never ends.
class TransferFile {
public:
    explicit TransferFile(const QString& path);
    TransferFile(const TransferFile&) = delete;
    TransferFile& operator=(const TransferFile&) = delete;

    TransferLines& lines() { return reader; }

private:
    QString path;
    QFile file;
    TransferLines reader;
};

// Writes through a temporary file that replaces the target only once everything is written, so a failure on
// the way (a full disk, a missing directory, a file the user may not replace) leaves an existing file as it
// was. Fails with 75 and the system's reason.
void saveWholeFile(const QString& path, const QByteArray& content);
