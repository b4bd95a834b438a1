#pragma once

#include "catalogue/Statements.h"

#include <QByteArrayView>
#include <QSqlDatabase>
#include <QStringList>
#include <QStringView>
#include <QVariant>
#include <memory>

// The rows of one statement, read forward on the engine's own interface: the program reads rows by the hundred
// thousand, where Qt's per-value QVariants would cost more than the engine itself. It stands on the first row
// when opened. Rows are added through a RowAdder instead.
class Recordset {
public:
    Recordset(QSqlDatabase db, const Statement& statement);
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
    FieldValue RawField(int position) const;
    QStringView TextField(int position) const; // text as UTF-16, exactly as Fields gives it

    void Close();

private:
    struct Rows;

    void RequireRow(int position) const;

    std::unique_ptr<Rows> rows;
    QStringList columns;
    bool atEnd = true;
};

// The position of a column among names, without regard to case (catalogues made by hand or converted spell them
// as they like); 3265 naming it when there is none.
int columnPosition(const QStringList& columns, const QString& name);
