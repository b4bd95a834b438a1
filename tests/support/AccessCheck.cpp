#include "support/AccessCheck.h"

#include "catalogue/Database.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <algorithm>

namespace accesscheck {

namespace {
QString sharedDir() {
    return QStringLiteral(LUMARET_FIXTURES_DIR "/..");
}
QString checker() {
    return sharedDir() + QStringLiteral("/tools/jetcheck/jetcheck");
}

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

// The checker orders by the first column as a number; so does this, then by the whole row.
void sortRows(QStringList& rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const QString& a, const QString& b) {
        const double x = a.section(QLatin1Char('|'), 0, 0).toDouble(), y = b.section(QLatin1Char('|'), 0, 0).toDouble();
        return x != y ? x < y : a < b;
    });
}
} // namespace

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

} // namespace accesscheck
