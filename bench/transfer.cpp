// How long the import of a file of 100,000 part lines and the export of a figure of 100,000 parts take, each
// beside the sqlite3 tool writing or reading the same rows, on a catalogue that already holds 100,000 parts.
#include "app/EntryList.h"
#include "app/frmLumaret.h"
#include "app/modLumaretStart.h"
#include "dialogs/FileDialog.h"
#include "dialogs/frmMsgBox.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

namespace {
constexpr int partCount = 100000;
constexpr int firstFigureId = 1001; // the catalogue holds figures 1 to 1000
constexpr int firstPartId = 100001; // and parts 1 to 100,000

QString partName(int i) {
    return QStringLiteral("Part %1").arg(i, 6, 10, QLatin1Char('0'));
}

// Runs the sqlite3 tool on the catalogue; returns the milliseconds it took, or -1 when it failed.
double runTool(const QString& catalogue, const QStringList& options, const QString& statement, const QString& input,
               const QString& output) {
    QProcess tool;
    if (!input.isEmpty())
        tool.setStandardInputFile(input);
    if (!output.isEmpty())
        tool.setStandardOutputFile(output);
    QElapsedTimer timer;
    timer.start();
    tool.start(QStringLiteral("sqlite3"),
               options + QStringList{catalogue} + (statement.isEmpty() ? QStringList{} : QStringList{statement}));
    if (input.isEmpty())
        tool.closeWriteChannel();
    if (!tool.waitForFinished(120000) || tool.exitCode() != 0) {
        std::fprintf(stderr, "sqlite3 failed: %s\n", tool.readAllStandardError().constData());
        return -1;
    }
    return double(timer.nsecsElapsed()) / 1e6;
}

bool writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool makeCatalogue(const QString& path) {
    QByteArray sql = readFile(QStringLiteral(LUMARET_SOURCE_DIR "/resources/catalogue/schema.sql"));
    sql += "BEGIN;"
           "INSERT INTO tblCategory VALUES (1, 'Bench');"
           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
           "INSERT INTO tblFigure SELECT i, 1, printf('Figure %04d', i), 'Standing' FROM n;"
           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
           "INSERT INTO tblFigurePart SELECT i, 1 + i % 1000, printf('Piece %06d', i) FROM n;"
           "COMMIT;";
    const QString script = path + QStringLiteral(".sql");
    return writeFile(script, sql) && runTool(path, {}, QString(), script, QString()) >= 0;
}

void report(const char* what, double program, double tool) {
    std::printf("%-32s program %8.1f ms   sqlite3 tool %8.1f ms   ratio %5.2f\n", what, program, tool, program / tool);
}
} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString catalogue = dir.filePath(QStringLiteral("data.mdb"));
    const QString toolCatalogue = dir.filePath(QStringLiteral("tool.mdb"));
    if (!makeCatalogue(catalogue) || !QFile::copy(catalogue, toolCatalogue)) {
        std::fprintf(stderr, "could not make the catalogue (is sqlite3 installed?)\n");
        return 1;
    }

    // The same rows twice: as a transfer file for the program, as one transaction of inserts for the tool.
    QByteArray transfer = "Lumaret Import/ Export file, created " +
                          QDate::currentDate().toString(QStringLiteral("MM/dd/yy")).toLatin1() +
                          "\r\nBench figure\r\nStanding\r\n";
    QByteArray inserts = "BEGIN;\nINSERT INTO tblFigure VALUES (" + QByteArray::number(firstFigureId) +
                         ", 1, 'Bench figure', 'Standing');\n";
    for (int i = 1; i <= partCount; ++i) {
        const QByteArray name = partName(i).toLatin1();
        transfer += name + "!\r\n";
        inserts += "INSERT INTO tblFigurePart VALUES (" + QByteArray::number(firstPartId + i - 1) + ", " +
                   QByteArray::number(firstFigureId) + ", '" + name + "');\n";
    }
    inserts += "COMMIT;\n";
    const QString transferPath = dir.filePath(QStringLiteral("in.lrx"));
    const QString insertsPath = dir.filePath(QStringLiteral("inserts.sql"));
    if (!writeFile(transferPath, transfer) || !writeFile(insertsPath, inserts))
        return 1;

    frmLumaret* window = modLumaretStart::Main(modLumaretStart::besideProgram(dir.path()));
    if (!window)
        return 1;
    QElapsedTimer timer;

    // Import: read the file, add the figure and its parts, list the new figure with its parts.
    FileDialog::setNextFileName(transferPath);
    frmMsgBox::setNextAnswer(1);
    timer.start();
    window->cmdImport->click();
    const double imported = double(timer.nsecsElapsed()) / 1e6;
    const QList<ShownMessage> importNotice = frmMsgBox::takeShown();
    if (importNotice.value(0).caption != QLatin1String("Import Complete...") ||
        window->lstFigureParts->ListCount() != partCount) {
        std::fprintf(stderr, "import failed: %s\n", qPrintable(importNotice.value(0).text));
        return 1;
    }
    const double toolImported = runTool(toolCatalogue, {}, QString(), insertsPath, QString());

    // Export: read the figure and its parts, write the file.
    const QString exportPath = dir.filePath(QStringLiteral("out.lrx"));
    const QString toolExportPath = dir.filePath(QStringLiteral("tool-out.txt"));
    FileDialog::setNextFileName(exportPath);
    frmMsgBox::setNextAnswer(1);
    timer.start();
    window->cmdExport->click();
    const double exported = double(timer.nsecsElapsed()) / 1e6;
    const QList<ShownMessage> exportNotice = frmMsgBox::takeShown();
    if (exportNotice.value(0).caption != QLatin1String("Export Complete...")) {
        std::fprintf(stderr, "export failed: %s\n", qPrintable(exportNotice.value(0).text));
        return 1;
    }
    const double toolExported =
        runTool(catalogue,
                {QStringLiteral("-readonly"), QStringLiteral("-list"), QStringLiteral("-separator"),
                 QStringLiteral("!"), QStringLiteral("-newline"), QStringLiteral("\r\n")},
                QStringLiteral("SELECT FigurePartName, '' FROM tblFigurePart WHERE FigureID=%1").arg(firstFigureId),
                QString(), toolExportPath);
    window->close();
    if (toolImported < 0 || toolExported < 0)
        return 1;

    const bool sameParts = readFile(exportPath).endsWith(readFile(toolExportPath)) && readFile(exportPath) == transfer;
    std::printf("catalogue holding 1,000 figures with 100,000 parts; the transferred figure has %d parts\n", partCount);
    report("import of 100,000 part lines", imported, toolImported);
    report("export of 100,000 parts", exported, toolExported);
    std::printf("exported file equals the imported one and the tool's rows: %s\n", sameParts ? "yes" : "no");
    return sameParts ? 0 : 1;
}
