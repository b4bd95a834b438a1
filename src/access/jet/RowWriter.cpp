#include "access/jet/RowWriter.h"

#include "access/jet/Bytes.h"
#include "access/jet/JetError.h"
#include "access/jet/LongValues.h"
#include "access/jet/RowCodec.h"
#include "access/jet/TableDefs.h"
#include "access/jet/UsageMap.h"

#include <QHash>
#include <QUuid>
#include <cstring>

namespace jet {

namespace {

constexpr quint16 deletedFlag = 0x8000, movedFlag = 0x4000;
constexpr int maxRowSize = 4060;

bool isLong(const ColumnDef& c) {
    return c.type == ColumnType::Memo || c.type == ColumnType::Ole;
}

// Memo and OLE values go to their fields (inline or on long-value pages) before the row is laid out.
// An unchanged value keeps the field it had (`kept`), so that an update does not copy its long value again.
QList<QByteArray> longValueFields(PageStore& store, const TableDef& table, const QList<Value>& values,
                                  const QList<QByteArray>& kept = {}) {
    QList<QByteArray> fields(table.columns.size());
    int room = maxRowSize;
    for (int i = 0; i < table.columns.size(); ++i) {
        const ColumnDef& c = table.columns[i];
        if (!isLong(c) || isNull(values[i]))
            continue;
        if (!kept.value(i).isEmpty()) {
            fields[i] = kept[i];
            room -= fields[i].size();
            continue;
        }
        QByteArray data;
        if (const auto* text = std::get_if<QString>(&values[i]); text && c.type == ColumnType::Memo)
            data = encodeText(*text, c.compressedUnicode);
        else if (const auto* bytes = std::get_if<QByteArray>(&values[i]))
            data = *bytes;
        else
            throw Error(Error::Kind::Constraint,
                        QStringLiteral("Table \"%1\": column \"%2\" takes %3, not the value given.")
                            .arg(table.name, c.name, c.type == ColumnType::Memo ? "text" : "bytes"));
        fields[i] = writeLongValue(store, table, c, data, room - 256);
        room -= fields[i].size();
    }
    return fields;
}

void writeDefinitionCounts(PageStore& store, const TableDef& table) {
    QByteArray first = store.read(table.definitionPage);
    put32(first, tdef::RowCount, table.rowCount);
    put32(first, tdef::AutoNumber, table.nextAutoNumber);
    store.write(table.definitionPage, first);
}

void assignAutoNumbers(TableDef& table, QList<Value>& values) {
    for (int i = 0; i < table.columns.size(); ++i) {
        const ColumnDef& c = table.columns[i];
        if ((c.flags & 0x40) && c.type == ColumnType::Guid && isNull(values[i])) {
            values[i] = QUuid::createUuid().toRfc4122(); // random, so its byte order does not matter
            continue;
        }
        if (!(c.flags & 0x04) || c.type != ColumnType::Long)
            continue;
        if (isNull(values[i]))
            values[i] = qint64(++table.nextAutoNumber);
        else if (const auto* n = std::get_if<qint64>(&values[i]); n && *n > qint64(table.nextAutoNumber))
            table.nextAutoNumber = quint32(*n);
    }
}

RowId placeRow(PageStore& store, const TableDef& table, const QByteArray& row, quint16 flags) {
    if (row.size() > maxRowSize)
        throw Error(Error::Kind::Constraint,
                    QStringLiteral("Table \"%1\": a row of %2 bytes is larger than a row can be.")
                        .arg(table.name)
                        .arg(row.size()));
    const quint32 number = datapage::withRoom(store, table.usageMapOwned, table.usageMapFree, table.definitionPage,
                                              row.size(), QStringLiteral("table \"%1\"").arg(table.name));
    QByteArray page = store.read(number);
    const int slot = datapage::append(page, row, flags);
    store.write(number, page);
    return {number, quint8(slot)};
}

void setSlotFlags(PageStore& store, RowId id, quint16 flags) {
    QByteArray page = store.read(id.page);
    const int at = datapage::headerSize + 2 * id.row;
    put16(page, at, quint16((u16(page, at) & 0x1FFF) | flags));
    store.write(id.page, page);
}

} // namespace

namespace datapage {

QByteArray fresh(int pageSize, quint32 owner) {
    QByteArray page(pageSize, 0);
    page[0] = char(page::Data);
    page[1] = 0x01;
    put16(page, 2, quint16(pageSize - headerSize));
    if (owner)
        put32(page, 4, owner);
    else
        std::memcpy(page.data() + 4, "LVAL", 4);
    return page;
}

bool fits(const QByteArray& page, int size) {
    return u16(page, 12) < maxRows && u16(page, 2) >= size + 2;
}

int append(QByteArray& page, const QByteArray& row, quint16 flags) {
    const int rows = u16(page, 12);
    const int bottom = rows == 0 ? page.size() : (u16(page, headerSize + 2 * (rows - 1)) & 0x1FFF);
    const int start = bottom - int(row.size());
    std::memcpy(page.data() + start, row.constData(), row.size());
    put16(page, headerSize + 2 * rows, quint16(start | flags));
    put16(page, 12, quint16(rows + 1));
    put16(page, 2, quint16(u16(page, 2) - row.size() - 2));
    return rows;
}

quint32 withRoom(PageStore& store, quint32 ownedMap, quint32 freeMap, quint32 owner, int size, const QString& what) {
    // The page the map's last call gave is tried first: rows added one after another fill it without a search of
    // the owned map. It is taken only as long as it is still this owner's data page that the free map lists.
    thread_local QHash<QPair<const PageStore*, quint32>, quint32> lastPages;
    quint32& last = lastPages[{&store, ownedMap}];
    if (last && last < store.pageCount()) {
        const QByteArray page = store.read(last);
        if (u8(page, 0) == page::Data && (owner ? u32(page, 4) == owner : page.mid(4, 4) == "LVAL") &&
            fits(page, size) && mapHasPage(store, freeMap, last, what))
            return last;
    }
    quint32 found = 0;
    visitMapPagesDown(store, ownedMap, what, [&](quint32 number) {
        const QByteArray page = store.read(number);
        if (u8(page, 0) != page::Data)
            return true;
        if (mapHasPage(store, freeMap, number, what)) {
            if (fits(page, size))
                found = number;
            else
                setMapPage(store, freeMap, number, false);
        }
        return false;
    });
    if (!found) {
        found = store.allocate();
        store.write(found, fresh(store.pageSize(), owner));
        setMapPage(store, ownedMap, found, true);
        setMapPage(store, freeMap, found, true);
    }
    last = found;
    return found;
}

} // namespace datapage

namespace {
void requireWholeRow(const TableDef& table, const QList<Value>& values) {
    if (values.size() != table.columns.size())
        throw Error(Error::Kind::Constraint,
                    QStringLiteral("Table \"%1\" has %2 columns; a row of %3 values was given.")
                        .arg(table.name)
                        .arg(table.columns.size())
                        .arg(values.size()));
}
} // namespace

RowId insertRow(PageStore& store, TableDef& table, QList<Value> values, IndexUpkeep& indexes) {
    requireWholeRow(table, values);
    assignAutoNumbers(table, values);
    const QByteArray row = encodeRow(table, table.maxColumns, values, longValueFields(store, table, values));
    const RowId id = placeRow(store, table, row, 0);
    ++table.rowCount;
    writeDefinitionCounts(store, table);
    indexes.rowInserted(store, table, id, values);
    return id;
}

void updateRow(PageStore& store, TableDef& table, RowId id, QList<Value> values, IndexUpkeep& indexes) {
    requireWholeRow(table, values);
    QByteArray page;
    const RowLocation at = locateRow(store, table, id, &page);
    const QList<Value> before = decodeRow(store, table, page, at);
    for (int i = 0; i < table.columns.size(); ++i) // an auto-number, once given, stays
        if (table.columns[i].flags & 0x44)
            values[i] = before[i];
    QList<QByteArray> kept(table.columns.size());
    for (int i = 0; i < table.columns.size(); ++i)
        if (isLong(table.columns[i]) && values[i] == before[i])
            kept[i] = rawVariable(page, at, table.columns[i]);
    const QList<QByteArray> fields = longValueFields(store, table, values, kept);
    QByteArray row = encodeRow(table, table.maxColumns, values, fields);
    const int room = at.end - at.start;
    if (row.size() <= room) {
        // Fits where it is: padded to the slot, whose end the row's trailer must meet.
        row = encodeRow(table, table.maxColumns, values, fields, room);
        QByteArray current = store.read(at.page);
        std::memcpy(current.data() + at.start, row.constData(), row.size());
        store.write(at.page, current);
    } else {
        // Grown past its slot: the row moves and its first slot keeps a pointer to the copy. The copy is flagged
        // deleted so that scans meet the row once, through its first slot; a copy left by an earlier move is
        // flagged so already and is simply given up.
        const RowId copy = placeRow(store, table, row, deletedFlag);
        QByteArray first = store.read(id.page);
        const RowLocation slot = rowBounds(first, id.page, id.row, store.pageSize(), table.name);
        std::fill(first.begin() + slot.start, first.begin() + slot.end, 0);
        first[slot.start] = char(copy.row);
        put24(first, slot.start + 1, copy.page);
        put16(first, datapage::headerSize + 2 * id.row, quint16(slot.start | movedFlag));
        store.write(id.page, first);
    }
    writeDefinitionCounts(store, table);
    indexes.rowUpdated(store, table, id, before, values);
}

void deleteRow(PageStore& store, TableDef& table, RowId id, IndexUpkeep& indexes) {
    QByteArray page;
    const RowLocation at = locateRow(store, table, id, &page);
    const QList<Value> before = decodeRow(store, table, page, at);
    // Both flags on the first slot, as Access leaves a deleted row; a moved copy is flagged deleted already, and
    // long values stay where they are (nothing points at them any more).
    setSlotFlags(store, id, deletedFlag | movedFlag);
    --table.rowCount;
    writeDefinitionCounts(store, table);
    indexes.rowDeleted(store, table, id, before);
}

} // namespace jet
