#include "skin/ComboAccessible.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>

namespace
{

class ComboAccessible : public QAccessibleWidget
{
public:
    explicit ComboAccessible(QComboBox *combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        // The label the template gives the combo is its name; what it holds is its value. Without a label it
        // is named by its current item, as Qt's own combo interface does.
        if (t == QAccessible::Value)
            return combo()->currentText();
        if (t == QAccessible::Name && combo()->accessibleName().isEmpty())
            return combo()->currentText();
        return QAccessibleWidget::text(t);
    }
    // The drop-down list, so that a reader can walk the items.
    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(combo()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child != nullptr && child->object() == combo()->view() ? 0 : -1;
    }
    QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &name) override
    {
        if (name == showMenuAction() || name == pressAction())
            combo()->showPopup();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    QComboBox *combo() const { return static_cast<QComboBox *>(object()); }
};

QAccessibleInterface *ComboFactory(const QString &className, QObject *object)
{
    auto *combo = qobject_cast<QComboBox *>(object);
    // Decided when the combo is created, before its template sets its name: Qt keeps the first interface made
    // for an object, so this one must not wait for the name.
    if (className != QLatin1String("QComboBox") || combo == nullptr || combo->isEditable())
        return nullptr;
    return new ComboAccessible(combo);
}

} // namespace

void InstallComboAccessible()
{
    QAccessible::installFactory(ComboFactory); // once: a factory already installed is not added again
}
