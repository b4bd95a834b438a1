#include "transfer/TransferWriter.h"

#include "catalogue/Failure.h"
#include "catalogue/Text.h"
#include "transfer/TransferReader.h"
#include "transfer/Windows1252.h"

#include <QStringDecoder>
#include <charconv>

namespace {

bool hasLineBreak(const QString& text) {
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

QString nulProblem() {
    return QStringLiteral("holds a NUL byte, which a transfer file cannot carry");
}

QString longLineProblem() {
    return QStringLiteral("would make a line longer than %1 MiB, which a transfer file cannot carry")
        .arg(TransferLines::maxLineBytes >> 20);
}

// A name quoted in a message stays on one line even when the line break is what is wrong with it.
QString quoted(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

QString unencodableProblem(const QString& text, qsizetype at) {
    const char32_t code = text.at(at).isHighSurrogate() && at + 1 < text.size()
                              ? QChar::surrogateToUcs4(text.at(at), text.at(at + 1))
                              : text.at(at).unicode();
    const QString hex = QString::number(uint(code), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    return QStringLiteral("holds the character %1 (U+%2), which a transfer file cannot carry")
        .arg(quoted(QString::fromUcs4(&code, 1)), hex);
}
} // namespace

const QByteArray TransferWriter::lineEnd = QByteArrayLiteral("\r\n");
const QString TransferWriter::headerStart = QStringLiteral("Lumaret Import/ Export file, created ");

TransferWriter::TransferWriter(const QString& name, const QString& type, const QDate& date)
    : figureName(trimBlanks(name)) {
    appendLine(headerStart + date.toString(QStringLiteral("MM/dd/yy")), QString());
    appendLine(figureName, QStringLiteral("its name"));
    appendLine(trimBlanks(type), QStringLiteral("its type"));
}

void TransferWriter::beginPart() {
    ++partCount;
    partStart = bytes.size();
}

void TransferWriter::endPart() {
    if (bytes.size() - partStart > TransferLines::maxLineBytes)
        refusePart(longLineProblem());
    bytes += lineEnd;
}

void TransferWriter::addWhole(qint64 value) {
    char digits[24];
    const auto result = std::to_chars(std::begin(digits), std::end(digits), value);
    bytes.append(digits, result.ptr - digits);
    bytes += '!';
}

bool TransferWriter::addPlainUtf8(QByteArrayView utf8) {
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 || byte == '!' || byte == '\r' || byte == '\n' || byte == 0)
            return false;
    }
    bytes += utf8;
    bytes += '!';
    return true;
}

void TransferWriter::addBytes(QByteArrayView value) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(value);
    if (utf8.hasError())
        refusePart(
            QStringLiteral("holds binary data (%1 bytes), which a transfer file cannot carry").arg(value.size()));
    appendValue(text);
}

QString TransferWriter::valueText(const QVariant& value) {
    if (value.isNull())
        return QString();
    return isWholeNumber(value) ? QString::number(value.toLongLong()) : value.toString();
}

void TransferWriter::appendLine(const QString& text, const QString& what) {
    if (hasLineBreak(text))
        refuse(what, QStringLiteral("holds a line break, which would end its line in the transfer file"));
    if (text.contains(QChar(0)))
        refuse(what, nulProblem());
    if (const qsizetype at = windows1252::firstUnencodable(text); at >= 0)
        refuse(what, unencodableProblem(text, at));
    const qsizetype start = bytes.size();
    windows1252::encodeInto(text, bytes);
    if (bytes.size() - start > TransferLines::maxLineBytes)
        refuse(what, longLineProblem());
    bytes += lineEnd;
}

void TransferWriter::appendValue(const QString& text) {
    if (hasLineBreak(text))
        refusePart(QStringLiteral("holds a line break, which would end its line in the transfer file"));
    if (text.contains(QLatin1Char('!')))
        refusePart(QStringLiteral("holds \"!\", which separates the values of a part in the transfer file"));
    if (text.contains(QChar(0)))
        refusePart(nulProblem());
    if (const qsizetype at = windows1252::firstUnencodable(text); at >= 0)
        refusePart(unencodableProblem(text, at));
    windows1252::encodeInto(text, bytes);
    bytes += '!';
}

void TransferWriter::refusePart(const QString& problem) const {
    QString what = QStringLiteral("part number %1").arg(partCount);
    const QString partName = partNamer ? partNamer() : QString();
    if (!partName.isEmpty())
        what += QStringLiteral(" (%1)").arg(quoted(partName));
    refuse(what, problem);
}

void TransferWriter::refuse(const QString& what, const QString& problem) const {
    throw Failure(failure::ConversionError,
                  QStringLiteral("Figure %1 cannot be exported: %2 %3.").arg(quoted(figureName), what, problem));
}
