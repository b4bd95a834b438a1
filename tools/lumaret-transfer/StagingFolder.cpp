#include "StagingFolder.h"

#include "catalogue/Failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <cerrno>
#include <csignal>
#include <iterator>
#include <limits>
#include <signal.h>

namespace {
const QString prefix = QStringLiteral(".lumaret-transfer-");
constexpr int stopSignals[] = {SIGINT, SIGTERM, SIGHUP};
volatile std::sig_atomic_t stopSignal = 0;
struct sigaction previous[std::size(stopSignals)];

extern "C" void noteStop(int signal) {
    stopSignal = signal;
}

bool processAlive(qint64 pid) {
    return pid > 0 && pid <= std::numeric_limits<pid_t>::max() && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

// Folders named before the process id went into the name (".lumaret-transfer-XXXXXX") can only be stale too.
void removeStale(const QDir& folder) {
    static const QRegularExpression ours(QStringLiteral("^\\.lumaret-transfer-(?:(\\d+)-)?[A-Za-z0-9]{6}$"));
    for (const QString& name : folder.entryList({prefix + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden)) {
        const QRegularExpressionMatch match = ours.match(name);
        if (match.hasMatch() && !processAlive(match.captured(1).toLongLong()))
            QDir(folder.filePath(name)).removeRecursively();
    }
}

QString stagingTemplate(const QString& folder) {
    return QDir(folder).absoluteFilePath(prefix + QString::number(QCoreApplication::applicationPid()) +
                                         QStringLiteral("-XXXXXX"));
}

void restoreSignals() {
    for (std::size_t i = 0; i < std::size(stopSignals); ++i)
        sigaction(stopSignals[i], &previous[i], nullptr);
}
} // namespace

StagingFolder::StagingFolder(const QString& folder) {
    removeStale(QDir(folder));
    struct sigaction noting {};
    noting.sa_handler = noteStop;
    noting.sa_flags = SA_RESTART;
    sigemptyset(&noting.sa_mask);
    for (std::size_t i = 0; i < std::size(stopSignals); ++i)
        sigaction(stopSignals[i], &noting, &previous[i]);
    dir.emplace(stagingTemplate(folder));
    if (!dir->isValid()) {
        const QString reason = dir->errorString();
        restoreSignals();
        throw failure::pathFileAccess(folder, reason);
    }
}

StagingFolder::~StagingFolder() {
    stopIfAsked();
    dir.reset();
    restoreSignals();
    if (stopSignal != 0)
        std::raise(stopSignal);
}

void StagingFolder::stopIfAsked() {
    const int signal = stopSignal;
    if (signal == 0)
        return;
    dir->remove();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
