#include "access/AccessConversion.h"

#include "access/JetFile.h"
#include "access/SqliteFile.h"
#include "access/TargetSchema.h"
#include "catalogue/Failure.h"

#include <QFile>
#include <QFileInfo>
#include <memory>
#include <vector>

namespace {
// Often enough for a progress bar over a large parts table, seldom enough to cost nothing.
constexpr qint64 rowsBetweenReports = 4096;

qint64 copyRows(JetTable& source, const TableDefinition& definition, SqliteFile& target, ConversionProgress& state,
                const std::function<void(const ConversionProgress&)>& report) {
    QStringList columns;
    for (const JetColumn& column : definition.columns)
        columns << column.name;
    target.prepareInsert(insertStatement(definition), columns);
    QList<JetCell> row;
    while (source.next(row)) {
        ++state.rowsDone;
        target.insert(row,
                      QStringLiteral("Row %1 of table '%2' cannot be copied").arg(state.rowsDone).arg(definition.name));
        if (state.rowsDone % rowsBetweenReports == 0)
            report(state);
    }
    return state.rowsDone;
}

// The first bytes of a regular file, and none of anything else: opening a named pipe alone would wait for a writer.
QByteArray firstBytes(const QString& path, qint64 count) {
    QFile file(path);
    if (failure::notRegularFile(path) || !file.open(QIODevice::ReadOnly))
        return {};
    return file.read(count);
}
} // namespace

bool isAccessFile(const QString& path) {
    const QByteArray mark = firstBytes(path, 19).mid(4);
    return mark == "Standard Jet DB" || mark == "Standard ACE DB";
}

bool isAccess97File(const QString& path) {
    const QByteArray head = firstBytes(path, 0x15);
    // The version byte: 0 for Jet 3, 1 and up for Jet 4 and ACE.
    return head.mid(4, 15) == "Standard Jet DB" && head.size() == 0x15 && head.at(0x14) == 0;
}

ConversionSummary convertAccessFile(const QString& source, const QString& target, bool requireCatalogue,
                                    const std::function<void(const ConversionProgress&)>& progress) {
    if (!QFileInfo::exists(source))
        throw Failure(failure::FileNotFound, QStringLiteral("File not found: '%1'.").arg(source));
    if (!isAccessFile(source))
        throw Failure(failure::UnrecognizedFormat, QStringLiteral("'%1' is not an Access database.").arg(source));
    if (QFileInfo::exists(target))
        throw failure::fileAlreadyExists(target, QStringLiteral("it is never overwritten"));

    // Every table is opened before the target exists, so that a column of a kind that cannot be converted, or a
    // missing catalogue table, is found with nothing written yet.
    JetFile file(source);
    std::vector<std::unique_ptr<JetTable>> tables;
    QList<TableDefinition> definitions;
    for (const QString& name : file.tableNames()) {
        tables.push_back(file.openTable(name));
        definitions.append({name, tables.back()->columns()});
    }
    if (requireCatalogue)
        ::requireCatalogue(definitions, source);

    const auto report = [&progress](const ConversionProgress& state) {
        if (progress)
            progress(state);
    };
    SqliteFile out(target);
    ConversionProgress state;
    state.tableCount = int(definitions.size());
    ConversionSummary summary;
    for (size_t i = 0; i < tables.size(); ++i) {
        const TableDefinition& definition = definitions[qsizetype(i)];
        out.execute(createTableStatement(definition));
        state.table = definition.name;
        state.rowsDone = 0;
        report(state);
        const qint64 rows = copyRows(*tables[i], definition, out, state, report);
        // Indexes after the rows: building one at the end is cheaper than keeping it up to date row by row.
        for (const Statement& index : createIndexStatements(definition))
            out.execute(index);
        summary.tables.append({definition.name, rows});
        ++state.tablesDone;
        report(state);
    }
    out.commit();
    return summary;
}
