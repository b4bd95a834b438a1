#include "CompanionCommands.h"
#include "StagingFolder.h"

#include "catalogue/Database.h"
#include "catalogue/Failure.h"
#include "catalogue/Text.h"
#include "operations/FigureExport.h"
#include "transfer/TransferFileAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace companion {
namespace {
QList<qint32> identifiers(Database& db, const Statement& statement, const QString& column, const QString& name) {
    Recordset rows = db.OpenRecordset(statement);
    QList<qint32> found;
    while (!rows.Eof()) {
        found << requireIdentifier(rows.Fields(column), column, rowNamed(name));
        rows.MoveNext();
    }
    rows.Close();
    return found;
}

QString listed(const QList<qint32>& ids) {
    QStringList numbers;
    for (const qint32 id : ids)
        numbers << QString::number(id);
    const QString last = numbers.takeLast();
    return numbers.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

// The single entry of that name; none, or several the user could not tell apart, is refused.
qint32 onlyOne(const QList<qint32>& ids, const QString& kind, const QString& name, const QString& where) {
    if (ids.isEmpty())
        throw Failure(
            failure::ItemNotFound,
            QStringLiteral("Item not found in this collection: there is no %1 '%2'%3.").arg(kind, name, where));
    if (ids.size() > 1)
        throw Failure(failure::KeyAlreadyTaken,
                      QStringLiteral("More than one %1 is named '%2'%3 (identifiers %4); rename all but one "
                                     "of them in LumaretTool first.")
                          .arg(kind, name, where, listed(ids)));
    return ids.first();
}

qint32 categoryNamed(Database& db, const QString& name) {
    return onlyOne(identifiers(db, statements::categoriesNamed(name), QStringLiteral("CategoryID"), name),
                   QStringLiteral("category"), name, QString());
}

qint32 figureNamed(Database& db, qint32 categoryId, const QString& category, const QString& name) {
    return onlyOne(identifiers(db, statements::figuresNamed(categoryId, name), QStringLiteral("FigureID"), name),
                   QStringLiteral("figure"), name, QStringLiteral(" in category '%1'").arg(category));
}

// Without a dialog to ask, an existing file is replaced only when the user said so beforehand; something that is
// not a file is never replaced.
void checkTarget(const QString& path, bool force) {
    const QFileInfo target(path);
    if (!target.exists() && !target.isSymLink())
        return;
    if (!force)
        throw failure::fileAlreadyExists(path, QStringLiteral("--force replaces it"));
    if (!target.isFile())
        throw failure::pathFileAccess(path, QStringLiteral("not a file"));
}

// Backslash first, so that a name that already spells an escape is told apart from one made here.
QString escapedForLine(const QString& name) {
    QString escaped;
    escaped.reserve(name.size());
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u == u'\\')
            escaped += QLatin1String("\\\\");
        else if (u == u'\t')
            escaped += QLatin1String("\\t");
        else if (u == u'\n')
            escaped += QLatin1String("\\n");
        else if (u == u'\r')
            escaped += QLatin1String("\\r");
        else if (u < 0x20 || (u >= 0x7f && u < 0xa0))
            escaped += QStringLiteral("\\x%1").arg(unsigned(u), 2, 16, QLatin1Char('0'));
        else
            escaped += c;
    }
    return escaped;
}

QStringList rowsOf(Database& db, const Statement& statement, const QString& countColumn, const QString& idColumn,
                   const QString& nameColumn) {
    Recordset rows = db.OpenRecordset(statement);
    QStringList lines;
    while (!rows.Eof()) {
        const QString name = textOrEmpty(rows.Fields(nameColumn));
        lines << QString::number(requireIdentifier(rows.Fields(idColumn), idColumn, rowNamed(name))) +
                     QLatin1Char('\t') + QString::number(requireWhole(rows.Fields(countColumn))) + QLatin1Char('\t') +
                     escapedForLine(trimBlanks(name));
        rows.MoveNext();
    }
    rows.Close();
    return lines;
}

struct FigureFile {
    qint32 figureId;
    QString fileName;
};

// A figure's name as a file name that any file system takes; names that would share a file once case is
// ignored each get their identifier added.
QList<FigureFile> fileNames(Database& db, qint32 categoryId) {
    QList<FigureFile> files;
    Recordset rows = db.OpenRecordset(statements::listFigures(categoryId));
    while (!rows.Eof()) {
        QString stem = trimBlanks(textOrEmpty(rows.Fields(QStringLiteral("FigureName"))));
        const qint32 id =
            requireIdentifier(rows.Fields(QStringLiteral("FigureID")), QStringLiteral("FigureID"), rowNamed(stem));
        for (QChar& c : stem)
            if (c.unicode() < 32 || QStringLiteral("/\\:*?\"<>|").contains(c))
                c = QLatin1Char('_');
        files.append({id, stem.isEmpty() ? QStringLiteral("Figure %1").arg(id) : stem});
        rows.MoveNext();
    }
    rows.Close();

    QHash<QString, int> sharing;
    for (const FigureFile& file : files)
        ++sharing[file.fileName.toCaseFolded()];
    QSet<QString> taken;
    for (FigureFile& file : files) {
        const QString suffix = QStringLiteral(" (%1)").arg(file.figureId);
        if (sharing.value(file.fileName.toCaseFolded()) > 1)
            file.fileName += suffix;
        while (taken.contains(file.fileName.toCaseFolded()))
            file.fileName += suffix;
        taken.insert(file.fileName.toCaseFolded());
        file.fileName += QStringLiteral(".lrx");
    }
    return files;
}

