#include "skin/CSkinButton.h"
#include "skin/SkinBitmaps.h"
#include "skin/SkinControlId.h"

#include "SkinTestSupport.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace
{

const QColor kNormal(200, 0, 0);
const QColor kPressed(0, 200, 0);
const QColor kHover(0, 0, 200);
const QColor kDisabled(90, 90, 90);

class SkinButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterSkinBitmap(306, SolidImage(100, 25, kNormal));
        RegisterSkinBitmap(307, SolidImage(100, 25, kPressed));
        RegisterSkinBitmap(308, SolidImage(100, 25, kHover));
        RegisterSkinBitmap(309, SolidImage(100, 25, kDisabled));
        host.resize(300, 200);
        button = new CSkinButton(&host);
        button->setGeometry(10, 10, 100, 25);
        button->SetBitmaps(306, 307, 308, 309);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    }
    void TearDown() override { ClearRegisteredSkinBitmaps(); }

    QColor shown() { return PixelAt(button, QPoint(50, 12)); }

    QWidget host;
    CSkinButton *button = nullptr;
    const QPoint inside{50, 12};
    const QPoint outside{150, 60};
};

TEST_F(SkinButtonTest, ClickCountFollowsWhereTheButtonIsReleased)
{
    struct Case
    {
        const char *name;
        std::vector<QPoint> moves; // while held
        QPoint release;
        bool doubleClick;
        int clicks;
    };
    const QPoint in(50, 12), out(150, 60);
    const Case cases[] = {
        {"press and release inside", {}, in, false, 1},
        {"release outside", {out}, out, false, 0},
        {"leave and come back", {out, in}, in, false, 1},
        {"double-click is a second press", {}, in, true, 2},
    };
    for (const Case &c : cases)
    {
        QSignalSpy clicked(button, &QAbstractButton::clicked);
        QTest::mouseMove(button, out);
        QTest::mouseMove(button, in);
        ASSERT_TRUE(button->IsHover()) << c.name;
        QTest::mousePress(button, Qt::LeftButton, {}, in);
        EXPECT_FALSE(button->IsHover()) << c.name; // the press ends the hover
        EXPECT_EQ(shown(), kPressed) << c.name;
        for (const QPoint &p : c.moves)
        {
            // A held button pops up outside and goes down again when the pointer returns.
            QTest::mouseMove(button, p);
            EXPECT_EQ(shown(), p == in ? kPressed : kNormal) << c.name;
        }
        QTest::mouseRelease(button, Qt::LeftButton, {}, c.release);
        if (c.doubleClick)
        {
            QTest::mouseDClick(button, Qt::LeftButton, {}, in);
            QTest::mouseRelease(button, Qt::LeftButton, {}, in);
        }
        EXPECT_EQ(clicked.count(), c.clicks) << c.name;
        EXPECT_FALSE(button->IsPressed()) << c.name;
        EXPECT_FALSE(button->isDown()) << c.name;
        QTest::qWait(QApplication::doubleClickInterval() + 20); // keep cases from pairing up
    }
}

TEST_F(SkinButtonTest, StatePrecedence)
{
    struct Case
    {
        const char *name;
        bool enabled;
        bool checkBox;
        bool checked;
        bool hover;
        QColor expected;
    };
    const Case cases[] = {
        {"hover", true, false, false, true, kHover},
        {"leave ends the hover", true, false, false, false, kNormal},
        {"a push button never stays checked", true, false, true, false, kNormal},
        {"checked beats hover", true, true, true, true, kPressed},
        {"disabled beats checked", false, true, true, false, kDisabled},
    };
    for (const Case &c : cases)
    {
        button->setEnabled(true);
        button->SetKind(c.checkBox ? CSkinButton::KindCheckBox : CSkinButton::KindPush);
        button->SetCheck(c.checked);
        EXPECT_EQ(button->GetCheck(), c.checked && c.checkBox) << c.name;
        QTest::mouseMove(button, outside);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(button, &leave);
        EXPECT_FALSE(button->IsHover()) << c.name;
        if (c.hover)
            QTest::mouseMove(button, inside);
        button->setEnabled(c.enabled);
        EXPECT_EQ(shown(), c.expected) << c.name;
    }
}

