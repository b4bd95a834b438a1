#include "access/jet/TableDefs.h"

#include "access/jet/Bytes.h"
#include "access/jet/JetError.h"
#include "access/jet/RowCodec.h"

#include <algorithm>

namespace jet {

namespace {

constexpr quint32 catalogPage = 2; // MSysObjects' definition

// A cursor over the definition bytes that turns every overrun into a damage report.
struct Reader {
    const QByteArray& bytes;
    const QString& table;
    quint32 page;
    int at = 0;
    void need(int n) const {
        if (at < 0 || at + n > bytes.size())
            damaged(QStringLiteral("The definition of table \"%1\" (page %2) ends before its columns and indexes do.")
                        .arg(table)
                        .arg(page));
    }
    // Byte by byte: the compiler cannot see that need() guards a wider read of the buffer.
    quint8 byte() { return need(1), u8(bytes, at++); }
    quint16 word() {
        need(2);
        const quint16 low = u8(bytes, at++);
        return quint16(low | u8(bytes, at++) << 8);
    }
    quint32 dword() {
        const quint32 low = word();
        return low | quint32(word()) << 16;
    }
    void skip(int n) { need(n), at += n; }
    QString name() {
        const int length = word();
        need(length);
        const QString text = decodeText(bytes.mid(at, length));
        at += length;
        return text;
    }
};

void readColumns(Reader& in, TableDef& def, int columns) {
    for (int i = 0; i < columns; ++i) {
        in.need(25);
        const int at = in.at;
        ColumnDef column;
        column.type = ColumnType(u8(in.bytes, at));
        column.number = u16(in.bytes, at + 5);
        column.varIndex = u16(in.bytes, at + 7);
        if (column.type == ColumnType::Numeric) {
            column.precision = u8(in.bytes, at + 11);
            column.scale = u8(in.bytes, at + 12);
        } else if (column.type == ColumnType::Text || column.type == ColumnType::Memo) {
            column.collation = u16(in.bytes, at + 11);
            column.collationVersion = u8(in.bytes, at + 13);
        }
        column.flags = u8(in.bytes, at + 15);
        column.compressedUnicode = u8(in.bytes, at + 16) & 0x01;
        column.fixedOffset = u16(in.bytes, at + 21);
        column.length = u16(in.bytes, at + 23);
        def.columns << column;
        in.at += 25;
    }
    for (ColumnDef& column : def.columns)
        column.name = in.name();
    // Rows and indexes name columns by number, and that is the order the user sees.
    std::stable_sort(def.columns.begin(), def.columns.end(),
                     [](const ColumnDef& a, const ColumnDef& b) { return a.number < b.number; });
}

void readIndexes(Reader& in, TableDef& def, int real, int logical) {
    for (int i = 0; i < real; ++i) {
        IndexDef index;
        index.number = i;
        in.skip(4);
        for (int c = 0; c < 10; ++c) {
            const quint16 number = in.word();
            const quint8 order = in.byte();
            if (number != 0xFFFF)
                index.columns << IndexColumn{number, order != 0x02};
        }
        index.usedPagesMap = in.dword();
        index.rootPage = in.dword();
        in.skip(4);
        index.flags = in.byte();
        in.skip(5);
        def.indexes << index;
    }
    QList<int> logicalToReal;
    QList<int> logicalType;
    for (int i = 0; i < logical; ++i) {
        in.skip(4 + 4);
        const quint32 realNumber = in.dword();
        in.skip(1 + 4 + 4 + 1 + 1);
        logicalType << in.byte();
        in.skip(4);
        if (realNumber >= quint32(real))
            damaged(QStringLiteral("An index of table \"%1\" (page %2) names real index %3 of %4.")
                        .arg(def.name)
                        .arg(def.definitionPage)
                        .arg(realNumber)
                        .arg(real));
        logicalToReal << int(realNumber);
    }
    for (int i = 0; i < logical; ++i) {
        IndexDef& index = def.indexes[logicalToReal[i]];
        index.names << in.name();
        index.primaryKey |= logicalType[i] == 1;
        index.foreignKey |= logicalType[i] == 2;
    }
}

// After the indexes, for memo and OLE columns, the usage maps of their long-value pages, up to a column number of
// 0xFFFF.
void readLongValueMaps(Reader& in, TableDef& def) {
    while (in.at + 2 <= in.bytes.size()) {
        const quint16 number = in.word();
        if (number == 0xFFFF || in.at + 8 > in.bytes.size())
            break;
        const quint32 owned = in.dword(), free = in.dword();
        for (ColumnDef& column : def.columns)
            if (column.number == number) {
                column.longValueOwnedMap = owned;
                column.longValueFreeMap = free;
            }
    }
}

} // namespace

QByteArray definitionBytes(PageStore& store, quint32 page, const QString& table, QList<quint32>* pages) {
    QByteArray all;
    QList<quint32> seen;
    for (quint32 next = page; next != 0;) {
        if (seen.contains(next) || seen.size() > 64)
            damaged(
                QStringLiteral("The definition of table \"%1\" (page %2) loops back on itself.").arg(table).arg(page));
        seen << next;
        const QByteArray bytes = store.read(next);
        if (u8(bytes, 0) != page::TableDef)
            damaged(QStringLiteral("Page %1, part of the definition of table \"%2\", is not a table definition page "
                                   "(type %3).")
                        .arg(next)
                        .arg(table)
                        .arg(u8(bytes, 0)));
        all += all.isEmpty() ? bytes : bytes.mid(8);
        next = u32(bytes, 4);
    }
    if (pages)
        *pages = seen;
    return all;
}

TableDef readTableDefAt(PageStore& store, quint32 page, const QString& name) {
    if (store.version() == Version::Jet3)
        unsupported(QStringLiteral("Table \"%1\" is in a Jet 3 (Access 97) file, which this program reads only "
                                   "through its older path.")
                        .arg(name));
    const QByteArray bytes = definitionBytes(store, page, name);
    Reader in{bytes, name, page};
    TableDef def;
    def.name = name;
    def.definitionPage = page;
    in.need(tdef::IndexCounts);
    def.rowCount = u32(bytes, tdef::RowCount);
    def.nextAutoNumber = u32(bytes, tdef::AutoNumber);
    const int columns = u16(bytes, tdef::Columns);
    const int logical = int(u32(bytes, tdef::LogicalIndexes));
    const int real = int(u32(bytes, tdef::RealIndexes));
    def.usageMapOwned = u32(bytes, tdef::OwnedMap);
    def.usageMapFree = u32(bytes, tdef::FreeMap);
    def.maxColumns = u16(bytes, tdef::MaxColumns);
    def.maxVarColumns = u16(bytes, tdef::VarColumns);
    if (columns > 255 || logical > 1000 || real > 1000)
        damaged(QStringLiteral("The definition of table \"%1\" (page %2) counts %3 columns and %4 indexes.")
                    .arg(name)
                    .arg(page)
                    .arg(columns)
                    .arg(logical));
    in.at = tdef::IndexCounts + real * 12;
    readColumns(in, def, columns);
    readIndexes(in, def, real, logical);
    readLongValueMaps(in, def);
    return def;
}

QList<QPair<QString, quint32>> listTables(PageStore& store) {
    const TableDef catalog = readTableDefAt(store, catalogPage, QStringLiteral("MSysObjects"));
    int nameColumn = -1, idColumn = -1, typeColumn = -1, flagsColumn = -1;
    for (int i = 0; i < catalog.columns.size(); ++i) {
        const QString& n = catalog.columns[i].name;
        if (n == QLatin1String("Name"))
            nameColumn = i;
        else if (n == QLatin1String("Id"))
            idColumn = i;
        else if (n == QLatin1String("Type"))
            typeColumn = i;
        else if (n == QLatin1String("Flags"))
            flagsColumn = i;
    }
    if (nameColumn < 0 || idColumn < 0 || typeColumn < 0)
        damaged(QStringLiteral("The catalogue of tables (page 2) lacks its Name, Id or Type column."));
    QList<QPair<QString, quint32>> tables;
    scanRows(store, catalog, [&](RowId, const QList<Value>& row) {
        const auto* type = std::get_if<qint64>(&row[typeColumn]);
        const auto* id = std::get_if<qint64>(&row[idColumn]);
        const auto* name = std::get_if<QString>(&row[nameColumn]);
        const auto* flags = flagsColumn >= 0 ? std::get_if<qint64>(&row[flagsColumn]) : nullptr;
        // Type 1 is a local table; the flags mark system and hidden ones.
        if (type && *type == 1 && id && name && !(flags && (*flags & 0x80000002)))
            tables << qMakePair(*name, quint32(*id & 0x00FFFFFF));
    });
    return tables;
}

TableDef readTableDef(PageStore& store, const QString& name) {
    for (const auto& [tableName, page] : listTables(store))
        if (tableName.compare(name, Qt::CaseInsensitive) == 0)
            return readTableDefAt(store, page, tableName);
    unsupported(QStringLiteral("The file has no table named \"%1\".").arg(name));
}

} // namespace jet
