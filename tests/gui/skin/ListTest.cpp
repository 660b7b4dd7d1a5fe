#include "skin/CSkinListCtrl.h"
#include "skin/SkinBitmaps.h"

#include "SkinTestSupport.h"

#include <cmath>
#include <cstdlib>
#include <functional>

#include <QElapsedTimer>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace
{

TEST(SkinScrollThumb, PositionsAndClamps)
{
    struct Case
    {
        Qt::Orientation orientation;
        int length, pos, limit, thumb;
    };
    const Case cases[] = {
        {Qt::Horizontal, 200, 5, 0, 20},      {Qt::Horizontal, 200, 0, 100, 20},   {Qt::Horizontal, 200, 50, 100, 90},
        {Qt::Horizontal, 200, 98, 100, 157},  {Qt::Horizontal, 200, 99, 100, 158}, // snaps once past W - 42
        {Qt::Horizontal, 200, 100, 100, 162}, {Qt::Horizontal, 200, 1, 3, 66},     {Qt::Horizontal, 50, 1, 10, 20},
        {Qt::Horizontal, 30, 10, 10, 20}, // too narrow: never below 20
        {Qt::Vertical, 200, 0, 0, 20},        {Qt::Vertical, 200, 0, 10, 20},      {Qt::Vertical, 200, 5, 10, 80},
        {Qt::Vertical, 200, 19, 20, 134},     {Qt::Vertical, 200, 20, 20, 162}, // snaps once past H - 66
        {Qt::Vertical, 200, 114, 120, 134},   {Qt::Vertical, 200, 115, 120, 162},  {Qt::Vertical, 149, 40, 40, 111},
        {Qt::Vertical, 40, 3, 3, 20},
    };
    for (const Case &c : cases)
    {
        const int thumb = c.orientation == Qt::Horizontal ? CSkinHorzScroll::ThumbPosFor(c.length, c.pos, c.limit)
                                                          : CSkinVertScroll::ThumbPosFor(c.length, c.pos, c.limit);
        EXPECT_EQ(thumb, c.thumb) << c.orientation << " " << c.length << " " << c.pos << "/" << c.limit;
    }
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
        QElapsedTimer clock;
        clock.start();
        QTest::mousePress(c.bar, Qt::LeftButton, {}, c.at);
        EXPECT_EQ(c.scroll->value(), start) << c.name; // the press itself does not step
        // Three or more steps while held can only come from the repeat timer, after the first delay.
        WaitFor([&] { return std::abs(c.scroll->value() - start) >= 3 * c.scroll->singleStep(); });
        EXPECT_GE(clock.elapsed(), CSkinVertScroll::kFirstDelayMs + 3 * CSkinVertScroll::kRepeatMs - 10) << c.name;
        QTest::mouseRelease(c.bar, Qt::LeftButton, {}, QPoint(100, 100)); // away from the arrow: no extra line
        const int stopped = c.scroll->value();
        EXPECT_GE(std::abs(stopped - start), 3 * c.scroll->singleStep()) << c.name;
        EXPECT_EQ(stopped > start, c.forward) << c.name;
        QTest::qWait(120);
        EXPECT_EQ(c.scroll->value(), stopped) << c.name;
    }
}

// The box around the dark (text) pixels of image within area.
QRect inkBox(const QImage &image, const QRect &area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 160)
                box |= QRect(x - area.left(), y - area.top(), 1, 1);
    return box;
}