// A missing image falls back to the normal one for disabled, to the button face otherwise.
TEST_F(SkinButtonTest, MissingImagesFallBack)
{
    const QColor face = button->palette().color(QPalette::Button);
    struct Case
    {
        int normal, pressed, disabled;
        bool enabled;
        QColor expected;
    };
    const Case cases[] = {{306, 307, 0, false, kNormal}, {0, 307, 0, false, face}, {999, 998, 0, true, face}};
    for (const Case &c : cases)
    {
        button->SetBitmaps(c.normal, c.pressed, c.pressed, c.disabled);
        button->setEnabled(c.enabled);
        EXPECT_EQ(shown(), c.expected) << c.normal << "/" << c.enabled;
    }
}

TEST_F(SkinButtonTest, DrawModeAndMarginArgumentsAreNormalised)
{
    struct Case
    {
        int mode, margin, expectedMode, expectedMargin;
    };
    const Case cases[] = {{-3, -1, 0, 0}, {0, 4, 0, 4}, {1, 0, 1, 0}, {2, 0, 2, 0}, {7, 2, 2, 2}};
    for (const Case &c : cases)
    {
        button->SetBitmaps(306, 307, 0, 0, 0, 0, c.mode, 0, c.margin);
        EXPECT_EQ(button->GetDrawMode(), c.expectedMode);
        EXPECT_EQ(button->GetFocusMargin(), c.expectedMargin);
    }
}

TEST(SkinButtonKind, FromTemplateStyle)
{
    struct Case
    {
        std::uint32_t style;
        int kind;
    };
    const Case cases[] = {
        {0x01, CSkinButton::KindPush},           {0x03, CSkinButton::KindCheckBox},
        {0x09, CSkinButton::KindRadio},          {0x04, CSkinButton::KindPush}, // a radio that does not check itself
        {0x50010003, CSkinButton::KindCheckBox}, // window style bits above the type do not count
    };
    for (const Case &c : cases)
        EXPECT_EQ(CSkinButton::KindFromStyle(c.style), c.kind) << std::hex << c.style;
}

TEST_F(SkinButtonTest, CheckBoxTogglesOnClickAndSpaceButNotOnReleaseOutside)
{
    button->SetKind(CSkinButton::KindCheckBox);
    QTest::mouseClick(button, Qt::LeftButton, {}, inside);
    EXPECT_TRUE(button->GetCheck());
    QTest::qWait(QApplication::doubleClickInterval() + 20);
    QTest::mousePress(button, Qt::LeftButton, {}, inside);
    QTest::mouseMove(button, outside);
    QTest::mouseRelease(button, Qt::LeftButton, {}, outside);
    EXPECT_TRUE(button->GetCheck());
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_FALSE(button->GetCheck());
}

