// The real file dialog, opened and closed as the user would, in a home of its own: the program writes nothing
// there, although Qt's file dialog on its own would.
#include "catalogue/Failure.h"
#include "dialogs/FileDialog.h"
#include "support/ModalWindow.h"

#include <QDirIterator>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QTemporaryDir* home = nullptr;

QStringList writtenIntoHome() {
    QStringList written;
    QDirIterator it(home->path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        written << it.next().mid(home->path().size());
    return written;
}
} // namespace

class FileDialogTest : public QObject {
    Q_OBJECT

private slots:
    // Runs first, before the program's dialog has been shown in this process: shows that the home the test
    // watches is the one Qt writes to, so that an empty home below means something.
    void qtDialogAloneWritesItsSettings() {
        delete new QFileDialog;
        QVERIFY(writtenIntoHome().contains("/config/QtProject.conf"));
        QVERIFY(QDir(home->filePath("config")).removeRecursively());
    }

    void leavesHomeUntouched_data() {
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("choose");
        QTest::newRow("open, cancelled") << false << false;
        QTest::newRow("save, cancelled") << true << false;
        QTest::newRow("open, a file chosen") << false << true;
    }
    void leavesHomeUntouched() {
        QFETCH(bool, save);
        QFETCH(bool, choose);
        const QTemporaryDir folder;
        const QString file = folder.filePath("figure.lrx");
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        bool chosenInDialog = false;
        whenModalOpens<QFileDialog>([&](QFileDialog* dialog) {
            choose ? void(chosenInDialog = chooseInFileDialog(dialog, file)) : dialog->reject();
        });
        QString chosen;
        try {
            chosen = save ? FileDialog::getSaveFileName(nullptr, "Save", folder.path())
                          : FileDialog::getOpenFileName(nullptr, "Open", folder.path());
        } catch (const Failure& failure) {
            QCOMPARE(failure.number, int(failure::Cancelled));
        }
        QCOMPARE(chosenInDialog, choose);
        QCOMPARE(chosen, choose ? file : QString());
        QCOMPARE(writtenIntoHome(), QStringList());
    }
};

int main(int argc, char* argv[]) {
    // Set before the application exists: Qt settles where user settings go on first use.
    QTemporaryDir fresh;
    home = &fresh;
    qputenv("HOME", QFile::encodeName(fresh.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(fresh.filePath("config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(fresh.filePath("data")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(fresh.filePath("cache")));
    QApplication app(argc, argv);
    FileDialogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_filedialog.moc"
