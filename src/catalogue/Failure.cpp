#include "catalogue/Failure.h"
#include "catalogue/Text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <filesystem>
#include <limits>
#include <new>
#include <sys/stat.h>

const char* Failure::what() const noexcept {
    whatText = QStringLiteral("%1: %2").arg(number).arg(description).toUtf8();
    return whatText.constData();
}

Failure Failure::withNumber(qint32 number, QString description, bool fromEngine) {
    Failure made(FailureNumber::EngineWithoutCode, std::move(description));
    made.number = number;
    made.fromEngine = fromEngine;
    return made;
}

QString errorSentence(const Failure& failure) {
    return QStringLiteral("An error, ") + QString::number(failure.number) + QStringLiteral(": '") +
           failure.description + QStringLiteral("' has occurred.");
}

QString startupReport(const QString& headline, const Failure& failure) {
    const QString line = QStringLiteral("Error %1: %2").arg(failure.number).arg(failure.description);
    return headline.isEmpty() ? line : headline + QStringLiteral("\r\n\r\n") + line;
}

QString terminalReport(const QString& tool, const std::exception& exception) {
    return tool + QStringLiteral(": ") + errorSentence(failure::fromException(exception));
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
namespace {
QString shownPath(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}
} // namespace

Failure pathFileAccess(const QString& path, const QString& reason) {
    return {PathFileAccessError, QStringLiteral("Path/File access error: '%1' (%2)").arg(shownPath(path), reason)};
}
QString whyNoFile(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) == 0)
        return {};
    if (errno == ELOOP)
        return QStringLiteral("a loop of symbolic links, which leads to no file");
    if (errno == ENOTDIR)
        for (QFileInfo up(QFileInfo(path).absolutePath()); !up.isRoot(); up = QFileInfo(up.absolutePath()))
            if (up.exists() && !up.isDir())
                return QStringLiteral("'%1' on its way is a file, not a folder").arg(shownPath(up.filePath()));
    if (const QFileInfo link(path); link.isSymLink())
        return QStringLiteral("a symbolic link to '%1', which does not exist")
            .arg(QDir::toNativeSeparators(link.symLinkTarget()));
    return {};
}
Failure diskFull(const QString& path, const QString& reason) {
    return {PathFileAccessError,
            QStringLiteral("The disk is full: '%1' could not be written (%2).")
                .arg(shownPath(path), reason.endsWith(QLatin1Char('.')) ? reason.chopped(1) : reason)};
}
// Every identifier column is named after the table it identifies: CategoryID is tblCategory's.
Failure notAnIdentifier(const QString& column, const QVariant& value, const QString& row) {
    const bool number = value.typeId() == QMetaType::Double || isWholeNumber(value);
    const QString shown = number ? value.toString() : QLatin1Char('\'') + value.toString() + QLatin1Char('\'');
    const QString table = QStringLiteral("tbl") + column.chopped(2);
    return {TypeMismatch, QStringLiteral("Type mismatch: in table '%1', %2 holds %3 in column '%4', which takes "
                                         "only whole-number identifiers. Correct that row, then try again.")
                              .arg(table, row, shown, column)};
}
std::optional<Failure> notRegularFile(const QString& path) {
    std::error_code error;
    switch (std::filesystem::status(QFile::encodeName(path).toStdString(), error).type()) {
    case std::filesystem::file_type::directory:
        return pathFileAccess(path, QStringLiteral("a folder, not a file"));
    case std::filesystem::file_type::fifo:
        return pathFileAccess(path, QStringLiteral("a named pipe, not a regular file"));
    case std::filesystem::file_type::character:
    case std::filesystem::file_type::block:
        return pathFileAccess(path, QStringLiteral("a device, not a regular file"));
    case std::filesystem::file_type::socket:
        return pathFileAccess(path, QStringLiteral("a socket, not a regular file"));
    default:
        return std::nullopt;
    }
}
Failure fileAlreadyExists(const QString& path, const QString& remedy) {
    return {FileAlreadyExists, QStringLiteral("File already exists: '%1' (%2)").arg(shownPath(path), remedy)};
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
