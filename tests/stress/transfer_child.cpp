// The other side of the stress tests: a program of its own that works on a catalogue the way the main program's
// commands do, so that the test can kill it at any moment or run several of it at once.
//
//   transfer_child crash <catalogue> <transfer file>
//       imports the file into category 1 and deletes the figure again, over and over, until it is killed.
//   transfer_child edit <catalogue> <transfer file> <rounds> <tag>
//       per round imports the file, renames the figure to "<tag>-<round>", moves it to category 2, and deletes
//       every fifth one again; prints "kept <id> <name>" or "deleted <id>" for each, and "failed <n> <text>" for
//       any command the catalogue refused. A step that found the catalogue locked past the wait changed nothing
//       and is tried again, as the user is told to; each such try prints "busy".
#include "catalogue/Database.h"
#include "catalogue/Failure.h"
#include "operations/CatalogueOperations.h"
#include "operations/FigureImport.h"

#include <QCoreApplication>
#include <cstdio>

namespace {
void say(const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout); // the test reads it while this program runs, and may kill it right after
}

// The engine's lock wait has no queue: under a steady stream of other writers one program can miss its turn for
// the whole wait. A lock never given back (one held by a statement left open, say) still fails after a few tries.
template <class Step> auto persist(Step&& step) {
    for (int tries = 1;; ++tries) {
        try {
            return step();
        } catch (const Failure& failure) {
            if ((failure.number & 0xff) != 5 || tries == 10)
                throw;
            say(QStringLiteral("busy"));
        }
    }
}

int crash(Database& db, const QString& file) {
    for (;;) {
        const operations::ImportedFigure added = operations::importTransferFile(db, 1, file);
        operations::deleteFigure(db, added.figureId);
    }
}

int edit(Database& db, const QString& file, int rounds, const QString& tag) {
    for (int round = 1; round <= rounds; ++round) {
        try {
            const qint32 id = persist([&] { return operations::importTransferFile(db, 1, file).figureId; });
            const QString name = tag + QLatin1Char('-') + QString::number(round);
            persist([&] { operations::renameFigure(db, id, name); });
            persist([&] { operations::moveFigure(db, id, 2); });
            if (round % 5 == 0) {
                persist([&] { operations::deleteFigure(db, id); });
                say(QStringLiteral("deleted %1").arg(id));
            } else {
                say(QStringLiteral("kept %1 %2").arg(id).arg(name));
            }
        } catch (const Failure& failure) {
            say(QStringLiteral("failed %1 %2").arg(failure.number).arg(failure.description));
        }
    }
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // the engine's driver is a plugin, found through the application
    const QStringList args = app.arguments();
    try {
        if (args.size() == 4 && args[1] == QLatin1String("crash")) {
            Database db(args[2]);
            return crash(db, args[3]);
        }
        if (args.size() == 6 && args[1] == QLatin1String("edit")) {
            Database db(args[2]);
            return edit(db, args[3], args[4].toInt(), args[5]);
        }
    } catch (const Failure& failure) {
        say(QStringLiteral("failed %1 %2").arg(failure.number).arg(failure.description));
        return 1;
    }
    std::fputs("usage: transfer_child crash CATALOGUE FILE | edit CATALOGUE FILE ROUNDS TAG\n", stderr);
    return 2;
}
