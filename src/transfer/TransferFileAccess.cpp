#include "transfer/TransferFileAccess.h"

#include "catalogue/Failure.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {
// Looked at before the file is opened: opening a named pipe alone would already wait for a writer.
void requireRegularFile(const QString& path) {
    if (const std::optional<Failure> refused = failure::notRegularFile(path))
        throw *refused;
    std::error_code error;
    const std::filesystem::file_type type =
        std::filesystem::status(QFile::encodeName(path).toStdString(), error).type();
    if (type == std::filesystem::file_type::regular)
        return;
    const QString why = failure::whyNoFile(path);
    if (type == std::filesystem::file_type::not_found && why.isEmpty())
        throw Failure(failure::FileNotFound,
                      QStringLiteral("File not found: '%1'").arg(QFileInfo(path).absoluteFilePath()));
    throw failure::pathFileAccess(path, !why.isEmpty() ? why
                                        : error        ? QString::fromLocal8Bit(error.message())
                                                       : QStringLiteral("not a regular file"));
}
} // namespace

TransferFile::TransferFile(const QString& path)
    : path(path), file(path), reader(
                                  [this](char* into, qsizetype capacity) {
                                      const qint64 got = file.read(into, capacity);
                                      if (got < 0)
                                          throw failure::pathFileAccess(this->path, file.errorString());
                                      return qsizetype(got);
                                  },
                                  QFileInfo(path).absoluteFilePath()) {
    requireRegularFile(path);
    // Unbuffered: the reader keeps a buffer of its own.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw failure::pathFileAccess(path, file.errorString());
}

namespace {
// A full disk is the likeliest reason a write fails, and one the user can do something about, so it is said in
// plain words; the system's own reason follows in brackets. The file's own text for a refused write is often just
// "Unknown error", so the system's number is asked when there is one.
Failure writeError(const QString& path, const QString& fileReason, int systemError) {
    const QString reason = systemError != 0 ? QString::fromLocal8Bit(std::strerror(systemError)) : fileReason;
    if (systemError == ENOSPC || systemError == EDQUOT)
        return failure::diskFull(path, reason);
    return failure::pathFileAccess(path, reason);
}
} // namespace

void saveWholeFile(const QString& path, const QByteArray& content) {
    QSaveFile file(path);
    // Unbuffered, so that a write the system refuses fails here with the system's reason; through the buffer it
    // only showed at the commit, as "Unknown error".
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const QString why = failure::whyNoFile(path);
        throw failure::pathFileAccess(path, why.isEmpty() ? file.errorString() : why);
    }
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
