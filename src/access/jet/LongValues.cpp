#include "access/jet/LongValues.h"

#include "access/jet/Bytes.h"
#include "access/jet/FilePageStore.h"
#include "access/jet/JetError.h"
#include "access/jet/RowWriter.h"
#include "access/jet/UsageMap.h"

namespace jet {

namespace {

constexpr quint8 inlineKind = 0x80, singlePage = 0x40;
constexpr int headerSize = 12;

struct Piece {
    QByteArray page;
    RowLocation at;
};

Piece longValueRow(PageStore& store, const TableDef& table, RowPointer pointer) {
    Piece piece{store.read(pointer.page), {}};
    if (u8(piece.page, 0) != page::Data)
        damaged(QStringLiteral("Table \"%1\": a long value points at page %2, which is not a data page.")
                    .arg(table.name)
                    .arg(pointer.page));
    piece.at = rowBounds(piece.page, pointer.page, pointer.row, store.pageSize(),
                         QStringLiteral("Table \"%1\" (a long value)").arg(table.name));
    if (piece.at.flags & 0x8000)
        damaged(QStringLiteral("Table \"%1\": a long value on page %2 was deleted.").arg(table.name).arg(pointer.page));
    return piece;
}

} // namespace

QByteArray readLongValue(PageStore& store, const TableDef& table, const QByteArray& field) {
    if (field.size() < headerSize)
        damaged(QStringLiteral("Table \"%1\": a memo or OLE value of %2 bytes lacks its header.")
                    .arg(table.name)
                    .arg(field.size()));
    const qint64 length = u24(field, 0);
    const quint8 kind = u8(field, 3);
    if (kind & inlineKind) {
        if (field.size() - headerSize < length)
            damaged(QStringLiteral("Table \"%1\": an inline memo or OLE value is cut short.").arg(table.name));
        return field.mid(headerSize, length);
    }
    RowPointer pointer = RowPointer::from(u32(field, 4));
    if (kind & singlePage) {
        const Piece piece = longValueRow(store, table, pointer);
        if (piece.at.end - piece.at.start < length)
            damaged(QStringLiteral("Table \"%1\": a memo or OLE value on page %2 is cut short.")
                        .arg(table.name)
                        .arg(pointer.page));
        return piece.page.mid(piece.at.start, length);
    }
    QByteArray data;
    for (int hops = 0; data.size() < length; ++hops) {
        if (pointer.page == 0 || hops > 100000)
            damaged(QStringLiteral("Table \"%1\": the chain of a memo or OLE value ends early.").arg(table.name));
        const Piece piece = longValueRow(store, table, pointer);
        if (piece.at.end - piece.at.start < 4)
            damaged(QStringLiteral("Table \"%1\": a link of a memo or OLE value on page %2 is too short.")
                        .arg(table.name)
                        .arg(pointer.page));
        data += piece.page.mid(piece.at.start + 4, piece.at.end - piece.at.start - 4);
        pointer = RowPointer::from(u32(piece.page, piece.at.start));
    }
    data.truncate(length);
    return data;
}

namespace {

constexpr int maxInline = 64, maxPiece = 4076;

// A long-value page with room for the piece. A column with its own maps of long-value pages takes the last of
// them that has room, or a new one recorded there. Without such maps the pages belong to no map at all, so a page
// from before this change may hold another table's values: only a page this change added is filled further.
RowPointer placePiece(PageStore& store, const TableDef& table, const ColumnDef& column, const QByteArray& piece) {
    quint32 number = 0;
    QByteArray page;
    if (column.longValueOwnedMap && column.longValueFreeMap) {
        number = datapage::withRoom(store, column.longValueOwnedMap, column.longValueFreeMap, 0, piece.size(),
                                    QStringLiteral("column \"%1\" of table \"%2\"").arg(column.name, table.name));
        page = store.read(number);
    } else {
        const quint32 last = store.pageCount() - 1;
        const auto* file = dynamic_cast<const FilePageStore*>(&store);
        if (file && file->isNewPage(last))
            page = store.read(last);
        number = last;
        if (page.isEmpty() || page.mid(4, 4) != "LVAL" || !datapage::fits(page, piece.size())) {
            number = store.allocate();
            page = datapage::fresh(store.pageSize(), 0);
        }
    }
    const int slot = datapage::append(page, piece, 0);
    store.write(number, page);
    return {number, quint8(slot)};
}

} // namespace

QByteArray writeLongValue(PageStore& store, const TableDef& table, const ColumnDef& column, const QByteArray& data,
                          int inlineRoom) {
    if (data.size() > 0xFFFFFF)
        throw Error(Error::Kind::Constraint,
                    QStringLiteral("Table \"%1\": a memo or OLE value of %2 bytes is too large.")
                        .arg(table.name)
                        .arg(data.size()));
    QByteArray field(headerSize, 0);
    put24(field, 0, quint32(data.size()));
    if (data.size() <= maxInline && data.size() <= inlineRoom) {
        field[3] = char(inlineKind);
        return field + data;
    }
    if (data.size() <= maxPiece) {
        field[3] = char(singlePage);
        put32(field, 4, placePiece(store, table, column, data).raw());
        return field;
    }
    // A chain, written from its end so that every link knows the next one.
    const int chunk = maxPiece - 4;
    RowPointer next;
    for (qsizetype at = (data.size() - 1) / chunk * chunk; at >= 0; at -= chunk) {
        QByteArray piece(4, 0);
        put32(piece, 0, next.raw());
        next = placePiece(store, table, column, piece + data.mid(at, chunk));
    }
    put32(field, 4, next.raw());
    return field;
}

} // namespace jet
