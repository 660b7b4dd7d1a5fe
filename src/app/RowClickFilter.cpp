#include "app/RowClickFilter.h"

#include "skin/CSkinListCtrl.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <utility>

RowClickFilter::RowClickFilter(CSkinListCtrl *list, std::function<void()> clicked)
    : QObject(list), m_list(list), m_clicked(std::move(clicked))
{
    list->viewport()->installEventFilter(this);
    list->installEventFilter(this);
}

namespace
{
bool MovesTheCurrentRow(const QKeyEvent &key)
{
    switch (key.key())
    {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return !key.isAutoRepeat();
    default:
        return false;
    }
}
} // namespace

bool RowClickFilter::eventFilter(QObject *watched, QEvent *event)
{
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
    // The list itself is watched too, so it also passes its last events here while it is destroyed: look at
    // it only for the mouse and key events that matter.
    if ((press || release || doubleClick) && watched == m_list->viewport())
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
    if (event->type() == QEvent::KeyRelease && watched == m_list &&
        MovesTheCurrentRow(*static_cast<QKeyEvent *>(event)) && !m_list->selectedItems().isEmpty())
        m_clicked();
    return QObject::eventFilter(watched, event);
}
