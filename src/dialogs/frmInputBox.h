#pragma once

#include "dialogs/MessageStyle.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class Shape;

// What a showing would have put on the screen; recorded by the test hook instead of showing it.
struct AskedText {
    QString prompt;
    msgbox::Style style = msgbox::OkOnly;
    QString caption;
    QString proposed;
};

// The program's own text input: a prompt, a picture chosen by the style (Information or Stop) and one
// line to type in. OK or Enter gives the line exactly as it stands; Cancel, Escape or closing it gives "".
class frmInputBox : public QDialog {
    Q_OBJECT

public:
    explicit frmInputBox(QWidget* parent = nullptr);

    // Everything a showing does before it waits for the user.
    void prepare(const QString& prompt, msgbox::Style style, const QString& caption, const QString& proposed);
    QString text() const { return result; }

    static constexpr double clientWidth = 5400;
    static constexpr double clientHeight = 2205;

    // Use-once texts for tests: each call of AskText takes the oldest one (no value: the user cancelled),
    // records what it would have shown and returns without opening the window.
    static void setNextText(std::optional<QString> text);
    static int unusedTexts();
    static QList<AskedText> takeAsked();

    QLabel* lblMsgText;
    QLabel* pctAlert;
    QLabel* pctTalk;
    QLineEdit* txtReason;
    Shape* shpOK;
    Shape* shpCancel;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void confirm(const QString& text);

    QString result;
};

QString AskText(const QString& prompt, msgbox::Style style, const QString& caption, const QString& proposed);
