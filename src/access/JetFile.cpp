#include "access/JetFile.h"

#include "access/jet/FilePageStore.h"
#include "access/jet/JetError.h"
#include "access/jet/JetValues.h"
#include "access/jet/RowCodec.h"
#include "access/jet/TableDefs.h"
#include "catalogue/Failure.h"

#include <QFile>
#include <QtEndian>
#include <clocale>
#include <cstring>
#include <string>
#include <vector>

// glib first: mdbtools.h includes it inside extern "C", where glib's C++ parts do not compile.
#include <glib.h>
#include <mdbtools.h>

// No column is ever bound. libmdb's bound buffers cut long memos at the bind size, give null and empty text
// alike as an empty string, and print numbers through printf; every value is decoded from the row itself instead,
// with the row's null flags from mdb_crack_row.

namespace {
// What libmdb still prints itself follows LC_NUMERIC, and a Qt program runs in the user's locale, whose decimal
// separator may be a comma. While an Access file is open the numeric locale is "C"; it is put back afterwards.
class CNumericLocale {
public:
    CNumericLocale() {
        if (const char* current = std::setlocale(LC_NUMERIC, nullptr))
            saved = current;
        std::setlocale(LC_NUMERIC, "C");
    }
    ~CNumericLocale() { std::setlocale(LC_NUMERIC, saved.c_str()); }

private:
    std::string saved = "C";
};

std::optional<JetKind> kindOf(int jetType) {
    switch (jetType) {
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
        return JetKind::Integer;
    case MDB_FLOAT:
    case MDB_DOUBLE:
        return JetKind::Real;
    case MDB_MONEY:
    case MDB_NUMERIC:
        return JetKind::Numeric;
    case MDB_TEXT:
    case MDB_MEMO:
    case MDB_REPID: // a replication identifier is kept as the {...} text Access shows for it
        return JetKind::Text;
    case MDB_OLE:
    case MDB_BINARY:
        return JetKind::Blob;
    case MDB_DATETIME:
        return JetKind::DateTime;
    case MDB_BOOL:
        return JetKind::Boolean;
    default: // attachments and fields of several values (ACE) hold keys into hidden tables libmdb cannot follow
        return std::nullopt;
    }
}

JetCell integerCell(qint64 value) {
    JetCell cell;
    cell.type = JetCell::Type::Integer;
    cell.integer = value;
    return cell;
}

JetCell realCell(double value) {
    JetCell cell;
    cell.type = JetCell::Type::Real;
    cell.real = value;
    return cell;
}

JetCell bytesCell(JetCell::Type type, QByteArray bytes) {
    JetCell cell;
    cell.type = type;
    cell.bytes = std::move(bytes);
    return cell;
}

// Hands libmdb a buffer to copy long-value chunks into, and takes it back before the next row is fetched.
class ChunkBinding {
public:
    ChunkBinding(MdbColumn* col, void* buffer) : col(col) { col->bind_ptr = buffer; }
    ~ChunkBinding() { col->bind_ptr = nullptr; }

private:
    MdbColumn* col;
};
} // namespace

struct JetFile::Handle {
    CNumericLocale locale;
    QString path;
    MdbHandle* mdb = nullptr;
    ~Handle() {
        if (mdb)
            mdb_close(mdb);
    }
};

struct JetTable::State {
    MdbHandle* mdb = nullptr;
    MdbTableDef* table = nullptr;
    QString name;
    QList<JetColumn> columns;
    std::vector<MdbField> fields;
    mutable QByteArray chunk; // where libmdb copies long values, one page at a time
    qint64 rowNumber = 0;
    // The catalogue's own tables are read by the project's page code, which follows moved rows and never brings
    // back deleted ones; then these hold the rows and their column types, and libmdb is not asked.
    std::optional<QList<QList<jet::Value>>> ownRows;
    QList<jet::ColumnType> ownTypes;
    ~State() {
        if (table)
            mdb_free_tabledef(table);
    }

    MdbColumn* column(int i) const { return static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i)); }
    [[noreturn]] void fail(int i, const QString& problem) const;
    bool readOwn(const QString& path);
    JetCell ownCell(int i, const jet::Value& value) const;
    void crackCurrentRow();
    JetCell cell(int i) const;
    JetCell fixedCell(int i) const;
    QByteArray text(const void* source, size_t length) const;
    QByteArray longValue(int i) const;
};

