#include "skin/CSkinHorzScroll.h"

#include "skin/CSkinListCtrl.h"
#include "skin/CSkinMemDC.h"
#include "skin/SkinBitmaps.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <cmath>

namespace {

constexpr int kAreaHeight = 20; // the hit areas reach this far down from the top
constexpr int kThumbWidth = 26;
constexpr int kArrowArea = 26;

enum Request { LineLeft = 0, LineRight = 1, PageLeft = 2, PageRight = 3 };

} // namespace

CSkinHorzScroll::CSkinHorzScroll(QWidget *parent)
    : QWidget(parent)
{
    m_timerDelay.setSingleShot(true);
    m_timerDelay.setInterval(kFirstDelayMs);
    m_timerRepeat.setInterval(kRepeatMs);
    connect(&m_timerDelay, &QTimer::timeout, this, &CSkinHorzScroll::OnFirstDelay);
    connect(&m_timerRepeat, &QTimer::timeout, this, &CSkinHorzScroll::OnRepeat);
}

int CSkinHorzScroll::ThumbPosFor(int width, int pos, int limit)
{
    if (limit == 0)
        return 20;
    const double step = (static_cast<double>(width) - 60.0) / limit;
    const double thumb = std::trunc(step * pos) + 20.0;
    // Keeps the conversion defined; the clamp below decides the real bounds.
    return ClampThumb(static_cast<int>(std::clamp(thumb, -1.0e6, 1.0e6)), width);
}

int CSkinHorzScroll::ClampThumb(int thumbPos, int width)
{
    if (thumbPos > width - 42)
        thumbPos = width - 38;
    if (thumbPos < 20)
        thumbPos = 20;
    return thumbPos;
}

void CSkinHorzScroll::UpdateThumb()
{
    if (m_pList)
        m_nThumbPos = ThumbPosFor(width(), m_pList->ScrollPos(Qt::Horizontal), m_pList->ScrollLimit(Qt::Horizontal));
    update();
}

void CSkinHorzScroll::Scroll(int request)
{
    if (!m_pList)
        return;
    static constexpr QAbstractSlider::SliderAction actions[] = {
        QAbstractSlider::SliderSingleStepSub, QAbstractSlider::SliderSingleStepAdd,
        QAbstractSlider::SliderPageStepSub, QAbstractSlider::SliderPageStepAdd};
    if (request >= LineLeft && request <= PageRight)
        m_pList->horizontalScrollBar()->triggerAction(actions[request]);
    UpdateThumb();
}

bool CSkinHorzScroll::InThumbArea(int x, int y) const
{
    return y >= 0 && y <= kAreaHeight && x >= m_nThumbPos && x <= m_nThumbPos + kThumbWidth;
}

void CSkinHorzScroll::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int w = width();
    CSkinMemDC dc(&painter, rect());
    if (!dc.isActive())
        return;
    const bool scrollable = m_pList && m_pList->ScrollLimit(Qt::Horizontal) != 0;
    const QImage track = LoadSkinBitmap(scrollable ? 232 : 382);
    const QImage left = LoadSkinBitmap(scrollable ? 233 : 380);
    const QImage right = LoadSkinBitmap(scrollable ? 231 : 381);

    dc.fillRect(rect(), Qt::white);
    if (!track.isNull())
        dc.drawImage(QRect(15, 0, w - 27, 18), track, QRect(0, 0, 1, track.height()));
    if (!left.isNull())
        dc.drawImage(QPoint(0, 0), left, QRect(0, 0, 16, 14));
    if (!right.isNull())
        dc.drawImage(QPoint(w - 16, 0), right, QRect(0, 0, 16, 14));
    if (scrollable) {
        const QImage thumb = LoadSkinBitmap(243);
        if (!thumb.isNull())
            dc.drawImage(QPoint(m_nThumbPos - 4, 0), thumb);
    }
}

void CSkinHorzScroll::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint pt = event->position().toPoint();
    const int w = width();
    if (InThumbArea(pt.x(), pt.y()))
        m_bThumbPressed = true;
    if (pt.y() >= 0 && pt.y() <= kAreaHeight && pt.x() >= w - kArrowArea && pt.x() <= w) {
        m_bRightPressed = true;
        m_timerDelay.start();
    }
    if (pt.y() >= 0 && pt.y() <= kAreaHeight && pt.x() >= 0 && pt.x() <= kArrowArea) {
        m_bLeftPressed = true;
        m_timerDelay.start();
    }
    event->accept();
}

void CSkinHorzScroll::mouseMoveEvent(QMouseEvent *event)
{
    if (m_bThumbPressed)
        m_bDragging = true;
    if (!m_bDragging || !m_pList)
        return;
    const int w = width();
    const int limit = m_pList->ScrollLimit(Qt::Horizontal);
    const int thumbPos = static_cast<int>(event->position().x()) - 13;
    // Nothing to scroll, or a bar too short for a step: the division would not be a number.
    if (limit != 0 && w > 75) {
        const double step = (w - 75.0) / limit;
        const double target = std::trunc((thumbPos - 25) / step);
        const int p = m_pList->ScrollPos(Qt::Horizontal);
        QScrollBar *bar = m_pList->horizontalScrollBar();
        bar->setValue(bar->value() + static_cast<int>(std::clamp(target, -1.0e9, 1.0e9)) - p);
    }
    // The thumb follows the pointer until the release recomputes it from the list.
    m_nThumbPos = ClampThumb(thumbPos, w);
    update();
}

void CSkinHorzScroll::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pt = event->position().toPoint();
    const int w = width();
    UpdateThumb();
    StopTimers();
    const bool inArrowRows = pt.y() >= 0 && pt.y() <= kAreaHeight;
    if (inArrowRows && pt.x() >= 0 && pt.x() <= kArrowArea)
        Scroll(LineLeft);
    else if (inArrowRows && pt.x() >= w - kArrowArea && pt.x() <= w)
        Scroll(LineRight);
    else if (!InThumbArea(pt.x(), pt.y()) && !m_bThumbPressed)
        Scroll(pt.x() > m_nThumbPos ? PageRight : PageLeft);
    m_bRightPressed = m_bLeftPressed = m_bDragging = m_bThumbPressed = false;
}

void CSkinHorzScroll::OnFirstDelay()
{
    if (m_bLeftPressed || m_bRightPressed)
        m_timerRepeat.start();
}

void CSkinHorzScroll::OnRepeat()
{
    if (m_bLeftPressed)
        Scroll(LineLeft);
    else if (m_bRightPressed)
        Scroll(LineRight);
    else
        m_timerRepeat.stop();
}

void CSkinHorzScroll::StopTimers()
{
    m_timerDelay.stop();
    m_timerRepeat.stop();
}
