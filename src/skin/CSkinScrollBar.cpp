#include "skin/CSkinScrollBar.h"

#include "skin/CSkinListCtrl.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace
{

constexpr int kThumbLength = 26;
constexpr int kThumbGrab = 13; // a dragged thumb is held by its middle

} // namespace

CSkinScrollBar::CSkinScrollBar(Qt::Orientation orientation, int initialThumbPos, int crossReach, QWidget *parent)
    : QWidget(parent), m_orientation(orientation), m_nCrossReach(crossReach), m_nThumbPos(initialThumbPos)
{
    m_timerDelay.setSingleShot(true);
    m_timerDelay.setInterval(kFirstDelayMs);
    m_timerRepeat.setInterval(kRepeatMs);
    connect(&m_timerDelay, &QTimer::timeout, this, &CSkinScrollBar::OnFirstDelay);
    connect(&m_timerRepeat, &QTimer::timeout, this, &CSkinScrollBar::OnRepeat);
}

void CSkinScrollBar::UpdateThumb()
{
    if (m_pList)
        m_nThumbPos = ThumbForScroll(Length(), m_pList->ScrollPos(m_orientation), m_pList->ScrollLimit(m_orientation));
    update();
}

void CSkinScrollBar::Scroll(int request)
{
    if (!m_pList)
        return;
    static constexpr QAbstractSlider::SliderAction actions[] = {
        QAbstractSlider::SliderSingleStepSub, QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderPageStepSub,
        QAbstractSlider::SliderPageStepAdd};
    if (request >= LineBack && request <= PageForward)
        ListBar()->triggerAction(actions[request]);
    UpdateThumb();
}

bool CSkinScrollBar::Scrollable() const
{
    return m_pList && m_pList->ScrollLimit(m_orientation) != 0;
}

int CSkinScrollBar::Length() const
{
    return m_orientation == Qt::Horizontal ? width() : height();
}

int CSkinScrollBar::Along(const QPoint &pt) const
{
    return m_orientation == Qt::Horizontal ? pt.x() : pt.y();
}

bool CSkinScrollBar::InCrossReach(const QPoint &pt) const
{
    const int across = m_orientation == Qt::Horizontal ? pt.y() : pt.x();
    return across >= 0 && across <= m_nCrossReach;
}

bool CSkinScrollBar::InThumbArea(const QPoint &pt) const
{
    return InCrossReach(pt) && Along(pt) >= m_nThumbPos && Along(pt) <= m_nThumbPos + kThumbLength;
}

QScrollBar *CSkinScrollBar::ListBar() const
{
    return m_orientation == Qt::Horizontal ? m_pList->horizontalScrollBar() : m_pList->verticalScrollBar();
}

void CSkinScrollBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
    {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint pt = event->position().toPoint();
    // Captured until the release; the repeat ends when the capture goes elsewhere.
    grabMouse();
    if (InThumbArea(pt))
        m_bThumbPressed = true;
    if (PressesArrow(LineForward, pt))
    {
        m_bForwardPressed = true;
        m_timerDelay.start();
    }
    if (PressesArrow(LineBack, pt))
    {
        m_bBackPressed = true;
        m_timerDelay.start();
    }
    event->accept();
}

void CSkinScrollBar::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_bThumbPressed || !m_pList)
        return;
    const int length = Length();
    const QPointF at = event->position();
    const int thumbPos = static_cast<int>(m_orientation == Qt::Horizontal ? at.x() : at.y()) - kThumbGrab;
    if (const std::optional<double> target = DragTarget(thumbPos, length, m_pList->ScrollLimit(m_orientation)))
    {
        const int p = m_pList->ScrollPos(m_orientation);
        QScrollBar *bar = ListBar();
        bar->setValue(bar->value() + static_cast<int>(std::clamp(*target, -1.0e9, 1.0e9)) - p);
    }
    // The thumb follows the pointer until the release recomputes it from the list.
    m_nThumbPos = ClampDraggedThumb(thumbPos, length);
    update();
}

void CSkinScrollBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pt = event->position().toPoint();
    UpdateThumb();
    StopTimers();
    if (mouseGrabber() == this)
        releaseMouse();
    if (ReleasesArrow(LineBack, pt))
        Scroll(LineBack);
    else if (ReleasesArrow(LineForward, pt))
        Scroll(LineForward);
    else if (!InThumbArea(pt) && !m_bThumbPressed)
        Scroll(Along(pt) > m_nThumbPos ? PageForward : PageBack);
    m_bBackPressed = m_bForwardPressed = m_bThumbPressed = false;
}

void CSkinScrollBar::OnFirstDelay()
{
    if (!HoldsPointer())
        CancelPress();
    else if (m_bBackPressed || m_bForwardPressed)
        m_timerRepeat.start();
}

void CSkinScrollBar::OnRepeat()
{
    if (!HoldsPointer())
        CancelPress();
    else if (m_bBackPressed)
        Scroll(LineBack);
    else if (m_bForwardPressed)
        Scroll(LineForward);
    else
        m_timerRepeat.stop();
}

void CSkinScrollBar::StopTimers()
{
    m_timerDelay.stop();
    m_timerRepeat.stop();
}

bool CSkinScrollBar::HoldsPointer() const
{
    return isVisible() && isEnabled() && mouseGrabber() == this;
}

void CSkinScrollBar::CancelPress()
{
    StopTimers();
    if (mouseGrabber() == this)
        releaseMouse();
    m_bBackPressed = m_bForwardPressed = m_bThumbPressed = false;
    UpdateThumb();
}

void CSkinScrollBar::wheelEvent(QWheelEvent *event)
{
    // The wheel over a bar scrolls its list, as over the list itself.
    if (m_pList)
        QCoreApplication::sendEvent(m_pList->viewport(), event);
    else
        event->ignore();
}

void CSkinScrollBar::hideEvent(QHideEvent *event)
{
    CancelPress();
    QWidget::hideEvent(event);
}

void CSkinScrollBar::changeEvent(QEvent *event)
{
    if ((event->type() == QEvent::EnabledChange && !isEnabled()) ||
        (event->type() == QEvent::ActivationChange && !isActiveWindow()))
        CancelPress();
    QWidget::changeEvent(event);
}
