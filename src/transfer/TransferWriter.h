#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVariantList>
#include <functional>

// Assembles one transfer file in memory: the header with the date, the figure's name and type without their
// surrounding blanks, then one line per part with every data column's value followed by "!".
//
// The format has no escaping, so a value that holds "!" or a line break, or a character outside Windows-1252,
// would come back shifted, cut or changed; and the import refuses a NUL byte and a line longer than
// TransferLines::maxLineBytes. Such a figure is refused with failure 3421 naming the figure and the part, before
// any byte reaches a file.
class TransferWriter {
public:
    TransferWriter(const QString& name, const QString& type, const QDate& date = QDate::currentDate());

    // The parts, one by one and value by value in table order. The part's name is asked of partName only when a
    // value is refused (to name the part), so a part that passes costs no description.
    void namePartsWith(std::function<QString()> partName) { partNamer = std::move(partName); }
    void beginPart();
    void addNull() { bytes += '!'; }
    void addWhole(qint64 value);
    // A value given as UTF-8 that is plain ASCII without "!" or a line break goes in as it is, and true comes
    // back; for anything else nothing is added and false comes back, and the caller gives it to addText.
    bool addPlainUtf8(QByteArrayView utf8);
    void addText(const QString& text) { appendValue(text); }
    // A value the engine holds as bytes: carried as text when it is UTF-8 text, refused as binary data when not
    // (a picture, say), which no text line could give back.
    void addBytes(QByteArrayView bytes);
    void endPart();

    const QByteArray& content() const { return bytes; }

    // Null as empty text, whole numbers in decimal digits, anything else in Qt's own text form.
    static QString valueText(const QVariant& value);

    static const QString headerStart;

private:
    void appendLine(const QString& text, const QString& what);
    void appendValue(const QString& text);
    [[noreturn]] void refuse(const QString& what, const QString& problem) const;
    [[noreturn]] void refusePart(const QString& problem) const;

    static const QByteArray lineEnd;

    QString figureName;
    QByteArray bytes;
    qsizetype partCount = 0;
    qsizetype partStart = 0; // where the current part's line begins in bytes
    std::function<QString()> partNamer;
};
