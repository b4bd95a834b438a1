// The project's own Access page code against jetcheck, an independent reader on another library: damaged copies
// are refused, a table outgrowing its usage maps reads back as written, and an interrupted commit is undone.
// Reading every sample file is checked by the conversion test, everyday row writes by the Access model test.
#include "access/jet/FilePageStore.h"
#include "access/jet/JetError.h"
#include "access/jet/RowCodec.h"
#include "access/jet/RowWriter.h"
#include "access/jet/TableDefs.h"
#include "access/jet/Writability.h"
#include "support/AccessCheck.h"
#include "support/TestCatalogue.h"

#include <QtTest>
#include <csignal>
#include <sys/resource.h>

using namespace jet;

namespace {
const QString jetDir = QStringLiteral(JET_FIXTURES);

struct KeepsIndexes : NoIndexUpkeep {
    std::optional<QString> whyNotKept(PageStore&, const TableDef&) override { return std::nullopt; }
};
} // namespace

class TestJetPages : public QObject {
    Q_OBJECT
private slots:
    void damageIsRefused_data();
    void damageIsRefused();
    void aTableOutgrowingItsMapsStaysSound();
    void interruptedCommitIsUndone();
    void failedWriteLeavesTheFileAsItWas();
    void whyNotWritable();
};

// Tables of other files, with deleted rows and every common type. (The catalogue samples' rows are compared by the
// Access model test, through the catalogue that reads them.)
void TestJetPages::damageIsRefused_data() {
    QTest::addColumn<bool>("cut");
    QTest::addRow("a data page zeroed") << false;
    QTest::addRow("the file cut short") << true;
}

void TestJetPages::damageIsRefused() {
    REQUIRE_ACCESS_TOOLS();
    QFETCH(bool, cut);
    QTemporaryDir dir;
    const QString file = accesscheck::copyOf("catalogueChurnV2000.mdb", dir.path());
    quint32 dataPage = 0;
    {
        FilePageStore store(file, FilePageStore::Mode::ReadOnly);
        const TableDef def = readTableDef(store, "tblFigurePart");
        scanRows(store, def, [&](RowId id, const QList<Value>&) { dataPage = std::max(dataPage, id.page); });
    }
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadWrite));
    if (cut)
        QVERIFY(f.resize(qint64(dataPage) * 4096));
    else
        QVERIFY(f.seek(qint64(dataPage) * 4096) && f.write(QByteArray(4096, 0)) == 4096);
    f.close();
    try {
        FilePageStore store(file, FilePageStore::Mode::ReadOnly);
        scanRows(store, readTableDef(store, "tblFigurePart"), [](RowId, const QList<Value>&) {});
        QFAIL("the damaged copy was read");
    } catch (const Error& e) {
        QCOMPARE(e.kind(), Error::Kind::Damaged);
        QVERIFY2(e.message().contains(QString::number(dataPage)) || e.message().contains("rows"), e.what());
    }
}

// A table without indexes, grown past the 512 pages an inline usage map covers: its map of owned pages becomes a
// reference map, the file's map of free pages moves, and moved and deleted rows are spread over it all.
void TestJetPages::aTableOutgrowingItsMapsStaysSound() {
    REQUIRE_ACCESS_TOOLS();
    QTemporaryDir dir;
    const QString file = accesscheck::copyOf("delTestV2000.mdb", dir.path());
    QStringList expected = accesscheck::dumped(file, "Table");
    {
        FilePageStore store(file, FilePageStore::Mode::ReadWrite);
        TableDef def = readTableDef(store, "Table");
        NoIndexUpkeep none;
        QList<RowId> ids;
        for (int i = 0; i < 20000; ++i)
            ids << insertRow(store, def, {QString("row %1 ").arg(i).leftJustified(48, 'a'), QString(48, 'b')}, none);
        for (int i = 0; i < ids.size(); i += 4) // grown rows move, leaving a pointer behind
            updateRow(store, def, ids[i], {QString("row %1 grown ").arg(i).leftJustified(50, 'g'), QString(50, u'é')},
                      none);
        for (int i = 0; i < ids.size(); i += 6)
            deleteRow(store, def, ids[i], none);
        QVERIFY(store.pageCount() > 600);
        store.commit();
    }
    for (int i = 0; i < 20000; ++i)
        if (i % 6 != 0)
            expected << (i % 4 ? QString("row %1 ").arg(i).leftJustified(48, 'a') + '|' + QString(48, 'b')
                               : QString("row %1 grown ").arg(i).leftJustified(50, 'g') + '|' + QString(50, u'é'));
    accesscheck::sortRows(expected);
    QCOMPARE(accesscheck::dumped(file, "Table"), expected);
    QString said;
    QVERIFY2(accesscheck::checks(file, true, &said), qPrintable(said));
}

