#include "transfer/core/TransferReader.h"

#include "catalogue/Failure.h"
#include "transfer/core/Windows1252.h"

namespace {
class LineReader {
public:
    explicit LineReader(QString text) : text(std::move(text)) {}

    bool atEnd() const { return position >= text.size(); }
    int lineNumber() const { return lines; }

    QString next() {
        if (atEnd())
            throw Failure(failure::InputPastEndOfFile, QStringLiteral("Input past end of file"));
        ++lines;
        const qsizetype end = text.indexOf(QLatin1Char('\r'), position);
        if (end < 0) {
            QString line = text.mid(position);
            position = text.size();
            return line;
        }
        QString line = text.mid(position, end - position);
        position = end + 1;
        if (position < text.size() && text.at(position) == QLatin1Char('\n'))
            ++position;
        return line;
    }

private:
    QString text;
    qsizetype position = 0;
    int lines = 0;
};
} // namespace

TransferFigure readTransferContent(QByteArrayView bytes) {
    LineReader reader(windows1252::decode(bytes));
    TransferFigure figure;
    reader.next(); // the header says only who wrote the file and when
    figure.name = reader.next();
    figure.type = reader.next();
    while (!reader.atEnd()) {
        const QString line = reader.next();
        if (line.contains(QLatin1Char('!')))
            figure.parts.append({reader.lineNumber(), line.split(QLatin1Char('!'))});
    }
    return figure;
}
