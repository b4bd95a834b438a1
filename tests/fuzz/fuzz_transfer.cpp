// Fuzzing the way into the catalogue. Any bytes are taken as a transfer file and
//  - read line by line twice, from one view and from a source handing them out in small pieces of a size the
//    input chooses: both must give the same lines and parts, or the same failure;
//  - each part's pieces are converted for a column of every kind;
//  - a file that reads and that the writer can carry is written again and read back: it must come back the same;
//  - the file is imported into a catalogue with part columns of every kind, the way the Import button does, and
//    the transaction is undone so that every input meets the same catalogue.
// A refusal is a Failure; any other exception, a disagreement, and anything the sanitizers see is a finding.
#include "catalogue/ColumnConversion.h"
#include "catalogue/Database.h"
#include "catalogue/Failure.h"
#include "catalogue/Text.h"
#include "operations/FigureImport.h"
#include "transfer/TransferReader.h"
#include "transfer/TransferWriter.h"
#include "transfer/Windows1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
struct Undo {};

[[noreturn]] void finding(const char* what, const QString& detail = {}) {
    std::fprintf(stderr, "finding: %s\n%s\n", what, qPrintable(detail));
    std::abort();
}

// Part columns of each kind the import converts for.
const char* const schema[] = {
    "CREATE TABLE tblCategory (CategoryID INTEGER NOT NULL PRIMARY KEY, CategoryName TEXT)",
    "CREATE TABLE tblFigure (FigureID INTEGER NOT NULL PRIMARY KEY, CategoryID INTEGER NOT NULL, FigureName TEXT "
    "COLLATE NOCASE, FigureType TEXT)",
    "CREATE TABLE tblFigurePart (FigurePartID INTEGER NOT NULL PRIMARY KEY, FigureID INTEGER NOT NULL, "
    "FigurePartName TEXT, AddedOn DATETIME, Painted BOOLEAN, Quantity INTEGER, Price NUMERIC, Weight DOUBLE)",
    "INSERT INTO tblCategory VALUES (1, 'Fuzz')",
    "INSERT INTO tblFigure VALUES (1, 1, 'Taken', 'T')",
};

QTemporaryDir& directory() {
    static QTemporaryDir made(QDir::tempPath() + QStringLiteral("/fuzz_transfer-XXXXXX"));
    return made;
}

Database& catalogue() {
    static Database* db = [] {
        const QString path = directory().filePath(QStringLiteral("data.mdb"));
        {
            QSqlDatabase maker = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("maker"));
            maker.setDatabaseName(path);
            if (!maker.open())
                finding("cannot make the catalogue", path);
            QSqlQuery q(maker);
            for (const char* statement : schema)
                if (!q.exec(QString::fromLatin1(statement)))
                    finding("cannot make the catalogue", q.lastError().text());
        }
        QSqlDatabase::removeDatabase(QStringLiteral("maker"));
        auto* opened = new Database(path);
        // Every input is undone again; the journal need not reach the disk.
        QSqlQuery q(opened->connection());
        q.exec(QStringLiteral("PRAGMA journal_mode=MEMORY"));
        q.exec(QStringLiteral("PRAGMA synchronous=OFF"));
        return opened;
    }();
    return *db;
}

// Everything a reading gives, in one text, or how it failed. A reading in pieces meets a bad byte only when the
// piece holding it arrives, so a failure stands for the whole reading: what came before it is left out.
QString readAll(TransferLines& lines) {
    QString seen;
    try {
        const TransferHeading heading = readTransferHeading(lines);
        seen += heading.name + QLatin1Char('\n') + heading.type + QLatin1Char('\n');
        TransferPieces pieces;
        while (nextTransferPart(lines, pieces)) {
            seen += QString::number(lines.lineNumber());
            for (QByteArrayView piece : pieces)
                seen += QLatin1Char('|') + QString::fromLatin1(piece.toByteArray().toPercentEncoding());
            seen += QLatin1Char('\n');
        }
    } catch (const Failure& failure) {
        return QStringLiteral("failure %1: %2").arg(failure.number).arg(failure.description);
    }
    return seen;
}

