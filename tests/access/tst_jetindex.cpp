// Index keys and index trees against the sample catalogues: every key the files hold is the key this program makes
// of the row, and random changes through the upkeep leave trees that hold exactly what a plain model holds.
#include "access/jet/IndexKeys.h"
#include "access/jet/IndexTree.h"
#include "access/jet/IndexUpkeep.h"
#include "access/jet/JetError.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>
#include <algorithm>

using namespace jet;

namespace {

const QString fixtures = QStringLiteral(LUMARET_FIXTURES_DIR "/jet/");
const QStringList catalogues = {"catalogueV2000.mdb", "catalogueIndexedV2003.mdb", "catalogueChurnV2000.mdb",
                                "catalogueIdsV2007.accdb"};

// A whole file in memory, pages added at its end.
class MemoryStore : public PageStore {
public:
    explicit MemoryStore(QByteArray file) : file_(std::move(file)) {}
    Version version() const override { return Version(std::min<int>(quint8(file_.at(0x14)), 2)); }
    int pageSize() const override { return version() == Version::Jet3 ? 2048 : 4096; }
    quint32 pageCount() const override { return quint32(file_.size() / pageSize()); }
    QByteArray read(quint32 page) const override { return file_.mid(qsizetype(page) * pageSize(), pageSize()); }
    void write(quint32 page, const QByteArray& bytes) override {
        file_.replace(qsizetype(page) * pageSize(), pageSize(), bytes);
    }
    quint32 allocate() override {
        file_.append(QByteArray(pageSize(), '\0'));
        return pageCount() - 1;
    }
    QByteArray file_;
};

quint16 u16(const QByteArray& b, int at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}
quint32 u32(const QByteArray& b, int at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}

// The table definitions of a Jet 4 / ACE file, found by scanning for definition pages (enough for the samples).
QList<TableDef> tableDefs(const PageStore& store) {
    QSet<quint32> continuations;
    for (quint32 p = 1; p < store.pageCount(); ++p) {
        const QByteArray page = store.read(p);
        if (page.at(0) == 0x02 && u32(page, 4))
            continuations.insert(u32(page, 4));
    }
    QList<TableDef> tables;
    for (quint32 p = 1; p < store.pageCount(); ++p) {
        QByteArray b = store.read(p);
        if (b.at(0) != 0x02 || continuations.contains(p) || b.at(40) != 0x4E)
            continue; // user tables only
        for (quint32 next = u32(b, 4); next; next = u32(store.read(next), 4))
            b += store.read(next).mid(8);
        TableDef t;
        t.definitionPage = p;
        const int columns = u16(b, 45), logical = int(u32(b, 47)), reals = int(u32(b, 51));
        int at = 63 + 12 * reals;
        for (int c = 0; c < columns; ++c, at += 25) {
            ColumnDef col;
            col.type = ColumnType(quint8(b[at]));
            col.number = u16(b, at + 5);
            col.collation = col.type == ColumnType::Text || col.type == ColumnType::Memo ? u16(b, at + 11) : 0;
            col.collationVersion = quint8(b[at + 14]);
            t.columns.append(col);
        }
        for (ColumnDef& col : t.columns) {
            const int len = u16(b, at);
            col.name = QString::fromUtf16(reinterpret_cast<const char16_t*>(b.constData() + at + 2), len / 2);
            at += 2 + len;
        }
        std::stable_sort(t.columns.begin(), t.columns.end(), [](auto& x, auto& y) { return x.number < y.number; });
        for (int i = 0; i < reals; ++i, at += 52) {
            IndexDef index;
            index.number = i;
            for (int c = 0; c < 10; ++c)
                if (u16(b, at + 4 + 3 * c) != 0xFFFF)
                    index.columns.append({u16(b, at + 4 + 3 * c), bool(b[at + 6 + 3 * c] & 1)});
            index.usedPagesMap = u32(b, at + 34);
            index.rootPage = u32(b, at + 38);
            index.flags = quint8(b[at + 46]);
            t.indexes.append(index);
        }
        for (int i = 0; i < logical; ++i, at += 28)
            if (b[at + 23] == 1)
                t.indexes[int(u32(b, at + 8))].primaryKey = true;
        tables.append(t);
    }
    return tables;
}

QString unescape(const QString& s) {
    QString out;
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const QChar c = s[++i];
        out += c == 't' ? QChar('\t') : c == 'r' ? QChar('\r') : c == 'n' ? QChar('\n') : c;
    }
    return out;
}

// The catalogue tables of a file as the independent reader dumps them: name, header line, data lines.
const QList<QStringList>& dumps(const QString& file) {
    static QHash<QString, QList<QStringList>> cache;
    if (!cache.contains(file))
        for (const QString name : {"tblCategory", "tblFigure", "tblFigurePart"}) {
            QProcess p;
            p.start(QStringLiteral(JETCHECK_TOOL), {file, "--dump", name});
            p.waitForFinished(120000);
            cache[file] << (QStringList{name} +
                            QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts));
        }
    return cache[file];
}

