// lumaret-transfer: the transfer commands of LumaretTool for scripts, without a window.
#include "CompanionCommands.h"
#include "catalogue/CatalogueLocation.h"
#include "catalogue/Database.h"
#include "catalogue/Failure.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryFile>
#include <QTextStream>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>

namespace {
constexpr int usageError = 2;

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

QString description() {
    return QStringLiteral(
               "Carries figures between a LumaretTool catalogue and transfer files (*.lrx), as the program's Export "
               "and Import buttons do.\n\n"
               "Commands:\n"
               "  list [CATEGORY]              the categories (identifier, figures, name), or the figures of one\n"
               "                               (identifier, parts, name); one a line, tab-separated\n"
               "  export CATEGORY FIGURE FILE  writes the figure's transfer file (- for standard output)\n"
               "  export-all CATEGORY FOLDER   writes a transfer file for each figure of the category into the\n"
               "                               folder (made when missing), named after the figure\n"
               "  import FILE CATEGORY         adds the file's figure (- for standard input) to the category and\n"
               "                               prints its identifier and name (\" (imported)\" added when the\n"
               "                               name was taken)\n\n"
               "Categories and figures are named as the program lists them; case does not matter. In lists,\n"
               "backslash, tab, line ends and other control characters in names are written as \\\\, \\t, \\n,\n"
               "\\r and \\xHH.\n"
               "The catalogue: the one given with --catalogue, else data.mdb beside this program, else %1.\n"
               "A failure is reported on standard error with the number and description the program shows for it; "
               "nothing is written then, and the exit code is 1.")
        .arg(location::shortPath(location::userCatalogue()));
}

struct Options {
    bool force = false;
    bool keepGoing = false;
};

struct Command {
    int fewest;
    int most;
    std::function<int(Database&, const QStringList&, const Options&)> run;
};

const QString standardStream = QStringLiteral("-");

// The transfer reader takes files only, and a pipe is no file: standard input is copied to one first. A failure
// names standard input, not the copy.
operations::ImportedFigure importFromStandardInput(Database& db, const QString& category) {
    QTemporaryFile copy;
    if (!copy.open())
        throw failure::pathFileAccess(copy.fileTemplate(), copy.errorString());
    char buffer[1 << 16];
    while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, stdin))
        if (copy.write(buffer, qint64(got)) != qint64(got))
            throw failure::pathFileAccess(copy.fileName(), copy.errorString());
    if (std::ferror(stdin))
        throw failure::pathFileAccess(QStringLiteral("standard input"), QString::fromLocal8Bit(std::strerror(errno)));
    copy.close();
    try {
        return companion::importFigure(db, copy.fileName(), category);
    } catch (Failure& failed) {
        failed.description.replace(copy.fileName(), QStringLiteral("standard input"));
        throw;
    }
}

const std::map<QString, Command>& commands() {
    static const std::map<QString, Command> all{
        {QStringLiteral("list"),
         {0, 1,
          [](Database& db, const QStringList& a, const Options&) {
              const QStringList lines = a.isEmpty() ? companion::listCategories(db) : companion::listFigures(db, a[0]);
              for (const QString& line : lines)
                  out() << line << '\n';
              return EXIT_SUCCESS;
          }}},
        {QStringLiteral("export"),
         {3, 3,
          [](Database& db, const QStringList& a, const Options& options) {
              if (a[2] != standardStream) {
                  companion::exportFigure(db, a[0], a[1], a[2], options.force);
                  return EXIT_SUCCESS;
              }
              const QByteArray content = companion::figureContent(db, a[0], a[1]);
              std::fwrite(content.constData(), 1, std::size_t(content.size()), stdout);
              return EXIT_SUCCESS;
          }}},
        {QStringLiteral("export-all"),
         {2, 2,
          [](Database& db, const QStringList& a, const Options& options) {
              const companion::ExportedCategory done =
                  companion::exportCategory(db, a[0], a[1], options.force, options.keepGoing);
              for (const QString& path : done.written)
                  out() << QDir::toNativeSeparators(path) << '\n';
              for (const QString& notWritten : done.notWritten)
                  err() << "lumaret-transfer: not written: " << notWritten << '\n';
              return done.notWritten.isEmpty() ? EXIT_SUCCESS : EXIT_FAILURE;
          }}},
        {QStringLiteral("import"),
         {2, 2,
          [](Database& db, const QStringList& a, const Options&) {
              const operations::ImportedFigure added =
                  a[0] == standardStream ? importFromStandardInput(db, a[1]) : companion::importFigure(db, a[0], a[1]);
              out() << added.figureId << '\t' << added.name << '\n';
              if (added.nameClash)
                  err() << "lumaret-transfer: a figure of this name was already in the category; please rename '"
                        << added.name << "' soon.\n";
              return EXIT_SUCCESS;
          }}},
    };
    return all;
}

