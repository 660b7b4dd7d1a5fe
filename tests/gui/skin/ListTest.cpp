#include "skin/CSkinListCtrl.h"
#include "skin/SkinBitmaps.h"

#include "SkinTestSupport.h"

#include <cmath>
#include <cstdlib>
#include <functional>

#include <QElapsedTimer>
#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace
{

TEST(SkinScrollThumb, HorizontalPositionsAndClamps)
{
    struct Case
    {
        int width, pos, limit, thumb;
    };
    const Case cases[] = {
        {200, 0, 0, 20},     {200, 5, 0, 20},     {200, 0, 100, 20},    {200, 50, 100, 90},
        {200, 98, 100, 157}, {200, 99, 100, 158}, {200, 100, 100, 162}, // snaps once past W - 42
        {200, 1, 3, 66},     {50, 1, 10, 20},     {30, 10, 10, 20},     // too narrow: never below 20
    };
    for (const Case &c : cases)
        EXPECT_EQ(CSkinHorzScroll::ThumbPosFor(c.width, c.pos, c.limit), c.thumb)
            << c.width << " " << c.pos << "/" << c.limit;
}

TEST(SkinScrollThumb, VerticalPositionsAndClamps)
{
    struct Case
    {
        int height, pos, limit, thumb;
    };
    const Case cases[] = {
        {200, 0, 0, 20},    {200, 0, 10, 20},     {200, 5, 10, 80},     {200, 19, 20, 134},
        {200, 20, 20, 162}, {200, 114, 120, 134}, {200, 115, 120, 162}, // snaps once past H - 66
        {149, 40, 40, 111}, {40, 3, 3, 20},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CSkinVertScroll::ThumbPosFor(c.height, c.pos, c.limit), c.thumb)
            << c.height << " " << c.pos << "/" << c.limit;
}

const QColor kScrollUp(0, 120, 0);
const QColor kIdleUp(120, 0, 0);
const QColor kThumb(0, 0, 160);

class SkinListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterSkinBitmap(234, SolidImage(14, 16, kScrollUp));
        RegisterSkinBitmap(383, SolidImage(14, 16, kIdleUp));
        RegisterSkinBitmap(236, SolidImage(14, 26, kThumb));
        RegisterSkinBitmap(374, SolidImage(1, 17, Qt::white));
        RegisterSkinBitmap(240, SolidImage(12, 17, Qt::white));
        host.resize(420, 320);
        list = new CSkinListCtrl(&host);
        list->setGeometry(10, 10, 200, 150);
        list->InitSkin();
        list->InsertColumn(0, QStringLiteral("Name"), 94);
        list->InsertColumn(1, QStringLiteral("IP"), 81);
        list->InsertColumn(2, QStringLiteral("Netmask"), 81);
        list->InsertColumn(3, QStringLiteral("Gateway"), 81);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    }
    void TearDown() override { ClearRegisteredSkinBitmaps(); }

    void fill(int rows)
    {
        for (int i = 0; i < rows; ++i)
        {
            list->InsertItem(i, QStringLiteral("device %1").arg(i));
            list->SetItemText(i, 1, QStringLiteral("192.168.1.%1").arg(i));
        }
        QCoreApplication::processEvents();
    }

    QScrollBar *vbar() const { return list->verticalScrollBar(); }
    QScrollBar *hbar() const { return list->horizontalScrollBar(); }
    CSkinVertScroll *vs() const { return list->GetVertScroll(); }
    CSkinHorzScroll *hs() const { return list->GetHorzScroll(); }

    void click(QWidget *bar, QPoint press, QPoint release)
    {
        QTest::mousePress(bar, Qt::LeftButton, {}, press);
        if (press != release)
            QTest::mouseMove(bar, release);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, release);
        QTest::qWait(QApplication::doubleClickInterval() + 20);
    }

    QWidget host;
    CSkinListCtrl *list = nullptr;
};

TEST_F(SkinListTest, BarsSitAgainstTheListsRightAndBottomEdges)
{
    EXPECT_EQ(vs()->geometry(), QRect(210, 10, 14, 149));
    EXPECT_EQ(hs()->geometry(), QRect(10, 160, 198, 14));
    list->setGeometry(20, 30, 180, 100);
    EXPECT_EQ(vs()->geometry(), QRect(200, 30, 14, 99));
    EXPECT_EQ(hs()->geometry(), QRect(20, 130, 178, 14));
}