// The live rows of the catalogue table whose columns are these (naming the table), or none for another table.
QList<QList<Value>> dumpedRows(const QString& file, TableDef& table) {
    QStringList names;
    for (const ColumnDef& c : table.columns)
        names << c.name;
    for (const QStringList& dump : dumps(file)) {
        if (dump.value(1).split('\t') != names)
            continue;
        table.name = dump[0];
        QList<QList<Value>> rows;
        for (const QString& line : dump.mid(2)) {
            const QStringList fields = line.split('\t');
            QList<Value> row;
            for (int i = 0; i < table.columns.size(); ++i) {
                const QString f = fields.value(i);
                const ColumnType type = table.columns[i].type;
                if (f == "\\N")
                    row << Value{};
                else if (type == ColumnType::Text || type == ColumnType::Memo)
                    row << Value{unescape(f)};
                else if (type == ColumnType::Long || type == ColumnType::Int || type == ColumnType::Byte)
                    row << Value{qint64(f.toLongLong())};
                else if (type == ColumnType::Boolean)
                    row << Value{f == "true"};
                else
                    row << Value{}; // not indexed in the samples
            }
            rows << row;
        }
        return rows;
    }
    return {};
}

bool skipWithoutSamples() {
    return !QFile::exists(fixtures + catalogues[0]) || QStandardPaths::findExecutable("java").isEmpty();
}

} // namespace