// QFile::rename never replaces a file; the system's rename does, in one step. Returns why it failed, or nothing.
QString moveIntoPlace(const QString& from, const QString& to, bool replace) {
    if (replace)
        return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0
                   ? QString()
                   : QString::fromLocal8Bit(std::strerror(errno));
    QFile file(from);
    return file.rename(to) ? QString() : file.errorString();
}
} // namespace

QStringList listCategories(Database& db) {
    return rowsOf(db, statements::categoriesWithFigureCounts(), QStringLiteral("Figures"), QStringLiteral("CategoryID"),
                  QStringLiteral("CategoryName"));
}

QStringList listFigures(Database& db, const QString& category) {
    return rowsOf(db, statements::figuresWithPartCounts(categoryNamed(db, category)), QStringLiteral("Parts"),
                  QStringLiteral("FigureID"), QStringLiteral("FigureName"));
}

void exportFigure(Database& db, const QString& category, const QString& figure, const QString& file, bool force) {
    const qint32 figureId = figureNamed(db, categoryNamed(db, category), category, figure);
    checkTarget(file, force);
    operations::exportFigureFile(db, figureId, file);
}

QByteArray figureContent(Database& db, const QString& category, const QString& figure) {
    return operations::figureTransferContent(db, figureNamed(db, categoryNamed(db, category), category, figure));
}

namespace {
// A folder this command made goes again when the command ends without writing into it.
struct MadeFolder {
    explicit MadeFolder(const QString& folder) {
        if (QFileInfo(folder).isDir() || QFileInfo(folder).isSymLink())
            return;
        if (!QDir().mkpath(folder))
            throw failure::pathFileAccess(folder, QStringLiteral("the folder could not be made"));
        path = folder;
    }
    ~MadeFolder() {
        if (!path.isEmpty())
            QDir().rmdir(path);
    }
    QString path;
};
} // namespace

ExportedCategory exportCategory(Database& db, const QString& category, const QString& folder, bool force,
                                bool keepGoing) {
    const qint32 categoryId = categoryNamed(db, category);
    MadeFolder made(folder);
    if (!QFileInfo(folder).isDir())
        throw failure::pathFileAccess(folder, QStringLiteral("not a folder"));
    const QDir target(folder);
    const QList<FigureFile> files = fileNames(db, categoryId);
    QStringList paths;
    for (const FigureFile& file : files) {
        paths << target.filePath(file.fileName);
        if (!keepGoing)
            checkTarget(paths.last(), force);
    }

    // Everything is read and written out beside the folder's files first: a figure the file cannot carry or a
    // full disk stops the command before any file in the folder has changed. A failure names the file as it
    // would have been in the folder, where the user looks for it.
    StagingFolder staging(folder);
    ExportedCategory result;
    QList<qsizetype> staged;
    for (qsizetype i = 0; i < files.size(); ++i) {
        try {
            checkTarget(paths[i], force);
            saveWholeFile(staging.filePath(files[i].fileName),
                          operations::figureTransferContent(db, files[i].figureId));
            staged << i;
        } catch (Failure& failed) {
            failed.description.replace(staging.path(), QFileInfo(folder).absoluteFilePath());
            if (!keepGoing)
                throw;
            result.notWritten << QDir::toNativeSeparators(paths[i]) + QStringLiteral(": ") + errorSentence(failed);
        }
        staging.stopIfAsked();
    }

    // Only a file made meanwhile by someone else can stop a move; the files this command added go again then.
    QStringList added;
    for (const qsizetype i : staged) {
        const bool replacing = QFileInfo::exists(paths[i]);
        const QString failed = moveIntoPlace(staging.filePath(files[i].fileName), paths[i], force);
        if (!failed.isEmpty()) {
            for (const QString& path : added)
                QFile::remove(path);
            throw failure::pathFileAccess(paths[i], failed);
        }
        if (!replacing)
            added << paths[i];
        result.written << paths[i];
    }
    if (!result.written.isEmpty())
        made.path.clear();
    return result;
}

operations::ImportedFigure importFigure(Database& db, const QString& file, const QString& category) {
    return operations::importTransferFile(db, categoryNamed(db, category), file);
}

} // namespace companion
