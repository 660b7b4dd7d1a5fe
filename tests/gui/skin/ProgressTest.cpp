#include "skin/CSkinProgressCtrl.h"

#include "SkinTestSupport.h"

#include <gtest/gtest.h>

namespace
{

// The ordinary widths are in the painting case below.
TEST(SkinProgress, BarWidthAtTheEdges)
{
    struct Case
    {
        int lower, upper, pos, width, filled;
    };
    const Case cases[] = {
        {0, 100, 0, 200, 0},
        {5, 5, 5, 200, 0},
        {10, 20, 9, 200, 0},
        {-50, 50, 0, 200, 100},
        {0, 100, 150, 200, 200},
        {0, 2147483647, 2147483647, 200, 200},
        {-2147483647 - 1, 2147483647, 0, 200, 100},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CSkinProgressCtrl::BarWidth(c.lower, c.upper, c.pos, c.width), c.filled)
            << c.lower << ".." << c.upper << " at " << c.pos;
}

TEST(SkinProgress, PaintsTheBarOverTheButtonFace)
{
    CSkinProgressCtrl bar;
    bar.resize(200, 20);
    const QColor face = bar.palette().color(QPalette::Button);
    EXPECT_EQ(PixelAt(&bar, QPoint(0, 10)), face); // no position yet
    struct Case
    {
        int upper, value, lastBlue;
    };
    const Case cases[] = {{100, 50, 99}, {3, 1, 65}, {3, 3, 199}};
    for (const Case &c : cases)
    {
        bar.setRange(0, c.upper);
        bar.setValue(c.value);
        const QImage image = bar.grab().toImage();
        EXPECT_EQ(image.pixelColor(c.lastBlue, 10), CSkinProgressCtrl::BarColor()) << c.upper << "/" << c.value;
        if (c.lastBlue + 1 < 200)
        {
            EXPECT_EQ(image.pixelColor(c.lastBlue + 1, 10), face) << c.upper << "/" << c.value;
        }
    }
}

} // namespace
