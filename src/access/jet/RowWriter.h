#pragma once

// Placeholder until the row writer lands: Access catalogues open read-only, saying so.
#include "access/jet/JetError.h"
#include "access/jet/JetTypes.h"

#include <optional>

namespace jet {
class RowWriter {
public:
    explicit RowWriter(PageStore&) {}
    RowId insertRow(TableDef&, const QList<Value>&) { refuse(); }
    void updateRow(TableDef&, RowId, const QList<Value>&) { refuse(); }
    void deleteRow(TableDef&, RowId) { refuse(); }

private:
    [[noreturn]] static void refuse() {
        throw Error(Error::Kind::Unsupported, QStringLiteral("Access files are only read."));
    }
};
inline std::optional<QString> whyNotWritable(PageStore&, const QList<TableDef>&) {
    return QStringLiteral("This version of the program reads Access catalogues but does not write them yet.");
}
} // namespace jet
