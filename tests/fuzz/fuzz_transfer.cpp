// Fuzzing the way into the catalogue: any bytes as a transfer file are read, split into parts, converted for the
// part columns of every kind and written into a catalogue, and the transaction is then undone so that every input
// meets the same catalogue. A refusal is a Failure; any other exception, and anything the sanitizers see, is a
// finding. A file that reads and that the writer can carry is also written and read again: it must come back the
// same.
#include "catalogue/Database.h"
#include "catalogue/Failure.h"
#include "catalogue/Text.h"
#include "operations/FigureImport.h"
#include "transfer/core/TransferReader.h"
#include "transfer/core/TransferWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace {
struct Undo {};

[[noreturn]] void finding(const char* what, const QString& detail) {
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

Database& catalogue() {
    static QTemporaryDir directory(QDir::tempPath() + QStringLiteral("/fuzz_transfer-XXXXXX"));
    static Database* db = [] {
        const QString path = directory.filePath(QStringLiteral("data.mdb"));
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

// The parts as the writer would put them back: the values before the empty text after the last "!". A line that
// does not end in "!" or carries no value has no such form.
QList<QStringList> carriedParts(const TransferFigure& figure) {
    QList<QStringList> parts;
    for (const TransferPart& part : figure.parts) {
        if (part.pieces.size() < 2 || !part.pieces.last().isEmpty())
            return {};
        parts << part.pieces.mid(0, part.pieces.size() - 1);
    }
    return parts;
}

void checkRoundTrip(const TransferFigure& figure) {
    const QList<QStringList> parts = carriedParts(figure);
    if (parts.size() != figure.parts.size())
        return;
    QByteArray written;
    try {
        TransferWriter writer(figure.name, figure.type, QDate(2026, 1, 2));
        for (const QStringList& values : parts) {
            QVariantList row;
            for (const QString& value : values)
                row << value;
            writer.addPart(row);
        }
        written = writer.content();
    } catch (const Failure&) {
        return; // the writer refuses what it cannot carry: a line break, say
    }
    const TransferFigure back = readTransferContent(written);
    if (back.name != trimBlanks(figure.name) || back.type != trimBlanks(figure.type))
        finding("name or type changed on the way back", back.name + QLatin1Char('|') + back.type);
    if (carriedParts(back) != parts)
        finding("parts changed on the way back", QString::fromLatin1(written.toPercentEncoding()));
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv); // the engine's driver is a plugin, found through the application
    catalogue();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Database& db = catalogue();
    try {
        const TransferFigure figure = readTransferContent(QByteArrayView(data, qsizetype(size)));
        checkRoundTrip(figure);
        db.transaction([&] {
            operations::addTransferFigure(db, 1, figure);
            throw Undo{};
        });
    } catch (const Failure&) {
    } catch (const Undo&) {
    }
    return 0;
}
