#pragma once

// The byte form of an index key as Access stores it in the leaf and node pages of an index: per column a flag byte
// (null, or present in ascending or descending order) and then the value in a form whose plain byte order is the
// sort order (whole numbers big-endian with the sign bit flipped, floating values folded so negatives sort first,
// text through the General sort order's character codes). Descending columns are the same bytes inverted.

#include "access/jet/JetTypes.h"

#include <optional>

namespace jet {

// The key of one row in one index. row holds the table's values in TableDef::columns order. Throws Error
// (Unsupported) for a value this program cannot encode surely, such as a character outside its tables, and
// (Damaged) when the index names a column the table does not have.
QByteArray encodeKey(const TableDef& table, const IndexDef& index, const QList<Value>& row);

// A text value's part of a key in the General sort order of Access 2000-2007 (without the column's flag byte).
// Throws Error (Unsupported) naming a character it cannot encode.
QByteArray generalLegacyTextKey(const QString& text, bool ascending);

// Whether generalLegacyTextKey encodes this character.
bool generalLegacyEncodes(QChar c);

// Why this program does not keep this index true on writes (an unsupported column type or text sort order), in
// one sentence; nothing when it does.
std::optional<QString> whyNotKeepable(const TableDef& table, const IndexDef& index);

// Whether every column of the index is null in this row (such a row has no entry when the index ignores nulls).
bool allKeyColumnsNull(const TableDef& table, const IndexDef& index, const QList<Value>& row);
bool anyKeyColumnNull(const TableDef& table, const IndexDef& index, const QList<Value>& row);

} // namespace jet
