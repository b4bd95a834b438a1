#include "app/NamedLists.h"

#include "dialogs/EntryList.h"

#include <QAccessibleWidget>

namespace {
class NamedComboBox : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text which) const override {
        if (which == QAccessible::Value)
            return static_cast<QComboBox*>(widget())->currentText();
        return QAccessibleWidget::text(which);
    }
};

QAccessibleInterface* namedComboBox(const QString& className, QObject* object) {
    auto* combo = qobject_cast<ComboBox*>(object);
    if (className != QLatin1String("ComboBox") || !combo || combo->accessibleName().isEmpty())
        return nullptr;
    return new NamedComboBox(combo);
}
} // namespace

void presentListsByTheirNames() {
    static const bool installed = [] {
        QAccessible::installFactory(namedComboBox);
        return true;
    }();
    Q_UNUSED(installed);
}
