#include "catalogue/Recordset.h"

#include "catalogue/ColumnConversion.h"
#include "catalogue/EngineFailure.h"
#include "catalogue/Failure.h"

#include <QRegularExpression>
#include <QSqlRecord>

namespace {
// A name read from the catalogue may hold blanks or be a reserved word (Part Colour, Order).
QString quotedIdentifier(QString name) {
    return QLatin1Char('"') + name.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}
} // namespace

struct Recordset::Adder {
    QSqlQuery insert;
    QVector<ColumnKind> kinds;
    QVariantList row;
    bool editing = false;
};

Recordset::Recordset(QSqlDatabase db, const Statement& statement, RecordsetType type) {
    if (type == RecordsetType::Dynaset) {
        static const QRegularExpression wholeTable(QStringLiteral("^SELECT \\* FROM (\\w+)$"));
        const auto match = wholeTable.match(statement.text);
        if (!match.hasMatch())
            throw Failure(failure::OperationNotSupported,
                          QStringLiteral("Operation is not supported for this type of object."));
        const QString table = match.captured(1);
        adder = std::make_unique<Adder>(Adder{QSqlQuery(db), {}, {}, false});
        QSqlQuery info(db);
        if (!info.exec("PRAGMA table_info(" + quotedIdentifier(table) + ")"))
            throw engineFailure(info.lastError());
        while (info.next()) {
            columns << info.value(1).toString();
            adder->kinds << columnKindOf(info.value(2).toString());
        }
        if (columns.isEmpty())
            throw noSuchTable(table);
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        QStringList quoted;
        for (const QString& column : std::as_const(columns))
            quoted << quotedIdentifier(column);
        if (!adder->insert.prepare("INSERT INTO " + quotedIdentifier(table) + " (" + quoted.join(", ") + ") VALUES (" +
                                   marks.join(", ") + ")"))
            throw engineFailure(adder->insert.lastError());
        return;
    }
    query = std::make_unique<QSqlQuery>(db);
    query->setForwardOnly(true);
    if (!query->prepare(statement.text))
        throw engineFailure(query->lastError());
    for (const QVariant& value : statement.binds)
        query->addBindValue(value);
    if (!query->exec())
        throw engineFailure(query->lastError());
    const QSqlRecord record = query->record();
    for (int i = 0; i < record.count(); ++i)
        columns << record.fieldName(i);
    atEnd = !query->next();
    if (atEnd && query->lastError().isValid())
        throw engineFailure(query->lastError());
}

Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

Recordset::~Recordset() {
    Close();
}

bool Recordset::Eof() const {
    return atEnd;
}

void Recordset::MoveNext() {
    if (atEnd || !query)
        throw failure::noCurrentRecord();
    atEnd = !query->next();
    if (atEnd && query->lastError().isValid())
        throw engineFailure(query->lastError());
}

QVariant Recordset::Fields(int position) const {
    if (position < 0 || position >= columns.size())
        throw failure::itemNotFound();
    if (atEnd || !query)
        throw failure::noCurrentRecord();
    return query->value(position);
}

QVariant Recordset::Fields(const QString& name) const {
    return Fields(positionOf(name));
}

int Recordset::FieldCount() const {
    return int(columns.size());
}

QString Recordset::FieldName(int position) const {
    return columns.value(position);
}

int Recordset::positionOf(const QString& name) const {
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    throw failure::itemNotFound(name);
}

void Recordset::requireAdder() const {
    if (!adder)
        throw Failure(failure::CannotUpdate, QStringLiteral("Cannot update. Database or object is read-only."));
}

void Recordset::AddNew() {
    requireAdder();
    adder->row = QVariantList(columns.size());
    adder->editing = true;
}

void Recordset::setField(int position, const QVariant& value) {
    requireAdder();
    if (position < 0 || position >= columns.size())
        throw failure::itemNotFound();
    if (!adder->editing)
        throw Failure(failure::UpdateWithoutAddNew, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    adder->row[position] = value;
}

void Recordset::setField(const QString& name, const QVariant& value) {
    setField(positionOf(name), value);
}

void Recordset::Update() {
    requireAdder();
    if (!adder->editing)
        throw Failure(failure::UpdateWithoutAddNew, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    adder->editing = false;
    for (int i = 0; i < columns.size(); ++i)
        adder->insert.bindValue(i, convertForColumn(adder->row[i], adder->kinds[i]));
    if (!adder->insert.exec())
        throw engineFailure(adder->insert.lastError());
}

void Recordset::Close() {
    if (query)
        query->finish();
    query.reset();
    if (adder)
        adder->insert.finish();
    adder.reset();
    atEnd = true;
}
