#include "dialogs/frmMsgBox.h"

#include "dialogs/ApplyFormStyle.h"
#include "dialogs/DialogControls.h"
#include "dialogs/HoverPointer.h"
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
UseOnceAnswers<qint16, ShownMessage> hook;

constexpr double buttonTop = 1200;
constexpr double buttonWidth = 1215;
constexpr double buttonHeight = 375;
constexpr double buttonGap = 225;

// The buttons share one row; only their Left changes from showing to showing.
Shape* makeRowShadow(const QString& name, double left, QWidget* parent) {
    return makeShadow(name, left, buttonTop, buttonWidth, buttonHeight, parent);
}

QPushButton* makeRowButton(const QString& name, const QString& caption, double left, QWidget* parent) {
    auto* button = makeButton(name, caption, left, buttonTop, buttonWidth, buttonHeight, parent);
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

    // Shadows first, so that each button lies above its own.
    shpOK = makeRowShadow(QStringLiteral("shpOK"), 360, this);
    shpYes = makeRowShadow(QStringLiteral("shpYes"), 1680, this);
    shpNo = makeRowShadow(QStringLiteral("shpNo"), 3000, this);
    shpCancel = makeRowShadow(QStringLiteral("shpCancel"), 4320, this);
    cmdOK = makeRowButton(QStringLiteral("cmdOK"), QStringLiteral("OK"), 360, this);
    cmdYes = makeRowButton(QStringLiteral("cmdYes"), QStringLiteral("&Yes"), 1680, this);
    cmdNo = makeRowButton(QStringLiteral("cmdNo"), QStringLiteral("&No"), 3000, this);
    cmdCancel = makeRowButton(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), 4320, this);
    cmdOK->setDefault(true);
    setTabOrder(cmdOK, cmdYes);
    setTabOrder(cmdYes, cmdNo);
    setTabOrder(cmdNo, cmdCancel);

    // The window's load begins once its controls exist, so the colours reach them too.
    ApplyFormStyle(this);
    installHoverPointer(this, {cmdOK, cmdCancel, cmdYes, cmdNo});

    connect(cmdOK, &QPushButton::clicked, this, [this] { press(1); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { press(2); });
    connect(cmdYes, &QPushButton::clicked, this, [this] { press(6); });
    connect(cmdNo, &QPushButton::clicked, this, [this] { press(7); });
}

void frmMsgBox::press(qint16 value) {
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

void frmMsgBox::prepare(const QString& text, qint16 style, const QString& caption) {
    for (QWidget* control :
         {static_cast<QWidget*>(pctAlert), static_cast<QWidget*>(pctHand), static_cast<QWidget*>(pctTalk),
          static_cast<QWidget*>(cmdYes), static_cast<QWidget*>(shpYes), static_cast<QWidget*>(cmdOK),
          static_cast<QWidget*>(shpOK), static_cast<QWidget*>(cmdNo), static_cast<QWidget*>(shpNo),
          static_cast<QWidget*>(cmdCancel), static_cast<QWidget*>(shpCancel)})
        control->hide();
    setWindowTitle(caption);
    lblMsgText->setText(displayLines(text));
    answerValue = 2;

    const double f = clientWidth;
    const double w = buttonWidth;
    const auto next = [](double left) { return left + buttonWidth + buttonGap; };
    QLabel* shownPicture = nullptr;
    const int pictureBits = style & ~0x0f;
    switch (style) {
    case 0:
    case 16:
    case 64:
        placeButton(cmdOK, shpOK, f / 2 - w / 2);
        break;
    case 1:
    case 17:
    case 65: {
        const double ok = f / 2 - (w - 112.5);
        placeButton(cmdOK, shpOK, ok);
        placeButton(cmdCancel, shpCancel, next(ok));
        break;
    }
    case 4:
    case 20:
    case 68: {
        const double yes = style == 4 ? f / 2 - (w - 112.5) : f / 2 - w - 112.5;
        placeButton(cmdYes, shpYes, yes);
        placeButton(cmdNo, shpNo, next(yes));
        break;
    }
    case 3:
    case 19:
    case 67: {
        const double yes = f / 3 - (w - 75);
        placeButton(cmdYes, shpYes, yes);
        placeButton(cmdNo, shpNo, next(yes));
        placeButton(cmdCancel, shpCancel, next(next(yes)));
        break;
    }
    default:
        return; // an unknown style shows neither buttons nor picture
    }
    shownPicture = pictureBits == 64 ? pctAlert : pictureBits == 16 ? pctHand : pctTalk;
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

void frmMsgBox::setNextAnswer(qint16 answer) {
    hook.give(answer);
}

int frmMsgBox::unusedAnswers() {
    return hook.unused();
}

QList<ShownMessage> frmMsgBox::takeShown() {
    return hook.takeRequests();
}

qint16 ShowMessage(const QString& text, qint16 style, const QString& caption) {
    if (const std::optional<qint16> answer = hook.take({text, style, caption}))
        return *answer;
    frmMsgBox box;
    box.prepare(text, style, caption);
    centreOnScreen(&box);
    box.exec();
    return box.answer();
}
