#include "support/TestCatalogue.h"

#include "app/EntryList.h"
#include "app/frmLumaret.h"
#include "app/modLumaretStart.h"
#include "catalogue/Failure.h"
#include "dialogs/FileDialog.h"
#include "dialogs/Pointer.h"
#include "dialogs/frmInputBox.h"
#include "dialogs/frmMsgBox.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QtTest>
#include <sqlite3.h>
#include <sys/mount.h>

namespace {
// A whole script, comments and all, as the sqlite3 tool would run it; the rows of its last query come back with
// their columns joined by "|" (null as "<null>").
QStringList runScript(const QString& path, const QString& script) {
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK)
        qFatal("cannot open test catalogue %s", qPrintable(path));
    sqlite3_busy_timeout(db, 5000);
    QStringList rows;
    const auto collect = [](void* into, int count, char** values, char**) {
        QStringList columns;
        for (int i = 0; i < count; ++i)
            columns << (values[i] ? QString::fromUtf8(values[i]) : QStringLiteral("<null>"));
        static_cast<QStringList*>(into)->append(columns.join(QLatin1Char('|')));
        return 0;
    };
    char* error = nullptr;
    // A failing script fails the test that ran it (a catalogue the program left locked, say) and lets the
    // others run.
    if (sqlite3_exec(db, script.toUtf8().constData(), collect, &rows, &error) != SQLITE_OK) {
        QTest::qFail(
            qPrintable(
                QStringLiteral("test catalogue script failed: %1\n%2").arg(QString::fromUtf8(error), script.left(300))),
            __FILE__, __LINE__);
        sqlite3_free(error);
    }
    sqlite3_close(db);
    return rows;
}
} // namespace

QString TestCatalogue::sourceFile(const QString& relative) {
    return QDir(QStringLiteral(LUMARET_SOURCE_DIR)).filePath(relative);
}

QString TestCatalogue::sampleSql() {
    QFile sample(sourceFile(QStringLiteral("resources/catalogue/sample.sql")));
    if (!sample.open(QIODevice::ReadOnly))
        qFatal("sample.sql not found");
    return QString::fromUtf8(sample.readAll());
}

namespace {
// A window the test did not expect would wait for a user who never comes; end the test program with a clear
// report instead of leaving it to the test runner's timeout.
void watchForForgottenWindows() {
    static QTimer* watchdog = nullptr;
    // Test programs without windows run on a plain QCoreApplication: nothing to watch there.
    if (watchdog || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    watchdog = new QTimer(QCoreApplication::instance());
    watchdog->setInterval(1000);
    QObject::connect(watchdog, &QTimer::timeout, [] {
        static QPointer<QWidget> seen;
        static int seconds = 0;
        QWidget* modal = QApplication::activeModalWidget();
        seconds = modal && modal == seen ? seconds + 1 : 0;
        seen = modal;
        if (seconds >= 10)
            qFatal("a window nobody answers stayed open: '%s' %s", qPrintable(modal->windowTitle()),
                   qPrintable(modal->findChild<QLabel*>(QStringLiteral("lblMsgText"))
                                  ? modal->findChild<QLabel*>(QStringLiteral("lblMsgText"))->text()
                                  : QString()));
    });
    watchdog->start();
}
} // namespace

TinyDisk::TinyDisk(const QString& where) : path(where) {
    QDir().mkpath(path);
    mounted = ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", 0, "size=64k") == 0;
}

TinyDisk::~TinyDisk() {
    if (mounted)
        ::umount(QFile::encodeName(path).constData());
}

TestCatalogue::TestCatalogue(const QString& sql, bool withSchema) {
    watchForForgottenWindows();
    if (!withSchema && sql.isEmpty())
        return;
    QFile schema(sourceFile(QStringLiteral("resources/catalogue/schema.sql")));
    if (!schema.open(QIODevice::ReadOnly))
        qFatal("schema.sql not found");
    runScript(path(), (withSchema ? QString::fromUtf8(schema.readAll()) : QString()) + QLatin1Char('\n') + sql);
}

QString TestCatalogue::path() const {
    return QDir(dir.path()).filePath(QStringLiteral("data.mdb"));
}

void TestCatalogue::exec(const QString& sql) const {
    runScript(path(), sql);
}

QVariant TestCatalogue::value(const QString& sql) const {
    return runScript(path(), sql).value(0);
}

QStringList TestCatalogue::rows(const QString& sql) const {
    return runScript(path(), sql);
}

frmLumaret* startProgram(const TestCatalogue& catalogue) {
    return modLumaretStart::Main(modLumaretStart::besideProgram(catalogue.directory()));
}

frmLumaret* runningProgram() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* main = qobject_cast<frmLumaret*>(window))
            return main;
    return nullptr;
}

void stopProgram() {
    if (frmLumaret* window = runningProgram()) {
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // Closing the main window asks the application to quit; with no event loop running that request
        // stays pending and would end every later modal window of the test at once. Let it be taken up here.
        QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
        QCoreApplication::exec();
    }
}

bool dialogHooksUsed() {
    return frmMsgBox::unusedAnswers() == 0 && frmInputBox::unusedTexts() == 0 && FileDialog::unusedFileNames() == 0;
}

bool endTest() {
    stopProgram();
    setPointer(Pointer::Default);
    const bool used = dialogHooksUsed();
    // One failing test must not hand its answers to the next.
    takeBackAnswers();
    return used;
}

void takeBackAnswers() {
    while (frmMsgBox::unusedAnswers() > 0)
        ShowMessage(QString(), 0, QString());
    while (frmInputBox::unusedTexts() > 0)
        AskText(QString(), 0, QString(), QString());
    while (FileDialog::unusedFileNames() > 0) {
        try {
            FileDialog::getOpenFileName(nullptr, QString(), QString());
        } catch (const Failure&) {
        }
    }
    frmMsgBox::takeShown();
    frmInputBox::takeAsked();
    FileDialog::takeRequests();
}

QStringList listed(const EntryList& list) {
    QStringList texts;
    for (int i = 0; i < list.ListCount(); ++i)
        texts << list.entries().text(i);
    return texts;
}

QStringList everyRow(const TestCatalogue& catalogue) {
    return catalogue.rows("SELECT * FROM tblCategory ORDER BY 1") +
           catalogue.rows("SELECT * FROM tblFigure ORDER BY 1") +
           catalogue.rows("SELECT * FROM tblFigurePart ORDER BY 1");
}

void keepForFuzzing(const QString& transferFile) {
    const QString corpus = qEnvironmentVariable("LUMARET_SEED_CORPUS");
    QFile file(transferFile);
    if (corpus.isEmpty() || !file.open(QIODevice::ReadOnly))
        return;
    const QByteArray content = file.readAll();
    QDir().mkpath(corpus);
    // Named by content, so that the same file written by several tests is kept once.
    QFile kept(QDir(corpus).filePath(
        QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Sha1).toHex())));
    if (kept.open(QIODevice::WriteOnly))
        kept.write(content);
}

Failure failureOf(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const Failure& f) {
        return f;
    }
    return {0, {}};
}

QByteArray fileContent(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    file.close();
    if (path.endsWith(".lrx"))
        keepForFuzzing(path);
}
