#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// How Access values are written into the SQLite catalogue. Nothing here touches libmdb, so each rule can be
// checked on its own, including values the sample files do not hold.
namespace jet {

// Access keeps a date/time as days since 1899-12-30 with the time of day as the fraction. Before that day the
// whole part counts backwards while the fraction still counts forwards (-1.25 is 1899-12-29 06:00). Seconds are
// rounded as Access shows them. Gives "YYYY-MM-DD HH:MM:SS", or "YYYY-MM-DD" when the time is midnight, and nothing
// for values outside the years Access itself allows (100 to 9999).
std::optional<QString> dateTimeText(double days);

// A currency value is a whole number of ten-thousandths; it is written out with all four decimals, exactly.
QByteArray currencyText(qint64 tenThousandths);

// A single-precision value as the double with the same shortest text, so that 0.1 stays 0.1 rather than
// becoming 0.100000001490116.
double singleAsDouble(float value);

} // namespace jet
