#include "catalogue/Failure.h"

#include <limits>

const char* Failure::what() const noexcept {
    whatText = QStringLiteral("%1: %2").arg(number).arg(description).toUtf8();
    return whatText.constData();
}

namespace failure {
Failure overflow() {
    return {Overflow, QStringLiteral("Overflow")};
}
Failure invalidUseOfNull() {
    return {InvalidUseOfNull, QStringLiteral("Invalid use of Null")};
}
Failure noCurrentRecord() {
    return {NoCurrentRecord, QStringLiteral("No current record.")};
}
Failure invalidPropertyArrayIndex() {
    return {InvalidPropertyArrayIndex, QStringLiteral("Invalid property array index")};
}
} // namespace failure

qint16 toInt16(qint64 value) {
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        throw failure::overflow();
    return static_cast<qint16>(value);
}

qint32 toInt32(qint64 value) {
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        throw failure::overflow();
    return static_cast<qint32>(value);
}
