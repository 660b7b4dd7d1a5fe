// Runs with QT_SCALE_FACTOR=2: the skinned widgets draw the 2x bitmaps, pixel for pixel, at the
// logical size of the 1x ones.

#include "skin/CSkinButton.h"
#include "skin/CSkinDialog.h"
#include "skin/CSkinListCtrl.h"
#include "skin/SkinBitmaps.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace
{

QImage TwiceAsLarge(int number)
{
    return QImage(QStringLiteral(":/bitmaps/%1@2x.bmp").arg(number), "BMP").convertToFormat(QImage::Format_RGB32);
}

// Whether the rendering shows `bitmap` 1:1 in `area` (device pixels), allowing for nothing else.
bool ShowsExactly(const QImage &rendering, const QImage &bitmap, const QRect &area)
{
    const QImage shown = rendering.convertToFormat(QImage::Format_RGB32).copy(area);
    const QImage expected = bitmap.copy(QRect(QPoint(0, 0), area.size()));
    return !shown.isNull() && shown == expected;
}

TEST(SkinScale, TheScreenIsAt200Percent)
{
    QWidget probe;
    ASSERT_EQ(probe.devicePixelRatioF(), 2.0) << "run with QT_SCALE_FACTOR=2";
    EXPECT_EQ(LoadSkinBitmap(284, 1.0).size(), QSize(100, 25)); // masks take the 1x drawing
}

TEST(SkinScale, ARegisteredBitmapWinsOverTheBuiltInTwiceAsLargeOne)
{
    QImage mine(7, 3, QImage::Format_RGB32);
    mine.fill(Qt::red);
    RegisterSkinBitmap(284, mine);
    const QImage loaded = LoadSkinBitmap(284, 2.0);
    ClearRegisteredSkinBitmaps();
    EXPECT_EQ(loaded, mine);
}

// The whole widget, at the 1x bitmap's logical size, shows the 2x bitmap pixel for pixel.
void ExpectShowsTwiceAsLarge(QWidget *widget, int bitmap)
{
    const QImage rendering = widget->grab().toImage();
    EXPECT_EQ(rendering.size(), widget->size() * 2);
    EXPECT_TRUE(ShowsExactly(rendering, TwiceAsLarge(bitmap), QRect(QPoint(0, 0), widget->size() * 2)));
}

TEST(SkinScale, WidgetsDrawTheTwiceAsLargeBitmapsAtTheirLogicalSize)
{
    using Mode = CSkinDialog::BackgroundMode;
    for (const auto &[bitmap, mode] : {std::pair{267, Mode::Stretched}, std::pair{268, Mode::Unscaled}})
    {
        SCOPED_TRACE(bitmap);
        CSkinDialog dialog;
        dialog.SetBackgroundBitmap(bitmap, mode);
        dialog.resize(TwiceAsLarge(bitmap).size() / 2);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        ExpectShowsTwiceAsLarge(&dialog, bitmap);
    }
    QWidget host;
    host.resize(200, 100);
    auto *button = new CSkinButton(&host);
    button->SetBitmaps(284, 285, 285, 284);
    button->resize(100, 25);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    ExpectShowsTwiceAsLarge(button, 284);
}

TEST(SkinScale, ListScrollBarsDrawTheTwiceAsLargeArrows)
{
    QWidget host;
    host.resize(300, 200);
    auto *list = new CSkinListCtrl(&host);
    list->setGeometry(10, 10, 200, 120);
    list->InitSkin();
    list->InsertColumn(0, QStringLiteral("Name"), 300);
    for (int row = 0; row < 30; ++row)
        list->InsertItem(row, QStringLiteral("row %1").arg(row));
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    list->PositionScrollBars();
    const QImage vertical = list->GetVertScroll()->grab().toImage();
    EXPECT_TRUE(ShowsExactly(vertical, TwiceAsLarge(234), {0, 0, 28, 32})); // the up arrow
    const QImage horizontal = list->GetHorzScroll()->grab().toImage();
    EXPECT_TRUE(ShowsExactly(horizontal, TwiceAsLarge(233), {0, 0, 32, 28})); // the left arrow
}

} // namespace
