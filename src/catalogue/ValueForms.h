#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// The text forms in which dates and yes/no values arrive in transfer files: the ones this program writes and the
// ones the older system wrote. Each gives the value as the catalogue stores it, or nothing for text that is not one.

// "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS" (or with a T), and the US short forms "M/D/YYYY" and "M/D/YY" (00 to 29
// as 20YY, 30 to 99 as 19YY) with an optional "H:MM[:SS] AM|PM" or 24-hour time. Stored as "YYYY-MM-DD HH:MM:SS", or
// "YYYY-MM-DD" at midnight.
std::optional<QString> storedDate(QStringView text);

// "True"/"False", "Yes"/"No", "On"/"Off" in any case, and the numbers -1, 0 and 1. Stored as 1 or 0.
std::optional<int> storedYesNo(QStringView text);
