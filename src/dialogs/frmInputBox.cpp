#include "dialogs/frmInputBox.h"

#include "dialogs/ApplyFormStyle.h"
#include "dialogs/DialogControls.h"
#include "dialogs/HoverPointer.h"
#include "dialogs/MessageStyle.h"
#include "dialogs/Pointer.h"
#include "dialogs/Resources.h"
#include "dialogs/Shape.h"
#include "dialogs/Twips.h"
#include "dialogs/UseOnceAnswers.h"
#include "dialogs/WindowFont.h"
#include "dialogs/WindowPlacement.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

namespace {
// The process's one set of use-once answers for tests (UseOnceAnswers.h says why there is one).
UseOnceAnswers<std::optional<QString>, AskedText> hook;
} // namespace

frmInputBox::frmInputBox(QWidget* parent) : QDialog(parent) {
    setUpDialog(this, QStringLiteral("frmInputBox"), clientWidth, clientHeight);
    lblMsgText = makeMessageLabel(4095, this);

    pctAlert = makePicture(QStringLiteral("alert"), 240, 240, this);
    pctTalk = makePicture(QStringLiteral("talk"), 240, 720, this);

    txtReason = new QLineEdit(this);
    txtReason->setObjectName(QStringLiteral("txtReason"));
    txtReason->setGeometry(twipsRect(360, 1200, 4695, 285));
    // A name may be as long as the user likes; the line edit would otherwise stop at 32767 characters.
    txtReason->setMaxLength(std::numeric_limits<int>::max());

    cmdOK = makeButton(this, QStringLiteral("cmdOK"), QStringLiteral("OK"), {720, 1680, 1215, 375},
                       QStringLiteral("shpOK"), {}, &shpOK);
    cmdCancel = makeButton(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), {3480, 1680, 1215, 375},
                           QStringLiteral("shpCancel"), {}, &shpCancel);
    // Enter in the line reaches the dialog, which presses its default button.
    cmdOK->setDefault(true);
    setTabOrder(txtReason, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    txtReason->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, [this] { confirm(txtReason->text()); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { confirm(QString()); });

    Form_Load();
}

void frmInputBox::Form_Load() {
    ApplyFormStyle(this);
    installHoverPointer(this, {cmdOK, cmdCancel});
}

void frmInputBox::confirm(const QString& text) {
    setPointer(Pointer::Default);
    result = text;
    accept();
}

void frmInputBox::prepare(const QString& prompt, msgbox::Style style, const QString& caption, const QString& proposed) {
    setWindowTitle(caption);
    lblMsgText->setText(prompt);
    txtReason->setText(proposed);
    result.clear();
    if (style == msgbox::Information) {
        pctAlert->hide();
        pctTalk->move(px(360), px(360));
        pctTalk->show();
    } else if (style == msgbox::Stop) {
        pctAlert->move(px(360), px(360));
        pctAlert->show();
        pctTalk->hide();
    }
}

void frmInputBox::keyPressEvent(QKeyEvent* event) {
    // Escape goes through Cancel, so that it resets the pointer as the button does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdCancel->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmInputBox::setNextText(std::optional<QString> text) {
    hook.give(std::move(text));
}

int frmInputBox::unusedTexts() {
    return hook.unused();
}

QList<AskedText> frmInputBox::takeAsked() {
    return hook.takeRequests();
}

QString AskText(const QString& prompt, msgbox::Style style, const QString& caption, const QString& proposed) {
    if (const auto text = hook.take({prompt, style, caption, proposed}))
        return text->value_or(QString()); // no text: the user cancelled
    frmInputBox box;
    box.prepare(prompt, style, caption, proposed);
    centreOnScreen(&box);
    box.exec();
    return box.text();
}
