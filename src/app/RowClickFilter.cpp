#include "app/RowClickFilter.h"

#include "skin/CSkinListCtrl.h"

#include <QMouseEvent>

#include <utility>

RowClickFilter::RowClickFilter(CSkinListCtrl *list, std::function<void()> clicked)
    : QObject(list), m_list(list), m_clicked(std::move(clicked))
{
    list->viewport()->installEventFilter(this);
}

bool RowClickFilter::eventFilter(QObject *watched, QEvent *event)
{
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
    if (watched == m_list->viewport() && (press || release || doubleClick))
    {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const bool left = mouse->button() == Qt::LeftButton;
        if (press && left && m_list->itemAt(mouse->position().toPoint()) == nullptr)
            m_list->clearSelection();
        if (left && (press || doubleClick))
            m_pressSeen = press;
        if (release && left && std::exchange(m_pressSeen, false))
            m_clicked();
    }
    return QObject::eventFilter(watched, event);
}
