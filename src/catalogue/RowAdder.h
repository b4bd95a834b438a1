#pragma once

#include <QSqlDatabase>
#include <QStringList>
#include <memory>
#include <string_view>

// Adds rows to one table through one prepared INSERT of all its columns, for the import's many parts: AddNew,
// set the columns, Update writes the row. Columns not set are null.
class RowAdder {
public:
    // Fails as the engine does, or as 3078 when the catalogue has no such table.
    RowAdder(QSqlDatabase db, const QString& table);
    RowAdder(RowAdder&&) noexcept;
    RowAdder& operator=(RowAdder&&) noexcept;
    ~RowAdder();

    int FieldCount() const;
    // The name of the column at that position; empty when there is none.
    QString FieldName(int position) const;
    // The position of a column by name, without regard to case; 3265 naming it when there is none.
    int FieldPosition(const QString& name) const;

    void AddNew();
    void SetWholeField(int position, qint64 value);
    // A text given as UTF-8 (copied at once); Update converts it for its column's declared type.
    void SetTextField(int position, std::string_view utf8);
    // Writes the row. A text its number column cannot take fails as RefusedValue (3421), naming the column.
    void Update();

    void Close();

private:
    struct Table;
    struct Value;

    Value& PendingAt(int position);
    void Bind(int position);

    std::unique_ptr<Table> table;
};
