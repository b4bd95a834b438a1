#include "transfer/Windows1252.h"

namespace windows1252 {
namespace {
// The characters of the bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr char16_t upperControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr int noByte = -1;

int byteOf(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (upperControls[i] == c)
            return 0x80 + i;
    return noByte;
}
} // namespace

QString decode(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char b : bytes) {
        const auto byte = static_cast<unsigned char>(b);
        *out++ = QChar(byte >= 0x80 && byte < 0xA0 ? upperControls[byte - 0x80] : char16_t(byte));
    }
    return text;
}

std::string_view toUtf8(QByteArrayView bytes, std::string& scratch) {
    qsizetype ascii = 0;
    while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80)
        ++ascii;
    if (ascii == bytes.size())
        return std::string_view(bytes.data(), size_t(bytes.size()));
    scratch.assign(bytes.data(), size_t(ascii));
    for (qsizetype i = ascii; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const char16_t c = byte >= 0x80 && byte < 0xA0 ? upperControls[byte - 0x80] : char16_t(byte);
        if (c < 0x80) {
            scratch += char(c);
        } else if (c < 0x800) {
            scratch += char(0xC0 | (c >> 6));
            scratch += char(0x80 | (c & 0x3F));
        } else {
            scratch += char(0xE0 | (c >> 12));
            scratch += char(0x80 | ((c >> 6) & 0x3F));
            scratch += char(0x80 | (c & 0x3F));
        }
    }
    return scratch;
}

qsizetype firstUnencodable(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (byteOf(text[i].unicode()) == noByte)
            return i;
    return -1;
}

void encodeInto(QStringView text, QByteArray& out) {
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* p = out.data() + start;
    for (const QChar c : text) {
        const int byte = byteOf(c.unicode());
        *p++ = static_cast<char>(byte == noByte ? '?' : byte);
    }
}

} // namespace windows1252
