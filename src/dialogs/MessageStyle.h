#pragma once

#include <QtGlobal>

// A message's style code: one button set, plus one picture (none of the two: the talking picture).
namespace msgbox {
enum Style : qint16 { OkOnly = 0, OkCancel = 1, YesNoCancel = 3, YesNo = 4, Stop = 16, Information = 64 };
// Which button the user chose; closing the box any other way counts as Cancel.
enum Answer : qint16 { Ok = 1, Cancel = 2, Yes = 6, No = 7 };
} // namespace msgbox
