// The real file dialog, once each way: what it offers, and how a choice and a cancel come back.
#include "app/modLumaretStart.h"
#include "catalogue/Failure.h"
#include "dialogs/FileDialog.h"
#include "support/TestCatalogue.h"

#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {
// Waits for the dialog to be shown, then acts on it as the user would.
void whenShown(const std::function<void(QFileDialog*)>& act) {
    QTimer::singleShot(10, [act] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
            act(dialog);
        else
            whenShown(act);
    });
}
} // namespace

class FileDialogTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(endTest()); }

    void choosingAFile() {
        QTemporaryDir dir;
        modLumaretStart::setExecutableDirectory(dir.path());
        const QString path = dir.filePath(QStringLiteral("horse.lrx"));
        QFile(path).open(QIODevice::WriteOnly);
        QString title, directory;
        QStringList filters;
        whenShown([&](QFileDialog* dialog) {
            title = dialog->windowTitle();
            directory = dialog->directory().absolutePath();
            filters = dialog->nameFilters();
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept(); // runs the file dialog's own checks, as OK does
        });

        QCOMPARE(FileDialog::getOpenFileName(nullptr, QStringLiteral("Open File for Import...")), path);
        QCOMPARE(title, QStringLiteral("Open File for Import..."));
        QCOMPARE(directory, QDir(dir.path()).absolutePath());
        QCOMPARE(filters, QStringList{"Lumaret Import File (*.lrx)"});
    }

    void cancelRaises32755() {
        whenShown([](QFileDialog* dialog) { dialog->reject(); });
        try {
            FileDialog::getSaveFileName(nullptr, QStringLiteral("Save Export File..."));
            QFAIL("a cancelled dialog gave a file name");
        } catch (const Failure& f) {
            QCOMPARE(f.number, 32755);
            QCOMPARE(f.description, QStringLiteral("Cancel was selected."));
        }
    }
};

QTEST_MAIN(FileDialogTest)
#include "tst_filedialog.moc"