// The header prints each title as the same text drawn without any clipping would look: descenders
// kept, a title too long for its column cut short with an ellipsis.
TEST_F(SkinListTest, HeaderTitlesKeepDescendersAndEllipsizeLongOnes)
{
    // "height 14" is a cell height: ascent and descent together, not the size of the letters.
    const QFont font = CSkinHeaderCtrl::HeaderFont();
    const QFontMetricsF metrics(font);
    EXPECT_LE(std::ceil(metrics.ascent()) + std::ceil(metrics.descent()), 14.0);
    EXPECT_GE(metrics.ascent() + metrics.descent(), 11.0);

    const QString longTitle = QStringLiteral("A heading far too long for its column");
    list->headerItem()->setText(1, longTitle);
    list->setGeometry(10, 10, 380, 150); // all four columns in view
    CSkinHeaderCtrl *header = list->GetHeaderCtrl();
    ASSERT_LE(header->sectionViewportPosition(3) + header->sectionSize(3), header->width());
    const QImage shown = header->grab().toImage();
    for (const int column : {1, 3}) // the long title, "Gateway"
    {
        const int left = header->sectionViewportPosition(column);
        const int width = header->sectionSize(column);
        const QString text =
            CSkinHeaderCtrl::ItemDisplayText(list->headerItem()->text(column), QFontMetrics(font), width - 4);
        EXPECT_EQ(text.endsWith(QChar(0x2026)), column == 1) << text.toStdString();
        QImage free(width, 60, QImage::Format_RGB32);
        free.fill(Qt::white);
        {
            QPainter p(&free);
            p.setFont(font);
            p.setPen(Qt::black);
            p.drawText(QRect(2, 2, width - 4, 50), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, text);
        }
        const QRect expected = inkBox(free, free.rect());
        ASSERT_FALSE(expected.isEmpty());
        // The band fills 24 rows; below it the header is black.
        const QRect inHeader = inkBox(shown, QRect(left, 0, width, 24).intersected(shown.rect()));
        EXPECT_EQ(inHeader, expected) << column;
        EXPECT_LT(inHeader.bottom(), header->height() - 1);
    }
}

void sendWheel(QWidget *target, QPoint angle)
{
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), angle, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(target, &wheel);
}

// A bar hands the wheel on to the rows, so this is also the wheel over the rows.
TEST_F(SkinListTest, WheelOverTheBarsScrollsTheListAndMovesBothThumbs)
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

// Past its short text every pixel of the selected row is the flat grey: no focus frame, no gradient,
// also while the list has the focus and the row is the current one. The text stays black.
TEST_F(SkinListTest, SelectedRowIsBlackOnFlatGreyWithOrWithoutFocus)
{
    for (int i = 0; i < 4; ++i)
        list->InsertItem(i, QStringLiteral("dev"));
    QCoreApplication::processEvents();
    list->setCurrentItem(list->topLevelItem(1));
    list->topLevelItem(1)->setSelected(true);
    for (const bool focused : {true, false})
    {
        SCOPED_TRACE(focused ? "focused" : "not focused");
        if (focused)
        {
            host.activateWindow();
            list->setFocus();
            ASSERT_TRUE(WaitFor([&] { return list->hasFocus(); }));
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
            for (int x = 40; x < list->viewport()->width(); ++x)
                off += image.pixelColor(offset + QPoint(x, y)) != QColor(190, 190, 190);
        EXPECT_EQ(off, 0);
        int darkest = 255;
        for (int x = 0; x < 40; ++x)
            darkest = std::min(darkest, qGray(image.pixel(offset + QPoint(x, row.center().y()))));
        EXPECT_LT(darkest, 60);
        const QRect other = list->visualItemRect(list->topLevelItem(2));
        EXPECT_EQ(image.pixelColor(offset + QPoint(90, other.center().y())), QColor(Qt::white));
    }
}

// Tabbed into with nothing selected, the list has no current row: the frame goes round the whole list and
// the first key selects from the first row (End from the last), as the window shows the row a key reaches.
TEST_F(SkinListTest, TheFirstKeyAfterATabSelectsTheFirstOrTheLastRow)
{
    QLineEdit before(&host);
    before.setGeometry(300, 10, 80, 20);
    before.show();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    const struct
    {
        const char *name;
        Qt::Key key;
        int row;
    } cases[] = {{"down", Qt::Key_Down, 0},
                 {"up", Qt::Key_Up, 0},
                 {"home", Qt::Key_Home, 0},
                 {"end", Qt::Key_End, 4},
                 {"space", Qt::Key_Space, 0}};
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        list->DeleteAllItems();
        fill(5);
        before.setFocus(Qt::MouseFocusReason);
        list->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(WaitFor([&] { return list->hasFocus(); }));
        EXPECT_FALSE(list->currentIndex().isValid());
        EXPECT_TRUE(list->ShowsFocusFrame());
        QTest::keyClick(list, c.key);
        EXPECT_EQ(list->GetSelectedRow(), c.row);
        EXPECT_EQ(list->currentIndex().row(), c.row);
    }
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
