#include "access/jet/Writability.h"

namespace jet {

std::optional<QString> whyNotWritable(FilePageStore& store, const TableDef& table, IndexUpkeep& indexes) {
    const QString file = store.path();
    if (store.version() == Version::Jet3)
        return QStringLiteral("%1 is an Access 97 (Jet 3) file, which this program reads but does not change.")
            .arg(file);
    if (store.encrypted() || store.hasPassword())
        return QStringLiteral("%1 is protected by a password or encrypted, which this program does not change.")
            .arg(file);
    for (const ColumnDef& c : table.columns) {
        switch (c.type) {
        case ColumnType::Boolean:
        case ColumnType::Byte:
        case ColumnType::Int:
        case ColumnType::Long:
        case ColumnType::Money:
        case ColumnType::Float:
        case ColumnType::Double:
        case ColumnType::DateTime:
        case ColumnType::Binary:
        case ColumnType::Text:
        case ColumnType::Ole:
        case ColumnType::Memo:
        case ColumnType::Guid:
        case ColumnType::Numeric:
        case ColumnType::BigInt:
            continue;
        default:
            return QStringLiteral("Column \"%1\" of table \"%2\" holds attachments or several values (type %3), "
                                  "which this program cannot write.")
                .arg(c.name, table.name)
                .arg(int(c.type));
        }
    }
    return indexes.whyNotKept(store, table);
}

} // namespace jet
