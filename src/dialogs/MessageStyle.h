#pragma once

#include <QtGlobal>

namespace msgbox {
// A message's style: one button set (the low four bits) plus at most one picture (none: the talking picture).
// The numbers are the ones the catalogue program has always used, so a style reads the same in old and new code.
enum class Style : qint16 { OkOnly = 0, OkCancel = 1, YesNoCancel = 3, YesNo = 4, Stop = 16, Information = 64 };
using enum Style;

constexpr Style operator|(Style buttons, Style picture) {
    return Style(qint16(qint16(buttons) | qint16(picture)));
}

// The only place a style is taken apart into its button set and its picture.
constexpr Style buttonsOf(Style style) {
    return Style(qint16(qint16(style) & 0x0f));
}
constexpr Style pictureOf(Style style) {
    return Style(qint16(qint16(style) & ~0x0f));
}

// Which button the user chose; closing the box any other way counts as Cancel.
enum class Answer : qint16 { Ok = 1, Cancel = 2, Yes = 6, No = 7 };
using enum Answer;
} // namespace msgbox
