// The journal that makes FilePageStore::commit all or nothing. Layout: magic, original file length, page size,
// page count; per page its number and original image; a checksum of all that; the commit marker. A journal
// without its marker or with a wrong checksum was torn before the file was touched, so it is simply removed.

#include "access/jet/Bytes.h"
#include "access/jet/FilePageStore.h"
#include "access/jet/JetError.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace jet {

namespace {

const QByteArray magic("LMJRNL01");
const QByteArray marker("COMMITOK");

quint64 checksum(const char* data, qsizetype length) {
    quint64 h = 1469598103934665603ULL;
    for (qsizetype i = 0; i < length; ++i)
        h = (h ^ quint8(data[i])) * 1099511628211ULL;
    return h;
}

Error ioError(const QString& what) {
    const bool full = errno == ENOSPC || errno == EDQUOT || errno == EFBIG;
    return Error(full ? Error::Kind::DiskFull : Error::Kind::Io,
                 QStringLiteral("%1: %2.").arg(what, QString::fromLocal8Bit(std::strerror(errno))));
}

bool writeAll(int fd, const char* data, qint64 length, qint64 offset) {
    while (length > 0) {
        const ssize_t done = ::pwrite(fd, data, size_t(length), offset);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            if (done == 0)
                errno = EIO;
            return false;
        }
        data += done, length -= done, offset += done;
    }
    return true;
}

void syncFolder(const QString& file) {
    const int dir = ::open(QFile::encodeName(QFileInfo(file).absolutePath()).constData(), O_RDONLY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace

void FilePageStore::writeJournal(qint64 originalLength) {
    QByteArray body = magic;
    QByteArray field(8, 0);
    qToLittleEndian<qint64>(originalLength, field.data());
    body += field;
    field.resize(4);
    qToLittleEndian<qint32>(pageSize_, field.data());
    body += field;
    QList<quint32> kept;
    for (auto it = pending_.cbegin(); it != pending_.cend(); ++it)
        if (it.key() < filePages_)
            kept << it.key();
    qToLittleEndian<qint32>(kept.size(), field.data());
    body += field;
    for (quint32 page : kept) {
        qToLittleEndian<quint32>(page, field.data());
        body += field;
        QByteArray original(pageSize_, 0);
        if (::pread(fd_, original.data(), pageSize_, qint64(page) * pageSize_) != pageSize_)
            throw ioError(QStringLiteral("%1: page %2 cannot be read for the journal").arg(path_).arg(page));
        body += original;
    }
    field.resize(8);
    qToLittleEndian<quint64>(checksum(body.constData(), body.size()), field.data());
    body += field + marker;

    const QString journal = journalPath(path_);
    const int fd = ::open(QFile::encodeName(journal).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw ioError(QStringLiteral("%1: the journal %2 cannot be created").arg(path_, journal));
    const bool ok = writeAll(fd, body.constData(), body.size(), 0) && ::fsync(fd) == 0;
    const int saved = errno;
    ::close(fd);
    if (!ok) {
        errno = saved;
        const Error error = ioError(QStringLiteral("%1: the journal %2 cannot be written").arg(path_, journal));
        ::unlink(QFile::encodeName(journal).constData());
        throw error;
    }
    syncFolder(journal);
}

void FilePageStore::removeJournal() {
    ::unlink(QFile::encodeName(journalPath(path_)).constData());
    syncFolder(path_);
}

void FilePageStore::restoreFromJournal(const QByteArray& journal) {
    const qint64 length = qFromLittleEndian<qint64>(journal.constData() + 8);
    const int size = qFromLittleEndian<qint32>(journal.constData() + 16);
    const int count = qFromLittleEndian<qint32>(journal.constData() + 20);
    qint64 at = 24;
    for (int i = 0; i < count; ++i, at += 4 + size) {
        const quint32 page = qFromLittleEndian<quint32>(journal.constData() + at);
        if (!writeAll(fd_, journal.constData() + at + 4, size, qint64(page) * size))
            throw ioError(QStringLiteral("%1: page %2 cannot be restored from the journal").arg(path_).arg(page));
    }
    if (::ftruncate(fd_, length) != 0 || ::fsync(fd_) != 0)
        throw ioError(QStringLiteral("%1 cannot be restored from the journal").arg(path_));
}

void FilePageStore::recoverJournal() {
    QFile file(journalPath(path_));
    if (!file.open(QIODevice::ReadOnly))
        throw Error(
            Error::Kind::Io,
            QStringLiteral("%1 has an unfinished change whose journal %2 cannot be read.").arg(path_, file.fileName()));
    const QByteArray journal = file.readAll();
    file.close();
    bool complete = journal.size() >= 24 + 16 && journal.startsWith(magic) && journal.endsWith(marker);
    if (complete) {
        const int size = qFromLittleEndian<qint32>(journal.constData() + 16);
        const qint64 count = qFromLittleEndian<qint32>(journal.constData() + 20);
        complete = size > 0 && count >= 0 && 24 + count * (4 + size) + 16 == journal.size() &&
                   qFromLittleEndian<quint64>(journal.constData() + journal.size() - 16) ==
                       checksum(journal.constData(), journal.size() - 16);
    }
    if (complete) {
        // The change may have reached the file in part: put the original back, even on a file opened to read.
        int fd = fd_;
        if (mode_ != Mode::ReadWrite) {
            fd_ = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_CLOEXEC);
            if (fd_ < 0) {
                fd_ = fd;
                throw Error(Error::Kind::ReadOnly,
                            QStringLiteral("%1 has an unfinished change to undo, and cannot be written to undo it.")
                                .arg(path_));
            }
        }
        try {
            restoreFromJournal(journal);
        } catch (...) {
            if (fd_ != fd)
                ::close(std::exchange(fd_, fd));
            throw;
        }
        if (fd_ != fd)
            ::close(std::exchange(fd_, fd));
    }
    removeJournal();
}

void FilePageStore::commit() {
    if (pending_.isEmpty())
        return;
    const qint64 originalLength = qint64(filePages_) * pageSize_;
    writeJournal(originalLength);
    int written = 0;
    for (auto it = pending_.cbegin(); it != pending_.cend(); ++it) {
        if (written++ == crashAfterPagesForTesting)
            throw Error(Error::Kind::Io, QStringLiteral("%1: commit stopped for a test.").arg(path_));
        if (!writeAll(fd_, it->constData(), pageSize_, qint64(it.key()) * pageSize_)) {
            const Error error = ioError(QStringLiteral("%1: page %2 cannot be written").arg(path_).arg(it.key()));
            try {
                recoverJournal();
            } catch (...) {
                // The journal stays; the next opening puts the original back.
            }
            throw error;
        }
    }
    if (::fsync(fd_) != 0) {
        const Error error = ioError(QStringLiteral("%1 cannot be written to disk").arg(path_));
        try {
            recoverJournal();
        } catch (...) {
        }
        throw error;
    }
    removeJournal();
    filePages_ = pendingEnd_;
    pending_.clear();
}

} // namespace jet