TEST(SkinButtonRadio, CheckingOneUnchecksTheOthersOfItsGroupOnly)
{
    QWidget dialog;
    dialog.resize(200, 200);
    CSkinButton *radios[5]; // two groups: 0 to 2 and 3 to 4
    for (int i = 0; i < 5; ++i)
    {
        if (i == 3)
            new QWidget(&dialog); // other controls of the group ignore the message
        radios[i] = new CSkinButton(&dialog);
        radios[i]->SetKind(CSkinButton::KindRadio);
        SetDlgGroupStart(radios[i], i == 0 || i == 3);
    }

    // One after the other with no event processing between: the last one checked wins.
    radios[0]->SetCheck(true);
    radios[4]->SetCheck(true);
    radios[2]->SetCheck(true);
    EXPECT_FALSE(radios[0]->GetCheck());
    EXPECT_FALSE(radios[1]->GetCheck());
    EXPECT_TRUE(radios[2]->GetCheck());
    EXPECT_TRUE(radios[4]->GetCheck()); // another group
    radios[3]->SetCheck(true);
    EXPECT_FALSE(radios[4]->GetCheck());
    EXPECT_TRUE(radios[2]->GetCheck());

    // A click checks a radio the same way.
    radios[1]->setGeometry(0, 0, 40, 20);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(radios[1], Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(radios[1]->GetCheck());
    EXPECT_FALSE(radios[2]->GetCheck());
}

TEST_F(SkinButtonTest, MaskShapesTheButtonAndItsClicks)
{
    // Left half black (inside), right half white (outside).
    QImage mask = SolidImage(40, 20, Qt::white);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            mask.setPixel(x, y, qRgb(0, 0, 0));
    RegisterSkinBitmap(310, mask);
    button->SetBitmaps(306, 307, 0, 0, 0, 310, 0);
    EXPECT_EQ(button->size(), QSize(40, 20)); // natural mode takes the mask's size
    EXPECT_EQ(button->GetRegion(), QRegion(0, 0, 20, 20));

    QSignalSpy clicked(button, &QAbstractButton::clicked);
    // Through the window, so that the platform decides which widget is under the pointer.
    QTest::mouseClick(host.windowHandle(), Qt::LeftButton, {}, button->geometry().topLeft() + QPoint(30, 10));
    EXPECT_EQ(clicked.count(), 0);
    QTest::qWait(QApplication::doubleClickInterval() + 20);
    QTest::mouseClick(host.windowHandle(), Qt::LeftButton, {}, button->geometry().topLeft() + QPoint(5, 10));
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(SkinButtonTest, CaptionIsPrintedOverTheBitmap)
{
    RegisterSkinBitmap(311, SolidImage(100, 25, Qt::white));
    button->SetBitmaps(311);
    button->setText(QStringLiteral("OK"));
    const QImage captioned = button->grab().toImage();
    int dark = 0;
    for (int y = 0; y < captioned.height(); ++y)
        for (int x = 0; x < captioned.width(); ++x)
            dark += qGray(captioned.pixel(x, y)) < 128 ? 1 : 0;
    EXPECT_GT(dark, 5);
}

// The ring shows where the keyboard put the focus, not where a click did; it never hides the face.
TEST_F(SkinButtonTest, FocusRingShowsOnlyForKeyboardFocus)
{
    auto *before = new QPushButton(&host);
    before->setGeometry(10, 60, 50, 20);
    before->show();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    struct Case
    {
        const char *name;
        std::function<void()> focus;
        bool ring;
    };
    const Case cases[] = {
        {"tab", [&] { button->setFocus(Qt::TabFocusReason); }, true},
        {"backtab", [&] { button->setFocus(Qt::BacktabFocusReason); }, true},
        {"click", [&] { QTest::mouseClick(button, Qt::LeftButton, {}, inside); }, false},
        {"no focus", [&] { before->setFocus(Qt::TabFocusReason); }, false},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        before->setFocus(Qt::MouseFocusReason);
        QTest::mouseMove(&host, outside);
        c.focus();
        EXPECT_EQ(button->ShowsFocusRing(), c.ring);
        const QImage image = button->grab().toImage();
        EXPECT_EQ(image.pixelColor(0, 12) != kNormal, c.ring);
        EXPECT_EQ(image.pixelColor(inside), kNormal);
    }
}

// A window opened from the keyboard (Space on a button) shows the ring on the button that takes its first
// focus; one opened with a click does not.
TEST_F(SkinButtonTest, AWindowOpenedFromTheKeyboardShowsItsFocusedButton)
{
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    struct Case
    {
        const char *name;
        std::function<void()> open;
        bool ring;
    };
    const Case cases[] = {
        {"space", [&] { QTest::keyClick(button, Qt::Key_Space); }, true},
        {"click", [&] { QTest::mouseClick(button, Qt::LeftButton, {}, inside); }, false},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        button->setFocus(Qt::TabFocusReason);
        c.open();
        QWidget window;
        window.resize(200, 100);
        auto *ok = new CSkinButton(QStringLiteral("OK"), &window);
        ok->setGeometry(10, 10, 100, 25);
        ok->SetBitmaps(306, 307, 308, 309);
        ok->setFocusPolicy(Qt::StrongFocus);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        ASSERT_TRUE(WaitFor([&] { return ok->hasFocus(); }));
        EXPECT_EQ(ok->ShowsFocusRing(), c.ring);
    }
}

} // namespace
