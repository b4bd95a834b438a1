#include "transfer/TransferReader.h"

#include "catalogue/Failure.h"
#include "transfer/Windows1252.h"

#include <cstring>

namespace {
const char* const noLineEnds = "it has no CR LF line ends, only line feeds";

// Large enough that reading costs few system calls, small enough to stay in the cache.
constexpr qsizetype chunkBytes = 256 * 1024;
} // namespace

TransferLines::TransferLines(QByteArrayView bytes, const QString& fileName)
    : fileName(fileName), data(bytes.data()), size(bytes.size()), finished(true) {}

TransferLines::TransferLines(Source source, const QString& fileName) : source(std::move(source)), fileName(fileName) {}

void TransferLines::refuse(const QString& why) const {
    const QString what = fileName.isEmpty() ? QStringLiteral("The input") : QStringLiteral("'%1'").arg(fileName);
    throw Failure(failure::InvalidFileFormat,
                  QStringLiteral("Invalid file format: %1 is not a transfer file: %2.").arg(what, why));
}

// Keeps the unread bytes, moved to the front of the buffer, and adds what the source gives. False when the
// source has nothing more.
bool TransferLines::fill() {
    if (finished)
        return false;
    const qsizetype kept = size - position;
    if (buffer.isEmpty())
        buffer.resize(chunkBytes);
    if (position > 0 && kept > 0)
        std::memmove(buffer.data(), buffer.constData() + position, size_t(kept));
    scanned -= position;
    checked -= position;
    position = 0;
    size = kept;
    if (buffer.size() - size < chunkBytes / 2)
        buffer.resize(buffer.size() * 2); // a long line; next() bounds its length
    data = buffer.constData();
    const qsizetype got = source(buffer.data() + size, buffer.size() - size);
    if (got <= 0) {
        finished = true;
        return false;
    }
    size += got;
    return true;
}

bool TransferLines::next(QByteArrayView& line) {
    for (;;) {
        // One pass over every byte as it arrives; no text file holds a NUL.
        if (checked < size) {
            if (std::memchr(data + checked, '\0', size_t(size - checked)))
                refuse(QStringLiteral("it holds a NUL byte"));
            checked = size;
        }
        // Before the first fill there is no buffer at all, and memchr must not be handed a null pointer.
        const auto* cr = scanned < size
                             ? static_cast<const char*>(std::memchr(data + scanned, '\r', size_t(size - scanned)))
                             : nullptr;
        if (!cr) {
            scanned = size;
            if (size - position > maxLineBytes) {
                if (std::memchr(data + position, '\n', size_t(size - position)))
                    refuse(QString::fromLatin1(noLineEnds));
                refuse(QStringLiteral("line %1 is longer than %2 MiB").arg(lines + 1).arg(maxLineBytes >> 20));
            }
            if (!finished) {
                fill();
                continue;
            }
            if (position >= size)
                return false; // the last line had its end, or the input is empty
        } else if (cr + 1 == data + size && !finished) {
            fill(); // whether a line feed follows is in the next piece
            continue;
        }
        const qsizetype length = (cr ? cr - data : size) - position;
        if (length > maxLineBytes)
            refuse(QStringLiteral("line %1 is longer than %2 MiB").arg(lines + 1).arg(maxLineBytes >> 20));
        line = QByteArrayView(data + position, length);
        ++lines;
        // Only the heading needs to know: a file without carriage returns ends before its type.
        if (lines <= 3 && line.contains('\n'))
            loneLineFeed = true;
        position += length;
        if (cr) {
            ++position;
            if (position < size && data[position] == '\n')
                ++position;
        }
        scanned = position;
        return true;
    }
}

TransferHeading readTransferHeading(TransferLines& lines) {
    QByteArrayView line;
    TransferHeading heading;
    for (int wanted = 1; wanted <= 3; ++wanted) {
        if (!lines.next(line)) {
            // A file that lost its carriage returns reads as one long line and would end here.
            if (lines.sawLoneLineFeed())
                lines.refuse(QString::fromLatin1(noLineEnds));
            throw Failure(failure::InputPastEndOfFile, QStringLiteral("Input past end of file"));
        }
        if (wanted == 2)
            heading.name = windows1252::decode(line);
        else if (wanted == 3)
            heading.type = windows1252::decode(line);
    }
    return heading;
}

bool nextTransferPart(TransferLines& lines, TransferPieces& pieces) {
    QByteArrayView line;
    while (lines.next(line)) {
        const char* from = line.data();
        const char* const end = from + line.size();
        const char* bang = static_cast<const char*>(std::memchr(from, '!', size_t(line.size())));
        if (!bang)
            continue;
        pieces.clear();
        while (bang) {
            pieces.append(QByteArrayView(from, bang - from));
            from = bang + 1;
            bang = static_cast<const char*>(std::memchr(from, '!', size_t(end - from)));
        }
        pieces.append(QByteArrayView(from, end - from));
        return true;
    }
    return false;
}
