#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

// What a column becomes in SQLite; the declared type follows from it (see declaredType).
enum class JetKind { Integer, Real, Numeric, Text, Blob, DateTime, Boolean };

struct JetColumn {
    QString name;
    JetKind kind;
};

// One value on its way into SQLite: numbers keep their storage class, text is UTF-8 (an empty text is not null).
struct JetCell {
    enum class Type { Null, Integer, Real, Text, Blob };
    Type type = Type::Null;
    qint64 integer = 0;
    double real = 0;
    QByteArray bytes;
};

class JetTable;

// An Access file (Jet 3, Jet 4, or as far as libmdb reads it, ACE) open for reading; it is never written to.
// The libmdb types stay inside JetFile.cpp so that nothing else sees glib.
class JetFile {
public:
    explicit JetFile(const QString& path);
    ~JetFile();
    JetFile(const JetFile&) = delete;
    JetFile& operator=(const JetFile&) = delete;

    // The user tables in the order the file lists them; system and linked tables are left out.
    QStringList tableNames() const;
    // A table read from its first row. Fails when a column is of a kind that cannot be converted.
    std::unique_ptr<JetTable> openTable(const QString& name) const;

private:
    struct Handle;
    std::unique_ptr<Handle> handle;
};

class JetTable {
public:
    ~JetTable();
    JetTable(const JetTable&) = delete;
    JetTable& operator=(const JetTable&) = delete;

    const QList<JetColumn>& columns() const;
    // Reads the next row that is not deleted; false after the last one.
    bool next(QList<JetCell>& row);

private:
    friend class JetFile;
    struct State;
    explicit JetTable(std::unique_ptr<State> state);
    std::unique_ptr<State> state;
};
