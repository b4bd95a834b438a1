#include "transfer/core/TransferFileAccess.h"

#include "catalogue/Failure.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

void saveWholeFile(const QString& path, const QByteArray& content) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw accessError(path, file.errorString());
    if (file.write(content) != content.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw accessError(path, reason);
    }
    if (!file.commit())
        throw accessError(path, file.errorString());
}
