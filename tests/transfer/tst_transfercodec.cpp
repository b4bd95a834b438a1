// The transfer file on bytes alone: what the writer puts out and how the reader splits what it is given.
#include "transfer/TransferReader.h"
#include "transfer/TransferWriter.h"
#include "transfer/Windows1252.h"

#include <QtTest>
#include <algorithm>
#include <cstring>

class TransferCodec : public QObject {
    Q_OBJECT

private slots:
    // Kinds of value and characters that the command tests' catalogues do not hold, and a figure without parts.
    void writtenBytes() {
        TransferWriter writer(QStringLiteral("Horse!"), QStringLiteral("Race"), QDate(2026, 12, 5));
        writer.beginPart();
        writer.addText(TransferWriter::valueText(2.5));
        writer.addText(QStringLiteral("Caf\u00E9 \u20AC\u0081\u00FF"));
        writer.addNull();
        writer.addWhole(-7);
        writer.endPart();
        QCOMPARE(writer.content(), QByteArray("Lumaret Import/ Export file, created 12/05/26\r\nHorse!\r\nRace\r\n"
                                              "2.5!Caf\xE9 \x80\x81\xFF!!-7!\r\n"));
        QCOMPARE(TransferWriter(QStringLiteral("Owl"), QString(), QDate(2001, 2, 3)).content(),
                 QByteArray("Lumaret Import/ Export file, created 02/03/01\r\nOwl\r\n\r\n"));
    }

    // The whole upper control range, where the code page departs from Latin-1, read and written back byte for byte.
    void upperControlRange() {
        QByteArray bytes;
        for (int b = 0x80; b <= 0x9F; ++b)
            bytes += char(b);
        const QString characters = QString::fromUtf16(u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021"
                                                      u"\u02C6\u2030\u0160\u2039\u0152\u008D\u017D\u008F"
                                                      u"\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014"
                                                      u"\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178");
        QCOMPARE(windows1252::decode(bytes), characters);
        QByteArray encoded;
        windows1252::encodeInto(characters, encoded);
        QCOMPARE(encoded, bytes);
        QCOMPARE(windows1252::firstUnencodable(characters + QChar(0x2122) + QChar(0x0100)), characters.size() + 1);
    }

    void reading_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("parts"); // "line:piece|piece|..."
        QTest::newRow("any header, blanks kept, no end on the last line")
            << QByteArray("not ours\r\n  Horse \r\n Race\r\nHip!") << "  Horse "
            << " Race" << QStringList{"4:Hip|"};
        QTest::newRow("blank lines and lines without ! skipped")
            << QByteArray("H\r\nN\r\nT\r\n\r\nremark\r\n!a!!b c!d\r\n\r\nLeg!\r\n") << "N"
            << "T" << QStringList{"6:|a||b c|d", "8:Leg|"};
        QTest::newRow("lone LF is part of the line, lone CR ends it")
            << QByteArray("H\nh\r\nN\nM\rT\r\nA\nB!\n") << "N\nM"
            << "T" << QStringList{"4:A\nB|\n"};
        QTest::newRow("Windows-1252 bytes")
            << QByteArray("H\r\n\x80uro\r\nCaf\xE9\r\n\x93q\x94!\x81!\r\n") << "\u20ACuro"
            << "Caf\u00E9" << QStringList{"4:\u201Cq\u201D|\u0081|"};
    }
    void reading() {
        QFETCH(QByteArray, bytes);
        TransferLines lines(bytes);
        const TransferHeading heading = readTransferHeading(lines);
        QStringList parts;
        TransferPieces pieces;
        while (nextTransferPart(lines, pieces)) {
            QStringList decoded;
            for (const QByteArrayView piece : pieces)
                decoded << windows1252::decode(piece);
            parts << QString::number(lines.lineNumber()) + QLatin1Char(':') + decoded.join(QLatin1Char('|'));
        }
        QTEST(heading.name, "name");
        QTEST(heading.type, "type");
        QTEST(parts, "parts");
    }

    // A file arrives in pieces of any size; a line end split between two of them, or a line longer than the
    // reader's buffer, must read as it does from one piece.
    void readingInPieces_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("piece");
        const QByteArray mixed("H\r\nN\nM\rT\r\n\r\nA!1!\r\r\nB\n!\r\nlast!");
        for (const int piece : {1, 2, 3, 7})
            QTest::addRow("line ends across pieces of %d", piece) << mixed << piece;
        QTest::newRow("lines longer than the buffer")
            << "H\r\nN\r\nT\r\n" + QByteArray(600 * 1024, 'a') + "!\r\n" + QByteArray(300 * 1024, 'b') + "!" << 100000;
    }
    void readingInPieces() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, piece);
        qsizetype at = 0;
        TransferLines pieces(
            [&](char* into, qsizetype capacity) {
                const qsizetype n = std::min({qsizetype(piece), capacity, bytes.size() - at});
                std::memcpy(into, bytes.constData() + at, size_t(n));
                at += n;
                return n;
            },
            QString());
        TransferLines whole(bytes);
        QByteArrayView fromPieces;
        QByteArrayView fromWhole;
        for (;;) {
            const bool more = whole.next(fromWhole);
            QCOMPARE(pieces.next(fromPieces), more);
            if (!more)
                break;
            QCOMPARE(fromPieces, fromWhole);
            QCOMPARE(pieces.lineNumber(), whole.lineNumber());
        }
    }
};

QTEST_GUILESS_MAIN(TransferCodec)
#include "tst_transfercodec.moc"
