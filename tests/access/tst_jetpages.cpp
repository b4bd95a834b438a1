#include <QtTest>
class TestJetPages : public QObject {
    Q_OBJECT
};
QTEST_GUILESS_MAIN(TestJetPages)
#include "tst_jetpages.moc"
