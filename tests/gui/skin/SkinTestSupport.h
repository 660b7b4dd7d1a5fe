#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QTest>
#include <QWidget>

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

// Runs the event loop until the condition holds or timeoutMs passes, and says whether it holds. The
// QTRY_ macros report to Qt Test's own log, which a GoogleTest case never sees; assert on this instead.
template <class Condition> bool WaitFor(Condition condition, int timeoutMs = 2000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < timeoutMs)
        QTest::qWait(10);
    return condition();
}
