#include "dialogs/FileDialog.h"

#include "catalogue/Failure.h"
#include "dialogs/UseOnceAnswers.h"

#include <QFileDialog>

namespace {
UseOnceAnswers<QString, FileDialogRequest> hook;

Failure cancelled() {
    return {failure::Cancelled, QStringLiteral("Cancel was selected.")};
}
} // namespace

const QString FileDialog::filter = QStringLiteral("Lumaret Import File (*.lrx)");

QString FileDialog::getOpenFileName(QWidget* parent, const QString& title, const QString& directory) {
    return choose(parent, {false, title, filter, directory});
}

QString FileDialog::getSaveFileName(QWidget* parent, const QString& title, const QString& directory) {
    return choose(parent, {true, title, filter, directory});
}

QString FileDialog::choose(QWidget* parent, const FileDialogRequest& request) {
    QString fileName;
    if (const std::optional<QString> answer = hook.take(request)) {
        fileName = *answer;
    } else {
        QFileDialog dialog(parent, request.title, request.directory, request.filter);
        dialog.setObjectName(QStringLiteral("dlgOpen"));
        // Opening needs a file that is there; saving may name a new one and asks before replacing one.
        dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (dialog.exec() == QDialog::Accepted)
            fileName = dialog.selectedFiles().value(0);
    }
    if (fileName.isEmpty())
        throw cancelled();
    return fileName;
}

void FileDialog::setNextFileName(const QString& fileName) {
    hook.give(fileName);
}

int FileDialog::unusedFileNames() {
    return hook.unused();
}

QList<FileDialogRequest> FileDialog::takeRequests() {
    return hook.takeRequests();
}
