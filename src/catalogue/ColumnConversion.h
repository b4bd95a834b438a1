#pragma once

#include <QString>
#include <QVariant>

// What kind of value a part column holds, judged from its declared type the way SQLite itself judges it; text
// arriving for a column is converted to that kind as it is written.
enum class ColumnKind { Text, Integer, Real };

ColumnKind columnKindOf(const QString& declaredType);

// A text value given to a number column is converted as it is written, the way the older engine did: an empty
// text becomes null, a number is taken as a number, anything else is refused with 3421. Other values pass as they
// are.
QVariant convertForColumn(const QVariant& value, ColumnKind kind);
