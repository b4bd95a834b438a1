#include "access/jet/LongValues.h"

#include "access/jet/Bytes.h"
#include "access/jet/JetError.h"
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

} // namespace jet
