#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// One part line of a transfer file, split at every "!": piece k is the value of data column k. A line the
// program wrote has one piece more than there are data columns, the empty text after the last "!".
struct TransferPart {
    int line = 0; // counted from 1, for messages
    QStringList pieces;
};

struct TransferFigure {
    QString name;
    QString type;
    QList<TransferPart> parts;
};

// Reads a whole transfer file. A line runs up to a carriage return; a carriage return with a line feed after
// it is one line end, a line feed alone is an ordinary character, and the last line may lack its end. Line 1
// is not examined; lines 2 and 3 are the name and the type exactly as read, and a file that ends before them
// fails with 62. From line 4 on, every line that holds a "!" is a part; the others are skipped.
TransferFigure readTransferContent(QByteArrayView bytes);