void TestJetPages::interruptedCommitIsUndone() {
    REQUIRE_ACCESS_TOOLS();
    QTemporaryDir dir;
    const QString file = accesscheck::copyOf("catalogueV2000.mdb", dir.path());
    const QByteArray original = fileContent(file);
    auto change = [&](FilePageStore& store) {
        TableDef def = readTableDef(store, "tblFigure");
        NoIndexUpkeep none;
        for (int i = 0; i < 60; ++i)
            insertRow(store, def, {qint64(70000 + i), qint64(3), QString(40, 'f'), QString("x")}, none);
    };
    {
        FilePageStore store(file, FilePageStore::Mode::ReadWrite);
        change(store);
        store.rollback();
        store.commit();
    }
    QCOMPARE(fileContent(file), original);
    {
        FilePageStore store(file, FilePageStore::Mode::ReadWrite);
        change(store);
        FilePageStore::crashAfterPagesForTesting = 2;
        QVERIFY_THROWS_EXCEPTION(Error, store.commit());
        FilePageStore::crashAfterPagesForTesting = -1;
    }
    QVERIFY(fileContent(file) != original && QFileInfo::exists(FilePageStore::journalPath(file)));
    QByteArray journal = fileContent(FilePageStore::journalPath(file));
    FilePageStore(file, FilePageStore::Mode::ReadOnly); // opening puts the original back
    QCOMPARE(fileContent(file), original);
    QVERIFY(!QFileInfo::exists(FilePageStore::journalPath(file)));

    // A journal torn before its end was written before the file was touched: it is dropped, the file kept.
    QFile torn(FilePageStore::journalPath(file));
    QVERIFY(torn.open(QIODevice::WriteOnly));
    torn.write(journal.left(journal.size() - 3));
    torn.close();
    FilePageStore(file, FilePageStore::Mode::ReadWrite);
    QCOMPARE(fileContent(file), original);
    QVERIFY(!QFileInfo::exists(FilePageStore::journalPath(file)));
}

void TestJetPages::failedWriteLeavesTheFileAsItWas() {
    REQUIRE_ACCESS_TOOLS();
    QTemporaryDir dir;
    const QString file = accesscheck::copyOf("catalogueV2000.mdb", dir.path());
    const QByteArray original = fileContent(file);
    FilePageStore store(file, FilePageStore::Mode::ReadWrite);
    TableDef def = readTableDef(store, "tblFigurePart");
    NoIndexUpkeep none;
    for (int i = 0; i < 400; ++i) // new pages: the file must grow
        insertRow(store, def, {qint64(80000 + i), qint64(10), QString(40, 'p'), {}, {}, false, {}, {}, {}}, none);
    // A file-size limit just past the journal's size stands in for a full disk: growing the file fails.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limit = saved;
    limit.rlim_cur = rlim_t(original.size());
    setrlimit(RLIMIT_FSIZE, &limit);
    try {
        store.commit();
        setrlimit(RLIMIT_FSIZE, &saved);
        QFAIL("the commit went through");
    } catch (const Error& e) {
        setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(e.kind(), Error::Kind::DiskFull);
    }
    QCOMPARE(fileContent(file), original);
    QVERIFY(!QFileInfo::exists(FilePageStore::journalPath(file)));
}

void TestJetPages::whyNotWritable() {
    REQUIRE_ACCESS_TOOLS();
    KeepsIndexes keeps;
    NoIndexUpkeep keepsNone;
    FilePageStore catalogue(jetDir + "/catalogueIndexedV2003.mdb", FilePageStore::Mode::ReadOnly);
    const TableDef parts = readTableDef(catalogue, "tblFigurePart");
    QCOMPARE(jet::whyNotWritable(catalogue, parts, keeps), std::nullopt);
    QVERIFY(jet::whyNotWritable(catalogue, parts, keepsNone).value_or("").contains("indexes"));
    FilePageStore old(jetDir + "/testV1997.mdb", FilePageStore::Mode::ReadOnly);
    QCOMPARE(old.version(), Version::Jet3);
    QVERIFY(jet::whyNotWritable(old, TableDef{}, keeps).value_or("").contains("Jet 3"));
}

QTEST_GUILESS_MAIN(TestJetPages)
#include "tst_jetpages.moc"
