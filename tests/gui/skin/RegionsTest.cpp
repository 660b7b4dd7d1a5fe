#include "skin/SkinRegions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace
{

bool sameRect(const RegionRect &a, const RegionRect &b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

int area(const QRegion &region)
{
    int total = 0;
    for (const QRect &r : region)
        total += r.width() * r.height();
    return total;
}

TEST(SteppedCorners, OrdinarySizeGivesTheElevenRectanglesAndTheirShape)
{
    const auto rects = SteppedCornerRects(430, 574);
    const RegionRect expected[11] = {
        {0, 5, 1, 569},     {1, 3, 2, 571},     {2, 2, 3, 572},     {3, 1, 4, 573},
        {4, 1, 5, 573},     {5, 1, 425, 574},   {425, 1, 426, 573}, {426, 2, 427, 572},
        {427, 2, 428, 572}, {428, 3, 429, 571}, {429, 5, 430, 569},
    };
    QRegion shape;
    for (int i = 0; i < 11; ++i)
    {
        EXPECT_TRUE(sameRect(rects[i], expected[i])) << "rectangle " << i + 1;
        shape += QRect(expected[i].left, expected[i].top, expected[i].right - expected[i].left,
                       expected[i].bottom - expected[i].top);
    }
    EXPECT_EQ(SteppedCornerRegion(430, 574), shape);
}

TEST(SteppedCorners, TinySizesStayInsideTheWindow)
{
    struct Size
    {
        int cx, cy;
    };
    const Size sizes[] = {{10, 10}, {6, 6}, {3, 3}, {1, 1}, {0, 0}, {10, 600}, {600, 4}};
    for (const Size &s : sizes)
    {
        const auto rects = SteppedCornerRects(s.cx, s.cy);
        EXPECT_EQ(rects.size(), 11u);
        const QRegion region = SteppedCornerRegion(s.cx, s.cy);
        EXPECT_TRUE(QRect(0, 0, s.cx, s.cy).contains(region.boundingRect()) || region.isEmpty())
            << s.cx << "x" << s.cy << " bound " << region.boundingRect().x() << "," << region.boundingRect().width();
    }
    // At 10 x 10 the middle rectangle (5..cx-5) and the outer columns have no area; the rest stays.
    const QRegion ten = SteppedCornerRegion(10, 10);
    EXPECT_EQ(area(ten), 4 + 6 + 8 + 8 + 8 + 6 + 6 + 4);
    EXPECT_FALSE(ten.contains(QPoint(0, 5)));
    EXPECT_FALSE(ten.contains(QPoint(9, 5)));
    EXPECT_FALSE(ten.contains(QPoint(5, 9)));
    EXPECT_TRUE(ten.contains(QPoint(5, 5)));
}

TEST(RegionData, MalformedBlocksAreRefused)
{
    const RegionRect rects[2] = {{0, 0, 4, 4}, {4, 0, 8, 4}};
    const auto good = BuildRegionData({0, 0, 8, 4}, 2, rects);
    ASSERT_TRUE(RegionFromData(good).has_value());
    EXPECT_EQ(area(*RegionFromData(good)), 32);

    auto truncated = good;
    truncated.resize(good.size() - 1);
    auto badSize = good;
    badSize[0] = std::byte{33};
    auto badType = good;
    badType[4] = std::byte{2};
    auto hugeCount = good;
    hugeCount[11] = std::byte{0x7F};
    for (const auto *block : {&truncated, &badSize, &badType, &hugeCount})
        EXPECT_FALSE(RegionFromData(*block).has_value());
    EXPECT_FALSE(RegionFromData({}).has_value());

    QRegion untouched(1, 1, 2, 2);
    EXPECT_FALSE(CreateRegionFromRects(untouched, {0, 0, 8, 4}, -1, rects));
    EXPECT_FALSE(CreateRegionFromRects(untouched, {0, 0, 8, 4}, 2, nullptr));
    EXPECT_EQ(untouched, QRegion(1, 1, 2, 2));
}

TEST(RegionData, EmptyAndOutOfBoundRectanglesAddNothing)
{
    const RegionRect rects[] = {{5, 5, 5, 9}, {5, 5, 9, 5}, {9, 9, 5, 5}, {-10, -10, 2, 2}, {90, 0, 200, 1}};
    QRegion region;
    ASSERT_TRUE(CreateRegionFromRects(region, {0, 0, 100, 100}, 5, rects));
    EXPECT_EQ(region, QRegion(0, 0, 2, 2) + QRegion(90, 0, 10, 1));
}

// Mask images: '#' opaque (black), '.' key (white).
QImage maskFrom(const std::vector<const char *> &rows)
{
    const int width = static_cast<int>(std::strlen(rows[0]));
    QImage image(width, static_cast<int>(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, rows[y][x] == '#' ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return image;
}

TEST(MaskRegion, RunsAndEdges)
{
    struct Case
    {
        const char *name;
        std::vector<const char *> rows;
        std::vector<RegionRect> runs;
    };
    const Case cases[] = {
        {"rightmost column opaque", {"..##"}, {{2, 0, 4, 1}}},
        {"rightmost pixel key", {"##.."}, {{0, 0, 2, 1}}},
        {"two runs in a row", {"#.#."}, {{0, 0, 1, 1}, {2, 0, 3, 1}}},
        {"all key", {"....", "...."}, {}},
        {"no key: one per row, bottom first", {"###", "###"}, {{0, 1, 3, 2}, {0, 0, 3, 1}}},
        {"runs never span rows", {"..##", "##.."}, {{0, 1, 2, 2}, {2, 0, 4, 1}}},
    };
    for (const Case &c : cases)
    {
        const QImage mask = maskFrom(c.rows);
        const auto runs = MaskRunRects(mask, qRgb(255, 255, 255));
        ASSERT_EQ(runs.size(), c.runs.size()) << c.name;
        for (std::size_t i = 0; i < runs.size(); ++i)
            EXPECT_TRUE(sameRect(runs[i], c.runs[i])) << c.name << " run " << i;
        int opaque = 0;
        for (const char *row : c.rows)
            opaque += static_cast<int>(std::count(row, row + std::strlen(row), '#'));
        const auto region = CreateRegionFromMask(mask, qRgb(255, 255, 255));
        ASSERT_TRUE(region.has_value());
        EXPECT_EQ(area(*region), opaque) << c.name;
    }
}

TEST(MaskRegion, NoMaskAndAlphaIgnored)
{
    EXPECT_FALSE(CreateRegionFromMask(QImage(), qRgb(255, 255, 255)).has_value());

    QImage argb(2, 1, QImage::Format_ARGB32);
    argb.setPixel(0, 0, qRgba(255, 255, 255, 10)); // key colour, whatever the alpha
    argb.setPixel(1, 0, qRgba(0, 0, 0, 255));
    EXPECT_EQ(*CreateRegionFromMask(argb, qRgba(255, 255, 255, 255)), QRegion(1, 0, 1, 1));
}

} // namespace