TEST_F(SkinListTest, FewRowsShowTheIdleBitmapsWithoutThumb)
{
    fill(2);
    ASSERT_EQ(list->ScrollLimit(Qt::Vertical), 0);
    EXPECT_EQ(vs()->GetThumbPos(), 20);
    const QImage idle = vs()->grab().toImage();
    EXPECT_EQ(idle.pixelColor(5, 5), kIdleUp);
    EXPECT_NE(idle.pixelColor(5, 30), kThumb);

    fill(60);
    ASSERT_GT(list->ScrollLimit(Qt::Vertical), 0);
    const QImage busy = vs()->grab().toImage();
    EXPECT_EQ(busy.pixelColor(5, 5), kScrollUp);
    EXPECT_EQ(busy.pixelColor(5, vs()->GetThumbPos()), kThumb);
}

TEST_F(SkinListTest, ThumbFollowsTheListToBothEnds)
{
    fill(60);
    const int h = vs()->height();
    vbar()->setValue(vbar()->maximum());
    EXPECT_EQ(vs()->GetThumbPos(), h - 38);
    vbar()->setValue(0);
    EXPECT_EQ(vs()->GetThumbPos(), 20);

    ASSERT_GT(list->ScrollLimit(Qt::Horizontal), 0);
    hbar()->setValue(hbar()->maximum());
    EXPECT_EQ(hs()->GetThumbPos(), hs()->width() - 38);
    hbar()->setValue(0);
    EXPECT_EQ(hs()->GetThumbPos(), 20);
}

TEST_F(SkinListTest, VerticalReleaseSteps)
{
    fill(60);
    const int h = vs()->height();
    const int page = vbar()->pageStep();
    struct Case
    {
        const char *name;
        int start;
        int pressY, releaseY;
        int expected;
    };
    const Case cases[] = {
        {"up arrow area", 10, 14, 14, 9},
        {"top of the up arrow image pages", 10, 5, 5, 10 - page},
        {"down arrow area", 10, h - 20, h - 20, 11},
        {"press on the track, release on the down arrow pages", 0, h / 2, h - 20, page},
    };
    for (const Case &c : cases)
    {
        vbar()->setValue(c.start);
        ASSERT_FALSE(c.pressY >= vs()->GetThumbPos() && c.pressY <= vs()->GetThumbPos() + 26) << c.name;
        click(vs(), QPoint(5, c.pressY), QPoint(5, c.releaseY));
        EXPECT_EQ(vbar()->value(), std::max(c.expected, 0)) << c.name;
    }
}

TEST_F(SkinListTest, HorizontalReleaseOnAnArrowStepsWhereverThePressWas)
{
    fill(3);
    const int w = hs()->width();
    hbar()->setValue(0);
    click(hs(), QPoint(w / 2, 5), QPoint(w - 5, 5));
    EXPECT_EQ(hbar()->value(), hbar()->singleStep());
    const int track = hs()->GetThumbPos() + 40; // right of the thumb, left of the right arrow
    ASSERT_LT(track, w - 26);
    click(hs(), QPoint(track, 5), QPoint(track, 5));
    EXPECT_EQ(hbar()->value(), std::min(hbar()->singleStep() + hbar()->pageStep(), hbar()->maximum()));
}

TEST_F(SkinListTest, DraggingTheThumbScrollsTheList)
{
    fill(60);
    const int h = vs()->height();
    const int grab = vs()->GetThumbPos() + 5;
    QTest::mousePress(vs(), Qt::LeftButton, {}, QPoint(5, grab));
    QTest::mouseMove(vs(), QPoint(5, h / 2));
    EXPECT_GT(vbar()->value(), 0);
    EXPECT_EQ(vs()->GetThumbPos(), CSkinVertScroll::ClampThumb(h / 2 - 13, h));
    QTest::mouseMove(vs(), QPoint(5, h + 50));
    EXPECT_EQ(vbar()->value(), vbar()->maximum());
    QTest::mouseRelease(vs(), Qt::LeftButton, {}, QPoint(5, h + 50));
    EXPECT_EQ(vbar()->value(), vbar()->maximum()); // a release after a drag adds no page
}

