#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVariantList>

// Assembles one transfer file in memory: the header with the date, the figure's name and type without their
// surrounding blanks, then one line per part with every data column's value followed by "!".
//
// The format has no escaping, so a value that holds "!" or a line break, or a character outside Windows-1252,
// would come back shifted, cut or changed. Such a figure is refused with failure 3421 naming the figure and the
// part, before any byte reaches a file.
class TransferWriter {
public:
    TransferWriter(const QString& name, const QString& type, const QDate& date = QDate::currentDate());

    // The values of one part's data columns in table order; partName only serves to name the part in a refusal.
    void addPart(const QVariantList& values, const QString& partName = {});

    const QByteArray& content() const { return bytes; }

    // Null as empty text, whole numbers in decimal digits, anything else in Qt's own text form.
    static QString valueText(const QVariant& value);

    static const QString headerStart;

private:
    void appendLine(const QString& text, const QString& what);
    void appendValue(const QString& text, const QString& what);
    [[noreturn]] void refuse(const QString& what, const QString& problem) const;

    QString figureName;
    QByteArray bytes;
    qsizetype partCount = 0;
};
