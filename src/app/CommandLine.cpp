#include "app/CommandLine.h"

#include "catalogue/CatalogueLocation.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace commandLine {
namespace {
void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Keeps the figure catalogue of the Lumaret application and carries figures between "
                       "catalogues through transfer files (*.lrx)."));
    // Qt's own options (-platform, -style, -reverse) are single-dash words; read them as such, not as letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("catalogue"),
        QStringLiteral("The catalogue to open. Without it: data.mdb beside the program when it is there, else %1 "
                       "(the program offers to make it when it is missing).")
            .arg(location::shortPath(location::userCatalogue())),
        QStringLiteral("[CATALOGUE]"));
}
} // namespace

void answerTextRequests(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    describe(parser);
    parser.parse(arguments); // the real reading, with errors reported, comes in catalogueArgument
    const bool help = parser.isSet(QStringLiteral("help"));
    const bool version = parser.isSet(QStringLiteral("version"));
    if (!help && !version && !parser.isSet(QStringLiteral("help-all")))
        return;
    const QCoreApplication app(argc, argv); // names the program in the help text
    if (version)
        parser.showVersion();
    if (help)
        parser.showHelp();
    parser.process(arguments); // --help-all, which lists Qt's own options too
}

std::optional<QString> catalogueArgument(const QCoreApplication& app) {
    QCommandLineParser parser;
    describe(parser);
    QString problem;
    if (!parser.parse(app.arguments()))
        problem = parser.errorText();
    else if (parser.positionalArguments().size() > 1)
        problem = QStringLiteral("only one catalogue can be given.");
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "LumaretTool: %s\nTry 'LumaretTool --help'.\n", qPrintable(problem));
        return std::nullopt;
    }
    return parser.positionalArguments().value(0);
}

} // namespace commandLine
