#include "skin/CIpAddressCtrl.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace
{

TEST(IpAddressCtrl, TakesOnlyDottedAddressesAndSignalsThem)
{
    struct Case
    {
        const char *input;
        bool accepted;
        const char *text;
    };
    const Case cases[] = {
        {"192.168.1.20", true, "192.168.1.20"},
        {"0.0.0.0", true, "0.0.0.0"},
        {"01.002.3.4", true, "1.2.3.4"},
        {" 10.0.0.1 ", true, "10.0.0.1"},
        {"256.1.1.1", false, ""},
        {"1.2.3", false, ""},
        {"1.2.3.4.5", false, ""},
        {"a.b.c.d", false, ""},
        {"", false, ""},
        {"1.-2.3.4", false, ""},
        {"1..3.4", false, ""},
        {"1000.1.1.1", false, ""},
    };
    for (const Case &c : cases)
    {
        CIpAddressCtrl ctrl;
        QSignalSpy changed(&ctrl, &CIpAddressCtrl::addressChanged);
        EXPECT_EQ(ctrl.setText(QString::fromLatin1(c.input)), c.accepted) << c.input;
        EXPECT_EQ(ctrl.text(), QString::fromLatin1(c.text)) << c.input;
        EXPECT_EQ(ctrl.IsBlank(), !c.accepted) << c.input;
        EXPECT_EQ(changed.count(), c.accepted ? 1 : 0) << c.input;
    }
}

TEST(IpAddressCtrl, AddressIsTheNumberTheDottedTextDenotes)
{
    CIpAddressCtrl ctrl;
    ctrl.SetAddress(0xC0A80114u);
    EXPECT_EQ(ctrl.text(), QStringLiteral("192.168.1.20"));
    std::uint32_t address = 0;
    EXPECT_EQ(ctrl.GetAddress(address), 4);
    EXPECT_EQ(address, 0xC0A80114u);
    ctrl.field(2)->clear();
    EXPECT_EQ(ctrl.GetAddress(address), 3);
    EXPECT_EQ(address, 0xC0A80014u);
    ctrl.ClearAddress();
    EXPECT_TRUE(ctrl.IsBlank());
    EXPECT_EQ(ctrl.text(), QString());
    EXPECT_EQ(ctrl.GetAddress(address), 0);
    EXPECT_EQ(address, 0u);
}

// Keys go to whichever field has the focus, as they would from the keyboard.
void type(CIpAddressCtrl &ctrl, const QString &keys)
{
    for (QChar ch : keys)
    {
        QWidget *target = ctrl.window()->focusWidget();
        ASSERT_NE(target, nullptr);
        if (ch == QLatin1Char('<'))
            QTest::keyClick(target, Qt::Key_Backspace);
        else
            QTest::keyClick(target, ch.toLatin1());
    }
}

TEST(IpAddressCtrl, TypingMovesBetweenFieldsLikeTheWindowsControl)
{
    struct Case
    {
        const char *keys; // '<' is Backspace
        const char *text;
    };
    const Case cases[] = {
        {"192.168.1.10", "192.168.1.10"},
        {"1921681", "192.168.1.0"}, // three digits move on by themselves
        {"300", "255.0.0.0"},       // too big becomes 255
        {"10..2", "10.2.0.0"},      // a dot in an empty field is ignored
        {"12.3<<<", "1.0.0.0"},     // Backspace at a field's start goes back
        {"1.2.3.4.5", "1.2.3.45"},  // the last field takes no dot
    };
    for (const Case &c : cases)
    {
        QWidget window;
        auto *ctrl = new CIpAddressCtrl(&window);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        ctrl->SetFieldFocus(0);
        type(*ctrl, QString::fromLatin1(c.keys));
        EXPECT_EQ(ctrl->text(), QString::fromLatin1(c.text)) << c.keys;
    }
}

} // namespace
