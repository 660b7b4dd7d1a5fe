// Runs with QT_SCALE_FACTOR=2: the skinned widgets draw the 2x bitmaps, pixel for pixel, at the
// logical size of the 1x ones.

#include "skin/CSkinButton.h"
#include "skin/CSkinDialog.h"
#include "skin/CSkinListCtrl.h"
#include "skin/SkinBitmaps.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

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
    EXPECT_EQ(probe.devicePixelRatioF(), 2.0) << "run with QT_SCALE_FACTOR=2";
    const QImage image = LoadSkinBitmap(284, 2.0);
    EXPECT_EQ(image.size(), QSize(200, 50));
    EXPECT_EQ(image.devicePixelRatio(), 2.0);
    EXPECT_EQ(LoadSkinBitmap(284, 1.0).size(), QSize(100, 25));
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

TEST(SkinScale, WidgetsDrawTheTwiceAsLargeBitmapsAtTheirLogicalSize)
{
    struct Case
    {
        const char *name;
        int bitmap;
        QSize logical;                                    // the widget's size
        std::function<QWidget *(QWidget *parent)> create; // builds the widget in a shown window
        QRect area;                                       // device pixels that show the bitmap alone
    };
    const Case cases[] = {
        {"stretched background",
         267,
         {430, 574},
         [](QWidget *) -> QWidget *
         {
             auto *dialog = new CSkinDialog;
             dialog->SetBackgroundBitmap(267, CSkinDialog::BackgroundMode::Stretched);
             return dialog;
         },
         {0, 0, 860, 1148}},
        {"unscaled background",
         268,
         {366, 135},
         [](QWidget *) -> QWidget *
         {
             auto *dialog = new CSkinDialog;
             dialog->SetBackgroundBitmap(268, CSkinDialog::BackgroundMode::Unscaled);
             return dialog;
         },
         {0, 0, 732, 270}},
        {"push button",
         284,
         {100, 25},
         [](QWidget *parent) -> QWidget *
         {
             auto *button = new CSkinButton(parent);
             button->SetBitmaps(284, 285, 285, 284);
             return button;
         },
         {0, 0, 200, 50}},
        {"title glyph",
         262,
         {16, 16},
         [](QWidget *parent) -> QWidget *
         {
             auto *button = new CSkinButton(parent);
             button->SetBitmaps(262, 378, 378, 262, 0, 0, CSkinButton::DrawNatural);
             return button;
         },
         {0, 0, 32, 32}},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        QWidget host;
        host.resize(500, 600);
        QWidget *widget = c.create(&host);
        widget->resize(c.logical);
        QWidget *shown = widget->parentWidget() ? &host : widget;
        shown->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(shown));
        const QImage rendering = widget->grab().toImage();
        EXPECT_EQ(rendering.size(), c.logical * 2);
        EXPECT_TRUE(ShowsExactly(rendering, TwiceAsLarge(c.bitmap), c.area));
        if (widget->parentWidget() == nullptr)
            delete widget;
    }
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
