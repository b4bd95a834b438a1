#pragma once

#include "catalogue/Statements.h"

#include <QByteArrayView>
#include <QSqlDatabase>
#include <QStringList>
#include <QStringView>
#include <QVariant>
#include <memory>
#include <string_view>

enum class RecordsetType { Dynaset = 2, Snapshot = 4 };

// A result set over one statement, run on the engine's own interface: the program reads and adds rows by the
// hundred thousand, where Qt's per-value QVariants and named bindings would cost more than the engine itself.
// A snapshot reads its rows forward and stands on the first row when opened.
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
    // The position of a column by name, without regard to case; 3265 naming it when there is none.
    int FieldPosition(const QString& name) const;

    // The current row's value without a QVariant, for loops over many rows: one call to the engine gives the
    // kind and the value, and Fields gives the same value for any kind. The view stays valid until the row
    // moves or the field is read in another form. Failures as Fields.
    enum class FieldKind { Null, Whole, Real, Text, Bytes };
    struct FieldValue {
        FieldKind kind = FieldKind::Null;
        qint64 whole = 0;    // for Whole
        QByteArrayView utf8; // for Text (as UTF-8) and Bytes (as they are)
    };
    FieldValue field(int position) const;
    QStringView textField(int position) const; // text as UTF-16, exactly as Fields gives it

    void AddNew();
    void setField(int position, const QVariant& value);
    void setField(const QString& name, const QVariant& value);
    // A whole number, as setField with one but without a QVariant for each value.
    void setWholeField(int position, qint64 value);
    // A text given as UTF-8 (copied at once); Update converts it for its column like any other text.
    void setFieldUtf8(int position, std::string_view utf8);
    // Writes the row. A text its number column cannot take fails as RefusedValue (3421), naming the column.
    void Update();

    void Close();

private:
    struct Rows;
    struct Adder;

    void requireRow(int position) const;
    void requireAdder() const;
    void requireEditing() const;

    std::unique_ptr<Rows> rows;
    QStringList columns;
    bool atEnd = true;
    std::unique_ptr<Adder> adder;
};
