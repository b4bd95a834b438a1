#pragma once

struct sqlite3;

// The order in which names are listed and the sense in which two names are the same: case aside for every
// letter, accented letters beside their base letters but not equal to them (Cafe, café and CAFÉ: the last two
// are one name). Statements name it with COLLATE NAMES; every connection the program opens registers it, as
// the engine knows only its own collations.
namespace collation {

inline constexpr char names[] = "NAMES";

// Fails with the engine's number when the engine refuses it, or 51 when the collator cannot be made.
void registerNames(sqlite3* handle);

} // namespace collation
