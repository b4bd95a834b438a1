// Export and import through the main window, with the file dialog and the message box answered by hooks.
#include "app/EntryList.h"
#include "app/frmLumaret.h"
#include "dialogs/FileDialog.h"
#include "dialogs/Pointer.h"
#include "dialogs/frmMsgBox.h"
#include "support/TestCatalogue.h"

#include <QLabel>
#include <QPushButton>
#include <QSemaphore>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>
#include <chrono>
#include <thread>

namespace {
const QString animals = QStringLiteral(
    "INSERT INTO tblCategory VALUES (1, 'Animals'), (2, 'Boats'), (3, 'Cups');"
    "INSERT INTO tblFigure VALUES (10, 1, '  Horse  ', ' Race '), (11, 1, 'Owl', 'Bird'), (20, 2, 'Horse', 'Rocking');"
    "INSERT INTO tblFigurePart VALUES (100, 10, ' Hip '), (101, 10, ''), (102, 10, 'Leg');");

// In place of the schema: a part table with several data columns of different kinds.
const QString severalColumns = QStringLiteral(
    "CREATE TABLE tblCategory (CategoryID INTEGER PRIMARY KEY, CategoryName TEXT);"
    "CREATE TABLE tblFigure (FigureID INTEGER PRIMARY KEY, CategoryID INTEGER, FigureName TEXT, FigureType TEXT);"
    "CREATE TABLE tblFigurePart (FigurePartID INTEGER PRIMARY KEY, FigureID INTEGER NOT NULL, FigurePartName TEXT, "
    "Quantity INTEGER, Note TEXT);");

QByteArray fileContent(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
}

// Runs a file command with the file dialog's answer; the one message it shows is answered OK.
QList<ShownMessage> run(QPushButton* command, const QString& fileName) {
    FileDialog::setNextFileName(fileName);
    frmMsgBox::setNextAnswer(1);
    command->click();
    return frmMsgBox::takeShown();
}

} // namespace