class JetIndexTest : public QObject {
    Q_OBJECT

private slots:
    // Keys that no sample holds: the accent, case, skipped-character and descending rules on their own.
    void textKeys_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<QByteArray>("key");
        // an apostrophe leaves the sort but is kept at the end with its position: 01 01 01, 0x8000 | 7 + 4 * 1, 06
        QTest::newRow("apostrophe") << "O'a" << true << QByteArray::fromHex("644a01010101800b068000");
        QTest::newRow("accent after an apostrophe") << "'é" << true
                                                    << QByteArray::fromHex("51010e010101800706"
                                                                           "8000");
        QTest::newRow("trailing spaces ignored") << "a  " << true << QByteArray::fromHex("4a0100");
        QTest::newRow("descending inverts, then ends") << "a" << false << QByteArray::fromHex("b5feff00");
    }

    void textKeys() {
        QFETCH(QString, text);
        QFETCH(bool, ascending);
        QFETCH(QByteArray, key);
        QCOMPARE(generalLegacyTextKey(text, ascending).toHex(), key.toHex());
    }

    void refusesCharactersItCannotVouchFor() {
        for (char16_t c : {u'\u20AC', u'\u00E9', u'\u2019', u'\u0153'}) // Windows-1252 extras and Latin-1
            QVERIFY(generalLegacyEncodes(QChar(c)));
        QVERIFY(!generalLegacyEncodes(QChar(u'\u4E2D')));
        QVERIFY_THROWS_EXCEPTION(Error, generalLegacyTextKey(QStringLiteral("a\u4E2D"), true));
    }

    // The oracle: for every index of every sample catalogue, the keys the file holds are exactly the keys made of
    // the rows an independent reader finds, and the walk meets each row once.
    void samplesHoldTheKeysWeMake() {
        if (skipWithoutSamples())
            QSKIP("needs ../shared/fixtures/jet and a Java runtime for jetcheck");
        for (const QString& name : catalogues) {
            MemoryStore store(readFile(fixtures + name));
            int found = 0;
            for (TableDef table : tableDefs(store)) {
                const QList<QList<Value>> rows = dumpedRows(fixtures + name, table);
                if (table.name.isEmpty())
                    continue; // another user table
                ++found;
                for (const IndexDef& index : table.indexes) {
                    QVERIFY(!whyNotKeepable(table, index));
                    QList<QByteArray> made, held;
                    for (const QList<Value>& row : rows)
                        if (!(index.ignoreNulls() && allKeyColumnsNull(table, index, row)))
                            made << encodeKey(table, index, row);
                    QSet<QPair<quint32, int>> seen;
                    const IndexTree tree(store, index.rootPage, table.definitionPage, index.usedPagesMap);
                    tree.check();
                    tree.walk([&](const QByteArray& key, RowId row) {
                        held << key;
                        seen.insert({row.page, row.row});
                    });
                    std::sort(made.begin(), made.end());
                    std::sort(held.begin(), held.end());
                    const QString where = name + " " + table.name + " index " + QString::number(index.number);
                    QVERIFY2(made == held, qPrintable(where));
                    QCOMPARE(seen.size(), held.size());
                }
            }
            QCOMPARE(found, 3);
        }
    }

    // Random rows in and out through the upkeep, on every sample: the trees hold exactly the model's entries, in
    // order, with sound pages; a duplicate in a unique index is refused with nothing written.
    void randomChangesMatchAModel() {
        if (skipWithoutSamples())
            QSKIP("needs ../shared/fixtures/jet and a Java runtime for jetcheck");
        auto* random = QRandomGenerator::global();
        for (const QString& name : catalogues) {
            MemoryStore store(readFile(fixtures + name));
            IndexUpkeep upkeep(store);
            for (TableDef table : tableDefs(store)) {
                QList<QList<Value>> rows = dumpedRows(fixtures + name, table);
                if (table.name.isEmpty())
                    continue;
                QList<QPair<RowId, QList<Value>>> live;
                QList<QMultiMap<QByteArray, quint64>> model(table.indexes.size());
                for (int i = 0; i < table.indexes.size(); ++i) {
                    const IndexDef& index = table.indexes[i];
                    for (const IndexEntry& e :
                         IndexTree(store, index.rootPage, table.definitionPage, index.usedPagesMap).entries())
                        model[i].insert(e.key, quint64(e.row.page) << 8 | e.row.row);
                }
                const int steps = table.name == "tblFigurePart" ? 1500 : 300;
                quint32 nextPage = 0x100000;
                for (int step = 0; step < steps; ++step) {
                    const bool removing = !live.isEmpty() && (random->bounded(3) == 0 || step > steps * 3 / 4);
                    if (removing) {
                        const auto [row, values] = live.takeAt(random->bounded(int(live.size())));
                        upkeep.rowDeleted(table, row, values);
                        for (int i = 0; i < table.indexes.size(); ++i)
                            if (!(table.indexes[i].ignoreNulls() && allKeyColumnsNull(table, table.indexes[i], values)))
                                model[i].remove(encodeKey(table, table.indexes[i], values),
                                                quint64(row.page) << 8 | row.row);
                        continue;
                    }
                    const QList<Value> values = randomRow(table, rows);
                    const RowId row{nextPage++, quint8(random->bounded(256))};
                    bool duplicate = false;
                    for (int i = 0; i < table.indexes.size(); ++i) {
                        const IndexDef& index = table.indexes[i];
                        duplicate |= (index.unique() || index.primaryKey) && !allKeyColumnsNull(table, index, values) &&
                                     model[i].contains(encodeKey(table, index, values));
                    }
                    const QByteArray before = store.file_;
                    try {
                        upkeep.rowInserted(table, row, values);
                        QVERIFY(!duplicate);
                    } catch (const Error& e) {
                        QVERIFY2(duplicate && e.kind() == Error::Kind::Constraint, qPrintable(e.message()));
                        QVERIFY(store.file_ == before);
                        continue;
                    }
                    live.append({row, values});
                    for (int i = 0; i < table.indexes.size(); ++i)
                        if (!(table.indexes[i].ignoreNulls() && allKeyColumnsNull(table, table.indexes[i], values)))
                            model[i].insert(encodeKey(table, table.indexes[i], values),
                                            quint64(row.page) << 8 | row.row);
                }
                for (int i = 0; i < table.indexes.size(); ++i) {
                    const IndexTree tree(store, table.indexes[i].rootPage, table.definitionPage,
                                         table.indexes[i].usedPagesMap);
                    tree.check();
                    QList<QPair<QByteArray, quint64>> expected, walked;
                    for (auto it = model[i].cbegin(); it != model[i].cend(); ++it)
                        expected << qMakePair(it.key(), it.value());
                    std::sort(expected.begin(), expected.end());
                    tree.walk([&](const QByteArray& key, RowId r) {
                        walked << qMakePair(key, quint64(r.page) << 8 | r.row);
                    });
                    QVERIFY2(walked == expected, qPrintable(name + " " + table.name));
                }
            }
        }
    }

private:
    static QByteArray readFile(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A row like the samples' own: a sample row with its identifier and text columns drawn afresh.
    static QList<Value> randomRow(const TableDef& table, const QList<QList<Value>>& rows) {
        static const QStringList pieces = {"Hip", "café",        "O'Brien", "Zoë",    "naïve",
                                           "-",   "Smith-Jones", "ÆØÅ",     "straße", "Œuvre",
                                           "€5",  "“quoted”",    " ",       "ça",     "x"};
        auto* random = QRandomGenerator::global();
        QList<Value> row = rows.value(random->bounded(int(std::max<qsizetype>(rows.size(), 1))));
        row.resize(table.columns.size());
        for (int i = 0; i < table.columns.size(); ++i) {
            const ColumnType type = table.columns[i].type;
            if (type == ColumnType::Long)
                row[i] = qint64(random->bounded(-50, 4000));
            else if (type == ColumnType::Text) {
                QString s;
                const int parts = random->bounded(0, 4) == 0 ? 60 : random->bounded(0, 4);
                for (int p = 0; p < parts; ++p)
                    s += pieces[random->bounded(int(pieces.size()))];
                row[i] = random->bounded(10) == 0 ? Value{} : Value{s.left(255)};
            }
        }
        return row;
    }
};

QTEST_GUILESS_MAIN(JetIndexTest)
#include "tst_jetindex.moc"