JetFile::JetFile(const QString& path) : handle(std::make_unique<Handle>()) {
    handle->path = path;
    handle->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!handle->mdb)
        throw Failure(failure::UnrecognizedFormat,
                      QStringLiteral("'%1' cannot be read as an Access database.").arg(path));
    if (!mdb_read_catalog(handle->mdb, MDB_ANY))
        throw Failure(failure::UnrecognizedFormat,
                      QStringLiteral("The list of tables in '%1' cannot be read; the file may be encrypted or damaged.")
                          .arg(path));
    // libmdb converts text to the character set named by MDB_ICONV; everything here expects UTF-8.
    const QByteArray charset = QByteArray(mdb_target_charset(handle->mdb)).toUpper();
    if (charset != "UTF-8" && charset != "UTF8")
        throw Failure(failure::ConversionError,
                      QStringLiteral("The environment variable MDB_ICONV asks for text in %1; unset it to convert.")
                          .arg(QString::fromLatin1(charset)));
}

JetFile::~JetFile() = default;

QStringList JetFile::tableNames() const {
    QStringList names;
    for (unsigned int i = 0; i < handle->mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(handle->mdb->catalog, i));
        if (mdb_is_user_table(entry))
            names << QString::fromUtf8(entry->object_name);
    }
    return names;
}

std::unique_ptr<JetTable> JetFile::openTable(const QString& name) const {
    auto state = std::make_unique<JetTable::State>();
    state->mdb = handle->mdb;
    state->name = name;
    for (unsigned int i = 0; i < handle->mdb->num_catalog && !state->table; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(handle->mdb->catalog, i));
        if (mdb_is_user_table(entry) && QString::fromUtf8(entry->object_name) == name)
            state->table = mdb_read_table(entry);
    }
    if (!state->table || !mdb_read_columns(state->table))
        throw Failure(failure::NoSuchTable,
                      QStringLiteral("Table '%1' of '%2' cannot be read.").arg(name, handle->path));
    if (state->readOwn(handle->path))
        return std::unique_ptr<JetTable>(new JetTable(std::move(state)));
    for (unsigned int i = 0; i < state->table->num_cols; ++i) {
        MdbColumn* col = state->column(int(i));
        const auto kind = kindOf(col->col_type);
        if (!kind)
            state->fail(int(i), QStringLiteral("is of a kind that cannot be converted (Access type %1, such as an "
                                               "attachment or a field of several values)")
                                    .arg(col->col_type));
        state->columns.append({QString::fromUtf8(col->name), *kind});
    }
    state->fields.resize(state->table->num_cols);
    state->chunk.resize(qsizetype(handle->mdb->fmt->pg_size) * 2);
    mdb_rewind_table(state->table);
    return std::unique_ptr<JetTable>(new JetTable(std::move(state)));
}

JetTable::JetTable(std::unique_ptr<State> state) : state(std::move(state)) {}

JetTable::~JetTable() = default;

const QList<JetColumn>& JetTable::columns() const {
    return state->columns;
}

bool JetTable::next(QList<JetCell>& row) {
    if (state->ownRows) {
        if (state->rowNumber >= state->ownRows->size())
            return false;
        const QList<jet::Value>& values = (*state->ownRows)[state->rowNumber++];
        row.resize(state->columns.size());
        for (int i = 0; i < state->columns.size(); ++i)
            row[i] = state->ownCell(i, values[i]);
        return true;
    }
    if (!mdb_fetch_row(state->table))
        return false;
    ++state->rowNumber;
    state->crackCurrentRow();
    row.resize(state->columns.size());
    for (int i = 0; i < state->columns.size(); ++i)
        row[i] = state->cell(i);
    return true;
}

void JetTable::State::fail(int i, const QString& problem) const {
    const QString where = rowNumber > 0 ? QStringLiteral(" in row %1").arg(rowNumber) : QString();
    throw Failure(failure::ConversionError, QStringLiteral("Column '%1' of table '%2'%3 %4.")
                                                .arg(QString::fromUtf8(column(i)->name), name, where, problem));
}

// mdb_fetch_row has just read row cur_row - 1 of the page in pg_buf (deleted rows it skips); cracking it again
// gives each field's place and its null flag.
void JetTable::State::crackCurrentRow() {
    int start = 0;
    size_t size = 0;
    if (mdb_find_row(mdb, int(table->cur_row) - 1, &start, &size) != 0 ||
        mdb_crack_row(table, start & 0x1fff, size, fields.data()) < 0)
        throw Failure(
            failure::ConversionError,
            QStringLiteral("Row %1 of table '%2' cannot be read; the file may be damaged.").arg(rowNumber).arg(name));
}