TEST_F(SkinListTest, HeldArrowRepeatsAfterTheFirstDelay)
{
    fill(200);
    const int h = vs()->height();
    vbar()->setValue(0);
    QElapsedTimer clock;
    clock.start();
    QTest::mousePress(vs(), Qt::LeftButton, {}, QPoint(5, h - 20));
    EXPECT_EQ(vbar()->value(), 0); // the press itself does not step
    ASSERT_TRUE(WaitFor([&] { return vbar()->value() > 0; }));
    EXPECT_GE(clock.elapsed(), CSkinVertScroll::kFirstDelayMs + CSkinVertScroll::kRepeatMs - 10);
    ASSERT_TRUE(WaitFor([&] { return vbar()->value() >= 4; }));
    // Ticks come about every 50 ms: four of them take at least 150 ms after the first.
    EXPECT_GE(clock.elapsed(), CSkinVertScroll::kFirstDelayMs + 4 * CSkinVertScroll::kRepeatMs - 10);
    QTest::mouseRelease(vs(), Qt::LeftButton, {}, QPoint(100, 100)); // away from the arrow: no extra line
    const int stopped = vbar()->value();
    QTest::qWait(200);
    EXPECT_EQ(vbar()->value(), stopped);
}

TEST_F(SkinListTest, EveryHeldArrowRepeatsInItsDirection)
{
    list->InsertColumn(4, QStringLiteral("Wide"), 600); // room for several horizontal steps
    fill(200);
    struct Case
    {
        const char *name;
        QWidget *bar;
        QScrollBar *scroll;
        QPoint at;
        bool forward;
    };
    const Case cases[] = {
        {"up", vs(), vbar(), QPoint(5, 14), false},
        {"down", vs(), vbar(), QPoint(5, vs()->height() - 20), true},
        {"left", hs(), hbar(), QPoint(10, 5), false},
        {"right", hs(), hbar(), QPoint(hs()->width() - 10, 5), true},
    };
    for (const Case &c : cases)
    {
        ASSERT_GT(c.scroll->maximum(), 3 * c.scroll->singleStep()) << c.name;
        const int start = c.forward ? c.scroll->minimum() : c.scroll->maximum();
        c.scroll->setValue(start);
        QTest::mousePress(c.bar, Qt::LeftButton, {}, c.at);
        // Three or more steps while held can only come from the repeat timer.
        WaitFor([&] { return std::abs(c.scroll->value() - start) >= 3 * c.scroll->singleStep(); });
        QTest::mouseRelease(c.bar, Qt::LeftButton, {}, c.at);
        EXPECT_GE(std::abs(c.scroll->value() - start), 3 * c.scroll->singleStep()) << c.name;
        EXPECT_EQ(c.scroll->value() > start, c.forward) << c.name;
    }
}

TEST_F(SkinListTest, SelectedRowIsBlackOnGreyAlsoWithoutFocus)
{
    fill(5);
    list->topLevelItem(1)->setSelected(true);
    list->clearFocus();
    ASSERT_FALSE(list->hasFocus());
    const QRect selected = list->visualItemRect(list->topLevelItem(1));
    const QRect other = list->visualItemRect(list->topLevelItem(2));
    const QPoint offset = list->viewport()->mapTo(list, QPoint(0, 0));
    const QImage image = list->grab().toImage();

    // Far right of the first column, past its text.
    const QPoint blankSel = offset + QPoint(90, selected.center().y());
    const QPoint blankOther = offset + QPoint(90, other.center().y());
    EXPECT_EQ(image.pixelColor(blankSel), QColor(190, 190, 190));
    EXPECT_EQ(image.pixelColor(blankOther), QColor(Qt::white));
    int darkest = 255;
    for (int x = offset.x(); x < offset.x() + 80; ++x)
        darkest = std::min(darkest, qGray(image.pixel(x, offset.y() + selected.center().y())));
    EXPECT_LT(darkest, 60); // the text stays black
}

