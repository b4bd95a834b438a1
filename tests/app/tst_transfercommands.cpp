// Export and import through the main window, with the file dialog and the message box answered by hooks.
#include "app/frmLumaret.h"
#include "dialogs/EntryList.h"
#include "dialogs/FileDialog.h"
#include "dialogs/Pointer.h"
#include "dialogs/frmMsgBox.h"
#include "support/ModalWindow.h"
#include "support/TestCatalogue.h"

#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {
// In place of the schema's part table: one with several data columns of different kinds.
const QString severalColumns =
    QStringLiteral("DROP TABLE tblFigurePart; CREATE TABLE tblFigurePart (FigurePartID INTEGER "
                   "PRIMARY KEY, FigureID INTEGER NOT NULL, FigurePartName TEXT, "
                   "Quantity INTEGER, Note TEXT);");

// The unique note lets a test make the engine refuse a part.
const QString owls = severalColumns +
                     "CREATE UNIQUE INDEX oneNote ON tblFigurePart (Note);"
                     "INSERT INTO tblCategory VALUES (1, 'Animals'), (2, 'Boats');"
                     "INSERT INTO tblFigure VALUES (5, 1, 'Owl', 'Bird'), (6, 2, 'Rocking Horse', 'Toy');"
                     "INSERT INTO tblFigurePart VALUES (50, 5, 'Wing', 2, '');";

// Runs a file command with the file dialog's answer (empty for a cancel; null leaves it to the real dialog) and
// answers OK to the message it may show. Returns the dialog's title, then each message as "text|caption|style".
QStringList run(QPushButton* command, const QString& fileName) {
    if (!fileName.isNull())
        FileDialog::setNextFileName(fileName);
    frmMsgBox::setNextAnswer(msgbox::Ok);
    command->click();
    QStringList shown{FileDialog::takeRequests().value(0).title};
    for (const ShownMessage& message : frmMsgBox::takeShown())
        shown << message.text + QLatin1Char('|') + message.caption + QLatin1Char('|') +
                     QString::number(qint16(message.style));
    takeBackAnswers(); // a cancel shows no message: the answer left for it is not a fault here
    return shown;
}
} // namespace