JetCell JetTable::State::cell(int i) const {
    MdbColumn* col = column(i);
    const MdbField& field = fields[size_t(i)];
    // A yes/no value lives in the null flags themselves: a set flag is Yes. It is never null.
    if (col->col_type == MDB_BOOL)
        return integerCell(field.is_null ? 0 : 1);
    // Access keeps null apart from a zero-length text, and so does the copy: the null flag decides, not the length.
    if (field.is_null)
        return {};
    switch (col->col_type) {
    case MDB_TEXT:
        return bytesCell(JetCell::Type::Text, text(field.value, size_t(field.siz)));
    case MDB_MEMO: {
        const QByteArray stored = longValue(i);
        return bytesCell(JetCell::Type::Text, text(stored.constData(), size_t(stored.size())));
    }
    case MDB_OLE:
        return bytesCell(JetCell::Type::Blob, longValue(i));
    case MDB_BINARY:
        return bytesCell(JetCell::Type::Blob, QByteArray(static_cast<const char*>(field.value), field.siz));
    default:
        return fixedCell(i);
    }
}

JetCell JetTable::State::fixedCell(int i) const {
    MdbColumn* col = column(i);
    const MdbField& field = fields[size_t(i)];
    static const std::pair<int, int> sizes[] = {{MDB_BYTE, 1},     {MDB_INT, 2},    {MDB_LONGINT, 4},
                                                {MDB_FLOAT, 4},    {MDB_DOUBLE, 8}, {MDB_MONEY, 8},
                                                {MDB_DATETIME, 8}, {MDB_REPID, 16}, {MDB_NUMERIC, 17}};
    for (const auto& [type, size] : sizes)
        if (type == col->col_type && field.siz < size)
            fail(i, QStringLiteral("holds a value too short for its type; the file may be damaged"));
    const auto* p = static_cast<const uchar*>(field.value);
    switch (col->col_type) {
    case MDB_BYTE:
        return integerCell(p[0]);
    case MDB_INT:
        return integerCell(qFromLittleEndian<qint16>(p));
    case MDB_LONGINT:
        return integerCell(qFromLittleEndian<qint32>(p));
    case MDB_FLOAT:
        return realCell(jet::singleAsDouble(qFromLittleEndian<float>(p)));
    case MDB_DOUBLE:
        return realCell(qFromLittleEndian<double>(p));
    case MDB_MONEY: // the exact text; SQLite's NUMERIC affinity makes the number (see AccessConversion.h)
        return bytesCell(JetCell::Type::Text, jet::currencyText(qFromLittleEndian<qint64>(p)));
    case MDB_DATETIME: {
        const double days = qFromLittleEndian<double>(p);
        const auto text = jet::dateTimeText(days);
        if (!text)
            fail(i, QStringLiteral("holds the date/time value %1, outside the years 100 to 9999").arg(days));
        return bytesCell(JetCell::Type::Text, text->toUtf8());
    }
    case MDB_NUMERIC: {
        char* text = mdb_numeric_to_string(mdb, field.start, col->col_scale, col->col_prec);
        const QByteArray decimal(text);
        g_free(text);
        return bytesCell(JetCell::Type::Text, decimal);
    }
    default: { // MDB_REPID
        char* text = mdb_uuid_to_string(field.value, 0);
        const QByteArray guid(text);
        g_free(text);
        return bytesCell(JetCell::Type::Text, guid);
    }
    }
}

// Jet 4 text is UCS-2, often compressed; Jet 3 text is in the file's code page. libmdb knows both.
QByteArray JetTable::State::text(const void* source, size_t length) const {
    if (length == 0)
        return {};
    QByteArray utf8(qsizetype(length) * 3 + 16, Qt::Uninitialized); // at most three bytes for each source byte
    const int written =
        mdb_unicode2ascii(mdb, static_cast<const char*>(source), length, utf8.data(), size_t(utf8.size()));
    utf8.resize(written);
    return utf8;
}

