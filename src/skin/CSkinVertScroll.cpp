#include "skin/CSkinVertScroll.h"

#include "skin/CSkinListCtrl.h"
#include "skin/CSkinMemDC.h"
#include "skin/SkinBitmaps.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <cmath>

namespace {

constexpr int kAreaWidth = 17; // the hit areas reach this far right from the left edge
constexpr int kThumbHeight = 26;

enum Request { LineUp = 0, LineDown = 1, PageUp = 2, PageDown = 3 };

} // namespace

CSkinVertScroll::CSkinVertScroll(QWidget *parent)
    : QWidget(parent)
{
    m_timerDelay.setSingleShot(true);
    m_timerDelay.setInterval(kFirstDelayMs);
    m_timerRepeat.setInterval(kRepeatMs);
    connect(&m_timerDelay, &QTimer::timeout, this, &CSkinVertScroll::OnFirstDelay);
    connect(&m_timerRepeat, &QTimer::timeout, this, &CSkinVertScroll::OnRepeat);
}

int CSkinVertScroll::ThumbPosFor(int height, int pos, int limit)
{
    if (limit == 0)
        return 20;
    const double step = (static_cast<double>(height) - 80.0) / limit;
    const double thumb = std::trunc(step * pos) + 20.0;
    return ClampThumb(static_cast<int>(std::clamp(thumb, -1.0e6, 1.0e6)), height);
}

int CSkinVertScroll::ClampThumb(int thumbPos, int height)
{
    if (thumbPos + kThumbHeight > height - 40)
        thumbPos = height - 38;
    if (thumbPos < 20)
        thumbPos = 20;
    return thumbPos;
}

void CSkinVertScroll::UpdateThumb()
{
    if (m_pList)
        m_nThumbPos = ThumbPosFor(height(), m_pList->ScrollPos(Qt::Vertical), m_pList->ScrollLimit(Qt::Vertical));
    update();
}

void CSkinVertScroll::Scroll(int request)
{
    if (!m_pList)
        return;
    static constexpr QAbstractSlider::SliderAction actions[] = {
        QAbstractSlider::SliderSingleStepSub, QAbstractSlider::SliderSingleStepAdd,
        QAbstractSlider::SliderPageStepSub, QAbstractSlider::SliderPageStepAdd};
    if (request >= LineUp && request <= PageDown)
        m_pList->verticalScrollBar()->triggerAction(actions[request]);
    UpdateThumb();
}

bool CSkinVertScroll::InThumbArea(int x, int y) const
{
    return x >= 0 && x <= kAreaWidth && y >= m_nThumbPos && y <= m_nThumbPos + kThumbHeight;
}

void CSkinVertScroll::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int h = height();
    CSkinMemDC dc(&painter, rect());
    if (!dc.isActive())
        return;
    const bool scrollable = m_pList && m_pList->ScrollLimit(Qt::Vertical) != 0;
    const QImage track = LoadSkinBitmap(scrollable ? 235 : 384);
    const QImage up = LoadSkinBitmap(scrollable ? 234 : 383);
    const QImage down = LoadSkinBitmap(scrollable ? 237 : 385);

    dc.fillRect(rect(), Qt::black);
    if (!track.isNull())
        dc.drawImage(QRect(0, 9, 18, h - 18), track, QRect(0, 0, track.width(), 1));
    if (!up.isNull())
        dc.drawImage(QPoint(0, 0), up, QRect(0, 0, 14, up.height()));
    if (!down.isNull())
        dc.drawImage(QPoint(0, h - 16), down, QRect(0, 0, 14, down.height()));
    if (scrollable) {
        const QImage thumb = LoadSkinBitmap(236);
        if (!thumb.isNull())
            dc.drawImage(QPoint(0, m_nThumbPos - 4), thumb, QRect(0, 0, 14, 26));
    }
}

void CSkinVertScroll::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint pt = event->position().toPoint();
    const int h = height();
    const bool inColumn = pt.x() >= 0 && pt.x() <= kAreaWidth;
    if (InThumbArea(pt.x(), pt.y()))
        m_bThumbPressed = true;
    if (inColumn && pt.y() >= h - 37 && pt.y() <= h - 11) {
        m_bDownPressed = true;
        m_timerDelay.start();
    }
    // Only the lower part of the up arrow's image repeats; kept as the bar always behaved.
    if (inColumn && pt.y() >= 11 && pt.y() <= 17) {
        m_bUpPressed = true;
        m_timerDelay.start();
    }
    event->accept();
}

void CSkinVertScroll::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_bThumbPressed || !m_pList)
        return;
    const int h = height();
    const int limit = m_pList->ScrollLimit(Qt::Vertical);
    const int thumbPos = static_cast<int>(event->position().y()) - 13;
    // Rows scroll whole; without rows (no row height) nothing moves, as in pixels R x n = 0.
    if (limit != 0 && h > 80 && m_pList->FirstRowHeight() > 0) {
        const double step = (h - 80.0) / limit;
        const double target = std::trunc((thumbPos - 20) / step);
        const int p = m_pList->ScrollPos(Qt::Vertical);
        QScrollBar *bar = m_pList->verticalScrollBar();
        bar->setValue(bar->value() + static_cast<int>(std::clamp(target, -1.0e9, 1.0e9)) - p);
    }
    m_nThumbPos = ClampThumb(thumbPos, h);
    update();
}

void CSkinVertScroll::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pt = event->position().toPoint();
    const int h = height();
    const bool inColumn = pt.x() >= 0 && pt.x() <= kAreaWidth;
    UpdateThumb();
    StopTimers();
    if (m_bUpPressed && inColumn && pt.y() >= 11 && pt.y() <= 26)
        Scroll(LineUp);
    else if (m_bDownPressed && inColumn && pt.y() >= h - 37 && pt.y() <= h - 11)
        Scroll(LineDown);
    else if (!InThumbArea(pt.x(), pt.y()) && !m_bThumbPressed)
        Scroll(pt.y() > m_nThumbPos ? PageDown : PageUp);
    m_bUpPressed = m_bDownPressed = m_bThumbPressed = false;
}

void CSkinVertScroll::OnFirstDelay()
{
    if (m_bUpPressed || m_bDownPressed)
        m_timerRepeat.start();
}

void CSkinVertScroll::OnRepeat()
{
    if (m_bUpPressed)
        Scroll(LineUp);
    else if (m_bDownPressed)
        Scroll(LineDown);
    else
        m_timerRepeat.stop();
}

void CSkinVertScroll::StopTimers()
{
    m_timerDelay.stop();
    m_timerRepeat.stop();
}
