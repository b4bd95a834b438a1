#pragma once

// Whether a table of a file can be changed by this code at all, asked before the first change so that the user
// hears why in one sentence rather than meeting a half-refused edit.

#include "access/jet/FilePageStore.h"
#include "access/jet/IndexUpkeep.h"

#include <optional>

namespace jet {

std::optional<QString> whyNotWritable(FilePageStore& store, const TableDef& table, IndexUpkeep& indexes);

} // namespace jet
