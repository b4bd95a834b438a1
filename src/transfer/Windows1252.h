#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

// Transfer files are single-byte text in Windows-1252, whatever the system's own encoding. The five bytes the
// code page leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control character of the same
// number, so that every byte reads as some character and every text read writes back to the same bytes.
namespace windows1252 {

QString decode(QByteArrayView bytes);

// The same characters as UTF-8, for the engine. Plain ASCII is UTF-8 already and comes back as the very bytes
// given; anything else is written into scratch, which the returned view then refers to.
std::string_view toUtf8(QByteArrayView bytes, std::string& scratch);

// Position of the first character that has no byte in the code page, or -1 when the whole text has one.
qsizetype firstUnencodable(QStringView text);

// Appends the text's bytes; a character without a byte is written as '?'. Callers that must not lose
// characters check firstUnencodable first.
void encodeInto(QStringView text, QByteArray& out);

} // namespace windows1252
