#include "access/jet/Bytes.h"
#include "access/jet/JetError.h"
#include "access/jet/RowCodec.h"

namespace jet {

namespace {

QByteArray dataPage(PageStore& store, const TableDef& table, quint32 number) {
    QByteArray page = store.read(number);
    if (u8(page, 0) != page::Data)
        damaged(QStringLiteral("Table \"%1\": page %2, listed as one of its data pages, is of type %3.")
                    .arg(table.name)
                    .arg(number)
                    .arg(u8(page, 0)));
    if (u32(page, 4) != table.definitionPage)
        damaged(QStringLiteral("Table \"%1\": data page %2 belongs to the table defined at page %3.")
                    .arg(table.name)
                    .arg(number)
                    .arg(u32(page, 4)));
    return page;
}

// Follows a moved row's pointer to the bytes of its data; the copy is flagged deleted so scans skip it.
RowLocation followMove(PageStore& store, const TableDef& table, const QByteArray& page, RowLocation at,
                       QByteArray* target) {
    for (int hops = 0; at.flags & 0x4000; ++hops) {
        if (at.end - at.start < 4 || hops > 4)
            damaged(
                QStringLiteral("Table \"%1\", page %2: a moved row's pointer is bad.").arg(table.name).arg(at.page));
        const QByteArray& from = hops == 0 ? page : *target;
        const quint8 slot = u8(from, at.start);
        const quint32 number = u24(from, at.start + 1);
        *target = dataPage(store, table, number);
        at = rowBounds(*target, number, slot, store.pageSize(), QStringLiteral("Table \"%1\"").arg(table.name));
        at.flags &= 0x4000; // the copy is marked deleted on purpose; a further move is followed
    }
    return at;
}

} // namespace

void scanRowFields(PageStore& store, const TableDef& table, const RowFieldsCallback& callback) {
    const QString what = QStringLiteral("table \"%1\"").arg(table.name);
    const QString rowsOf = QStringLiteral("Table \"%1\"").arg(table.name);
    quint32 live = 0;
    for (quint32 number : mapPages(store, table.usageMapOwned, what)) {
        const QByteArray page = store.read(number);
        if (u8(page, 0) != page::Data || u32(page, 4) != table.definitionPage) {
            // Index pages are in the map too; anything else here is damage.
            if (u8(page, 0) == page::IndexNode || u8(page, 0) == page::IndexLeaf || u8(page, 0) == page::UsageMap ||
                page.mid(4, 4) == "LVAL")
                continue;
            dataPage(store, table, number);
        }
        const int rows = u16(page, 12);
        for (int slot = 0; slot < rows; ++slot) {
            RowLocation at = rowBounds(page, number, slot, store.pageSize(), rowsOf);
            if (at.flags & 0x8000)
                continue;
            QByteArray target;
            const RowLocation data = followMove(store, table, page, at, &target);
            ++live;
            callback(RowId{number, quint8(slot)}, RowFields(store, table, at.flags & 0x4000 ? target : page, data));
        }
    }
    if (live != table.rowCount)
        damaged(QStringLiteral("Table \"%1\" holds %2 rows where its definition (page %3) counts %4: rows are lost or "
                               "the file is damaged.")
                    .arg(table.name)
                    .arg(live)
                    .arg(table.definitionPage)
                    .arg(table.rowCount));
}

void scanRows(PageStore& store, const TableDef& table, const RowCallback& callback) {
    scanRowFields(store, table, [&](RowId id, const RowFields& fields) {
        QList<Value> values;
        values.reserve(table.columns.size());
        for (const ColumnDef& column : table.columns)
            values << fields.value(column);
        callback(id, values);
    });
}

RowLocation locateRow(PageStore& store, const TableDef& table, RowId id, QByteArray* page) {
    const QByteArray first = dataPage(store, table, id.page);
    const RowLocation at =
        rowBounds(first, id.page, id.row, store.pageSize(), QStringLiteral("Table \"%1\"").arg(table.name));
    if (at.flags & 0x8000)
        throw Error(Error::Kind::Constraint, QStringLiteral("Table \"%1\" has no row %2 on page %3: it was deleted.")
                                                 .arg(table.name)
                                                 .arg(id.row)
                                                 .arg(id.page));
    *page = first;
    if (!(at.flags & 0x4000))
        return at;
    QByteArray target;
    const RowLocation data = followMove(store, table, first, at, &target);
    *page = target;
    return data;
}

QList<Value> readRow(PageStore& store, const TableDef& table, RowId id) {
    QByteArray page;
    const RowLocation at = locateRow(store, table, id, &page);
    return decodeRow(store, table, page, at);
}

} // namespace jet
