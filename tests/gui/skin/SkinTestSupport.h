#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include "support/WaitFor.h"

inline QImage SolidImage(int width, int height, const QColor &color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// The colour the widget shows at pos, read back from its rendering.
inline QColor PixelAt(QWidget *widget, QPoint pos)
{
    return widget->grab().toImage().pixelColor(pos);
}

using izuzez::test::WaitFor;
