#include "support/AccessCheck.h"

#include "access/jet/FilePageStore.h"
#include "access/jet/TableDefs.h"
#include "access/jet/UsageMap.h"
#include "catalogue/Database.h"
#include "support/TestCatalogue.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QtEndian>
#include <algorithm>

namespace accesscheck {

namespace {
QString sharedDir() {
    return QStringLiteral(LUMARET_FIXTURES_DIR "/..");
}
QString checker() {
    return sharedDir() + QStringLiteral("/tools/jetcheck/jetcheck");
}

QString unescaped(const QString& field) {
    if (field == QLatin1String("\\N"))
        return QStringLiteral("<null>");
    QString out;
    for (int i = 0; i < field.size(); ++i) {
        if (field[i] != QLatin1Char('\\') || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const QChar next = field[++i];
        out += next == QLatin1Char('t')   ? QChar('\t')
               : next == QLatin1Char('r') ? QChar('\r')
               : next == QLatin1Char('n') ? QChar('\n')
                                          : next;
    }
    return normal(out);
}

} // namespace

// One value in the form both readers agree on: numbers by their value, dates with their time, yes/no as 1 or 0.
QString normal(QString value) {
    static const QRegularExpression dateOnly(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (value == QLatin1String("true"))
        return QStringLiteral("1");
    if (value == QLatin1String("false"))
        return QStringLiteral("0");
    if (dateOnly.match(value).hasMatch())
        return value + QStringLiteral(" 00:00:00");
    bool number = false;
    const double d = value.toDouble(&number);
    if (number && !value.contains(QLatin1Char(' ')))
        return QString::number(d, 'g', 15);
    return value;
}

// The checker orders by the first column as a number; so does this, then by the whole row.
void sortRows(QStringList& rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const QString& a, const QString& b) {
        const double x = a.section(QLatin1Char('|'), 0, 0).toDouble(), y = b.section(QLatin1Char('|'), 0, 0).toDouble();
        return x != y ? x < y : a < b;
    });
}

QString missing() {
    if (!QFileInfo::exists(sharedDir() + QStringLiteral("/fixtures/jet")))
        return QStringLiteral("the Access fixtures (../shared/fixtures/jet) are not beside the project");
    if (!QFileInfo::exists(checker()))
        return QStringLiteral("the Access checker (../shared/tools/jetcheck) is not beside the project");
    if (QStandardPaths::findExecutable(QStringLiteral("java")).isEmpty())
        return QStringLiteral("no Java runtime for the Access checker");
    return {};
}

QString fixture(const QString& name) {
    return sharedDir() + QStringLiteral("/fixtures/jet/") + name;
}

QString copyOf(const QString& name, const QString& folder) {
    const QString target = folder + QLatin1Char('/') + name;
    QFile::remove(target);
    QFile::copy(fixture(name), target);
    QFile(target).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return target;
}

bool checks(const QString& file, bool write, QString* output) {
    QProcess run;
    QStringList arguments{file};
    if (write)
        arguments << QStringLiteral("--write");
    run.start(checker(), arguments);
    run.waitForFinished(120000);
    const QString said = QString::fromUtf8(run.readAllStandardOutput() + run.readAllStandardError());
    if (output)
        *output = said;
    return run.exitCode() == 0 && said.trimmed().endsWith(QLatin1String("ok"));
}

QStringList dumped(const QString& file, const QString& table) {
    QProcess run;
    run.start(checker(), {file, QStringLiteral("--dump"), table});
    run.waitForFinished(120000);
    QStringList lines = QString::fromUtf8(run.readAllStandardOutput()).split(QStringLiteral("\n"), Qt::SkipEmptyParts);
    if (!lines.isEmpty())
        lines.removeFirst(); // the column names
    QStringList rows;
    for (const QString& line : lines) {
        QStringList fields;
        for (const QString& field : line.split(QLatin1Char('\t')))
            fields << unescaped(field);
        rows << fields.join(QLatin1Char('|'));
    }
    sortRows(rows);
    return rows;
}

QString pageOfAnotherObject(const QByteArray& before, const QByteArray& after) {
    constexpr int pageSize = 4096;
    // The catalogue tables' definition pages, as the file names them; every page of theirs points at one.
    QTemporaryFile copy;
    copy.open();
    copy.write(after);
    copy.flush();
    jet::FilePageStore store(copy.fileName(), jet::FilePageStore::Mode::ReadOnly);
    QSet<quint32> owners, maps, longValuePages; // maps: the row pointers (page << 8 | row) of the tables' usage maps
    for (const auto& [name, page] : jet::listTables(store)) {
        if (!QStringList{"tblCategory", "tblFigure", "tblFigurePart"}.contains(name, Qt::CaseInsensitive))
            continue;
        owners << page;
        const jet::TableDef table = jet::readTableDefAt(store, page, name);
        maps << table.usageMapOwned << table.usageMapFree;
        for (const jet::IndexDef& index : table.indexes)
            maps << index.usedPagesMap;
        for (const jet::ColumnDef& column : table.columns) {
            maps << column.longValueOwnedMap << column.longValueFreeMap;
            if (column.longValueOwnedMap != 0)
                for (quint32 page : jet::mapPages(store, column.longValueOwnedMap, name))
                    longValuePages << page;
        }
    }
    // A reference map keeps its bits on pages of their own (type 5): those of these maps and of the map of free
    // pages (page 1, row 0) may change too.
    QSet<quint32> bitmapPages;
    for (const QByteArray* image : {&before, &after})
        for (const quint32 pointer : maps + QSet<quint32>{1u << 8}) {
            const QByteArray page = image->mid(qsizetype(pointer >> 8) * pageSize, pageSize);
            const int row = int(pointer & 0xff);
            if (page.size() < pageSize || row >= qFromLittleEndian<quint16>(page.constData() + 12))
                continue;
            const int start = qFromLittleEndian<quint16>(page.constData() + 14 + 2 * row) & 0x1fff;
            const int end = row == 0 ? pageSize : qFromLittleEndian<quint16>(page.constData() + 12 + 2 * row) & 0x1fff;
            if (start + 1 < end && page.at(start) == 1)
                for (int at = start + 1; at + 4 <= end; at += 4)
                    bitmapPages << qFromLittleEndian<quint32>(page.constData() + at);
        }
    // On a page of usage maps (a data page of no table), only the rows of these tables' maps may change.
    auto onlyOurMaps = [&](quint32 number, const QByteArray& was, const QByteArray& now) {
        if (was.left(14) != now.left(14))
            return false;
        const int rows = qFromLittleEndian<quint16>(was.constData() + 12);
        int end = pageSize;
        for (int row = 0; row < rows; ++row) {
            const int start = qFromLittleEndian<quint16>(was.constData() + 14 + 2 * row) & 0x1fff;
            if (was.mid(start, end - start) != now.mid(start, end - start) &&
                !maps.contains(number << 8 | quint32(row)))
                return false;
            end = start;
        }
        return was.mid(14, 2 * rows) == now.mid(14, 2 * rows);
    };
    for (qsizetype offset = 0; offset < before.size(); offset += pageSize) {
        const QByteArray was = before.mid(offset, pageSize), now = after.mid(offset, pageSize);
        const quint32 number = quint32(offset / pageSize);
        if (was == now || number == 1) // page 1 holds the map of free pages
            continue;
        const auto type = quint8(now.at(0));
        const quint32 owner = qFromLittleEndian<quint32>(now.constData() + 4);
        const bool ours = (type == 0x05 && bitmapPages.contains(number)) ||
                          (type == 0x01 && longValuePages.contains(number)) ||
                          (type == 0x02 && owners.contains(number)) ||
                          ((type == 0x01 || type == 0x03 || type == 0x04) && owners.contains(owner)) ||
                          (type == 0x01 && owner == 0 && quint8(was.at(0)) == 0x01 && onlyOurMaps(number, was, now)) ||
                          (quint8(was.at(0)) == 0x03 || quint8(was.at(0)) == 0x04
                               ? owners.contains(qFromLittleEndian<quint32>(was.constData() + 4))
                               : false);
        if (!ours)
            return QStringLiteral("page %1 (type %2, owner %3) changed").arg(number).arg(type).arg(owner);
    }
    return {};
}

QStringList rowsOf(Database& db, const QString& table) {
    QSqlQuery q(db.connection());
    q.exec(QStringLiteral("SELECT * FROM \"%1\"").arg(table));
    QStringList rows;
    while (q.next()) {
        QStringList fields;
        for (int i = 0; i < q.record().count(); ++i)
            fields << (q.value(i).isNull() ? QStringLiteral("<null>") : normal(q.value(i).toString()));
        rows << fields.join(QLatin1Char('|'));
    }
    sortRows(rows);
    return rows;
}

QStringList tables(const QString& file) {
    QString said;
    checks(file, false, &said);
    QStringList names;
    for (const QString& line : said.split(QLatin1Char('\n')))
        if (line.contains(QLatin1String(" rows")) && !line.startsWith(QLatin1String("format ")))
            names << line.section(QStringLiteral(": "), 0, 0);
    return names;
}

QStringList storedRows(const QString& sqliteFile, const QString& table) {
    QStringList columns;
    for (const QString& name :
         ::rowsOf(sqliteFile, QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(table)))
        columns << QStringLiteral("CASE typeof(\"%1\") WHEN 'blob' THEN lower(hex(\"%1\")) ELSE \"%1\" END").arg(name);
    QStringList rows;
    for (const QString& row :
         ::rowsOf(sqliteFile, QStringLiteral("SELECT %1 FROM \"%2\"").arg(columns.join(QLatin1Char(',')), table))) {
        QStringList fields;
        for (const QString& field : row.split(QLatin1Char('|')))
            fields << (field == QLatin1String("<null>") ? field : normal(field));
        rows << fields.join(QLatin1Char('|'));
    }
    sortRows(rows);
    return rows;
}

} // namespace accesscheck
