// Index keys and index trees against the sample catalogues: every entry the files hold is the key this program
// makes of a live row, pointing at that row; a tree grown by thousands of long keys splits down several levels and
// shrinks back, holding what a plain model says. Row changes through the writer are the Access model test's part.
#include "access/jet/FilePageStore.h"
#include "access/jet/IndexKeys.h"
#include "access/jet/IndexTree.h"
#include "access/jet/JetError.h"
#include "access/jet/RowCodec.h"
#include "access/jet/TableDefs.h"
#include "access/jet/TreeIndexUpkeep.h"
#include "support/AccessCheck.h"

#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>
#include <set>

using namespace jet;

namespace {

const QString fixtures = QStringLiteral(LUMARET_FIXTURES_DIR "/jet/");
const QStringList catalogues = {"catalogueV2000.mdb", "catalogueIndexedV2003.mdb", "catalogueChurnV2000.mdb",
                                "catalogueIdsV2007.accdb"};
const QStringList tables = {"tblCategory", "tblFigure", "tblFigurePart"};

using Entries = QList<QPair<QByteArray, quint64>>; // key, page << 8 | row
quint64 place(RowId row) {
    return quint64(row.page) << 8 | row.row;
}

// What an index must hold for these rows, in order.
Entries expectedEntries(const TableDef& table, const IndexDef& index, const QMap<quint64, QList<Value>>& rows) {
    Entries out;
    for (auto it = rows.cbegin(); it != rows.cend(); ++it)
        if (!(index.ignoreNulls() && allKeyColumnsNull(table, index, *it)))
            out.append({encodeKey(table, index, *it), it.key()});
    std::sort(out.begin(), out.end());
    return out;
}

// What it holds, its pages checked on the way.
Entries heldEntries(PageStore& store, const TableDef& table, const IndexDef& index) {
    const IndexTree tree(store, index.rootPage, table.definitionPage, index.usedPagesMap);
    tree.check();
    Entries out;
    tree.walk([&](const QByteArray& key, RowId row) { out.append({key, place(row)}); });
    return out;
}

QMap<quint64, QList<Value>> liveRows(PageStore& store, const TableDef& table) {
    QMap<quint64, QList<Value>> rows;
    scanRows(store, table, [&](RowId id, const QList<Value>& values) { rows.insert(place(id), values); });
    return rows;
}

} // namespace

class JetIndexTest : public QObject {
    Q_OBJECT

private slots:
    // Keys of rules the samples do not show: skipped characters, their positions, descending order.
    void textKeys_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<QByteArray>("key");
        // an apostrophe leaves the sort but is kept at the end with its position: 01 01 01, 0x8000 | 7 + 4 * 1, 06
        QTest::newRow("apostrophe") << "O'a" << true << QByteArray::fromHex("644a01010101800b068000");
        QTest::newRow("accent after an apostrophe") << "'é" << true << QByteArray::fromHex("51010e0101018007068000");
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
        for (char16_t c : {u'\u20AC', u'\u00E9', u'\u2019', u'\u0153', u'\u00FF'}) // Windows-1252 and Latin-1
            QVERIFY(generalLegacyEncodes(QChar(c)));
        QVERIFY(!generalLegacyEncodes(QChar(u'\u4E2D')));
        QVERIFY_THROWS_EXCEPTION(Error, generalLegacyTextKey(QStringLiteral("a\u4E2D"), true));
    }

    // The oracle: in every index of every sample catalogue, the entries are exactly the keys made of the live rows,
    // each pointing at its row.
    void samplesHoldTheKeysWeMake() {
        REQUIRE_ACCESS_TOOLS();
        for (const QString& name : catalogues) {
            FilePageStore store(fixtures + name, FilePageStore::Mode::ReadOnly);
            for (const QString& tableName : tables) {
                const TableDef table = readTableDef(store, tableName);
                const auto rows = liveRows(store, table);
                for (const IndexDef& index : table.indexes) {
                    QVERIFY(!whyNotKeepable(table, index));
                    QVERIFY2(heldEntries(store, table, index) == expectedEntries(table, index, rows),
                             qPrintable(name + " " + tableName + " " + index.names.join(",")));
                }
            }
        }
    }

    // Keys far longer than names, straight into a tree among the sample's own: pages split until the root moves
    // down two levels; the added entries leave again in random order, the sample's entries stay spread over what
    // is left, and the checker and its writer accept that tree; then the tree empties to a bare root. At each
    // stage the walk gives the model's entries and the pages are sound.
    void treeGrowsAndShrinks() {
        REQUIRE_ACCESS_TOOLS();
        QTemporaryDir dir;
        const QString copy = accesscheck::copyOf("catalogueV2000.mdb", dir.path());
        FilePageStore store(copy, FilePageStore::Mode::ReadWrite);
        const TableDef table = readTableDef(store, "tblCategory");
        const IndexDef& index = table.indexes.first();
        IndexTree tree(store, index.rootPage, table.definitionPage, index.usedPagesMap);
        std::set<std::pair<QByteArray, quint64>> model, sample;
        for (const IndexEntry& e : tree.entries())
            sample.insert({e.key, place(e.row)});
        model = sample;
        auto* random = QRandomGenerator::global();
        const auto compare = [&] {
            tree.check();
            Entries walked;
            tree.walk([&](const QByteArray& key, RowId row) { walked.append({key, place(row)}); });
            QVERIFY(walked == Entries(model.begin(), model.end()));
        };
        const auto removeWhile = [&](auto keep) {
            for (auto it = model.begin(); it != model.end();) {
                if (keep(*it) || random->bounded(2)) {
                    ++it;
                    continue;
                }
                QVERIFY(tree.remove(it->first, RowId{quint32(it->second >> 8), quint8(it->second)}));
                it = model.erase(it);
            }
        };
        const quint32 pagesBefore = store.pageCount();
        for (int i = 0; i < 3000; ++i) {
            // around the sample's keys (7F 80 00 00 0n), with long shared stretches and equal keys
            QByteArray key = QByteArray::fromHex("7f8000") + QByteArray(random->bounded(0, 400), '\0');
            for (int b = 2; b < key.size(); ++b)
                key[b] = char(random->bounded(0, 3));
            const RowId row{quint32(random->bounded(1, 1 << 23)), quint8(random->bounded(256))};
            QCOMPARE(tree.insert(key, row), model.insert({key, place(row)}).second);
        }
        compare();
        QVERIFY(store.pageCount() - pagesBefore > 200);
        while (model.size() > sample.size())
            removeWhile([&](const auto& e) { return sample.count(e); });
        compare();
        store.commit();
        QString verdict;
        QVERIFY2(accesscheck::checks(copy, true, &verdict), qPrintable(verdict));
        while (!model.empty())
            removeWhile([](const auto&) { return false; });
        compare();
        QVERIFY(tree.entries().isEmpty());
    }
};

QTEST_GUILESS_MAIN(JetIndexTest)
#include "tst_jetindex.moc"
