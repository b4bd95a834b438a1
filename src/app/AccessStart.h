#pragma once

#include <QString>

// A user who arrives with an Access catalogue is offered to convert it once into the program's own catalogue. The
// original is kept, renamed, beside the converted file; refusing or any failure leaves the folder as it was.
namespace accessStart {

// Where the original is kept: data.mdb becomes data.access.mdb in the same folder.
QString keptOriginalPath(const QString& cataloguePath);

// What the user is asked, and told when the name to keep the original under is taken; each names the folder on a
// line of its own, shortened to fit the message box.
QString question(const QString& cataloguePath);
QString keptNameTakenNotice(const QString& cataloguePath);

// Asks, converts with progress shown, and swaps the files. True when the catalogue at cataloguePath is now the
// converted one; false, after telling the user why, when it is not (No, a missing table, the kept name taken, ...).
bool offerConversion(const QString& cataloguePath);

} // namespace accessStart
