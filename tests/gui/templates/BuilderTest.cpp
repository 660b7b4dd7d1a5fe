#include "ProductTables.h"
#include "skin/CIpAddressCtrl.h"
#include "skin/CSkinButton.h"
#include "skin/CSkinDialog.h"
#include "skin/CSkinListCtrl.h"
#include "skin/CSkinProgressCtrl.h"
#include "skin/DialogTemplateBuilder.h"
#include "skin/SkinBitmaps.h"
#include "skin/SkinControlId.h"

#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

namespace
{

// Offscreen, a missing face draws every character as the same empty box and nothing fails, so
// check that "Arial" lands on a real Arial-metric face, with the base units Windows gives it.
TEST(TemplateFont, ArialResolvesToAnArialMetricFaceWithWindowsBaseUnits)
{
    struct Case
    {
        int points, baseX, baseY;
    };
    for (const Case &c : {Case{8, 6, 14}, Case{9, 7, 15}})
    {
        const QFont font = DialogTemplateFont(QStringLiteral("Arial"), c.points);
        const QString family = QFontInfo(font).family();
        EXPECT_TRUE(family == QLatin1String("Liberation Sans") || family == QLatin1String("Arial"))
            << family.toStdString();
        const QFontMetrics metrics(font);
        EXPECT_LT(metrics.horizontalAdvance(QLatin1Char('i')), metrics.horizontalAdvance(QLatin1Char('W')));
        const DialogUnits units(font);
        EXPECT_EQ(units.baseX(), c.baseX) << c.points;
        EXPECT_EQ(units.baseY(), c.baseY) << c.points;
    }
}

// Stretched backgrounds were drawn for the client size, so the two agree within a few pixels.
TEST(DialogTemplateBuilderTest, ClientSizesMatchTheirBackgrounds)
{
    // Unscaled backgrounds are drawn at their own size; a bitmap shared with an unscaled dialog was
    // drawn for that one.
    QSet<int> unscaled;
    for (const int number : product::kDialogs)
        if (const std::optional<DialogTemplate> t = LoadDialogTemplate(number); t && t->skin.unscaled)
            unscaled.insert(t->skin.background);
    for (const int number : product::kDialogs)
    {
        DialogTemplateBuilder form;
        ASSERT_TRUE(form.Load(number)) << form.error().toStdString();
        const int background = form.dialogTemplate().skin.background;
        if (unscaled.contains(background))
            continue;
        const QSize size = product::BitmapSize(background);
        QWidget dialog;
        ASSERT_TRUE(form.Build(&dialog));
        EXPECT_LE(std::abs(dialog.width() - size.width()), 5) << number;
        EXPECT_LE(std::abs(dialog.height() - size.height()), 5) << number;
    }
}

TEST(DialogTemplateBuilderTest, ControlsByIdHaveTheirClasses)
{
    struct Case
    {
        int number;
        int id;
        const char *className;
    };
    const Case cases[] = {
        {102, 1000, "CSkinListCtrl"}, {102, 1002, "CSkinButton"},  {102, 1006, "CIpAddressCtrl"},
        {102, 1013, "QComboBox"},     {102, 1041, "QLabel"},       {141, 1023, "CSkinProgressCtrl"},
        {134, 1016, "QLineEdit"},     {265, 1030, "QRadioButton"},
    };
    for (const Case &c : cases)
    {
        DialogTemplateBuilder form;
        ASSERT_TRUE(form.Load(c.number));
        QWidget dialog;
        ASSERT_TRUE(form.Build(&dialog));
        QWidget *control = form.control(c.id);
        ASSERT_NE(control, nullptr) << c.number << "/" << c.id;
        EXPECT_STREQ(control->metaObject()->className(), c.className) << c.number << "/" << c.id;
        EXPECT_EQ(GetDlgCtrlID(control), c.id);
        EXPECT_EQ(GetDlgItem(&dialog, c.id), control);
    }
}

TEST(DialogTemplateBuilderTest, MainWindowControlsSitWhereTheTemplatePutsThem)
{
    DialogTemplateBuilder form;
    ASSERT_TRUE(form.Load(102));
    CSkinDialog dialog;
    ASSERT_TRUE(form.Build(&dialog));
    EXPECT_EQ(form.control(1000)->geometry(), QRect(21, 77, 269, 107));
    EXPECT_EQ(form.control(1009)->geometry(), QRect(323, 543, 102, 28));
    EXPECT_EQ(form.control(1028)->geometry(), QRect(407, 5, 18, 18));
    EXPECT_EQ(form.controls().size(), 30);
    EXPECT_EQ(form.control(4242), nullptr);
    // The closed drop-down list is one line high; the template height is the dropped list's.
    auto *dhcp = form.control<QComboBox>(1015);
    EXPECT_LT(dhcp->height(), 30);
    EXPECT_EQ(dhcp->count(), 2);
    EXPECT_EQ(dhcp->currentIndex(), -1);
}

TEST(DialogTemplateBuilderTest, HiddenControlsStayHiddenWhenTheDialogShows)
{
    DialogTemplateBuilder form;
    ASSERT_TRUE(form.Load(102));
    CSkinDialog dialog;
    ASSERT_TRUE(form.Build(&dialog));
    form.ApplySkin(&dialog);
    dialog.show();
    for (int id : {1022, 1025, 1032, 1039, 1040, 1041})
        EXPECT_FALSE(form.control(id)->isVisible()) << id;
    for (int id : {1000, 1001, 1002, 1006, 1013, 1015, 1027, 1028})
        EXPECT_TRUE(form.control(id)->isVisible()) << id;
    int hiddenLabels = 0;
    for (QWidget *control : form.controls())
        hiddenLabels += qobject_cast<QLabel *>(control) && !control->isVisible();
    EXPECT_EQ(hiddenLabels, 6);
}

TEST(DialogTemplateBuilderTest, SkinGivesBackgroundsFrameAndDefaultButton)
{
    for (const int number : product::kDialogs)
    {
        DialogTemplateBuilder form;
        ASSERT_TRUE(form.Load(number));
        CSkinDialog dialog;
        ASSERT_TRUE(form.Build(&dialog));
        form.ApplySkin(&dialog);
        const DialogTemplate &t = form.dialogTemplate();
        EXPECT_EQ(dialog.GetBackgroundBitmap(), t.skin.background) << number;
        EXPECT_EQ(dialog.GetBackgroundMode(),
                  t.skin.unscaled ? CSkinDialog::BackgroundMode::Unscaled : CSkinDialog::BackgroundMode::Stretched)
            << number;
        EXPECT_EQ(dialog.IsCaptionless(), !t.hasCaption()) << number;
    }
    DialogTemplateBuilder form;
    ASSERT_TRUE(form.Load(229));
    CSkinDialog dialog;
    ASSERT_TRUE(form.Build(&dialog));
    form.ApplySkin(&dialog);
    EXPECT_TRUE(form.control<CSkinButton>(1)->isDefault());
    EXPECT_FALSE(form.control<CSkinButton>(2)->isDefault());
    EXPECT_EQ(dialog.windowTitle(), QString());
}

// The share of the button's pixels that show `number` as drawn at its natural size from the top left.
double ShareShowing(CSkinButton *button, int number)
{
    const QImage shown = button->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage bitmap = LoadSkinBitmap(number).convertToFormat(QImage::Format_RGB32);
    const QRect area = shown.rect().intersected(bitmap.rect());
    if (area.isEmpty())
        return 0;
    int same = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            same += shown.pixel(x, y) == bitmap.pixel(x, y);
    return static_cast<double>(same) / (area.width() * area.height());
}

// Which of the normal and pressed images of its set (normal, pressed, hover, disabled) the button
// shows: the one most of its pixels match, and only when nearly all do; 0 otherwise.
int Showing(CSkinButton *button, const std::array<int, 4> &set)
{
    const double normal = ShareShowing(button, set[0]);
    const double pressed = ShareShowing(button, set[1]);
    if (std::max(normal, pressed) < 0.9)
        return 0;
    return normal > pressed ? set[0] : set[1];
}

// What is drawn, not only the state: the skin hands each image of the set to its state. The main
// window's buttons show the normal image when disabled, the other dialogs' the pressed one.
TEST(DialogTemplateBuilderTest, DisabledAndHoveredButtonsDrawTheirBitmaps)
{
    for (const auto &[number, id] : {std::pair{102, 1002}, std::pair{229, 1}})
    {
        SCOPED_TRACE(std::to_string(number) + "/" + std::to_string(id));
        DialogTemplateBuilder form;
        ASSERT_TRUE(form.Load(number));
        const std::array<int, 4> set = form.dialogTemplate().skin.buttons.value(id);
        CSkinDialog dialog;
        ASSERT_TRUE(form.Build(&dialog));
        form.ApplySkin(&dialog);
        auto *button = form.control<CSkinButton>(id);
        ASSERT_NE(button, nullptr);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_EQ(Showing(button, set), set[0]);

        button->setEnabled(false);
        EXPECT_EQ(Showing(button, set), set[3]);
        button->setEnabled(true);

        QTest::mouseMove(button, button->rect().center());
        ASSERT_TRUE(button->IsHover());
        EXPECT_EQ(Showing(button, set), set[2]);
    }
}

TEST(DialogTemplateBuilderTest, EditsRadiosAndStaticsKeepTheirStyles)
{
    DialogTemplateBuilder login;
    ASSERT_TRUE(login.Load(134));
    QWidget loginDialog;
    ASSERT_TRUE(login.Build(&loginDialog));
    EXPECT_EQ(loginDialog.windowTitle(), QStringLiteral("Login"));
    EXPECT_EQ(login.control<QLineEdit>(1017)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(login.control<QLineEdit>(1016)->echoMode(), QLineEdit::Normal);

    DialogTemplateBuilder model;
    ASSERT_TRUE(model.Load(265));
    QWidget modelDialog;
    ASSERT_TRUE(model.Build(&modelDialog));
    for (int id : {1029, 1030, 1031})
    {
        auto *radio = model.control<QRadioButton>(id);
        ASSERT_NE(radio, nullptr) << id;
        EXPECT_FALSE(radio->isChecked()) << id;
    }
    // Picking one radio clears the one picked before: the three form one group.
    model.control<QRadioButton>(1029)->click();
    model.control<QRadioButton>(1031)->click();
    EXPECT_FALSE(model.control<QRadioButton>(1029)->isChecked());
    EXPECT_TRUE(model.control<QRadioButton>(1031)->isChecked());
    EXPECT_TRUE(IsDlgGroupStart(model.control(1029)));
    EXPECT_FALSE(IsDlgGroupStart(model.control(1030)));
    // A one-line static shows all of its text on one line.
    for (QWidget *control : model.controls())
    {
        if (auto *label = qobject_cast<QLabel *>(control))
        {
            EXPECT_FALSE(label->wordWrap());
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
        }
    }
}

// The controls belong to the build; loading the next template must not change what ids find.
TEST(DialogTemplateBuilderTest, BuiltControlsOutliveLoadingAnotherTemplate)
{
    DialogTemplateBuilder form;
    ASSERT_TRUE(form.Load(102));
    CSkinDialog dialog;
    ASSERT_TRUE(form.Build(&dialog));
    QWidget *search = form.control(1002);
    QWidget *model = form.control(1041); // the last control of the longer template
    ASSERT_NE(search, nullptr);
    ASSERT_NE(model, nullptr);
    for (int next : {134, 308, 180})
    {
        ASSERT_TRUE(form.Load(next)) << next;
        EXPECT_EQ(form.control(1002), search) << next;
        EXPECT_EQ(form.control(1041), model) << next;
        EXPECT_EQ(form.control(1016), nullptr) << next; // in the loaded template, not built yet
        EXPECT_EQ(form.controls().size(), 30) << next;
    }
    CSkinDialog login;
    ASSERT_TRUE(form.Build(&login));
    EXPECT_EQ(form.control<QLineEdit>(1016), GetDlgItem(&login, 1016));
    EXPECT_EQ(form.control(1002), nullptr);
}

// The main window's right-hand buttons must not sit on a panel's border: around each of them the
// background is one plain colour, so the button stands on its own.
TEST(DialogTemplateBuilderTest, MainBackgroundLeavesRoomRightOfTheButtons)
{
    DialogTemplateBuilder form;
    ASSERT_TRUE(form.Load(102));
    QWidget dialog;
    ASSERT_TRUE(form.Build(&dialog));
    // Stretched over the client area, as the dialog draws it.
    const QImage background = LoadSkinBitmap(267)
                                  .convertToFormat(QImage::Format_RGB32)
                                  .scaled(dialog.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    ASSERT_FALSE(background.isNull());
    for (int id : {1002, 1008, 1007, 1003, 1004, 1009})
    {
        const QRect button = form.control(id)->geometry();
        // From just inside the button's right edge to the window's one-pixel frame (which the
        // stretching may have doubled).
        const QRect around(button.right() - 6, button.top(), background.width() - 2 - (button.right() - 6),
                           button.height());
        const QRgb first = background.pixel(around.topLeft());
        int other = 0;
        for (int y = around.top(); y <= around.bottom(); ++y)
            for (int x = around.left(); x <= around.right(); ++x)
                other += background.pixel(x, y) != first;
        EXPECT_EQ(other, 0) << id;
    }
}
} // namespace