void compareReadings(QByteArrayView bytes) {
    TransferLines whole(bytes, QStringLiteral("f"));
    // The first byte chooses how much the source hands out at a time.
    const qsizetype piece = bytes.isEmpty() ? 1 : 1 + qsizetype(quint8(bytes.front()) % 64);
    qsizetype offset = 0;
    TransferLines pieces(
        [&](char* into, qsizetype capacity) {
            const qsizetype n = std::min({piece, capacity, bytes.size() - offset});
            std::memcpy(into, bytes.data() + offset, size_t(n));
            offset += n;
            return n;
        },
        QStringLiteral("f"));
    const QString fromWhole = readAll(whole);
    const QString fromPieces = readAll(pieces);
    if (fromWhole != fromPieces)
        finding("a reading in pieces differs from one of the whole",
                fromWhole + QStringLiteral("\n----\n") + fromPieces);
}

// A whole input read as the import reads it, each piece decoded.
struct ReadFigure {
    QString name;
    QString type;
    QList<QStringList> parts;
};

ReadFigure readFigure(QByteArrayView bytes) {
    TransferLines lines(bytes);
    const TransferHeading heading = readTransferHeading(lines);
    ReadFigure figure{heading.name, heading.type, {}};
    TransferPieces pieces;
    while (nextTransferPart(lines, pieces)) {
        QStringList part;
        for (const QByteArrayView piece : pieces)
            part << windows1252::decode(piece);
        figure.parts << part;
    }
    return figure;
}

void convertEveryKind(const ReadFigure& figure) {
    for (const QStringList& part : figure.parts)
        for (const QString& piece : part) {
            const QByteArray utf8 = piece.toUtf8();
            for (ColumnKind kind :
                 {ColumnKind::Text, ColumnKind::Integer, ColumnKind::Real, ColumnKind::Date, ColumnKind::YesNo})
                convertText(std::string_view(utf8.constData(), size_t(utf8.size())), kind);
        }
}

// The parts as the writer would put them back: the values before the empty text after the last "!". A line that
// does not end in "!" or carries no value has no such form.
QList<QStringList> carriedParts(const ReadFigure& figure) {
    QList<QStringList> parts;
    for (const QStringList& part : figure.parts) {
        if (part.size() < 2 || !part.last().isEmpty())
            return {};
        parts << part.mid(0, part.size() - 1);
    }
    return parts;
}

void checkRoundTrip(const ReadFigure& figure) {
    const QList<QStringList> parts = carriedParts(figure);
    if (parts.size() != figure.parts.size())
        return;
    QByteArray written;
    try {
        TransferWriter writer(figure.name, figure.type, QDate(2026, 1, 2));
        for (const QStringList& values : parts) {
            writer.beginPart();
            for (const QString& value : values)
                writer.addText(value);
            writer.endPart();
        }
        written = writer.content();
    } catch (const Failure&) {
        return; // the writer refuses what it cannot carry: a line break, say
    }
    const ReadFigure back = readFigure(written);
    if (back.name != trimBlanks(figure.name) || back.type != trimBlanks(figure.type))
        finding("name or type changed on the way back", back.name + QLatin1Char('|') + back.type);
    if (carriedParts(back) != parts)
        finding("parts changed on the way back", QString::fromLatin1(written.toPercentEncoding()));
}

void import(QByteArrayView bytes) {
    const QString path = directory().filePath(QStringLiteral("input.lrx"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.data(), bytes.size()) != bytes.size())
        finding("cannot write the input file", path);
    file.close();
    Database& db = catalogue();
    try {
        db.transaction([&] {
            operations::importTransferFile(db, 1, path);
            throw Undo{};
        });
    } catch (const Failure&) {
    } catch (const Undo&) {
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv); // the engine's driver is a plugin, found through the application
    catalogue();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));
    compareReadings(bytes);
    try {
        const ReadFigure figure = readFigure(bytes);
        convertEveryKind(figure);
        checkRoundTrip(figure);
    } catch (const Failure&) {
    }
    import(bytes);
    return 0;
}
