#include "support/TestCatalogue.h"
#include "support/ModalWindow.h"

#include "app/frmLumaret.h"
#include "app/modLumaretStart.h"
#include "catalogue/Failure.h"
#include "dialogs/EntryList.h"
#include "dialogs/FileDialog.h"
#include "dialogs/Pointer.h"
#include "dialogs/frmInputBox.h"
#include "dialogs/frmMsgBox.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTimer>
#include <QtTest>
#include <sqlite3.h>
#include <sys/mount.h>

QStringList rowsOf(const QString& path, const QString& script) {
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

std::thread holdLock(const QString& path, const QString& script, int milliseconds, const std::atomic<bool>* release) {
    std::atomic<bool> locked{false};
    std::thread other([path, script, milliseconds, release, &locked] {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &db);
        sqlite3_busy_timeout(db, 5000); // the program may still be reading when this starts
        sqlite3_exec(db, script.toUtf8().constData(), nullptr, nullptr, nullptr);
        locked = true;
        // Held for the time given, or until released: a test of giving up must not depend on how long a loaded
        // machine takes to get round to the waiting side.
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (std::chrono::steady_clock::now() < until && !(release && *release))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    });
    while (!locked)
        std::this_thread::yield();
    return other;
}

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

TinyDisk::TinyDisk(const QString& where, const char* size) : path(where) {
    QDir().mkpath(path);
    mounted =
        ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", 0, ("size=" + QByteArray(size)).data()) == 0;
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
    rowsOf(path(), (withSchema ? QString::fromUtf8(schema.readAll()) : QString()) + QLatin1Char('\n') + sql);
}

QString TestCatalogue::path() const {
    return QDir(dir.path()).filePath(QStringLiteral("data.mdb"));
}

void TestCatalogue::exec(const QString& sql) const {
    rowsOf(path(), sql);
}

QVariant TestCatalogue::value(const QString& sql) const {
    return rowsOf(path(), sql).value(0);
}

QStringList TestCatalogue::rows(const QString& sql) const {
    return rowsOf(path(), sql);
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

QWidget* namedChild(const QWidget* window, const char* name) {
    auto* child = window->findChild<QWidget*>(QLatin1String(name));
    if (!child)
        qFatal("no control named %s", name);
    return child;
}

MainControls ui(const QWidget* w) {
    return {named<ComboBox>(w, "cboCategory"),        named<ComboBox>(w, "cboFigure"),
            named<ListBox>(w, "lstFigureParts"),      named<QLabel>(w, "lblChoose"),
            named<QLabel>(w, "lblFigureType"),        named<QPushButton>(w, "cmdAddCategory"),
            named<QPushButton>(w, "cmdEditCategory"), named<QPushButton>(w, "cmdEditFigure"),
            named<QPushButton>(w, "cmdMoveFigure"),   named<QPushButton>(w, "cmdImport"),
            named<QPushButton>(w, "cmdExport"),       named<QPushButton>(w, "cmdCancel")};
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

bool endTest() {
    stopProgram();
    setPointer(Pointer::Default);
    const bool used =
        frmMsgBox::unusedAnswers() == 0 && frmInputBox::unusedTexts() == 0 && FileDialog::unusedFileNames() == 0;
    // One failing test must not hand its answers to the next.
    takeBackAnswers();
    return used;
}

QStringList shownTexts() {
    QStringList texts;
    for (const ShownMessage& message : frmMsgBox::takeShown())
        texts << message.text;
    return texts;
}

void takeBackAnswers() {
    while (frmMsgBox::unusedAnswers() > 0)
        ShowMessage(QString(), msgbox::OkOnly, QString());
    while (frmInputBox::unusedTexts() > 0)
        AskText(QString(), msgbox::OkOnly, QString(), QString());
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

quint32 randomSeed(const char* variable) {
    bool given = false;
    const quint32 value = qEnvironmentVariable(variable).toUInt(&given);
    const quint32 chosen = given ? value : QRandomGenerator::global()->generate();
    qInfo("seed %u (%s repeats it)", chosen, variable);
    return chosen;
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
    return Failure::withNumber(0, {});
}

QString TestCatalogue::file(const QString& name, const QByteArray& content) const {
    const QString path = dir.filePath(name);
    writeFile(path, content);
    return path;
}

Ran runProgram(const QString& program, const QStringList& arguments, const QString& in, const QString& out,
               const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!in.isEmpty())
        process.setStandardInputFile(in);
    if (!out.isEmpty())
        process.setStandardOutputFile(out);
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        qFatal("%s did not finish", qPrintable(program));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

QStringList folderContent(const QString& folder) {
    QStringList listed;
    for (const QString& name : QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        listed << name + "=" + QString::fromLatin1(fileContent(QDir(folder).filePath(name)));
    return listed;
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

bool chooseInFileDialog(QFileDialog* dialog, const QString& file) {
    // Within the watchdog's ten seconds for an unanswered window.
    const auto within = [](int milliseconds, const std::function<bool()>& done) {
        return QTest::qWaitFor(done, milliseconds);
    };
    auto* model = dialog->findChild<QFileSystemModel*>();
    const auto* buttons = dialog->findChild<QDialogButtonBox*>();
    QPushButton* press = buttons
                             ? buttons->button(dialog->acceptMode() == QFileDialog::AcceptOpen ? QDialogButtonBox::Open
                                                                                               : QDialogButtonBox::Save)
                             : nullptr;
    if (!model || !press) {
        dialog->reject();
        return false;
    }
    // The dialog's model knows a file only once it has listed its folder; the Open button waits for that.
    const auto listed = [&] {
        const QModelIndex folder = model->index(QFileInfo(file).absolutePath());
        if (model->canFetchMore(folder))
            model->fetchMore(folder);
        return model->index(file).isValid();
    };
    dialog->selectFile(file);
    if (within(4000, listed)) {
        dialog->selectFile(file);
        if (within(2000, [&] { return press->isEnabled(); }))
            press->click();
    }
    // On a loaded machine the listing, which runs on a thread of the dialog's, can lag by seconds. The user's
    // other way then: the path typed in full, which the dialog checks on the disk itself when accepted.
    // selectFile leaves the name box alone while it has the focus, so the path goes into the box itself.
    if (dialog->isVisible()) {
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->setText(file);
        static_cast<QDialog*>(dialog)->accept();
    }
    if (within(2000, [&] { return !dialog->isVisible(); }))
        return true;
    dialog->reject();
    return false;
}