int usage(const QString& problem) {
    err() << "lumaret-transfer: " << problem << "\nTry 'lumaret-transfer --help'.\n";
    return usageError;
}

// The catalogue as the program finds it, except that none is made here: without a dialog no one can be asked.
QString cataloguePath(const QString& given) {
    const location::Found found = location::findCatalogue(given, QCoreApplication::applicationDirPath());
    if (!found.exists && found.source == location::Source::UserData)
        throw Failure(failure::CannotOpenCatalogue,
                      QStringLiteral("No catalogue was found beside this program or at '%1'. Name one with "
                                     "--catalogue, or start LumaretTool once to make one.")
                          .arg(QDir::toNativeSeparators(found.path)));
    return found.path;
}
} // namespace

int main(int argc, char* argv[]) {
    location::identifyProgram();
    QCoreApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption catalogueOption(QStringLiteral("catalogue"), QStringLiteral("The catalogue to work on."),
                                             QStringLiteral("PATH"));
    const QCommandLineOption forceOption(QStringLiteral("force"),
                                         QStringLiteral("Export over files that are already there."));
    const QCommandLineOption keepGoingOption(
        QStringLiteral("keep-going"),
        QStringLiteral("export-all: write every figure that can be written, list the others, and fail."));
    parser.addOption(catalogueOption);
    parser.addOption(forceOption);
    parser.addOption(keepGoingOption);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("list, export, export-all or import."),
                                 QStringLiteral("COMMAND [ARGUMENTS]"));
    if (!parser.parse(app.arguments()))
        return usage(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp();
    // The application is named after the program, whose data folder this tool shares; the version is its own.
    if (parser.isSet(QStringLiteral("version"))) {
        out() << "lumaret-transfer " << QCoreApplication::applicationVersion() << '\n';
        return EXIT_SUCCESS;
    }

    QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty())
        return usage(QStringLiteral("no command given."));
    const QString name = arguments.takeFirst();
    const auto command = commands().find(name);
    if (command == commands().end())
        return usage(QStringLiteral("unknown command '%1'.").arg(name));
    if (arguments.size() < command->second.fewest || arguments.size() > command->second.most)
        return usage(QStringLiteral("wrong number of arguments for '%1'.").arg(name));

    int exitCode = EXIT_SUCCESS;
    try {
        Database db(cataloguePath(parser.value(catalogueOption)));
        exitCode = command->second.run(db, arguments, {parser.isSet(forceOption), parser.isSet(keepGoingOption)});
    } catch (const std::exception& exception) {
        out().flush();
        err() << terminalReport(QStringLiteral("lumaret-transfer"), exception) << '\n';
        return EXIT_FAILURE;
    }
    // A script reading the output must not take a list cut short by a full disk or a closed pipe for a whole one.
    errno = 0;
    out().flush();
    if (out().status() != QTextStream::Ok || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        err() << "lumaret-transfer: standard output could not be written"
              << (errno != 0 ? QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(std::strerror(errno))) : QString())
              << ".\n";
        return EXIT_FAILURE;
    }
    return exitCode;
}
