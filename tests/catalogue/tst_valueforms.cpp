// The text forms of dates and yes/no values that transfer files carry, from this program and from the older one.
#include "catalogue/ValueForms.h"

#include <QtTest>

class ValueFormsTest : public QObject {
    Q_OBJECT

private slots:
    void dates_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored"); // empty: not a date
        const auto row = [](const char* name, const char* text, const char* stored) {
            QTest::newRow(name) << QString(text) << QString(stored);
        };
        row("ISO date", "2024-03-05", "2024-03-05");
        row("ISO at midnight", "2024-03-05 00:00:00", "2024-03-05");
        row("ISO with time", "1899-12-31 23:59:59", "1899-12-31 23:59:59");
        row("US short", "3/5/2024", "2024-03-05");
        row("US afternoon", "12/31/1999 1:04:09 PM", "1999-12-31 13:04:09");
        row("US midnight and noon", "1/1/2000 12:00:00 AM", "2000-01-01");
        row("US noon", "1/1/2000 12:00 pm", "2000-01-01 12:00:00");
        row("two-digit year 29", "12/05/29 7:30", "2029-12-05 07:30:00");
        row("two-digit year 30", "1/2/30", "1930-01-02");
        row("no such day", "2/30/2024", "");
        row("no such hour", "1/1/2000 13:00 PM", "");
        row("day before month is not US", "31/12/2024", "");
        row("words", "yesterday", "");
    }

    void dates() {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        QCOMPARE(storedDate(text).value_or(QString()), stored);
    }

    void yesNo_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("stored"); // -2: not a yes/no
        QTest::newRow("True") << "True" << 1;
        QTest::newRow("false any case") << "FALSE" << 0;
        QTest::newRow("older engine's true") << "-1" << 1;
        QTest::newRow("one and zero") << "1" << 1;
        QTest::newRow("two") << "2" << -2;
        QTest::newRow("words") << "maybe" << -2;
    }

    void yesNo() {
        QFETCH(QString, text);
        QFETCH(int, stored);
        QCOMPARE(storedYesNo(text).value_or(-2), stored);
    }
};

QTEST_GUILESS_MAIN(ValueFormsTest)
#include "tst_valueforms.moc"
