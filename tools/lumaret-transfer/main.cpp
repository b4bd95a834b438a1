// lumaret-transfer: the transfer commands of LumaretTool for scripts, without a window.
#include "CompanionCommands.h"
#include "catalogue/CatalogueLocation.h"
#include "catalogue/Database.h"
#include "catalogue/Failure.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>
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
               "  export CATEGORY FIGURE FILE  writes the figure's transfer file\n"
               "  export-all CATEGORY FOLDER   writes a transfer file for each figure of the category into the\n"
               "                               folder, named after the figure\n"
               "  import FILE CATEGORY         adds the file's figure to the category and prints its identifier\n"
               "                               and name (\" (imported)\" added when the name was taken)\n\n"
               "Categories and figures are named as the program lists them; case does not matter.\n"
               "The catalogue: the one given with --catalogue, else data.mdb beside this program, else %1.\n"
               "A failure is reported on standard error with the number and description the program shows for it; "
               "nothing is written then, and the exit code is 1.")
        .arg(location::shortPath(location::userCatalogue()));
}

struct Command {
    int fewest;
    int most;
    std::function<void(Database&, const QStringList&, bool force)> run;
};

const std::map<QString, Command>& commands() {
    static const std::map<QString, Command> all{
        {QStringLiteral("list"),
         {0, 1,
          [](Database& db, const QStringList& a, bool) {
              const QStringList lines = a.isEmpty() ? companion::listCategories(db) : companion::listFigures(db, a[0]);
              for (const QString& line : lines)
                  out() << line << '\n';
          }}},
        {QStringLiteral("export"),
         {3, 3,
          [](Database& db, const QStringList& a, bool force) {
              companion::exportFigure(db, a[0], a[1], a[2], force);
          }}},
        {QStringLiteral("export-all"),
         {2, 2,
          [](Database& db, const QStringList& a, bool force) {
              for (const QString& path : companion::exportCategory(db, a[0], a[1], force))
                  out() << QDir::toNativeSeparators(path) << '\n';
          }}},
        {QStringLiteral("import"),
         {2, 2,
          [](Database& db, const QStringList& a, bool) {
              const operations::ImportedFigure added = companion::importFigure(db, a[0], a[1]);
              out() << added.figureId << '\t' << added.name << '\n';
              if (added.nameClash)
                  err() << "lumaret-transfer: a figure of this name was already in the category; please rename '"
                        << added.name << "' soon.\n";
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
    parser.addOption(catalogueOption);
    parser.addOption(forceOption);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("list, export, export-all or import."),
                                 QStringLiteral("COMMAND [ARGUMENTS]"));
    if (!parser.parse(app.arguments()))
        return usage(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp();
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();

    QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty())
        return usage(QStringLiteral("no command given."));
    const QString name = arguments.takeFirst();
    const auto command = commands().find(name);
    if (command == commands().end())
        return usage(QStringLiteral("unknown command '%1'.").arg(name));
    if (arguments.size() < command->second.fewest || arguments.size() > command->second.most)
        return usage(QStringLiteral("wrong number of arguments for '%1'.").arg(name));

    try {
        Database db(cataloguePath(parser.value(catalogueOption)));
        command->second.run(db, arguments, parser.isSet(forceOption));
    } catch (const std::exception& exception) {
        out().flush();
        err() << terminalReport(QStringLiteral("lumaret-transfer"), exception) << '\n';
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
