// Guarded routines: whatever a command throws is shown to the user and the program carries on.
#include "dialogs/ReportError.h"
#include "dialogs/frmMsgBox.h"
#include "support/TestCatalogue.h"

#include <QtTest>
#include <new>
#include <stdexcept>

class ReportErrorTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(endTest()); }

    void everyExceptionIsReported_data() {
        QTest::addColumn<QString>("thrown");
        QTest::addColumn<bool>("fileCommand");
        QTest::addColumn<QString>("shown"); // empty: nothing is shown
        QTest::newRow("no memory") << "bad_alloc" << false << "An error, 7: 'Out of memory' has occurred.";
        QTest::newRow("no memory in a file command")
            << "bad_alloc" << true << "An error, 7: 'Out of memory' has occurred.";
        QTest::newRow("a library's own") << "length_error" << false
                                         << "An error, 51: 'Internal error: too long' has occurred.";
        // The sentence takes any number and any description, an empty one too.
        QTest::newRow("a failure") << "failure" << false << "An error, -2147467259: '' has occurred.";
        QTest::newRow("cancelled file dialog") << "cancel" << true << "";
    }

    void everyExceptionIsReported() {
        QFETCH(QString, thrown);
        QFETCH(bool, fileCommand);
        QFETCH(QString, shown);
        const auto command = [&] {
            if (thrown == "bad_alloc")
                throw std::bad_alloc();
            if (thrown == "length_error")
                throw std::length_error("too long");
            if (thrown == "failure")
                throw Failure::withNumber(-2147467259, QString());
            throw Failure(failure::Cancelled, QStringLiteral("Cancelled"));
        };
        if (!shown.isEmpty())
            frmMsgBox::setNextAnswer(msgbox::Ok);
        if (fileCommand)
            guardedFileCommand(command);
        else
            guarded(command); // returns: nothing reaches the event loop
        const QList<ShownMessage> messages = frmMsgBox::takeShown();
        QCOMPARE(messages.size(), shown.isEmpty() ? 0 : 1);
        if (!shown.isEmpty()) {
            QCOMPARE(messages[0].text, shown);
            QCOMPARE(messages[0].caption, QStringLiteral("Notice"));
            QCOMPARE(messages[0].style, msgbox::OkOnly);
        }
    }
};

QTEST_MAIN(ReportErrorTest)
#include "tst_reporterror.moc"