// A memo or OLE value longer than fits in its row lies on pages of its own; the first 12 bytes in the row say
// how long it is and where it starts. It is read chunk by chunk, and must come out as long as those bytes say.
QByteArray JetTable::State::longValue(int i) const {
    MdbColumn* col = column(i);
    const MdbField& field = fields[size_t(i)];
    if (field.siz == 0)
        return {};
    if (field.siz < MDB_MEMO_OVERHEAD)
        fail(i, QStringLiteral("holds a long value that cannot be read; the file may be damaged"));
    char header[MDB_MEMO_OVERHEAD];
    std::memcpy(header, field.value, sizeof header);
    const quint32 length = qFromLittleEndian<quint32>(header) & 0x3fffffff;
    col->cur_value_start = field.start;
    col->cur_value_len = field.siz;
    ChunkBinding binding(col, chunk.data());
    QByteArray value;
    size_t read = mdb_ole_read(mdb, col, header, size_t(chunk.size()));
    value.append(chunk.constData(), qsizetype(read));
    while ((read = mdb_ole_read_next(mdb, col, header)) > 0)
        value.append(chunk.constData(), qsizetype(read));
    if (quint32(value.size()) != length)
        fail(i, QStringLiteral("holds a long value of %1 bytes of which only %2 can be read")
                    .arg(length)
                    .arg(value.size()));
    return value;
}

bool JetTable::State::readOwn(const QString& path) {
    static const QStringList catalogueTables = {"tblCategory", "tblFigure", "tblFigurePart"};
    if (!catalogueTables.contains(name, Qt::CaseInsensitive))
        return false;
    try {
        jet::FilePageStore store(path, jet::FilePageStore::Mode::ReadOnly);
        if (store.version() == jet::Version::Jet3)
            return false;
        const jet::TableDef def = jet::readTableDef(store, name);
        QList<JetColumn> ownColumns;
        for (const jet::ColumnDef& c : def.columns) {
            using T = jet::ColumnType;
            static const QList<QPair<T, JetKind>> kinds = {
                {T::Boolean, JetKind::Boolean}, {T::Byte, JetKind::Integer},      {T::Int, JetKind::Integer},
                {T::Long, JetKind::Integer},    {T::Money, JetKind::Numeric},     {T::Float, JetKind::Real},
                {T::Double, JetKind::Real},     {T::DateTime, JetKind::DateTime}, {T::Text, JetKind::Text},
                {T::Memo, JetKind::Text},       {T::Ole, JetKind::Blob},          {T::Binary, JetKind::Blob}};
            const auto kind =
                std::find_if(kinds.begin(), kinds.end(), [&](const auto& k) { return k.first == c.type; });
            if (kind == kinds.end())
                return false; // GUIDs and decimals keep libmdb's text for them
            ownColumns.append({c.name, kind->second});
            ownTypes << c.type;
        }
        QList<QList<jet::Value>> rows;
        jet::scanRows(store, def, [&](jet::RowId, const QList<jet::Value>& row) { rows << row; });
        columns = ownColumns;
        ownRows = std::move(rows);
        return true;
    } catch (const jet::Error& e) {
        if (e.kind() == jet::Error::Kind::Unsupported)
            return false;
        throw Failure(failure::ConversionError,
                      QStringLiteral("Table '%1' cannot be read; the file may be damaged: %2").arg(name, e.message()));
    }
}

JetCell JetTable::State::ownCell(int i, const jet::Value& value) const {
    if (const auto* b = std::get_if<bool>(&value))
        return integerCell(*b ? 1 : 0);
    if (jet::isNull(value))
        return {};
    if (const auto* n = std::get_if<qint64>(&value))
        return integerCell(*n);
    if (const auto* m = std::get_if<jet::Currency>(&value))
        return bytesCell(JetCell::Type::Text, jet::currencyText(m->tenThousandths));
    if (const auto* d = std::get_if<double>(&value))
        return realCell(ownTypes[i] == jet::ColumnType::Float ? jet::singleAsDouble(float(*d)) : *d);
    if (const auto* t = std::get_if<jet::DateTime>(&value)) {
        const auto text = jet::dateTimeText(t->days);
        if (!text)
            throw Failure(
                failure::ConversionError,
                QStringLiteral("Column '%1' of table '%2' in row %3 holds the date/time value %4, outside the "
                               "years 100 to 9999.")
                    .arg(columns[i].name, name)
                    .arg(rowNumber)
                    .arg(t->days));
        return bytesCell(JetCell::Type::Text, text->toUtf8());
    }
    if (const auto* s = std::get_if<QString>(&value))
        return bytesCell(JetCell::Type::Text, s->toUtf8());
    return bytesCell(JetCell::Type::Blob, std::get<QByteArray>(value));
}
