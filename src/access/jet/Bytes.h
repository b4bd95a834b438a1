#pragma once

// Little-endian field access on page images. Every read is bounds-checked by the caller's page size; these helpers
// only spell the byte order once.

#include <QByteArray>
#include <QtEndian>

namespace jet {

inline quint8 u8(const QByteArray& b, int at) {
    return quint8(b.at(at));
}
inline quint16 u16(const QByteArray& b, int at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}
inline quint32 u24(const QByteArray& b, int at) {
    return u16(b, at) | (quint32(u8(b, at + 2)) << 16);
}
inline quint32 u32(const QByteArray& b, int at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}
inline void put16(QByteArray& b, int at, quint16 v) {
    qToLittleEndian<quint16>(v, b.data() + at);
}
inline void put32(QByteArray& b, int at, quint32 v) {
    qToLittleEndian<quint32>(v, b.data() + at);
}
inline void put24(QByteArray& b, int at, quint32 v) {
    put16(b, at, quint16(v));
    b[at + 2] = char(v >> 16);
}

// A row pointer as the format stores it: the row's slot in the low byte, the page above it.
struct RowPointer {
    quint32 page = 0;
    quint8 row = 0;
    static RowPointer from(quint32 raw) { return {raw >> 8, quint8(raw & 0xFF)}; }
    quint32 raw() const { return (page << 8) | row; }
};

namespace page {
constexpr quint8 Data = 0x01, TableDef = 0x02, IndexNode = 0x03, IndexLeaf = 0x04, UsageMap = 0x05;
}

} // namespace jet
