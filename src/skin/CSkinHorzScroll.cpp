#include "skin/CSkinHorzScroll.h"

#include "skin/CSkinMemDC.h"
#include "skin/SkinBitmaps.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace
{

constexpr int kAreaHeight = 20; // the hit areas reach this far down from the top
constexpr int kArrowArea = 26;

} // namespace

CSkinHorzScroll::CSkinHorzScroll(QWidget *parent) : CSkinScrollBar(Qt::Horizontal, 25, kAreaHeight, parent) {}

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

bool CSkinHorzScroll::PressesArrow(Request arrow, const QPoint &pt) const
{
    if (!InCrossReach(pt))
        return false;
    const int w = width();
    return arrow == LineBack ? pt.x() >= 0 && pt.x() <= kArrowArea : pt.x() >= w - kArrowArea && pt.x() <= w;
}

std::optional<double> CSkinHorzScroll::DragTarget(int thumbPos, int length, int limit) const
{
    // Nothing to scroll, or a bar too short for a step: the division would not be a number.
    if (limit == 0 || length <= 75)
        return std::nullopt;
    const double step = (length - 75.0) / limit;
    return std::trunc((thumbPos - 25) / step);
}

void CSkinHorzScroll::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int w = width();
    CSkinMemDC dc(&painter, rect());
    if (!dc.isActive())
        return;
    const bool scrollable = Scrollable();
    const qreal ratio = devicePixelRatioF();
    const QImage track = LoadSkinBitmap(scrollable ? 232 : 382, ratio);
    const QImage left = LoadSkinBitmap(scrollable ? 233 : 380, ratio);
    const QImage right = LoadSkinBitmap(scrollable ? 231 : 381, ratio);

    dc.fillRect(rect(), Qt::white);
    if (!track.isNull())
        dc.drawImage(QRect(15, 0, w - 27, 18), track,
                     QRect(0, 0, SkinSourceRect(track, QRect(0, 0, 1, 1)).width(), track.height()));
    if (!left.isNull())
        dc.drawImage(QPoint(0, 0), left, SkinSourceRect(left, QRect(0, 0, 16, 14)));
    if (!right.isNull())
        dc.drawImage(QPoint(w - 16, 0), right, SkinSourceRect(right, QRect(0, 0, 16, 14)));
    if (scrollable)
    {
        const QImage thumb = LoadSkinBitmap(243, ratio);
        if (!thumb.isNull())
            dc.drawImage(QPoint(GetThumbPos() - 4, 0), thumb);
    }
}
