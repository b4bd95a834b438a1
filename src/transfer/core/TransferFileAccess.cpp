#include "transfer/core/TransferFileAccess.h"

#include "catalogue/Failure.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

namespace {
Failure accessError(const QString& path, const QString& reason) {
    return {failure::PathFileAccessError,
            QStringLiteral("Path/File access error: '%1' (%2)").arg(QFileInfo(path).absoluteFilePath(), reason)};
}
} // namespace

QByteArray readWholeFile(const QString& path) {
    QFile file(path);
    if (!file.exists())
        throw Failure(failure::FileNotFound, QStringLiteral("File not found"));
    if (!file.open(QIODevice::ReadOnly))
        throw accessError(path, file.errorString());
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw accessError(path, file.errorString());
    return content;
}

namespace {
// A full disk is the likeliest reason a write fails, and one the user can do something about, so it is said in
// plain words; the system's own reason follows in brackets. The file's own text for a refused write is often just
// "Unknown error", so the system's number is asked when there is one.
Failure writeError(const QString& path, const QString& fileReason, int systemError) {
    const QString reason = systemError != 0 ? QString::fromLocal8Bit(std::strerror(systemError)) : fileReason;
    if (systemError == ENOSPC || systemError == EDQUOT)
        return {failure::PathFileAccessError, QStringLiteral("The disk is full: '%1' could not be written (%2).")
                                                  .arg(QFileInfo(path).absoluteFilePath(), reason)};
    return accessError(path, reason);
}
} // namespace

void saveWholeFile(const QString& path, const QByteArray& content) {
    QSaveFile file(path);
    // Unbuffered, so that a write the system refuses fails here with the system's reason; through the buffer it
    // only showed at the commit, as "Unknown error".
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw accessError(path, file.errorString());
    errno = 0;
    if (file.write(content) != content.size()) {
        const int systemError = errno;
        const QString reason = file.errorString();
        file.cancelWriting();
        throw writeError(path, reason, systemError);
    }
    errno = 0;
    if (!file.commit())
        throw writeError(path, file.errorString(), errno);
}