class TransferCommands : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(endTest()); }

    void exportWritesFigure_data() {
        QTest::addColumn<int>("figure");
        QTest::addColumn<QString>("body");
        QTest::newRow("with parts") << 0 << "Horse\r\nRace\r\n Hip !\r\n!\r\nLeg!\r\n";
        QTest::newRow("without parts") << 1 << "Owl\r\nBird\r\n";
    }
    void exportWritesFigure() {
        QFETCH(int, figure);
        QFETCH(QString, body);
        TestCatalogue catalogue(animals);
        frmLumaret* window = startProgram(catalogue);
        QVERIFY(window);
        window->cboFigure->selectEntry(figure);
        const QString path = catalogue.directory() + QStringLiteral("/out"); // no extension added
        writeFile(path, "an earlier and much longer export that must not survive in part");

        const QList<ShownMessage> shown = run(window->cmdExport, path);

        const QString header = "Lumaret Import/ Export file, created " + QDate::currentDate().toString("MM/dd/yy");
        QCOMPARE(fileContent(path), (header + "\r\n" + body).toLatin1());
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, "Figure '" + window->cboFigure->Text() + "' successfully exported to:\r\n" + path);
        QCOMPARE(shown[0].style, qint16(0));
        QCOMPARE(shown[0].caption, QStringLiteral("Export Complete..."));
        const FileDialogRequest asked = FileDialog::takeRequests().value(0);
        QVERIFY(asked.save);
        QCOMPARE(asked.title, QStringLiteral("Save Export File..."));
        QCOMPARE(asked.filter, QStringLiteral("Lumaret Import File (*.lrx)"));
        QCOMPARE(asked.directory, catalogue.directory());
        QCOMPARE(pointer(), Pointer::Default);
    }

    // Nothing is written unless all is well: an existing file stays as it was and no other file appears.
    void exportFailureWritesNothing_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("sentence");
        const QString refused = QStringLiteral("An error, 3421: 'Figure ");
        QTest::newRow("! in a part") << "UPDATE tblFigurePart SET FigurePartName='Le!g' WHERE FigurePartID=102"
                                     << "horse.lrx"
                                     << refused + "'Horse' cannot be exported: part number 3 ('Le!g') holds \"!\"";
        QTest::newRow("CR in the name") << "UPDATE tblFigure SET FigureName='Hor' || char(13) || 'se' WHERE FigureID=10"
                                        << "horse.lrx"
                                        << refused + "'Hor se' cannot be exported: its name holds a line break";
        QTest::newRow("LF in a part") << "UPDATE tblFigurePart SET FigurePartName='L' || char(10) || 'g' WHERE "
                                         "FigurePartID=102"
                                      << "horse.lrx"
                                      << refused + "'Horse' cannot be exported: part number 3 ('L g') holds a line";
        QTest::newRow("outside Windows-1252")
            << "UPDATE tblFigure SET FigureType='R\u0101ce' WHERE FigureID=10"
            << "horse.lrx" << refused + "'Horse' cannot be exported: its type holds the character '\u0101' (U+0101)";
        QTest::newRow("figure gone meanwhile") << "DELETE FROM tblFigure WHERE FigureID=10"
                                               << "horse.lrx"
                                               << "An error, 3021: 'No current record.'";
        QTest::newRow("missing directory") << ""
                                           << "missing/out.lrx"
                                           << "An error, 75: 'Path/File access error: ";
    }
    void exportFailureWritesNothing() {
        QFETCH(QString, change);
        QFETCH(QString, fileName);
        QFETCH(QString, sentence);
        TestCatalogue catalogue(animals);
        frmLumaret* window = startProgram(catalogue);
        QVERIFY(window);
        catalogue.exec(change);
        const QString existing = catalogue.directory() + QStringLiteral("/horse.lrx");
        writeFile(existing, "kept");
        const QStringList files = QDir(catalogue.directory()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        const QList<ShownMessage> shown = run(window->cmdExport, catalogue.directory() + QLatin1Char('/') + fileName);

        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].text.startsWith(sentence), qPrintable(shown[0].text));
        QCOMPARE(fileContent(existing), QByteArray("kept"));
        QCOMPARE(QDir(catalogue.directory()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), files);
    }

    void cancelShowsNothing_data() {
        QTest::addColumn<bool>("exporting");
        QTest::newRow("export") << true;
        QTest::newRow("import") << false;
    }
    void cancelShowsNothing() {
        QFETCH(bool, exporting);
        TestCatalogue catalogue(animals);
        frmLumaret* window = startProgram(catalogue);
        QVERIFY(window);
        const QStringList before = everyRow(catalogue);
        FileDialog::setNextFileName(QString());
        frmMsgBox::setNextAnswer(1); // there only to catch a message, which must not come

        (exporting ? window->cmdExport : window->cmdImport)->click();

        QCOMPARE(frmMsgBox::unusedAnswers(), 1);
        ShowMessage(QString(), 0, QString());
        frmMsgBox::takeShown();
        QCOMPARE(FileDialog::takeRequests().value(0).title,
                 exporting ? QStringLiteral("Save Export File...") : QStringLiteral("Open File for Import..."));
        QCOMPARE(QDir(catalogue.directory()).entryList(QDir::Files), QStringList{"data.mdb"});
        QCOMPARE(everyRow(catalogue), before);
    }

    void importNotice_data() {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stored");
        QTest::newRow("new name") << 0 << "Zebra"
                                  << "Zebra";
        QTest::newRow("taken only in another category") << 0 << "Horse"
                                                        << "Horse";
        QTest::newRow("taken in this category") << 1 << "Horse"
                                                << "Horse (imported)";
        QTest::newRow("taken, other case") << 1 << "HORSE"
                                           << "HORSE (imported)";
        QTest::newRow("apostrophes and blanks as read") << 0 << " O'Brien's Horse"
                                                        << " O'Brien's Horse";
    }
    void importNotice() {
        QFETCH(int, category);
        QFETCH(QString, name);
        QFETCH(QString, stored);
        TestCatalogue catalogue(animals);
        frmLumaret* window = startProgram(catalogue);
        QVERIFY(window);
        window->cboCategory->selectEntry(category);
        const QString path = catalogue.directory() + QStringLiteral("/in.lrx");
        writeFile(path, "header\r\n" + name.toLatin1() + "\r\nO'Type\r\nB!\r\nA!\r\n");

        const QList<ShownMessage> shown = run(window->cmdImport, path);

        QString notice =
            "Figure '" + stored + "' has been imported into the '" + window->cboCategory->Text() + "' catgeory.";
        if (stored != name)
            notice += "\r\nNote: there is a figure with this name already in the database. Please rename this figure "
                      "as soon as possible.";
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, notice);
        QCOMPARE(shown[0].caption, QStringLiteral("Import Complete..."));
        QCOMPARE(shown[0].style, qint16(0));
        QCOMPARE(catalogue.rows("SELECT * FROM tblFigure WHERE FigureID=21"),
                 QStringList{QStringLiteral("21|%1|%2|O'Type").arg(category + 1).arg(stored)});
        QCOMPARE(catalogue.rows("SELECT * FROM tblFigurePart WHERE FigureID=21 ORDER BY FigurePartID"),
                 (QStringList{"103|21|B", "104|21|A"}));
        // The new figure is shown as if the user had picked it.
        QCOMPARE(window->cboFigure->selectedItemData(), 21);
        QCOMPARE(window->lblFigureType->text(), QStringLiteral("O'Type"));
        QCOMPARE(window->lstFigureParts->ListCount(), 2);
        QCOMPARE(FileDialog::takeRequests().value(0).title, QStringLiteral("Open File for Import..."));
        QCOMPARE(pointer(), Pointer::Default);
    }

    void repeatedImportSuffixesOnce() {
        TestCatalogue catalogue(animals);
        frmLumaret* window = startProgram(catalogue);
        QVERIFY(window);
        const QString path = catalogue.directory() + QStringLiteral("/x.lrx");
        writeFile(path, "H\r\nX\r\nT\r\n");
        QList<bool> notes;
        for (int i = 0; i < 3; ++i)
            notes << run(window->cmdImport, path).value(0).text.contains(QLatin1String("\r\nNote: "));
        QCOMPARE(notes, (QList<bool>{false, true, true}));
        QCOMPARE(catalogue.rows("SELECT FigureName FROM tblFigure WHERE FigureID > 20 ORDER BY FigureID"),
                 (QStringList{"X", "X (imported)", "X (imported)"}));
    }

    void importFailureWritesNothing_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("one line") << QByteArray("H\r\n") << "An error, 62: 'Input past end of file'";
        QTest::newRow("two lines") << QByteArray("H\r\nN") << "An error, 62: 'Input past end of file'";
        QTest::newRow("short part line after good ones")
            << QByteArray("H\r\nN\r\nT\r\nA!1!x!\r\nB!2!y!\r\nC!\r\n") << "An error, 9: ";
        QTest::newRow("piece its column cannot take")
            << QByteArray("H\r\nN\r\nT\r\nA!1!x!\r\nB!two!y!\r\n") << "An error, 3421: ";
        QTest::newRow("refused by the engine") << QByteArray("H\r\nN\r\nT\r\nA!1!x!\r\nB!1!!\r\n") << "An error, ";
        QTest::newRow("no such file") << QByteArray() << "An error, 53: 'File not found'";
    }
    void importFailureWritesNothing() {
        QFETCH(QByteArray, content);
        QFETCH(QString, sentence);
        // The unique note makes the engine refuse the second empty one.
        TestCatalogue catalogue(severalColumns + "CREATE UNIQUE INDEX oneNote ON tblFigurePart (Note);"
                                                 "INSERT INTO tblCategory VALUES (1, 'Animals');"
                                                 "INSERT INTO tblFigure VALUES (5, 1, 'Owl', 'Bird');"
                                                 "INSERT INTO tblFigurePart VALUES (50, 5, 'Wing', 2, '');",
                                false);
        frmLumaret* window = startProgram(catalogue);
        QVERIFY(window);
        const QString path = catalogue.directory() + QStringLiteral("/in.lrx");
        if (!content.isEmpty())
            writeFile(path, content);
        const QStringList before = everyRow(catalogue);

        const QList<ShownMessage> shown = run(window->cmdImport, path);

        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].text.startsWith(sentence), qPrintable(shown[0].text));
        QCOMPARE(everyRow(catalogue), before);
        QCOMPARE(window->cboFigure->ListIndex(), 0); // a refill would have left no figure selected
    }

    void roundTrip_data() {
        QTest::addColumn<QString>("tables");
        QTest::addColumn<QString>("sourceParts");
        QTest::addColumn<QString>("targetRows");
        QTest::addColumn<QStringList>("arrived");
        QTest::newRow("one data column, into empty tables")
            << QString() << "(1, 3, ' Hip '), (2, 3, ''), (3, 3, 'Tail')" << QString()
            << QStringList{"1|1|Knight|Chess", "1|1| Hip ", "2|1|", "3|1|Tail"};
        // A null text comes back as empty text: the file cannot tell them apart. A number column takes the empty
        // text as null again.
        QTest::newRow("text, whole number, null")
            << severalColumns << "(1, 3, 'Hip', 2, NULL), (2, 3, ' Leg ', NULL, 'left'), (3, 3, 'Tail', -7, 'O''Neil')"
            << "INSERT INTO tblFigure VALUES (7, 1, 'Pawn', 'Chess');"
               "INSERT INTO tblFigurePart VALUES (40, 7, 'Pawn', 1, 'x');"
            << QStringList{"8|1|Knight|Chess", "41|8|Hip|2|", "42|8| Leg |<null>|left", "43|8|Tail|-7|O'Neil"};
    }
    void roundTrip() {
        QFETCH(QString, tables);
        QFETCH(QString, sourceParts);
        QFETCH(QString, targetRows);
        QFETCH(QStringList, arrived);
        TestCatalogue source(tables +
                                 "INSERT INTO tblCategory VALUES (1, 'Games');"
                                 "INSERT INTO tblFigure VALUES (3, 1, '  Knight ', ' Chess ');"
                                 "INSERT INTO tblFigurePart VALUES " +
                                 sourceParts,
                             tables.isEmpty());
        TestCatalogue target(tables + "INSERT INTO tblCategory VALUES (1, 'Pieces');" + targetRows, tables.isEmpty());
        const QString path = target.directory() + QStringLiteral("/knight.lrx");

        frmLumaret* window = startProgram(source);
        QVERIFY(window);
        QCOMPARE(run(window->cmdExport, path).value(0).caption, QStringLiteral("Export Complete..."));
        stopProgram();
        window = startProgram(target);
        QVERIFY(window);
        QCOMPARE(run(window->cmdImport, path).value(0).caption, QStringLiteral("Import Complete..."));

        const qint32 id = window->cboFigure->selectedItemData();
        QCOMPARE(target.rows(QStringLiteral("SELECT * FROM tblFigure WHERE FigureID=%1").arg(id)) +
                     target.rows(
                         QStringLiteral("SELECT * FROM tblFigurePart WHERE FigureID=%1 ORDER BY FigurePartID").arg(id)),
                 arrived);
    }

    // Another copy of the program holds the write lock and is adding rows with the next identifiers; the
    // import must wait for it and then take the identifiers after them.
    void importWaitsForAnotherWriter() {
        TestCatalogue catalogue(animals);
        frmLumaret* window = startProgram(catalogue);
        QVERIFY(window);
        const QString path = catalogue.directory() + QStringLiteral("/in.lrx");
        writeFile(path, "H\r\nN\r\nT\r\nA!\r\n");
        QSemaphore locked;
        std::thread other([&] {
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
                db.setDatabaseName(catalogue.path());
                db.open();
                QSqlQuery q(db);
                q.exec(QStringLiteral("BEGIN IMMEDIATE"));
                q.exec(QStringLiteral("INSERT INTO tblFigure VALUES (21, 1, 'Theirs', 'T')"));
                q.exec(QStringLiteral("INSERT INTO tblFigurePart VALUES (103, 21, 'Theirs')"));
                locked.release();
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                q.exec(QStringLiteral("COMMIT"));
            }
            QSqlDatabase::removeDatabase(QStringLiteral("other"));
        });
        locked.acquire();
        const QList<ShownMessage> shown = run(window->cmdImport, path);
        other.join();

        QVERIFY2(shown.value(0).caption == QLatin1String("Import Complete..."), qPrintable(shown.value(0).text));
        QCOMPARE(catalogue.rows("SELECT * FROM tblFigurePart WHERE FigurePartID > 102 ORDER BY FigurePartID"),
                 (QStringList{"103|21|Theirs", "104|22|A"}));
    }
};

QTEST_MAIN(TransferCommands)
#include "tst_transfercommands.moc"
