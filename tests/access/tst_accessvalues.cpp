// The value forms of the Access conversion and its catalogue check, on values and tables the sample files do not hold.
#include "access/TargetSchema.h"
#include "access/jet/JetValues.h"
#include "access/jet/RowCodec.h"
#include "catalogue/Failure.h"
#include "support/TestCatalogue.h"

#include <QtTest>

class AccessValuesTest : public QObject {
    Q_OBJECT

private slots:
    // The samples hold no date far from 1900, so the decoding is checked on its own, at the ends of Access's range.
    void dateTimeText_data() {
        QTest::addColumn<double>("days");
        QTest::addColumn<QString>("text");
        QTest::newRow("before day zero the time still counts forwards") << -1.25 << "1899-12-29 06:00:00";
        QTest::newRow("just under a day rounds to midnight") << 36525.9999999 << "2000-01-01";
        QTest::newRow("first Access day") << -657434.0 << "0100-01-01";
        QTest::newRow("last Access second") << 2958465.0 + 86399.0 / 86400 << "9999-12-31 23:59:59";
        QTest::newRow("before the year 100") << -657435.0 << "";
        QTest::newRow("not a number") << std::nan("") << "";
    }

    void dateTimeText() {
        QFETCH(double, days);
        QFETCH(QString, text);
        QCOMPARE(jet::dateTimeText(days).value_or(QString()), text);
    }

    void currencyText_data() {
        QTest::addColumn<qint64>("tenThousandths");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("below one") << qint64(-1) << QByteArray("-0.0001");
        QTest::newRow("smallest") << std::numeric_limits<qint64>::min() << QByteArray("-922337203685477.5808");
        QTest::newRow("largest") << std::numeric_limits<qint64>::max() << QByteArray("922337203685477.5807");
    }

    void currencyText() {
        QFETCH(qint64, tenThousandths);
        QFETCH(QByteArray, text);
        QCOMPARE(jet::currencyText(tenThousandths), text);
    }

    // Texts reach the working copy as UTF-8 straight from the page bytes; the QString decoding is the reference.
    // Random texts of the pieces that matter: the compressed mark, the 0x00 toggles, surrogates alone and paired,
    // odd lengths. Where the shortcut gives up, the caller takes the QString.
    void pageTextAsUtf8() {
        const QList<QByteArray> pieces = {"\xFF\xFE",
                                          QByteArray(1, 0),
                                          "A",
                                          "\xE9",
                                          "\xAC\x20",
                                          "\x3D\xD8",
                                          QByteArray("\x00\xDE", 2),
                                          QByteArray("\x1E\xDD\x34\xD8", 4)};
        QRandomGenerator random(18);
        for (int n = 0; n < 20000; ++n) {
            QByteArray bytes;
            for (int k = random.bounded(10); k > 0; --k)
                bytes += pieces[random.bounded(pieces.size())];
            std::string fast;
            if (jet::appendTextUtf8(bytes, fast))
                QCOMPARE(QByteArray::fromStdString(fast), jet::decodeText(bytes).toUtf8());
        }
    }

    void catalogueCheckNamesWhatIsMissing_data() {
        QTest::addColumn<QList<TableDefinition>>("tables");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("named");
        const auto text = [](const QStringList& names) {
            QList<JetColumn> columns;
            for (const QString& name : names)
                columns.append({name, JetKind::Text});
            return columns;
        };
        const TableDefinition category{"TBLCATEGORY", text({"categoryid", "CategoryName"})};
        const TableDefinition figure{"tblFigure", text({"FigureID", "CategoryID", "FigureName", "FigureType"})};
        const TableDefinition part{"tblFigurePart", text({"FigurePartID", "FigureID", "FigurePartName", "Extra"})};
        QTest::newRow("all there, whatever the case") << QList<TableDefinition>{category, figure, part} << 0 << "";
        QTest::newRow("columns missing")
            << QList<TableDefinition>{category, {"tblFigure", text({"FigureID", "FigureName"})}, {"tblFigurePart", {}}}
            << int(failure::ItemNotFound)
            << "it lacks columns CategoryID in tblFigure, FigureType in tblFigure, FigurePartID in tblFigurePart, "
               "FigureID in tblFigurePart, FigurePartName in tblFigurePart.";
    }

    void catalogueCheckNamesWhatIsMissing() {
        QFETCH(QList<TableDefinition>, tables);
        QFETCH(int, number);
        QFETCH(QString, named);
        const Failure f = failureOf([&] { requireCatalogue(tables, "old.mdb"); });
        QCOMPARE(f.number, number);
        QVERIFY2(f.description.contains(named), qPrintable(f.description));
    }
};

QTEST_GUILESS_MAIN(AccessValuesTest)
#include "tst_accessvalues.moc"
