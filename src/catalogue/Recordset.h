#pragma once

#include "catalogue/Statements.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

enum class RecordsetType { Dynaset = 2, Snapshot = 4 };

// A result set over one statement. A snapshot reads its rows forward and stands on the first row when opened.
// A dynaset over a whole table ("SELECT * FROM <table>") is only ever used to add rows, so it does not read
// the table at all: AddNew, set the columns, Update writes the row with one prepared INSERT.
class Recordset {
public:
    Recordset(QSqlDatabase db, const Statement& statement, RecordsetType type);
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;
    ~Recordset();

    // True once the position has passed the last row (or the set holds none). Named so because EOF is a macro.
    bool Eof() const;
    void MoveNext();

    // The current row's value, null where the column is null. Past the end: failure 3021.
    QVariant Fields(int position) const;
    QVariant Fields(const QString& name) const;
    int FieldCount() const;
    QString FieldName(int position) const;

    void AddNew();
    void setField(int position, const QVariant& value);
    void setField(const QString& name, const QVariant& value);
    void Update();

    void Close();

private:
    struct Adder;

    int positionOf(const QString& name) const;
    void requireAdder() const;

    std::unique_ptr<QSqlQuery> query;
    QStringList columns;
    bool atEnd = true;
    std::unique_ptr<Adder> adder;
};
