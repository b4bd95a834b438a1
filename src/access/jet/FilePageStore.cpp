#include "access/jet/FilePageStore.h"

#include "access/jet/Bytes.h"
#include "access/jet/JetError.h"
#include "access/jet/UsageMap.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace jet {

namespace {

QString errnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The header past offset 0x18 is masked with a fixed RC4 key stream; its fields (the encoding key, the password)
// are only readable once unmasked.
QByteArray headerMask(int length) {
    const quint8 key[4] = {0xC7, 0xDA, 0x39, 0x6B};
    quint8 s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = quint8(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % 4]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    QByteArray out(length, 0);
    for (int n = 0, i = 0, j = 0; n < length; ++n) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        out[n] = char(s[(s[i] + s[j]) & 0xFF]);
    }
    return out;
}

} // namespace

FilePageStore::FilePageStore(const QString& path, Mode mode) : path_(path), mode_(mode) {
    const QByteArray native = QFile::encodeName(path);
    if (mode == Mode::ReadWrite) {
        const QString folder = QFileInfo(path).absolutePath();
        if (::access(QFile::encodeName(folder).constData(), W_OK) != 0)
            throw Error(Error::Kind::ReadOnly,
                        QStringLiteral("%1 cannot be changed: its folder %2 is read-only, and a change needs a journal "
                                       "file beside it.")
                            .arg(path, folder));
    }
    fd_ = ::open(native.constData(), (mode == Mode::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd_ < 0) {
        const bool refused = errno == EACCES || errno == EROFS || errno == EPERM;
        throw Error(refused && mode == Mode::ReadWrite ? Error::Kind::ReadOnly : Error::Kind::Io,
                    QStringLiteral("%1 cannot be opened: %2.").arg(path, errnoText()));
    }
    try {
        if (QFileInfo::exists(journalPath(path)))
            recoverJournal();
        readHeader();
    } catch (...) {
        ::close(fd_);
        throw;
    }
}

FilePageStore::~FilePageStore() {
    if (fd_ >= 0)
        ::close(fd_);
}

void FilePageStore::readHeader() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        throw Error(Error::Kind::Io, QStringLiteral("%1 cannot be read: %2.").arg(path_, errnoText()));
    QByteArray header(4096, 0);
    const ssize_t got = ::pread(fd_, header.data(), header.size(), 0);
    if (got < 0x100 || (header.mid(4, 15) != "Standard Jet DB" && header.mid(4, 15) != "Standard ACE DB"))
        throw Error(Error::Kind::Unsupported, QStringLiteral("%1 is not an Access database.").arg(path_));
    switch (u8(header, 0x14)) {
    case 0:
        version_ = Version::Jet3;
        break;
    case 1:
        version_ = Version::Jet4;
        break;
    case 2:
        version_ = Version::Ace12;
        break;
    case 3:
        version_ = Version::Ace14;
        break;
    case 5:
        version_ = Version::Ace16;
        break;
    case 6:
        version_ = Version::Ace17;
        break;
    default:
        throw Error(Error::Kind::Unsupported,
                    QStringLiteral("%1 is an Access database of a version this program does not know (%2).")
                        .arg(path_)
                        .arg(u8(header, 0x14)));
    }
    pageSize_ = version_ == Version::Jet3 ? 2048 : 4096;
    if (st.st_size % pageSize_ != 0)
        damaged(QStringLiteral("%1 ends in the middle of page %2: the file was cut short.")
                    .arg(path_)
                    .arg(st.st_size / pageSize_));
    filePages_ = quint32(st.st_size / pageSize_);
    pendingEnd_ = filePages_;
    if (version_ != Version::Jet3) {
        const QByteArray mask = headerMask(128);
        for (int i = 0; i < mask.size(); ++i)
            header[0x18 + i] = char(header[0x18 + i] ^ mask[i]);
        encrypted_ = u32(header, 0x3E) != 0;
        // The password is masked once more with the whole days of the creation date.
        double created = 0;
        std::memcpy(&created, header.constData() + 0x72, 8);
        quint8 dateMask[4];
        qToLittleEndian<qint32>(qint32(created), dateMask);
        for (int i = 0; i < 40; ++i)
            if ((u8(header, 0x42 + i) ^ dateMask[i % 4]) != 0)
                hasPassword_ = true;
    }
}

quint32 FilePageStore::pageCount() const {
    return pendingEnd_;
}

QByteArray FilePageStore::read(quint32 page) const {
    if (auto it = pending_.constFind(page); it != pending_.constEnd())
        return *it;
    if (page >= pendingEnd_)
        damaged(QStringLiteral("%1: page %2 lies beyond the end of the file (%3 pages): the file was cut short or a "
                               "pointer is wrong.")
                    .arg(path_)
                    .arg(page)
                    .arg(pendingEnd_));
    if (page >= filePages_)
        return QByteArray(pageSize_, 0);
    QByteArray bytes(pageSize_, 0);
    qint64 done = 0;
    while (done < pageSize_) {
        const ssize_t got = ::pread(fd_, bytes.data() + done, pageSize_ - done, qint64(page) * pageSize_ + done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw Error(Error::Kind::Io,
                        QStringLiteral("%1: page %2 cannot be read: %3.").arg(path_).arg(page).arg(errnoText()));
        if (got == 0)
            damaged(QStringLiteral("%1: page %2 is cut short.").arg(path_).arg(page));
        done += got;
    }
    return bytes;
}

void FilePageStore::write(quint32 page, const QByteArray& bytes) {
    if (mode_ != Mode::ReadWrite)
        throw Error(Error::Kind::ReadOnly, QStringLiteral("%1 was opened for reading only.").arg(path_));
    if (bytes.size() != pageSize_ || page >= pendingEnd_ || page == 0)
        throw Error(
            Error::Kind::Io,
            QStringLiteral("%1: refused a write of %2 bytes to page %3.").arg(path_).arg(bytes.size()).arg(page));
    pending_.insert(page, bytes);
}

quint32 FilePageStore::allocate() {
    if (mode_ != Mode::ReadWrite)
        throw Error(Error::Kind::ReadOnly, QStringLiteral("%1 was opened for reading only.").arg(path_));
    const quint32 page = pendingEnd_++;
    pending_.insert(page, QByteArray(pageSize_, 0));
    // Access takes free pages from the file's global map; a page past its range would count as free there.
    markPageInUse(*this, page);
    return page;
}

void FilePageStore::rollback() {
    pending_.clear();
    pendingEnd_ = filePages_;
}

} // namespace jet
