#pragma once

#include <QString>
#include <QVariant>

// What kind of value a part column holds, judged from its declared type the way SQLite itself judges it; text
// arriving for a column is converted to that kind as it is written.
// Dates and yes/no columns are judged by their type names (DATE, TIME, BOOL, BIT), which SQLite would take as
// numbers.
enum class ColumnKind { Text, Integer, Real, Date, YesNo };

ColumnKind columnKindOf(const QString& declaredType);

// A text value given to a number, date or yes/no column is converted as it is written, the way the older engine
// did: an empty text becomes null, a number, date or yes/no in one of its text forms (see ValueForms.h) is taken
// as such, anything else is refused with 3421. Other values pass as they are.
QVariant convertForColumn(const QVariant& value, ColumnKind kind);
