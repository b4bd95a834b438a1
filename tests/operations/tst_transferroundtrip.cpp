// A figure exported from a catalogue comes back into it with every value equal, whatever the part columns' types:
// on a converted Access catalogue, and on one with date, yes/no, currency and decimal columns.
#include "access/AccessConversion.h"
#include "catalogue/Database.h"
#include "catalogue/Failure.h"
#include "operations/FigureExport.h"
#include "operations/FigureImport.h"
#include "support/TestCatalogue.h"

#include <QtTest>

namespace {
// A part's data columns as SQL sees them, type and value; a null text reads as empty text, since a transfer file
// cannot tell the two apart.
QStringList partValues(const TestCatalogue& catalogue, qint32 figureId) {
    QStringList columns;
    const QStringList info = catalogue.rows("PRAGMA table_info(tblFigurePart)");
    for (qsizetype i = 2; i < info.size(); ++i) {
        const QStringList field = info[i].split('|');
        const QString name = '"' + field[1] + '"';
        columns << (field[2].toUpper().contains("TEXT") ? "quote(ifnull(" + name + ", ''))"
                                                        : "typeof(" + name + ") || ':' || quote(" + name + ")");
    }
    return catalogue.rows("SELECT " + columns.join(" || '|' || ") + " FROM tblFigurePart WHERE FigureID = " +
                          QString::number(figureId) + " ORDER BY FigurePartID");
}

qint32 roundTrip(Database& db, const TestCatalogue& catalogue, qint32 figureId, qint32 categoryId) {
    const QString file = catalogue.directory() + "/figure.lrx";
    QFile::remove(file);
    operations::exportFigureFile(db, figureId, file);
    keepForFuzzing(file);
    return operations::importTransferFile(db, categoryId, file).figureId;
}
} // namespace

class TransferRoundTripTest : public QObject {
    Q_OBJECT

private slots:
    void convertedAccessCatalogue() {
        const QString source = QStringLiteral(LUMARET_FIXTURES_DIR "/jet/catalogueV2000.mdb");
        if (!QFileInfo::exists(source))
            QSKIP("the Access sample files are not there (../shared/fixtures/jet beside the source tree)");
        TestCatalogue catalogue({}, false);
        convertAccessFile(source, catalogue.path(), true);
        // One part's name holds a letter the transfer file's code page lacks.
        catalogue.exec("UPDATE tblFigurePart SET FigurePartName = 'Lance \u03A9' WHERE FigurePartID = 103");
        Database db(catalogue.path());
        int carried = 0;
        int refused = 0;
        for (const QString& row : catalogue.rows("SELECT FigureID, CategoryID FROM tblFigure ORDER BY FigureID")) {
            const qint32 figureId = row.section('|', 0, 0).toInt();
            try {
                const qint32 copy = roundTrip(db, catalogue, figureId, row.section('|', 1, 1).toInt());
                QCOMPARE(partValues(catalogue, copy), partValues(catalogue, figureId));
                ++carried;
            } catch (const Failure& failure) {
                // Only a character the file's code page lacks may stop a figure, and the message says which.
                QVERIFY2(failure.is(failure::ConversionError), qPrintable(failure.description));
                QVERIFY2(failure.description.contains("which a transfer file cannot carry"),
                         qPrintable(failure.description));
                ++refused;
            }
        }
        QCOMPARE(carried, 3);
        QCOMPARE(refused, 1);
    }

    void typedPartColumns() {
        TestCatalogue catalogue("DROP TABLE tblFigurePart;"
                                "CREATE TABLE tblFigurePart (FigurePartID INTEGER PRIMARY KEY, FigureID INTEGER,"
                                " FigurePartName TEXT, AddedOn DATETIME, Painted BOOLEAN, Price NUMERIC,"
                                " Amount DECIMAL(10,2), Weight REAL);"
                                "INSERT INTO tblCategory VALUES (1, 'Animals');");
        const QString older = catalogue.directory() + "/older.lrx";
        writeFile(older, "Lumaret Import/ Export file, created 01/02/99\r\nHorse\r\nQuadruped\r\n"
                         "Hip!3/5/2024 1:04:09 PM!True!12.34!5!0.125!\r\n"
                         "Man\xFF!12/30/1899!-1!-7!!!\r\n"
                         "Tail!2024-01-05 00:00:00!False!!1.5!3!\r\n");
        Database db(catalogue.path());
        const qint32 horse = operations::importTransferFile(db, 1, older).figureId;
        QCOMPARE(partValues(catalogue, horse),
                 QStringList({"'Hip'|text:'2024-03-05 13:04:09'|integer:1|real:12.34|integer:5|real:0.125",
                              "'Man\u00FF'|text:'1899-12-30'|integer:1|integer:-7|null:NULL|null:NULL",
                              "'Tail'|text:'2024-01-05'|integer:0|null:NULL|real:1.5|real:3.0"}));
        QCOMPARE(partValues(catalogue, roundTrip(db, catalogue, horse, 1)), partValues(catalogue, horse));
    }
};

QTEST_MAIN(TransferRoundTripTest)
#include "tst_transferroundtrip.moc"
