#pragma once

#include "catalogue/Failure.h"

#include <QFileInfo>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <atomic>
#include <functional>
#include <thread>

// The Access sample files beside the project, and a test's skip when they are not there.
#define JET_FIXTURES LUMARET_FIXTURES_DIR "/jet"
#define REQUIRE_JET_FIXTURES()                                                                                         \
    if (!QFileInfo::exists(QStringLiteral(JET_FIXTURES)))                                                              \
    QSKIP("the Access sample files are not there (../shared/fixtures/jet beside the source tree)")

class ComboBox;
class EntryList;
class ListBox;
class QLabel;
class QPushButton;
class QWidget;
class frmLumaret;

// A catalogue file in a directory of its own, made from the program's schema and the rows a test gives.
// The test reads and changes it through a connection of its own, as another program would.
class TestCatalogue {
public:
    // sql runs after the schema; withSchema false makes an empty SQLite file (or none, with noFile).
    explicit TestCatalogue(const QString& sql = {}, bool withSchema = true);

    QString directory() const { return dir.path(); }
    QString path() const;
    // Writes a file of that name beside the catalogue (a transfer file, say) and returns its path.
    QString file(const QString& name, const QByteArray& content) const;

    void exec(const QString& sql) const;
    QVariant value(const QString& sql) const;
    // All rows of a query, each row's columns joined with "|" (null as "<null>").
    QStringList rows(const QString& sql) const;

    static QString sourceFile(const QString& relative);
    // The rows of the sample catalogue that scripts/run starts on.
    static QString sampleSql();

private:
    QTemporaryDir dir;
};

// An older or hand-made catalogue's tables: columns without types, so identifiers take any value and names have no
// collation.
inline const QString looseTables = QStringLiteral(
    "CREATE TABLE tblCategory (CategoryID, CategoryName); CREATE TABLE tblFigure (FigureID, CategoryID, FigureName,"
    " FigureType); CREATE TABLE tblFigurePart (FigurePartID, FigureID, FigurePartName);");

// Runs a whole script, comments and all, on the SQLite file at path as the sqlite3 tool would; the rows of its last
// query come back with their columns joined by "|" (null as "<null>"). A failing script fails the test.
QStringList rowsOf(const QString& path, const QString& script);

// Runs script, which begins a transaction, on the catalogue from a connection of its own, as a second copy of the
// program would, and commits after holding the lock for the time given or until release is set; returns once the
// script has run.
std::thread holdLock(const QString& path, const QString& script, int milliseconds,
                     const std::atomic<bool>* release = nullptr);

// A small file system of its own that a test can fill, mounted for the test's lifetime (when it may mount).
class TinyDisk {
public:
    explicit TinyDisk(const QString& where, const char* size = "64k");
    ~TinyDisk();
    const QString path;
    bool mounted = false;
};

// Starts the program on the catalogue (as if it lay beside the executable) and returns its main window,
// or nullptr when start-up failed.
frmLumaret* startProgram(const TestCatalogue& catalogue);
// The same as a test's step: a start that fails ends the test.
#define START_PROGRAM(window, catalogue)                                                                               \
    frmLumaret* window = startProgram(catalogue);                                                                      \
    QVERIFY(window)
// The main window of the program, while one is open.
frmLumaret* runningProgram();
// The main window's controls, found by their object names.
struct MainControls {
    ComboBox* cboCategory;
    ComboBox* cboFigure;
    ListBox* lstFigureParts;
    QLabel* lblChoose;
    QLabel* lblFigureType;
    QPushButton* cmdAddCategory;
    QPushButton* cmdEditCategory;
    QPushButton* cmdEditFigure;
    QPushButton* cmdMoveFigure;
    QPushButton* cmdImport;
    QPushButton* cmdExport;
    QPushButton* cmdCancel;
};
MainControls ui(const QWidget* window);
// One named child of a window; a missing one ends the test program loudly.
QWidget* namedChild(const QWidget* window, const char* name);
template <class T> T* named(const QWidget* window, const char* name) {
    return dynamic_cast<T*>(namedChild(window, name));
}

// Closes the main window if one is open, as the user's Exit would.
void stopProgram();

// Ends a test: closes the program, forgets what the dialogs recorded, and tells whether every use-once answer
// the test gave them was taken (a left-over answer means a dialog the test expected never came).
bool endTest();

// The texts of the messages shown since the last look, in order; forgets them.
QStringList shownTexts();

// Takes back the use-once answers that no dialog came for, and forgets what the dialogs recorded.
void takeBackAnswers();

// The shown texts of a list, in order.
QStringList listed(const EntryList& list);

// Every row of the three tables, to show that a command changed nothing.
QStringList everyRow(const TestCatalogue& catalogue);

// With LUMARET_SEED_CORPUS set, copies a transfer file a test wrote or exported into that folder, where
// scripts/fuzz starts from the files the tests know.
void keepForFuzzing(const QString& transferFile);

// A random run's seed: the one the environment variable gives, to repeat a run, or a new one; printed either way.
quint32 randomSeed(const char* variable);

// The failure fn throws, or number 0 when it throws none.
Failure failureOf(const std::function<void()>& fn);
inline qint32 failureNumber(const std::function<void()>& fn) {
    return failureOf(fn).number;
}

// A program run to its end: its exit code (-1 when it crashed) and what it printed. in and out name files for its
// standard input and output.
struct Ran {
    int exitCode = -1;
    QString out;
    QString err;
};
Ran runProgram(const QString& program, const QStringList& arguments, const QString& in = {}, const QString& out = {},
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

// Every entry of a folder, hidden ones too, with a file's bytes: to show that nothing was made or changed.
QStringList folderContent(const QString& folder);

// A file's bytes, or "<missing>".
QByteArray fileContent(const QString& path);
void writeFile(const QString& path, const QByteArray& content);
