// The transfer file on bytes alone: what the writer puts out and how the reader splits what it is given.
#include "catalogue/Failure.h"
#include "transfer/core/TransferReader.h"
#include "transfer/core/TransferWriter.h"
#include "transfer/core/Windows1252.h"

#include <QtTest>

class TransferCodec : public QObject {
    Q_OBJECT

private slots:
    void everyByteReadsAndWritesBack() {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        const QString text = windows1252::decode(all);
        QCOMPARE(text.mid(0x80, 2), QStringLiteral("\u20AC\u0081"));
        QCOMPARE(text.at(0xE9), QChar(0x00E9));
        QCOMPARE(windows1252::firstUnencodable(text), qsizetype(-1));
        QCOMPARE(windows1252::encode(text), all);
        QCOMPARE(windows1252::firstUnencodable(u"ab\u0080"), qsizetype(2)); // its byte belongs to the euro
    }

    void writtenBytes() {
        const QVariant null(QMetaType(QMetaType::QString));
        TransferWriter writer(QStringLiteral("  Horse!  "), QStringLiteral(" Race "), QDate(2026, 12, 5));
        writer.addPart({QStringLiteral(" Hip "), qlonglong(12), null, QStringLiteral("Caf\u00E9")});
        writer.addPart({QStringLiteral("Leg"), -3, QString(""), QStringLiteral("\u20AC")});
        writer.addPart({QStringLiteral("Tail"), 2.5, null, null});
        QCOMPARE(writer.content(), QByteArray("Lumaret Import/ Export file, created 12/05/26\r\n"
                                              "Horse!\r\nRace\r\n"
                                              " Hip !12!!Caf\xE9!\r\n"
                                              "Leg!-3!!\x80!\r\n"
                                              "Tail!2.5!!!\r\n"));
        const TransferWriter withoutParts(QStringLiteral("Owl"), QString(), QDate(2001, 2, 3));
        QCOMPARE(withoutParts.content(), QByteArray("Lumaret Import/ Export file, created 02/03/01\r\nOwl\r\n\r\n"));
    }

    void reading_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("parts"); // "line:piece|piece|..."
        QTest::newRow("as written") << QByteArray("Lumaret Import/ Export file, created 12/05/26\r\nHorse\r\nRace\r\n"
                                                  "Hip!\r\nLeg!\r\n")
                                    << "Horse"
                                    << "Race" << QStringList{"4:Hip|", "5:Leg|"};
        QTest::newRow("any header, blanks kept") << QByteArray("not ours\r\n  Horse \r\n Race\r\nHip!") << "  Horse "
                                                 << " Race" << QStringList{"4:Hip|"};
        QTest::newRow("three lines without end") << QByteArray("H\r\nHorse\r\nRace") << "Horse"
                                                 << "Race" << QStringList{};
        QTest::newRow("blank lines and lines without ! skipped")
            << QByteArray("H\r\nN\r\nT\r\n\r\nremark\r\nHip!\r\n\r\n\r\nLeg!") << "N"
            << "T" << QStringList{"6:Hip|", "9:Leg|"};
        QTest::newRow("lone LF is part of the line") << QByteArray("H\nstill header\r\nN\nM\r\nT\r\nA\nB!\n") << "N\nM"
                                                     << "T" << QStringList{"4:A\nB|\n"};
        QTest::newRow("lone CR ends a line") << QByteArray("H\rN\rT\rHip!\r") << "N"
                                             << "T" << QStringList{"4:Hip|"};
        QTest::newRow("CR CR LF is two ends") << QByteArray("H\r\r\nT\r\nA!") << ""
                                              << "T" << QStringList{"4:A|"};
        QTest::newRow("split at every !") << QByteArray("H\r\nN\r\nT\r\n!a!!b c!d") << "N"
                                          << "T" << QStringList{"4:|a||b c|d"};
        QTest::newRow("Windows-1252 bytes")
            << QByteArray("H\r\n\x80uro\r\nCaf\xE9\r\n\x93q\x94!\x81!\r\n") << "\u20ACuro"
            << "Caf\u00E9" << QStringList{"4:\u201Cq\u201D|\u0081|"};
    }
    void reading() {
        QFETCH(QByteArray, bytes);
        const TransferFigure figure = readTransferContent(bytes);
        QStringList parts;
        for (const TransferPart& part : figure.parts)
            parts << QString::number(part.line) + QLatin1Char(':') + part.pieces.join(QLatin1Char('|'));
        QTEST(figure.name, "name");
        QTEST(figure.type, "type");
        QTEST(parts, "parts");
    }

    void readingPastTheEnd_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("header only") << QByteArray("H\r\n");
        QTest::newRow("no type") << QByteArray("H\r\nHorse");
        QTest::newRow("no type after line end") << QByteArray("H\r\nHorse\r\n");
    }
    void readingPastTheEnd() {
        QFETCH(QByteArray, bytes);
        try {
            readTransferContent(bytes);
            QFAIL("a file without name and type was read");
        } catch (const Failure& f) {
            QCOMPARE(f.number, failure::InputPastEndOfFile);
            QCOMPARE(f.description, QStringLiteral("Input past end of file"));
        }
    }
};

QTEST_GUILESS_MAIN(TransferCodec)
#include "tst_transfercodec.moc"
