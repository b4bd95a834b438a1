#pragma once

#include <QString>
#include <QtGlobal>

// What the category and figure commands have in common.
namespace editing {

// Asks for a name (new or changed) in the text input; empty when the user gave none.
QString askName(const QString& prompt, const QString& proposed);

// Typed names are kept with a grave accent in place of each apostrophe; that is how the catalogue has always
// held them. Names that arrive in transfer files are not touched.
QString storedName(QString typed);

// Asks before anything is removed for good; true only for Yes. The name goes on a line of its own.
bool confirmDelete(const QString& listedName);

} // namespace editing
