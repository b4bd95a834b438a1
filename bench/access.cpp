// The Access side of bench/run: an Access catalogue opened and edited by the program's own page code.
//
//   bench_access make FIXTURE TARGET CATEGORIES FIGURES PARTS
//       copies FIXTURE to TARGET and fills it, through the program's own writer, with that many rows: category 1
//       holds a tenth of the figures, figure 2 a tenth of the parts, every other figure about the same share.
//   bench_access open FILE                prints the milliseconds opening the catalogue takes
//   bench_access edits FILE               runs each edit command once; prints "command milliseconds" lines
//   bench_access import FILE LRX CATEGORY prints the milliseconds importing the transfer file takes
//   bench_access sqlite FILE TARGET       writes the catalogue's rows into a new SQLite catalogue
//   bench_access transfer FILE FIGURE LRX writes the figure's transfer file (untimed)
#include "catalogue/Database.h"
#include "catalogue/Failure.h"
#include "operations/CatalogueOperations.h"
#include "operations/FigureExport.h"
#include "operations/FigureImport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdio>

namespace {
double elapsed(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

void sql(Database& db, const QString& text) {
    QSqlQuery q(db.connection());
    if (!q.exec(text))
        throw Failure(failure::InternalError, text.left(60) + QStringLiteral(": ") + q.lastError().text());
}

void make(const QString& fixture, const QString& target, qint64 categories, qint64 figures, qint64 parts) {
    QFile::remove(target);
    if (!QFile::copy(fixture, target))
        throw Failure(failure::PathFileAccessError, QStringLiteral("cannot copy %1").arg(fixture));
    QFile(target).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    Database db(target);
    const qint64 crowd = std::max<qint64>(1, figures / 10), heap = std::max<qint64>(1, parts / 10);
    db.transaction([&] {
        sql(db, QStringLiteral("DELETE FROM tblFigurePart"));
        sql(db, QStringLiteral("DELETE FROM tblFigure"));
        sql(db, QStringLiteral("DELETE FROM tblCategory"));
        sql(db,
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                           "INSERT INTO tblCategory (CategoryID, CategoryName) SELECT i, printf('Category %04d', i) "
                           "FROM n")
                .arg(categories));
        sql(db, QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                               "INSERT INTO tblFigure (FigureID, CategoryID, FigureName, FigureType) SELECT i, "
                               "CASE WHEN i <= %2 THEN 1 ELSE 2 + i % (%3 - 1) END, printf('Figure %06d', i), "
                               "'Standing' FROM n")
                    .arg(figures)
                    .arg(crowd)
                    .arg(categories));
        sql(db, QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                               "INSERT INTO tblFigurePart (FigurePartID, FigureID, FigurePartName) SELECT i, "
                               "CASE WHEN i <= %2 THEN 2 ELSE 1 + i % %3 END, printf('Part %07d', i) FROM n")
                    .arg(parts)
                    .arg(heap)
                    .arg(figures));
    });
}

void edits(const QString& file) {
    Database db(file);
    auto timed = [](const char* what, const std::function<void()>& command) {
        QElapsedTimer timer;
        timer.start();
        command();
        std::printf("%s %.3f\n", what, elapsed(timer));
    };
    qint16 added = 0;
    timed("add-category", [&] { added = operations::addCategory(db, QStringLiteral("Bench category")); });
    timed("rename-category", [&] { operations::renameCategory(db, added, QStringLiteral("Bench category, renamed")); });
    timed("rename-figure", [&] { operations::renameFigure(db, 5, QStringLiteral("Figure renamed")); });
    timed("move-figure", [&] { operations::moveFigure(db, 5, added); });
    timed("delete-figure", [&] { operations::deleteFigure(db, 5); });
    timed("delete-category", [&] { operations::deleteCategory(db, added); });
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    try {
        QElapsedTimer timer;
        if (command == QLatin1String("make") && args.size() == 6) {
            make(args[1], args[2], args[3].toLongLong(), args[4].toLongLong(), args[5].toLongLong());
        } else if (command == QLatin1String("open") && args.size() == 2) {
            timer.start();
            Database db(args[1]);
            std::printf("%.3f\n", elapsed(timer));
        } else if (command == QLatin1String("edits") && args.size() == 2) {
            edits(args[1]);
        } else if (command == QLatin1String("import") && args.size() == 4) {
            Database db(args[1]);
            timer.start();
            operations::importTransferFile(db, args[3].toInt(), args[2]);
            std::printf("%.3f\n", elapsed(timer));
        } else if (command == QLatin1String("sqlite") && args.size() == 3) {
            Database db(args[1]);
            sql(db, QStringLiteral("CREATE INDEX IF NOT EXISTS idxPartsByFigure ON tblFigurePart (FigureID)"));
            sql(db, QStringLiteral("VACUUM INTO '%1'")
                        .arg(QString(args[2]).replace(QLatin1Char('\''), QLatin1String("''"))));
        } else if (command == QLatin1String("transfer") && args.size() == 4) {
            Database db(args[1]);
            operations::exportFigureFile(db, args[2].toInt(), args[3]);
        } else {
            std::fprintf(stderr, "usage: see the head of bench/access.cpp\n");
            return 2;
        }
    } catch (const Failure& failure) {
        std::fprintf(stderr, "bench_access: %s\n", qPrintable(errorSentence(failure)));
        return 1;
    }
    return 0;
}
