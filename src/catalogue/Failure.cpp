#include "catalogue/Failure.h"

#include <QDir>
#include <QFileInfo>
#include <limits>
#include <new>

const char* Failure::what() const noexcept {
    whatText = QStringLiteral("%1: %2").arg(number).arg(description).toUtf8();
    return whatText.constData();
}

QString errorSentence(const Failure& failure) {
    return QStringLiteral("An error, ") + QString::number(failure.number) + QStringLiteral(": '") +
           failure.description + QStringLiteral("' has occurred.");
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
Failure itemNotFound(const QString& column) {
    if (column.isEmpty())
        return {ItemNotFound, QStringLiteral("Item not found in this collection.")};
    return {ItemNotFound,
            QStringLiteral("Item not found in this collection: the catalogue has no column '%1'.").arg(column)};
}
Failure typeMismatch() {
    return {TypeMismatch, QStringLiteral("Type mismatch")};
}
Failure pathFileAccess(const QString& path, const QString& reason) {
    return {PathFileAccessError, QStringLiteral("Path/File access error: '%1' (%2)")
                                     .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), reason)};
}
Failure fromException(const std::exception& exception) {
    if (const auto* known = dynamic_cast<const Failure*>(&exception))
        return *known;
    if (dynamic_cast<const std::bad_alloc*>(&exception))
        return {OutOfMemory, QStringLiteral("Out of memory")};
    return {InternalError, QStringLiteral("Internal error: %1").arg(QString::fromLocal8Bit(exception.what()))};
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
