#include "ProductTables.h"
#include "skin/CIpAddressCtrl.h"
#include "skin/CSkinButton.h"
#include "skin/CSkinDialog.h"
#include "skin/CSkinListCtrl.h"
#include "skin/SkinBitmaps.h"
#include "skin/SkinControlId.h"
#include "skin/SkinRegions.h"

#include "SkinTestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace
{

class SkinDialogTest : public ::testing::Test
{
protected:
    void TearDown() override { ClearRegisteredSkinBitmaps(); }
};

TEST_F(SkinDialogTest, BackgroundIsStretchedDrawnUnscaledOrMissing)
{
    // 2 x 2 bitmap: red, green / blue, white.
    QImage quad(2, 2, QImage::Format_RGB32);
    quad.setPixel(0, 0, qRgb(255, 0, 0));
    quad.setPixel(1, 0, qRgb(0, 255, 0));
    quad.setPixel(0, 1, qRgb(0, 0, 255));
    quad.setPixel(1, 1, qRgb(255, 255, 255));
    RegisterSkinBitmap(267, quad);

    CSkinDialog stretched;
    stretched.SetBackgroundBitmap(267);
    stretched.resize(100, 80);
    EXPECT_FALSE(stretched.HasBackground()); // loaded at the first paint
    const QImage s = stretched.grab().toImage();
    EXPECT_TRUE(stretched.HasBackground());
    EXPECT_EQ(s.pixelColor(10, 10), QColor(255, 0, 0));
    EXPECT_EQ(s.pixelColor(90, 10), QColor(0, 255, 0));
    EXPECT_EQ(s.pixelColor(10, 70), QColor(0, 0, 255));
    EXPECT_EQ(s.pixelColor(90, 70), QColor(255, 255, 255));

    CSkinDialog unscaled;
    unscaled.SetBackgroundBitmap(267, CSkinDialog::BackgroundMode::Unscaled);
    EXPECT_TRUE(unscaled.HasBackground()); // loaded at once
    unscaled.resize(100, 80);
    const QImage u = unscaled.grab().toImage();
    EXPECT_EQ(u.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(u.pixelColor(1, 1), QColor(255, 255, 255));
    EXPECT_EQ(u.pixelColor(50, 50), unscaled.palette().color(QPalette::Window));

    CSkinDialog missing; // the default erase
    missing.SetBackgroundBitmap(377);
    missing.resize(60, 60);
    EXPECT_EQ(PixelAt(&missing, QPoint(30, 30)), missing.palette().color(QPalette::Window));
    EXPECT_FALSE(missing.HasBackground());
}

TEST_F(SkinDialogTest, StaticsTakeTheDialogColourExceptExcludedIds)
{
    RegisterSkinBitmap(272, SolidImage(8, 8, QColor(10, 60, 110)));
    CSkinDialog dialog;
    dialog.SetBackgroundBitmap(272);
    dialog.SetStaticTextColor(Qt::white);
    dialog.ExcludeFromStaticColor(1016);
    dialog.resize(200, 100);
    auto *label = new QLabel(QStringLiteral("User name :"), &dialog);
    label->setGeometry(5, 5, 100, 20);
    auto *excluded = new QLabel(QStringLiteral("own"), &dialog);
    SetDlgCtrlID(excluded, 1016);
    excluded->setGeometry(5, 30, 100, 20);
    auto *edit = new QLineEdit(&dialog);
    SetDlgCtrlID(edit, 1017);
    edit->setGeometry(5, 60, 100, 20);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_NE(excluded->palette().color(QPalette::WindowText), QColor(Qt::white));
    // The background bitmap shows through the static, the edit keeps its own white field.
    const QImage image = dialog.grab().toImage();
    EXPECT_EQ(image.pixelColor(label->geometry().right() - 2, label->geometry().top() + 1), QColor(10, 60, 110));
    EXPECT_EQ(image.pixelColor(edit->geometry().center()), edit->palette().color(QPalette::Base));
}

TEST_F(SkinDialogTest, CaptionlessWindowGetsTheSteppedCornerMask)
{
    CSkinDialog dialog;
    dialog.SetCaptionless(true);
    const QSize mainSize = product::BitmapSize(267);
    dialog.resize(mainSize);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.mask(), SteppedCornerRegion(mainSize.width(), mainSize.height()));
    dialog.resize(300, 200);
    EXPECT_EQ(dialog.mask(), SteppedCornerRegion(300, 200));
    EXPECT_TRUE(dialog.windowFlags() & Qt::FramelessWindowHint);

    CSkinDialog framed;
    framed.resize(100, 100);
    EXPECT_TRUE(framed.mask().isEmpty());
}

// A press on the body or on a static drags the caption-less window; a press on any other control
// never does, even when the control ignores it, and a button keeps its click.
TEST_F(SkinDialogTest, DraggingTheBodyMovesTheWindowButControlsKeepTheirPresses)
{
    CSkinDialog dialog;
    dialog.SetCaptionless(true);
    dialog.setGeometry(100, 100, 300, 200);
    auto *button = new QPushButton(QStringLiteral("Search"), &dialog);
    button->setGeometry(200, 150, 80, 30);
    auto *label = new QLabel(QStringLiteral("I P :"), &dialog);
    label->setGeometry(200, 100, 60, 20);
    auto *disabled = new QPushButton(QStringLiteral("Apply"), &dialog);
    disabled->setGeometry(200, 10, 80, 30);
    disabled->setEnabled(false);
    auto *skinned = new CSkinButton(&dialog);
    skinned->setGeometry(200, 50, 80, 30);
    skinned->setEnabled(false);
    auto *ip = new CIpAddressCtrl(&dialog);
    ip->setGeometry(10, 100, 150, 24);
    auto *disabledIp = new CIpAddressCtrl(&dialog);
    disabledIp->setGeometry(10, 140, 150, 24);
    disabledIp->setEnabled(false);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    struct Press
    {
        const char *name;
        QPoint at;
        bool drags;
    };
    const Press presses[] = {
        {"body", QPoint(50, 50), true},
        {"static", QPoint(210, 105), true},
        {"disabled button", QPoint(240, 25), false},
        {"disabled skinned button", QPoint(240, 65), false},
        // Between the first two fields of the IP address: the dot.
        {"dot of an IP address", ip->mapTo(&dialog, QPoint(ip->field(0)->geometry().right() + 2, ip->height() / 2)),
         false},
        {"margin of an IP address", ip->mapTo(&dialog, QPoint(1, 1)), false},
        {"disabled IP address", disabledIp->mapTo(&dialog, QPoint(30, 12)), false},
    };
    for (const Press &p : presses)
    {
        const QPoint start = dialog.pos();
        const QPoint moved = start + (p.drags ? QPoint(30, 20) : QPoint());
        QTest::mousePress(dialog.windowHandle(), Qt::LeftButton, {}, p.at);
        QTest::mouseMove(dialog.windowHandle(), p.at + QPoint(30, 20));
        // A window that moved under the pointer has the same screen point at the old local point.
        QTest::mouseRelease(dialog.windowHandle(), Qt::LeftButton, {}, p.drags ? p.at : p.at + QPoint(30, 20));
        QTest::qWait(50);
        EXPECT_TRUE(WaitFor([&] { return dialog.pos() == moved; }, 1000)) << p.name;
        EXPECT_FALSE(dialog.IsManualMoveActive()) << p.name;
        QTest::qWait(QApplication::doubleClickInterval() + 20);
    }

    QSignalSpy clicked(button, &QPushButton::clicked);
    const QPoint before = dialog.pos();
    QTest::mouseClick(dialog.windowHandle(), Qt::LeftButton, {}, QPoint(240, 165));
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(dialog.pos(), before);
}

// Enter ends the dialog as OK: through the default button when there is one, else as the OK
// command (button 1 when the dialog has one), whatever control has the focus.
TEST_F(SkinDialogTest, EnterEndsTheDialogAsOk)
{
    enum class Layout
    {
        LoginLike,   // OK is button 1 but not the default button
        MainWindow,  // no OK button at all
        WithDefault, // a default button other than 1
    };
    struct Case
    {
        const char *name;
        Layout layout;
        Qt::Key key;
        bool focusOnCancel;
    };
    const Case cases[] = {
        {"login, Return in the edit", Layout::LoginLike, Qt::Key_Return, false},
        {"login, keypad Enter in the edit", Layout::LoginLike, Qt::Key_Enter, false},
        {"login, Return on the Cancel button", Layout::LoginLike, Qt::Key_Return, true},
        {"main window, Return in the list", Layout::MainWindow, Qt::Key_Return, false},
        {"default button", Layout::WithDefault, Qt::Key_Return, false},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        CSkinDialog dialog;
        dialog.resize(300, 200);
        auto *cancel = new CSkinButton(QStringLiteral("Cancel"), &dialog);
        SetDlgCtrlID(cancel, 2);
        cancel->setAutoDefault(false);
        QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
        int okClicks = 0;
        QWidget *focus = cancel;
        if (c.layout == Layout::MainWindow)
        {
            auto *list = new CSkinListCtrl(&dialog);
            list->InsertColumn(0, QStringLiteral("Name"), 100);
            list->InsertItem(0, QStringLiteral("device"));
            focus = list;
        }
        else
        {
            auto *ok = new CSkinButton(QStringLiteral("OK"), &dialog);
            SetDlgCtrlID(ok, c.layout == Layout::WithDefault ? 7 : 1);
            ok->setAutoDefault(false);
            ok->setDefault(c.layout == Layout::WithDefault);
            QObject::connect(ok, &QPushButton::clicked, &dialog,
                             [&]
                             {
                                 ++okClicks;
                                 dialog.accept();
                             });
            if (!c.focusOnCancel)
                focus = new QLineEdit(&dialog);
        }
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.activateWindow();
        focus->setFocus();
        ASSERT_TRUE(WaitFor([&] { return focus->hasFocus(); }));
        QTest::keyClick(focus, c.key, c.key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(okClicks, c.layout == Layout::MainWindow ? 0 : 1);
    }
}

// Without an OK button (the main window) Enter would end the window whatever has the focus; a focused
// push button takes it instead, as it takes Space, once each.
TEST_F(SkinDialogTest, EnterPressesAFocusedButtonOfAWindowWithoutOk)
{
    CSkinDialog dialog;
    dialog.resize(300, 200);
    auto *search = new CSkinButton(QStringLiteral("Search"), &dialog);
    SetDlgCtrlID(search, 1002);
    search->setAutoDefault(false);
    search->setGeometry(200, 20, 80, 30);
    int clicks = 0;
    QObject::connect(search, &QPushButton::clicked, &dialog, [&] { ++clicks; });
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.activateWindow();
    search->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(WaitFor([&] { return search->hasFocus(); }));
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space})
        QTest::keyClick(search, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    EXPECT_EQ(clicks, 3);
    EXPECT_TRUE(dialog.isVisible());
}

} // namespace
