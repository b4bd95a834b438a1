// How long the program takes to start and to follow the user's choices on a large catalogue:
// 100,000 figures in 20 categories (one of them with 10,000), one figure with 100,000 parts.
#include "app/EntryList.h"
#include "app/frmLumaret.h"
#include "app/modLumaretStart.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

namespace {
bool makeCatalogue(const QString& path, const QString& schemaPath) {
    QFile schema(schemaPath);
    if (!schema.open(QIODevice::ReadOnly))
        return false;
    QString sql = QString::fromUtf8(schema.readAll());
    sql += "BEGIN;"
           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20) "
           "INSERT INTO tblCategory SELECT i, printf('Category %02d', i) FROM n;"
           // Category 1 gets 10,000 figures, the others share the remaining 90,000.
           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
           "INSERT INTO tblFigure SELECT i, CASE WHEN i <= 10000 THEN 1 ELSE 2 + i % 19 END, "
           "printf('Figure %06d', 100000 - i), 'Standing' FROM n;"
           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
           "INSERT INTO tblFigurePart SELECT i, 1, printf('Part %06d', i) FROM n;"
           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
           "INSERT INTO tblFigurePart SELECT 100000 + i, 2 + i % 99999, printf('Piece %06d', i) FROM n;"
           "COMMIT;";
    QProcess sqlite;
    sqlite.start(QStringLiteral("sqlite3"), {path});
    sqlite.write(sql.toUtf8());
    sqlite.closeWriteChannel();
    return sqlite.waitForFinished(120000) && sqlite.exitCode() == 0;
}

double millis(QElapsedTimer& timer) {
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    return ms;
}
} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.mdb"));
    if (!makeCatalogue(path, QStringLiteral(LUMARET_SOURCE_DIR "/resources/catalogue/schema.sql"))) {
        std::fprintf(stderr, "could not make the catalogue (is sqlite3 installed?)\n");
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    frmLumaret* w = modLumaretStart::Main(modLumaretStart::besideProgram(dir.path()));
    if (!w)
        return 1;
    const double start = millis(timer);
    std::printf("start-up to the shown window, %6d figures listed: %8.1f ms\n", w->cboFigure->ListCount(), start);
    w->cboCategory->selectEntry(1);
    const double other = millis(timer);
    std::printf("choose another category,       %6d figures listed: %8.1f ms\n", w->cboFigure->ListCount(), other);
    w->cboCategory->selectEntry(0);
    const double back = millis(timer);
    std::printf("back to the first category,    %6d figures listed: %8.1f ms\n", w->cboFigure->ListCount(), back);
    w->cboFigure->selectEntry(w->cboFigure->ListCount() - 1);
    const double parts = millis(timer);
    std::printf("choose a figure,               %6d parts listed:   %8.1f ms\n", w->lstFigureParts->ListCount(), parts);
    w->close();
    return 0;
}
