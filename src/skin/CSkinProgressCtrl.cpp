#include "skin/CSkinProgressCtrl.h"

#include "skin/CSkinMemDC.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

CSkinProgressCtrl::CSkinProgressCtrl(QWidget *parent) : QProgressBar(parent)
{
    setTextVisible(false);
}

int CSkinProgressCtrl::BarWidth(int lower, int upper, int pos, int width)
{
    if (upper == lower || width <= 0)
        return 0;
    const double filled = std::trunc(static_cast<double>(pos - static_cast<double>(lower)) * width /
                                     (static_cast<double>(upper) - lower));
    // Outside 0..width the bar is either empty or clipped by the control anyway.
    return static_cast<int>(std::clamp(filled, 0.0, static_cast<double>(width)));
}

void CSkinProgressCtrl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect r = rect();
    CSkinMemDC dc(&painter, r);
    if (!dc.isActive())
        return;
    dc.fillRect(r, palette().color(QPalette::Button));
    const int filled = BarWidth(minimum(), maximum(), value(), r.width());
    if (filled > 0)
        dc.fillRect(QRect(r.left(), r.top(), filled, r.height()), BarColor());
}
