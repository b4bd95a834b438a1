#include "dialogs/frmMsgBox.h"

#include "dialogs/ApplyFormStyle.h"
#include "dialogs/DialogControls.h"
#include "dialogs/HoverPointer.h"
#include "dialogs/MessageFit.h"
#include "dialogs/Pointer.h"
#include "dialogs/Resources.h"
#include "dialogs/Shape.h"
#include "dialogs/Twips.h"
#include "dialogs/UseOnceAnswers.h"
#include "dialogs/WindowFont.h"
#include "dialogs/WindowPlacement.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {
// The process's one set of use-once answers for tests (UseOnceAnswers.h says why there is one).
UseOnceAnswers<msgbox::Answer, ShownMessage> hook;

constexpr double buttonTop = 1200;
constexpr double buttonWidth = 1215;
constexpr double buttonHeight = 375;
constexpr double buttonGap = 225;

// The buttons share one row; only their Left changes from showing to showing.
QPushButton* makeRowButton(const QString& name, const QString& caption, double left, Shape** shadow, QWidget* parent) {
    auto* button = makeButton(parent, QStringLiteral("cmd") + name, caption,
                              {left, buttonTop, buttonWidth, buttonHeight}, QStringLiteral("shp") + name, {}, shadow);
    button->setProperty("leftTwips", left);
    return button;
}
} // namespace

QString displayLines(const QString& text) {
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines;
}

frmMsgBox::frmMsgBox(QWidget* parent) : QDialog(parent) {
    setUpDialog(this, QStringLiteral("frmMsgBox"), clientWidth, clientHeight);
    lblMsgText = makeMessageLabel(4575, this);

    pctTalk = makePicture(QStringLiteral("talk"), 240, 240, this);
    pctHand = makePicture(QStringLiteral("hand"), 5160, 0, this);
    pctAlert = makePicture(QStringLiteral("alert"), 240, 720, this);

    cmdOK = makeRowButton(QStringLiteral("OK"), QStringLiteral("OK"), 360, &shpOK, this);
    cmdYes = makeRowButton(QStringLiteral("Yes"), QStringLiteral("&Yes"), 1680, &shpYes, this);
    cmdNo = makeRowButton(QStringLiteral("No"), QStringLiteral("&No"), 3000, &shpNo, this);
    cmdCancel = makeRowButton(QStringLiteral("Cancel"), QStringLiteral("Cancel"), 4320, &shpCancel, this);
    cmdOK->setDefault(true);
    setTabOrder(cmdOK, cmdYes);
    setTabOrder(cmdYes, cmdNo);
    setTabOrder(cmdNo, cmdCancel);

    // The window's load begins once its controls exist, so the colours reach them too.
    ApplyFormStyle(this);
    installHoverPointer(this, {cmdOK, cmdCancel, cmdYes, cmdNo});

    connect(cmdOK, &QPushButton::clicked, this, [this] { press(msgbox::Ok); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { press(msgbox::Cancel); });
    connect(cmdYes, &QPushButton::clicked, this, [this] { press(msgbox::Yes); });
    connect(cmdNo, &QPushButton::clicked, this, [this] { press(msgbox::No); });
}

void frmMsgBox::press(msgbox::Answer value) {
    setPointer(Pointer::Default);
    answerValue = value;
    accept();
}

void frmMsgBox::placeButton(QPushButton* button, Shape* shadow, double left) {
    button->setProperty("leftTwips", left);
    button->move(px(left), button->y());
    button->show();
    shadow->move(px(left + shadowOffset), shadow->y());
    shadow->show();
}

void frmMsgBox::prepare(const QString& text, msgbox::Style style, const QString& caption) {
    for (QWidget* control :
         {static_cast<QWidget*>(pctAlert), static_cast<QWidget*>(pctHand), static_cast<QWidget*>(pctTalk),
          static_cast<QWidget*>(cmdYes), static_cast<QWidget*>(shpYes), static_cast<QWidget*>(cmdOK),
          static_cast<QWidget*>(shpOK), static_cast<QWidget*>(cmdNo), static_cast<QWidget*>(shpNo),
          static_cast<QWidget*>(cmdCancel), static_cast<QWidget*>(shpCancel)})
        control->hide();
    setWindowTitle(caption);
    showFitted(lblMsgText, displayLines(text));
    answerValue = msgbox::Cancel;

    const double f = clientWidth;
    const double w = buttonWidth;
    const auto next = [](double left) { return left + buttonWidth + buttonGap; };
    using namespace msgbox;
    const Style picture = pictureOf(style);
    if (picture != Style{} && picture != Stop && picture != Information)
        return; // an unknown style shows neither buttons nor picture
    switch (buttonsOf(style)) {
    case OkOnly:
        placeButton(cmdOK, shpOK, f / 2 - w / 2);
        break;
    case OkCancel: {
        const double ok = f / 2 - (w - 112.5);
        placeButton(cmdOK, shpOK, ok);
        placeButton(cmdCancel, shpCancel, next(ok));
        break;
    }
    case YesNo: {
        const double yes = style == YesNo ? f / 2 - (w - 112.5) : f / 2 - w - 112.5;
        placeButton(cmdYes, shpYes, yes);
        placeButton(cmdNo, shpNo, next(yes));
        break;
    }
    case YesNoCancel: {
        const double yes = f / 3 - (w - 75);
        placeButton(cmdYes, shpYes, yes);
        placeButton(cmdNo, shpNo, next(yes));
        placeButton(cmdCancel, shpCancel, next(next(yes)));
        break;
    }
    default:
        return;
    }
    QLabel* const shownPicture = picture == Information ? pctAlert : picture == Stop ? pctHand : pctTalk;
    shownPicture->move(px(360), px(360));
    shownPicture->show();
}

void frmMsgBox::keyPressEvent(QKeyEvent* event) {
    // Escape answers only through a visible Cancel button; without one it does nothing.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (cmdCancel->isVisible())
            cmdCancel->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmMsgBox::setNextAnswer(msgbox::Answer answer) {
    hook.give(answer);
}

int frmMsgBox::unusedAnswers() {
    return hook.unused();
}

QList<ShownMessage> frmMsgBox::takeShown() {
    return hook.takeRequests();
}

msgbox::Answer ShowMessage(const QString& text, msgbox::Style style, const QString& caption) {
    if (const std::optional<msgbox::Answer> answer = hook.take({text, style, caption}))
        return *answer;
    frmMsgBox box;
    box.prepare(text, style, caption);
    centreOnScreen(&box);
    box.exec();
    return box.answer();
}
