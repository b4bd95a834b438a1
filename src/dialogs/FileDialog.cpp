#include "dialogs/FileDialog.h"

#include "catalogue/Failure.h"
#include "dialogs/UseOnceAnswers.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace {
// The process's one set of use-once answers for tests (UseOnceAnswers.h says why there is one).
UseOnceAnswers<QString, FileDialogRequest> hook;

// Qt's file dialog writes the folders it visited into the user's Qt settings (~/.config/QtProject.conf) when it
// goes away, even after a cancel, and no option of the dialog stops it. This program writes nothing but the
// catalogue and the files the user names, and keeps no settings of its own, so Qt's user settings are sent
// where no file can ever be made: every write there fails quietly, and every read finds nothing.
void leaveUserSettingsUnwritten() {
    static const bool done = [] {
        for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null"));
        return true;
    }();
    Q_UNUSED(done);
}

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
        leaveUserSettingsUnwritten();
        QFileDialog dialog(parent);
        dialog.setObjectName(QStringLiteral("dlgOpen"));
        // A desktop's own file chooser keeps settings and recent files of its own. Set before anything else, as
        // the dialog decides early which kind it is.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setWindowTitle(request.title);
        dialog.setDirectory(request.directory);
        dialog.setNameFilter(request.filter);
        // Opening needs a file that is there; saving may name a new one and asks before replacing one.
        dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        // Added before the dialog asks about replacing, so that it asks about the file that will be written.
        if (request.save)
            dialog.setDefaultSuffix(QStringLiteral("lrx"));
        if (dialog.exec() == QDialog::Accepted)
            fileName = dialog.selectedFiles().value(0);
    }
    if (fileName.isEmpty())
        throw cancelled();
    // A name typed without an extension gets the transfer files' one, or the import dialog would not offer it.
    if (request.save && QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".lrx");
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
