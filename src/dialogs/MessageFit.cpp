#include "dialogs/MessageFit.h"

#include <QLabel>
#include <QTextLayout>
#include <QVariant>

namespace {
const char* const madeTop = "lumaretMadeTop";
const char* const madeHeight = "lumaretMadeHeight";

// The label wraps only at word boundaries; lines are broken here as its own wrapping would, and anywhere inside
// a word that is wider than a line.
QString brokenToWidth(const QString& text, const QFont& font, int width) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        int made = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine(), ++made) {
            line.setLineWidth(width);
            lines << paragraph.mid(line.textStart(), line.textLength());
        }
        layout.endLayout();
        if (made == 0)
            lines << QString();
    }
    return lines.join(QLatin1Char('\n'));
}

int remembered(QWidget* widget, const char* name, int now) {
    const QVariant value = widget->property(name);
    if (value.isValid())
        return value.toInt();
    widget->setProperty(name, now);
    return now;
}
} // namespace

void showFitted(QLabel* label, const QString& text) {
    QWidget* window = label->window();
    const int labelHeight = remembered(label, madeHeight, label->height());
    const int windowHeight = remembered(window, madeHeight, window->height());
    const int foot = label->y() + labelHeight;
    const QList<QWidget*> controls = window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* control : controls)
        remembered(control, madeTop, control->y());

    label->setText(brokenToWidth(text, label->font(), label->contentsRect().width()));
    const int extra = std::max(0, label->heightForWidth(label->width()) - labelHeight);
    label->resize(label->width(), labelHeight + extra);
    for (QWidget* control : controls) {
        const int top = control->property(madeTop).toInt();
        if (control != label && top >= foot)
            control->move(control->x(), top + extra);
    }
    window->setFixedHeight(windowHeight + extra);
}