// Columns of the header where dark (text) pixels appear, as runs [first, last].
std::vector<std::pair<int, int>> inkRuns(const QImage &image, int left, int right, int *inkTop, int *inkBottom)
{
    std::vector<std::pair<int, int>> runs;
    *inkTop = image.height();
    *inkBottom = -1;
    bool inRun = false;
    for (int x = left; x < right; ++x)
    {
        bool ink = false;
        for (int y = 0; y < std::min(image.height(), 24); ++y)
        {
            if (qGray(image.pixel(x, y)) < 128)
            {
                ink = true;
                *inkTop = std::min(*inkTop, y);
                *inkBottom = std::max(*inkBottom, y);
            }
        }
        if (ink && !inRun)
            runs.push_back({x, x});
        if (ink)
            runs.back().second = x;
        inRun = ink;
    }
    return runs;
}

TEST_F(SkinListTest, LongHeaderTextEndsWithAnEllipsis)
{
    list->headerItem()->setText(1, QStringLiteral("A heading far too long for its column"));

    CSkinHeaderCtrl *header = list->GetHeaderCtrl();
    const QImage image = header->grab().toImage();

    struct Case
    {
        int column;
        bool ellipsis;
    };
    for (const Case c : {Case{1, true}, Case{0, false}})
    {
        const int left = header->sectionViewportPosition(c.column) + 2;
        const int right = std::min(left + header->sectionSize(c.column) - 4, image.width());
        int top = 0, bottom = 0;
        const auto runs = inkRuns(image, left, right, &top, &bottom);
        ASSERT_GE(runs.size(), 2u) << c.column;
        // An ellipsis: the last three marks are small dots sitting on the baseline.
        int dots = 0;
        for (auto it = runs.rbegin(); it != runs.rend() && it - runs.rbegin() < 3; ++it)
        {
            int dotTop = image.height();
            for (int x = it->first; x <= it->second; ++x)
                for (int y = 0; y < std::min(image.height(), 24); ++y)
                    if (qGray(image.pixel(x, y)) < 128)
                        dotTop = std::min(dotTop, y);
            if (it->second - it->first <= 3 && dotTop > top + (bottom - top) / 2)
                ++dots;
        }
        EXPECT_EQ(dots == 3, c.ellipsis) << "column " << c.column;
    }
}

void sendWheel(QWidget *target, QPoint angle)
{
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), angle, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(target, &wheel);
}

TEST_F(SkinListTest, WheelScrollsTheListAndMovesBothThumbs)
{
    list->InsertColumn(4, QStringLiteral("Wide"), 600);
    fill(60);
    struct Case
    {
        const char *name;
        QWidget *target;
        QPoint angle;
        Qt::Orientation orientation;
    };
    const Case cases[] = {
        {"down over the rows", list->viewport(), QPoint(0, -120), Qt::Vertical},
        {"right over the rows", list->viewport(), QPoint(-120, 0), Qt::Horizontal},
        {"down over the skinned bar", vs(), QPoint(0, -120), Qt::Vertical},
        {"right over the skinned bar", hs(), QPoint(-120, 0), Qt::Horizontal},
    };
    for (const Case &c : cases)
    {
        vbar()->setValue(0);
        hbar()->setValue(0);
        CSkinScrollBar *skinned = c.orientation == Qt::Vertical ? static_cast<CSkinScrollBar *>(vs()) : hs();
        ASSERT_EQ(skinned->GetThumbPos(), 20) << c.name;
        sendWheel(c.target, c.angle);
        sendWheel(c.target, c.angle);
        EXPECT_GT(list->ScrollPos(c.orientation), 0) << c.name;
        EXPECT_GT(skinned->GetThumbPos(), 20) << c.name;
        sendWheel(c.target, -c.angle);
        sendWheel(c.target, -c.angle);
        EXPECT_EQ(list->ScrollPos(c.orientation), 0) << c.name;
        EXPECT_EQ(skinned->GetThumbPos(), 20) << c.name;
    }
}

