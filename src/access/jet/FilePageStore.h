#pragma once

// The pages of an Access file on disk. Writes stay in memory until commit(), which goes through a journal beside
// the file so that a crash or a full disk never leaves the file half-written: the journal holds every page's
// original image and the original length, and opening a file whose journal is complete puts those back.

#include "access/jet/JetTypes.h"

#include <QMap>
#include <QString>

namespace jet {

class FilePageStore : public PageStore {
public:
    enum class Mode { ReadOnly, ReadWrite };
    // Throws Error: Io when the file cannot be opened, Unsupported when it is not an Access file, ReadOnly when
    // read-write access (the file or its folder, which the journal needs) is refused; Damaged when it is cut short.
    FilePageStore(const QString& path, Mode mode);
    ~FilePageStore() override;
    FilePageStore(const FilePageStore&) = delete;
    FilePageStore& operator=(const FilePageStore&) = delete;

    Version version() const override { return version_; }
    int pageSize() const override { return pageSize_; }
    quint32 pageCount() const override;
    QByteArray read(quint32 page) const override;
    void write(quint32 page, const QByteArray& bytes) override;
    quint32 allocate() override;

    // Puts every pending page into the file, all or nothing. Throws Error (Io, DiskFull) with the file unchanged.
    void commit();
    // Forgets the pending writes.
    void rollback();
    // Whether the page was added by the change not yet committed (so nothing committed can point into it).
    bool isNewPage(quint32 page) const { return page >= filePages_ && page < pendingEnd_; }

    const QString& path() const { return path_; }
    // Whether the header names a database password or page encryption.
    bool encrypted() const { return encrypted_; }
    bool hasPassword() const { return hasPassword_; }
    static QString journalPath(const QString& path) { return path + QStringLiteral("-journal"); }
    // For tests of the journal: commit stops after writing this many pages, as a crash would, leaving the
    // journal behind. Negative: never.
    static inline int crashAfterPagesForTesting = -1;

private:
    void readHeader();
    void recoverJournal();
    void writeJournal(qint64 originalLength);
    void restoreFromJournal(const QByteArray& journal);
    void removeJournal();

    QString path_;
    Mode mode_;
    int fd_ = -1;
    int pageSize_ = 4096;
    Version version_ = Version::Jet4;
    bool encrypted_ = false, hasPassword_ = false;
    quint32 filePages_ = 0;
    QMap<quint32, QByteArray> pending_;
    quint32 pendingEnd_ = 0; // page count including allocated pages
};

} // namespace jet