class TransferCommands : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(endTest()); }

    void roundTrip_data() {
        QTest::addColumn<QString>("tables");
        QTest::addColumn<QString>("sourceParts");
        QTest::addColumn<QString>("targetRows");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("arrived");
        QTest::newRow("one data column, into empty tables")
            << QString() << "(1, 3, ' Hip '), (2, 3, ''), (3, 3, 'Tail')" << QString()
            << "Knight\r\nChess\r\n Hip !\r\n!\r\nTail!\r\n"
            << QStringList{"1|Pieces", "1|1|Knight|Chess", "1|1| Hip ", "2|1|", "3|1|Tail"};
        // The file cannot tell a null text from an empty one; a number column takes the empty text as null again.
        QTest::newRow("text, whole number, null")
            << severalColumns << "(1, 3, 'Hip', 2, NULL), (2, 3, ' Leg ', NULL, 'left'), (3, 3, 'Tail', -7, 'O''Neil')"
            << "INSERT INTO tblFigure VALUES (7, 1, 'Pawn', 'Piece');"
               "INSERT INTO tblFigurePart VALUES (40, 7, 'Pawn', 1, 'x');"
            << "Knight\r\nChess\r\nHip!2!!\r\n Leg !!left!\r\nTail!-7!O'Neil!\r\n"
            << QStringList{"1|Pieces",    "7|1|Pawn|Piece",         "8|1|Knight|Chess",   "40|7|Pawn|1|x",
                           "41|8|Hip|2|", "42|8| Leg |<null>|left", "43|8|Tail|-7|O'Neil"};
        // Beyond plain ASCII on both ways, and fractions, which the writer gives in their shortest form.
        QTest::newRow("fraction and accented letters")
            << severalColumns << "(1, 3, 'Caf\u00E9', 2.5, 'Gr\u00FCn'), (2, 3, 'Tail', -0.125, 'x')" << QString()
            << "Knight\r\nChess\r\nCaf\u00E9!2.5!Gr\u00FCn!\r\nTail!-0.125!x!\r\n"
            << QStringList{"1|Pieces", "1|1|Knight|Chess", "1|1|Caf\u00E9|2.5|Gr\u00FCn", "2|1|Tail|-0.125|x"};
    }
    void roundTrip() {
        QFETCH(QString, tables);
        QFETCH(QString, sourceParts);
        QFETCH(QString, targetRows);
        QFETCH(QString, file);
        QFETCH(QStringList, arrived);
        TestCatalogue source(tables +
                             "INSERT INTO tblCategory VALUES (1, 'Games');"
                             "INSERT INTO tblFigure VALUES (3, 1, '  Knight ', ' Chess ');"
                             "INSERT INTO tblFigurePart VALUES " +
                             sourceParts);
        TestCatalogue target(tables + "INSERT INTO tblCategory VALUES (1, 'Pieces');" + targetRows);
        const QString path = target.directory() + QStringLiteral("/knight.lrx"); // chosen without its extension
        writeFile(path, QByteArray(500, 'x')); // an earlier, longer file, not to survive in part

        START_PROGRAM(window, source);
        const QDate before = QDate::currentDate();
        QCOMPARE(run(ui(window).cmdExport, target.directory() + QStringLiteral("/knight")),
                 (QStringList{"Save Export File...",
                              "Figure 'Knight' successfully exported to:\r\n" + path + "|Export Complete...|0"}));
        const QDate after = QDate::currentDate();
        QCOMPARE(pointer(), Pointer::Default); // busy only while the file was written
        // The header carries the day of the export, which may have turned while it ran.
        const QByteArray written = fileContent(path);
        const QByteArray header = written.left(written.indexOf("\r\n"));
        QVERIFY2(header == "Lumaret Import/ Export file, created " + before.toString("MM/dd/yy").toLatin1() ||
                     header == "Lumaret Import/ Export file, created " + after.toString("MM/dd/yy").toLatin1(),
                 header.constData());
        QCOMPARE(written.mid(header.size() + 2), file.toLatin1());
        stopProgram();
        window = startProgram(target);
        QVERIFY(window);
        QCOMPARE(run(ui(window).cmdImport, path).value(1),
                 "Figure 'Knight' has been imported into the 'Pieces' catgeory.|Import Complete...|0");
        QCOMPARE(ui(window).lblFigureType->text(), QStringLiteral("Chess")); // shown as if the user had picked it
        QCOMPARE(everyRow(target), arrived);
    }

    // Three imports of one file into Boats: the name is looked up once, so the third gets the same suffix.
    void importNamesAndNotice_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("firstClashes");
        QTest::newRow("taken only in another category") << "owl" << false;
        QTest::newRow("taken in this category, other case") << "ROCKING horse" << true;
        QTest::newRow("apostrophes and blanks as read") << " O'Brien's Horse" << false;
        QTest::newRow("taken, other case of an accented letter") << "CAFÉ" << true;
        QTest::newRow("taken only with an accent") << "Cafe" << false;
    }
    void importNamesAndNotice() {
        QFETCH(QString, name);
        QFETCH(bool, firstClashes);
        TestCatalogue catalogue(owls + "INSERT INTO tblFigure VALUES (4, 2, 'Café', 'Cup');");
        START_PROGRAM(window, catalogue);
        ui(window).cboCategory->selectEntry(1);
        const QString path = catalogue.file("in.lrx", "header\r\n" + name.toLatin1() + "\r\nType\r\n");
        const QString note = "\r\nNote: there is a figure with this name already in the database. Please rename this "
                             "figure as soon as possible.";
        QStringList stored;
        for (const bool clash : {firstClashes, true, true}) {
            stored << (clash ? name + " (imported)" : name);
            QCOMPARE(run(ui(window).cmdImport, path).value(1), "Figure '" + stored.last() +
                                                                   "' has been imported into the 'Boats' catgeory." +
                                                                   (clash ? note : "") + "|Import Complete...|0");
        }
        QCOMPARE(catalogue.rows("SELECT FigureName FROM tblFigure WHERE FigureID > 6 AND CategoryID = 2"), stored);
    }

    // A refusal, a failure or a cancel leaves the catalogue, the files and the lists as they were.
    void failureChangesNothing_data() {
        QTest::addColumn<bool>("exporting");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QByteArray>("file"); // an existing file to keep, or the one to import
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("sentence");
        const auto exportRow = [](const char* row, QString change, QString fileName, QString sentence) {
            QTest::newRow(row) << true << change << QByteArray("kept") << fileName << sentence;
        };
        const auto importRow = [](const char* row, QByteArray file, QString fileName, QString sentence) {
            QTest::newRow(row) << false << QString() << file << fileName << sentence;
        };
        const QString refused = QStringLiteral("An error, 3421: 'Figure ");
        exportRow("! in a part", "UPDATE tblFigurePart SET Note='a!b'", "in.lrx",
                  refused + "'Owl' cannot be exported: part number 1 ('Wing') holds \"!\"");
        exportRow("CR in the name", "UPDATE tblFigure SET FigureName='O' || char(13) || 'wl'", "in.lrx",
                  refused + "'O wl' cannot be exported: its name holds a line break");
        // U+0080 is in Latin-1 but not in Windows-1252, whose byte 0x80 is the euro.
        exportRow("outside Windows-1252", "UPDATE tblFigure SET FigureType='B\u0080\u0101'", "in.lrx",
                  refused + "'Owl' cannot be exported: its type holds the character '\u0080' (U+0080)");
        exportRow("figure gone meanwhile", "DELETE FROM tblFigure", "in.lrx", "An error, 3021: 'No current record.'");
        exportRow("missing directory", "", "missing/out.lrx", "An error, 75: 'Path/File access error: ");
        exportRow("export cancelled", "", "", "");
        const QByteArray good("H\r\nN\r\nT\r\nA!1!x!\r\n");
        importRow("two lines", "H\r\nN\r\n", "in.lrx", "An error, 62: 'Input past end of file'");
        importRow("piece its column cannot take", good + "B!two!y!\r\n", "in.lrx", "An error, 3421: ");
        importRow("refused by the engine", good + "B!1!!\r\n", "in.lrx", "An error, "); // a second empty note
        importRow("no such file", good, "none.lrx", "An error, 53: 'File not found: '");
        importRow("import cancelled", good, "", "");
        QTest::newRow("category gone meanwhile")
            << false << "DELETE FROM tblCategory WHERE CategoryID = 1" << good << "in.lrx"
            << "An error, 3021: 'The category with identifier 1 is no";
    }
    void failureChangesNothing() {
        QFETCH(bool, exporting);
        QFETCH(QString, change);
        QFETCH(QByteArray, file);
        QFETCH(QString, fileName);
        QFETCH(QString, sentence);
        TestCatalogue catalogue(owls);
        START_PROGRAM(window, catalogue);
        catalogue.exec(change);
        const QDir dir(catalogue.directory());
        writeFile(dir.filePath("in.lrx"), file);
        const QStringList before = everyRow(catalogue) + dir.entryList(QDir::Files | QDir::Hidden);

        const QStringList shown = run(exporting ? ui(window).cmdExport : ui(window).cmdImport,
                                      fileName.isEmpty() ? fileName : dir.filePath(fileName));

        QVERIFY2(shown.size() == (sentence.isEmpty() ? 1 : 2) && shown.last().startsWith(sentence),
                 qPrintable(shown.join(QLatin1Char('\n'))));
        QCOMPARE(everyRow(catalogue) + dir.entryList(QDir::Files | QDir::Hidden), before);
        QCOMPARE(fileContent(dir.filePath("in.lrx")), file);
        // What another program removed is no longer listed, and a refill selects the first entry it can.
        const MainControls c = ui(window);
        QStringList figures;
        for (int i = 0; i < c.cboFigure->ListCount(); ++i)
            figures << QString::number(c.cboFigure->entries().itemData(i));
        QCOMPARE(listed(*c.cboCategory) + figures,
                 catalogue.rows("SELECT CategoryName FROM tblCategory ORDER BY 1") +
                     catalogue.rows("SELECT FigureID FROM tblFigure JOIN tblCategory USING (CategoryID) WHERE "
                                    "CategoryName = '" +
                                    c.cboCategory->Text() + "'"));
        QCOMPARE(c.cboFigure->ListIndex(), c.cboFigure->ListCount() > 0 ? 0 : -1);
    }

    // The real dialog (whose cancel its own test covers): what it offers, and how a choice comes back.
    void realFileDialog() {
        TestCatalogue catalogue(owls);
        START_PROGRAM(window, catalogue);
        const QString path = catalogue.file("in.lrx", "H\r\nN\r\nT\r\n");
        QStringList offered;
        bool chosen = false;
        whenModalOpens<QFileDialog>([&](QFileDialog* dialog) {
            offered << dialog->windowTitle() << dialog->directory().absolutePath() << dialog->nameFilters();
            chosen = chooseInFileDialog(dialog, path);
        });
        const QStringList shown = run(ui(window).cmdImport, QString());
        QVERIFY(chosen);
        QCOMPARE(offered, (QStringList{"Open File for Import...", QDir(catalogue.directory()).absolutePath(),
                                       "Lumaret Import File (*.lrx)"}));
        QCOMPARE(shown.value(1).section(QLatin1Char('|'), 1), "Import Complete...|0");
    }

    // Another copy of the program holds the write lock while it adds rows with the next identifiers; the import
    // must wait for it and then take the identifiers after them.
    void importWaitsForAnotherWriter() {
        TestCatalogue catalogue(owls);
        START_PROGRAM(window, catalogue);
        const QString path = catalogue.file("in.lrx", "H\r\nN\r\nT\r\nA!1!x!\r\n");
        std::thread other = holdLock(catalogue.path(),
                                     "BEGIN IMMEDIATE; INSERT INTO tblFigure VALUES (7, 1, 'Theirs', 'T');"
                                     "INSERT INTO tblFigurePart VALUES (51, 7, 'Theirs', 1, 'y');",
                                     300);
        run(ui(window).cmdImport, path);
        other.join();
        QCOMPARE(catalogue.rows("SELECT * FROM tblFigurePart WHERE FigurePartID > 50 ORDER BY FigurePartID"),
                 (QStringList{"51|7|Theirs|1|y", "52|8|A|1|x"}));
    }
};

QTEST_MAIN(TransferCommands)
#include "tst_transfercommands.moc"
