#include "skin/SkinControlId.h"

#include <QVariant>
#include <QWidget>

void SetDlgCtrlID(QWidget *control, int id)
{
    if (control)
        control->setProperty(kControlIdProperty, id);
}

int GetDlgCtrlID(const QWidget *control)
{
    return control ? control->property(kControlIdProperty).toInt() : 0;
}

QWidget *GetDlgItem(const QWidget *dialog, int id)
{
    if (!dialog)
        return nullptr;
    const auto children = dialog->findChildren<QWidget *>();
    for (QWidget *child : children)
    {
        if (GetDlgCtrlID(child) == id)
            return child;
    }
    return nullptr;
}

void SetDlgGroupStart(QWidget *control, bool groupStart)
{
    if (control)
        control->setProperty(kGroupStartProperty, groupStart);
}

bool IsDlgGroupStart(const QWidget *control)
{
    return control && control->property(kGroupStartProperty).toBool();
}

QWidget *GetNextDlgGroupItem(const QWidget *control)
{
    if (!control || !control->parentWidget())
        return nullptr;
    QList<QWidget *> siblings;
    for (QObject *child : control->parentWidget()->children())
    {
        if (child->isWidgetType() && !static_cast<QWidget *>(child)->isWindow())
            siblings.append(static_cast<QWidget *>(child));
    }
    const qsizetype self = siblings.indexOf(const_cast<QWidget *>(control));
    if (self < 0)
        return nullptr;

    // The group is bounded by the nearest group start at or before the control and the next
    // group start after it.
    qsizetype first = self;
    while (first > 0 && !IsDlgGroupStart(siblings[first]))
        --first;
    qsizetype end = self + 1;
    while (end < siblings.size() && !IsDlgGroupStart(siblings[end]))
        ++end;

    const qsizetype next = self + 1 < end ? self + 1 : first;
    return siblings[next];
}
