#pragma once

#include "catalogue/Failure.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <string_view>

// What kind of value a part column holds, judged from its declared type the way SQLite itself judges it; text
// arriving for a column is converted to that kind as it is written.
// Dates and yes/no columns are told by their type names (DATE, TIME, BOOL, BIT), which SQLite would take as numbers.
enum class ColumnKind { Text, Integer, Real, Date, YesNo };

ColumnKind columnKindOf(const QString& declaredType);

// What a text given to a column becomes. A text column takes it as it is. A number column, the way the older
// engine did, takes an empty text (blanks only) as null and a number as a number; anything else is refused:
// words, "nan" and "inf", and numbers the column cannot hold (beyond 64 bits for a whole-number column, beyond a
// double for any). A whole-number column keeps a fraction as a real, as SQLite would. A date column takes the
// date forms of ValueForms.h and stores the date as ISO text (NewText); a yes/no column takes True/False, -1/0/1
// and stores 1 or 0.
struct ConvertedText {
    enum class Kind { Text, Null, Whole, Real, NewText, Refused };
    Kind kind = Kind::Text;
    qint64 whole = 0;
    double real = 0;
    QByteArray newText; // UTF-8
};

// utf8 is the text as UTF-8; it is only read, never kept.
ConvertedText convertText(std::string_view utf8, ColumnKind kind);

// A value that a column refused, with what is needed to say so; line is where the value came from (0: nowhere
// in particular). Description: "Data type conversion error: line 905, column 'Weight' expects a number, not
// 'abc'." Failure 3421 as before.
class RefusedValue : public Failure {
public:
    RefusedValue(const QString& column, ColumnKind kind, std::string_view utf8, qint64 line = 0);

    // The same refusal, told with the line of the file the value came from.
    RefusedValue atLine(qint64 line) const { return RefusedValue(column, kind, text, line); }

    QString column;
    ColumnKind kind;
    QString text; // as shown: the start of a long value only

private:
    RefusedValue(const QString& column, ColumnKind kind, const QString& shown, qint64 line);
};
