#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>
#include <functional>

// Reading a transfer file, in two layers that work on bytes alone and never touch a catalogue, so that they can
// be driven from memory as well as from a file:
//
// TransferLines splits bytes into lines without copying them. A line runs up to a carriage return; a carriage
// return with a line feed after it is one line end, a line feed alone is an ordinary character, and the last
// line may lack its end. The bytes come either from one view or, piece by piece, from a source function, so
// that a file of any length is read in a buffer of bounded size.
//
// readTransferHeading and nextTransferPart give the figure's name and type (lines 2 and 3; line 1 is not
// examined) and then each part line (from line 4 on, every line that holds a "!"; the others are skipped),
// split at every "!" into views of Windows-1252 bytes.
//
// Failures: 62 when the input ends before the type; 321 ("not a transfer file") for input holding a NUL byte,
// a line longer than maxLineBytes, or line feeds without a single carriage return (a file that lost its CR LF
// line ends). A source function may throw failures of its own.
class TransferLines {
public:
    // Puts up to capacity bytes at into and returns how many; 0 only at the end of the input.
    using Source = std::function<qsizetype(char* into, qsizetype capacity)>;

    // No line a program could mean as a figure or a part comes near this; a longer one is taken as a sign
    // of a file that is something else.
    static constexpr qsizetype maxLineBytes = 4 * 1024 * 1024;

    // fileName only names the input in failures ("the input" when empty).
    explicit TransferLines(QByteArrayView bytes, const QString& fileName = {});
    TransferLines(Source source, const QString& fileName);

    // Makes line the next line without its end and returns true, or returns false at the end of the input.
    // The view stays valid until the next call.
    bool next(QByteArrayView& line);
    // The number of the line last returned, counted from 1.
    qint64 lineNumber() const { return lines; }
    // True when a line feed has been seen inside a line.
    bool sawLoneLineFeed() const { return loneLineFeed; }

    // Failure 321 naming the input: "'<file>' is not a transfer file: <why>."
    [[noreturn]] void refuse(const QString& why) const;

private:
    bool fill();

    Source source;
    QString fileName;
    QByteArray buffer; // used when reading from a source
    const char* data = nullptr;
    qsizetype size = 0; // bytes in data
    qsizetype position = 0;
    qsizetype scanned = 0; // from position on, bytes known to hold no carriage return
    qsizetype checked = 0; // bytes known to hold no NUL
    bool finished = false; // the source has nothing more
    bool loneLineFeed = false;
    qint64 lines = 0;
};

struct TransferHeading {
    QString name;
    QString type;
};

// Lines 1 to 3: the name and the type exactly as read.
TransferHeading readTransferHeading(TransferLines& lines);

// The pieces of one part line: piece k is the value of data column k, as Windows-1252 bytes. A line the program
// wrote has one piece more than there are data columns, the empty text after the last "!".
using TransferPieces = QVarLengthArray<QByteArrayView, 16>;

// Moves on to the next part line and splits it into pieces (views into the line, valid as the line is);
// false at the end of the input.
bool nextTransferPart(TransferLines& lines, TransferPieces& pieces);
