#pragma once

// The shared vocabulary of the project's own Access page code: what a table, a column, an index and a row are once
// read from the file's pages, and the page store every reader and writer goes through. Nothing here knows SQLite,
// Qt Sql or libmdb.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <optional>
#include <variant>

namespace jet {

enum class Version { Jet3, Jet4, Ace12, Ace14, Ace15, Ace16, Ace17 };

// Column types as the table definition stores them.
enum class ColumnType : quint8 {
    Boolean = 0x01,
    Byte = 0x02,
    Int = 0x03,
    Long = 0x04,
    Money = 0x05,
    Float = 0x06,
    Double = 0x07,
    DateTime = 0x08,
    Binary = 0x09,
    Text = 0x0A,
    Ole = 0x0B,
    Memo = 0x0C,
    Guid = 0x0F,
    Numeric = 0x10,
    Complex = 0x12,
    BigInt = 0x13,
};

// A value as Access holds it, before any SQLite form:
//   null; Boolean as bool; Byte, Int, Long, BigInt as qint64; Money as Currency (ten-thousandths);
//   Float and Double as double; DateTime as DateTime (days since 1899-12-30); Text and Memo as QString;
//   Binary, Ole, Guid (16 bytes, as stored), Numeric (17 bytes, as stored) as QByteArray.
struct Currency {
    qint64 tenThousandths = 0;
    bool operator==(const Currency&) const = default;
};
struct DateTime {
    double days = 0;
    bool operator==(const DateTime&) const = default;
};
using Value = std::variant<std::monostate, bool, qint64, Currency, double, DateTime, QString, QByteArray>;

inline bool isNull(const Value& value) { return std::holds_alternative<std::monostate>(value); }

// Where a row lives: a data page and the row's slot in that page's offset table. An index entry points at it,
// and an updated row that moved keeps its first slot (which then points at the moved row), so a RowId is stable
// for the row's whole life.
struct RowId {
    quint32 page = 0;
    quint8 row = 0;
    bool operator==(const RowId&) const = default;
};

struct ColumnDef {
    QString name;
    ColumnType type = ColumnType::Text;
    quint16 number = 0;       // the column's number, as index definitions name it
    quint16 varIndex = 0;     // slot in the variable-length offset table (variable columns)
    quint16 fixedOffset = 0;  // offset in the fixed area (fixed columns)
    quint16 length = 0;       // declared length in bytes
    quint8 flags = 0;         // bit 0x01 fixed length, 0x04 auto-number, ...
    quint16 collation = 0;    // text sort order (1033 General, ...)
    quint8 collationVersion = 0;
    quint16 codePage = 0;
    quint8 precision = 0, scale = 0; // Numeric
    bool compressedUnicode = false;  // text may be stored in Jet 4's one-byte-per-character form
    quint32 longValueOwnedMap = 0, longValueFreeMap = 0; // Memo/OLE: the column's own maps of long-value pages
    bool fixed() const { return flags & 0x01; }
};

struct IndexColumn {
    quint16 columnNumber = 0;
    bool ascending = true;
};

// A "real index" (the tree of keys) of a table. Several logical indexes (a primary key and a foreign key on the
// same column, say) may share one.
struct IndexDef {
    int number = 0;                 // the real index's position in the table definition
    QList<IndexColumn> columns;
    quint32 rootPage = 0;           // first index page
    quint8 flags = 0;               // 0x01 unique, 0x02 ignore nulls, 0x08 required
    quint32 usedPagesMap = 0;       // the index's usage map (row pointer), as stored
    QStringList names;              // the logical indexes on it, for messages
    bool primaryKey = false;
    bool foreignKey = false;
    bool unique() const { return flags & 0x01; }
    bool ignoreNulls() const { return flags & 0x02; }
};

struct TableDef {
    QString name;
    quint32 definitionPage = 0;
    quint32 rowCount = 0;           // as the definition records it
    quint32 nextAutoNumber = 0;
    QList<ColumnDef> columns;       // in the order the user sees them (by column number)
    QList<IndexDef> indexes;
    quint32 usageMapOwned = 0, usageMapFree = 0; // row pointers to the usage maps of owned and free pages
    quint16 maxColumns = 0;         // the column count every row records (numbers of dropped columns included)
    quint16 maxVarColumns = 0;      // the length of every row's variable-length offset table
};

// The pages of one file. Reads see the changes written so far; nothing reaches the file before commit.
class PageStore {
public:
    virtual ~PageStore() = default;
    virtual Version version() const = 0;
    virtual int pageSize() const = 0;
    virtual quint32 pageCount() const = 0;
    virtual QByteArray read(quint32 page) const = 0;
    virtual void write(quint32 page, const QByteArray& bytes) = 0;
    // A page for a new data or index page of a table: taken from the file's free pages, or added at its end.
    // Its bytes are zero until written.
    virtual quint32 allocate() = 0;
};

} // namespace jet
