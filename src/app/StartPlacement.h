#pragma once

#include "app/modLumaretStart.h"

#include <optional>

namespace modLumaretStart {

// What this run works on: the catalogue as location::findCatalogue finds it, with the file dialogs beside the
// program in the portable layout and in the user's documents folder otherwise. When no catalogue is found, asks
// whether to make an empty one in the user data folder. Gives nothing when the user says no, or when making it
// failed (the user has been told why); nothing is made then.
std::optional<Placement> findPlacement(const QString& given, const QString& programDirectory);

// The question asked before a catalogue is made at path.
QString createQuestion(const QString& path);

} // namespace modLumaretStart
