// Converts an Access catalogue into the SQLite catalogue the program keeps: lumaret-convert old.mdb data.mdb
#include "Version.h"
#include "access/AccessConversion.h"
#include "catalogue/Failure.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

namespace {
const char* const description =
    "Converts a figure catalogue kept in an Access database (Jet 3 or Jet 4 .mdb; .accdb as far as it can be read)\n"
    "into the SQLite catalogue this program uses, for example: lumaret-convert old.mdb data.mdb\n"
    "\n"
    "Every table is copied with its columns in the same order and its values unchanged. TARGET is written only\n"
    "when SOURCE holds the catalogue tables tblCategory (CategoryID, CategoryName), tblFigure (FigureID,\n"
    "CategoryID, FigureName, FigureType) and tblFigurePart (FigurePartID, FigureID, FigurePartName); otherwise\n"
    "nothing is written and what is missing is named.\n"
    "\n"
    "SOURCE is only read, never changed. An existing TARGET is never overwritten. On success the tables and their\n"
    "row counts are listed; on any failure no TARGET is left behind, the failure number and description go to\n"
    "standard error, and the exit status is 1 (2 for wrong arguments).";

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lumaret-convert"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(version::major).arg(version::minor).arg(version::revision));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(description));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("SOURCE"), QStringLiteral("The Access catalogue to read."));
    parser.addPositionalArgument(QStringLiteral("TARGET"),
                                 QStringLiteral("The SQLite catalogue to make; must not exist."));
    parser.process(app);

    const QStringList files = parser.positionalArguments();
    if (files.size() != 2) {
        err() << "lumaret-convert: give the Access file and the name of the new catalogue.\n\n" << parser.helpText();
        return 2;
    }
    const QString& source = files[0];
    const QString& target = files[1];
    try {
        // Looked at before the source is read, so that the answer comes at once; the conversion checks again.
        if (QFileInfo::exists(target))
            throw failure::fileAlreadyExists(target, QStringLiteral("it is never overwritten; give a new name"));
        const ConversionSummary summary = convertAccessFile(source, target, true);
        out() << "Converted '" << source << "' into '" << target << "':\n";
        for (const auto& [table, rows] : summary.tables)
            out() << "  " << table.leftJustified(24) << ' ' << rows << (rows == 1 ? " row\n" : " rows\n");
        return 0;
    } catch (const std::exception& exception) {
        err() << terminalReport(QStringLiteral("lumaret-convert"), exception) << '\n';
    }
    return 1;
}
