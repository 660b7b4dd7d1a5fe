#include "skin/CSkinVertScroll.h"

#include "skin/CSkinListCtrl.h"
#include "skin/CSkinMemDC.h"
#include "skin/SkinBitmaps.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace
{

constexpr int kAreaWidth = 17; // the hit areas reach this far right from the left edge
constexpr int kThumbHeight = 26;

} // namespace

CSkinVertScroll::CSkinVertScroll(QWidget *parent) : CSkinScrollBar(Qt::Vertical, 14, kAreaWidth, parent) {}

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

bool CSkinVertScroll::PressesArrow(Request arrow, const QPoint &pt) const
{
    if (!InCrossReach(pt))
        return false;
    const int h = height();
    // Only the lower part of the up arrow's image repeats; kept as the bar always behaved.
    return arrow == LineBack ? pt.y() >= 11 && pt.y() <= 17 : pt.y() >= h - 37 && pt.y() <= h - 11;
}

bool CSkinVertScroll::ReleasesArrow(Request arrow, const QPoint &pt) const
{
    // An arrow steps on release only when the press began on it, unlike the horizontal bar.
    if (!InCrossReach(pt))
        return false;
    const int h = height();
    if (arrow == LineBack)
        return BackPressed() && pt.y() >= 11 && pt.y() <= 26;
    return ForwardPressed() && pt.y() >= h - 37 && pt.y() <= h - 11;
}

std::optional<double> CSkinVertScroll::DragTarget(int thumbPos, int length, int limit) const
{
    // Rows scroll whole; without rows (no row height) nothing moves, as in pixels R x n = 0.
    if (limit == 0 || length <= 80 || List()->FirstRowHeight() <= 0)
        return std::nullopt;
    const double step = (length - 80.0) / limit;
    return std::trunc((thumbPos - 20) / step);
}

void CSkinVertScroll::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int h = height();
    CSkinMemDC dc(&painter, rect());
    if (!dc.isActive())
        return;
    const bool scrollable = Scrollable();
    const qreal ratio = devicePixelRatioF();
    const QImage track = LoadSkinBitmap(scrollable ? 235 : 384, ratio);
    const QImage up = LoadSkinBitmap(scrollable ? 234 : 383, ratio);
    const QImage down = LoadSkinBitmap(scrollable ? 237 : 385, ratio);

    dc.fillRect(rect(), Qt::black);
    if (!track.isNull())
        dc.drawImage(QRect(0, 9, 18, h - 18), track,
                     QRect(0, 0, track.width(), SkinSourceRect(track, QRect(0, 0, 1, 1)).height()));
    if (!up.isNull())
        dc.drawImage(QPoint(0, 0), up, QRect(0, 0, SkinSourceRect(up, QRect(0, 0, 14, 1)).width(), up.height()));
    if (!down.isNull())
        dc.drawImage(QPoint(0, h - 16), down,
                     QRect(0, 0, SkinSourceRect(down, QRect(0, 0, 14, 1)).width(), down.height()));
    if (scrollable)
    {
        const QImage thumb = LoadSkinBitmap(236, ratio);
        if (!thumb.isNull())
            dc.drawImage(QPoint(0, GetThumbPos() - 4), thumb, SkinSourceRect(thumb, QRect(0, 0, 14, 26)));
    }
}
