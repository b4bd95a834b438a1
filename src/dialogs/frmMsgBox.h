#pragma once

#include "dialogs/MessageStyle.h"

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QPushButton;
class Shape;

// What a showing would have put on the screen; recorded by the test hook instead of showing it.
struct ShownMessage {
    QString text;
    qint16 style = 0;
    QString caption;
};

// The program's own message box: a fixed-size window with a message, one of three pictures and up to three
// buttons laid out by the style code. Results: 1 OK, 2 Cancel, 6 Yes, 7 No; closing it any other way gives 2.
class frmMsgBox : public QDialog {
    Q_OBJECT

public:
    explicit frmMsgBox(QWidget* parent = nullptr);

    // Everything a showing does before it waits for the user.
    void prepare(const QString& text, qint16 style, const QString& caption);
    qint16 answer() const { return answerValue; }

    static constexpr double clientWidth = 5670;
    static constexpr double clientHeight = 1770;

    // Use-once answers for tests: each call of ShowMessage takes the oldest one, records what it would have
    // shown and returns the answer without opening the window.
    static void setNextAnswer(qint16 answer);
    static int unusedAnswers();
    static QList<ShownMessage> takeShown();

    QLabel* lblMsgText;
    QLabel* pctTalk;
    QLabel* pctHand;
    QLabel* pctAlert;
    Shape* shpOK;
    Shape* shpYes;
    Shape* shpNo;
    Shape* shpCancel;
    QPushButton* cmdOK;
    QPushButton* cmdYes;
    QPushButton* cmdNo;
    QPushButton* cmdCancel;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void press(qint16 value);
    void placeButton(QPushButton* button, Shape* shadow, double left);

    qint16 answerValue = msgbox::Cancel;
};

qint16 ShowMessage(const QString& text, qint16 style, const QString& caption);

// The label shows a carriage return on its own, or with its line feed, as one line break.
QString displayLines(const QString& text);
