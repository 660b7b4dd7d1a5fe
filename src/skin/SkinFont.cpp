#include "skin/SkinFont.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace
{

int CellOf(const QFont &font)
{
    const QFontMetricsF metrics(font);
    return static_cast<int>(std::ceil(metrics.ascent()) + std::ceil(metrics.descent()));
}

} // namespace

QFont FontForCellHeight(const QString &family, int cellHeight)
{
    QFont font(family);
    cellHeight = std::clamp(cellHeight, 1, 1000);
    // Start from the face's own proportions, then step down while hinting rounds the cell past
    // the height asked for.
    font.setPixelSize(100);
    const QFontMetricsF reference(font);
    const double perPixel = (reference.ascent() + reference.descent()) / 100.0;
    int size = perPixel > 0 ? static_cast<int>(std::lround(cellHeight / perPixel)) : cellHeight;
    size = std::clamp(size, 1, cellHeight);
    font.setPixelSize(size);
    while (size > 1 && CellOf(font) > cellHeight)
        font.setPixelSize(--size);
    return font;
}