// Empty rows, so that every pixel of a selected row must be the flat grey: no focus frame, no
// gradient, also while the list has the focus and the row is the current one.
TEST_F(SkinListTest, SelectedRowIsFlatGreyWithOrWithoutFocus)
{
    for (int i = 0; i < 4; ++i)
        list->InsertItem(i, QString());
    QCoreApplication::processEvents();
    list->setCurrentItem(list->topLevelItem(1));
    list->topLevelItem(1)->setSelected(true);
    for (const bool focused : {true, false})
    {
        if (focused)
        {
            host.activateWindow();
            list->setFocus();
            ASSERT_TRUE(WaitFor([&] { return list->hasFocus(); })) << "focus";
        }
        else
        {
            list->clearFocus();
        }
        const QRect row = list->visualItemRect(list->topLevelItem(1));
        const QPoint offset = list->viewport()->mapTo(list, QPoint(0, 0));
        const QImage image = list->grab().toImage();
        int off = 0;
        for (int y = row.top(); y <= row.bottom(); ++y)
            for (int x = 0; x < list->viewport()->width(); ++x)
                off += image.pixelColor(offset + QPoint(x, y)) != QColor(190, 190, 190);
        EXPECT_EQ(off, 0) << (focused ? "focused" : "not focused");
    }
}

// The ink of text drawn with the header font, rows [top, bottom] of the image.
std::pair<int, int> inkRows(const QImage &image, int left, int right, int rows)
{
    int top = image.height(), bottom = -1;
    for (int y = 0; y < std::min(rows, image.height()); ++y)
        for (int x = left; x < right; ++x)
            if (qGray(image.pixel(x, y)) < 160)
            {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return {top, bottom};
}

TEST_F(SkinListTest, HeaderFontFitsItsCellHeightAndKeepsDescenders)
{
    // "height 14" is a cell height: ascent and descent together, not the size of the letters.
    const QFontMetricsF metrics(CSkinHeaderCtrl::HeaderFont());
    EXPECT_LE(std::ceil(metrics.ascent()) + std::ceil(metrics.descent()), 14.0);
    EXPECT_GE(metrics.ascent() + metrics.descent(), 11.0);

    // The same text drawn without any clipping reaches as low as in the header.
    list->setGeometry(10, 10, 380, 150); // all four columns in view
    CSkinHeaderCtrl *header = list->GetHeaderCtrl();
    ASSERT_LE(header->sectionViewportPosition(3) + header->sectionSize(3), header->width());
    const int column = 3; // "Gateway"
    const int left = header->sectionViewportPosition(column);
    const int width = header->sectionSize(column);
    QImage free(width, 60, QImage::Format_RGB32);
    free.fill(Qt::white);
    {
        QPainter p(&free);
        p.setFont(CSkinHeaderCtrl::HeaderFont());
        p.setPen(Qt::black);
        p.drawText(QRect(2, 2, width - 4, 50), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                   QStringLiteral("Gateway"));
    }
    const auto unclipped = inkRows(free, 0, width, free.height());
    ASSERT_GT(unclipped.second, unclipped.first);
    const QImage shown = header->grab().toImage();
    const auto inHeader = inkRows(shown, left + 3, left + width - 3, 24); // the band fills 24 rows
    EXPECT_EQ(inHeader.second - inHeader.first, unclipped.second - unclipped.first);
    EXPECT_LT(inHeader.second, header->height() - 1);
}

TEST_F(SkinListTest, ArrowRepeatStopsWhenTheBarGoesAwayOrLosesThePointer)
{
    fill(200);
    QWidget thief(&host);
    thief.setGeometry(300, 200, 20, 20);
    thief.show();
    struct Case
    {
        const char *name;
        std::function<void()> interrupt;
        std::function<void()> restore;
    };
    const Case cases[] = {
        {"list hidden", [&] { list->hide(); }, [&] { list->show(); }},
        {"bar hidden", [&] { vs()->hide(); }, [&] { vs()->show(); }},
        {"pointer taken", [&] { thief.grabMouse(); }, [&] { thief.releaseMouse(); }},
    };
    for (const Case &c : cases)
    {
        vbar()->setValue(0);
        const QPoint down(5, vs()->height() - 20);
        QTest::mousePress(vs(), Qt::LeftButton, {}, down);
        ASSERT_TRUE(WaitFor([&] { return vbar()->value() >= 2; })) << c.name;
        c.interrupt();
        QTest::qWait(20);
        const int stopped = vbar()->value();
        QTest::qWait(250);
        EXPECT_LE(vbar()->value(), stopped + 1) << c.name;
        c.restore();
        QTest::mouseRelease(vs(), Qt::LeftButton, {}, QPoint(100, 100));
        QTest::qWait(QApplication::doubleClickInterval() + 20);
    }
}

} // namespace
