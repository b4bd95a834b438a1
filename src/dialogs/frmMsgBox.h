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
    msgbox::Style style = msgbox::OkOnly;
    QString caption;
};

// The program's own message box: a fixed-size window with a message, one of three pictures and up to three
// buttons laid out by the style code. Closing it any other way than by a button answers Cancel.
class frmMsgBox : public QDialog {
    Q_OBJECT

public:
    explicit frmMsgBox(QWidget* parent = nullptr);

    // Everything a showing does before it waits for the user.
    void prepare(const QString& text, msgbox::Style style, const QString& caption);
    msgbox::Answer answer() const { return answerValue; }

    static constexpr double clientWidth = 5670;
    static constexpr double clientHeight = 1770;

    // Use-once answers for tests: each call of ShowMessage takes the oldest one, records what it would have
    // shown and returns the answer without opening the window.
    static void setNextAnswer(msgbox::Answer answer);
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
    void press(msgbox::Answer value);
    void placeButton(QPushButton* button, Shape* shadow, double left);

    msgbox::Answer answerValue = msgbox::Cancel;
};

msgbox::Answer ShowMessage(const QString& text, msgbox::Style style, const QString& caption);

// The label shows a carriage return on its own, or with its line feed, as one line break.
QString displayLines(const QString& text);
