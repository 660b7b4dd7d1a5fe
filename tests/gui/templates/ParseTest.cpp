#include "ProductTables.h"
#include "skin/DialogTemplate.h"

#include <QSet>

#include <gtest/gtest.h>

#include <vector>

namespace
{

TEST(DialogTemplates, EachMatchesItsLayout)
{
    for (const product::Dialog &c : product::kDialogs)
    {
        SCOPED_TRACE(c.number);
        QString error;
        const std::optional<DialogTemplate> t = LoadDialogTemplate(c.number, &error);
        ASSERT_TRUE(t.has_value()) << error.toStdString();
        EXPECT_EQ(t->number, c.number);
        EXPECT_EQ(t->size, c.size);
        EXPECT_EQ(t->hasCaption(), c.caption);
        EXPECT_EQ(t->fontName, QStringLiteral("Arial"));
        EXPECT_EQ(t->pointSize, c.pointSize);
        EXPECT_EQ(t->skin.background, c.background);
        EXPECT_EQ(t->skin.unscaled, c.unscaled);
        std::vector<int> ids;
        int anonymous = 0;
        QSet<int> unique;
        for (const DialogControlTemplate &control : t->controls)
        {
            if (control.id == kNoControlId)
            {
                ++anonymous;
                continue;
            }
            EXPECT_FALSE(unique.contains(control.id)) << "duplicate id " << control.id;
            unique.insert(control.id);
            ids.push_back(control.id);
        }
        EXPECT_EQ(ids, c.ids);
        EXPECT_EQ(anonymous, c.anonymous);
        // Every skinned button names a template button.
        for (auto it = t->skin.buttons.cbegin(); it != t->skin.buttons.cend(); ++it)
        {
            const DialogControlTemplate *button = t->findControl(it.key());
            ASSERT_NE(button, nullptr) << it.key();
            EXPECT_EQ(button->kind, DialogControlKind::Button);
        }
    }
}

TEST(DialogTemplates, MainWindowHidesTheServiceButtonsAndDetailStatics)
{
    const std::optional<DialogTemplate> t = LoadDialogTemplate(102);
    ASSERT_TRUE(t.has_value());
    QSet<int> hiddenIds;
    int hiddenAnonymous = 0;
    for (const DialogControlTemplate &control : t->controls)
    {
        if (!control.isHidden())
            continue;
        if (control.id == kNoControlId)
            ++hiddenAnonymous;
        else
            hiddenIds.insert(control.id);
    }
    EXPECT_EQ(hiddenIds, (QSet<int>{1022, 1025, 1032, 1039, 1040, 1041}));
    EXPECT_EQ(hiddenAnonymous, 3);
    EXPECT_EQ(t->findControl(1015)->items, (QStringList{"Disable", "Enable"}));
    EXPECT_EQ(t->findControl(1002)->text, QString()); // the bitmap carries the label
    EXPECT_TRUE(t->has(QStringLiteral("appWindow")));
}

TEST(DialogTemplates, ButtonStylesGiveTheButtonKinds)
{
    struct Case
    {
        int number;
        int id;
        std::uint32_t style;
    };
    const Case cases[] = {
        {229, 1, 1}, {229, 2, 0}, {264, 1, 0}, {308, 1, 1}, {265, 1029, 9}, {265, 1031, 9}, {139, 1, 1},
    };
    for (const Case &c : cases)
    {
        const std::optional<DialogTemplate> t = LoadDialogTemplate(c.number);
        ASSERT_TRUE(t.has_value());
        EXPECT_EQ(t->findControl(c.id)->buttonStyle(), c.style) << c.number << "/" << c.id;
    }
    const std::optional<DialogTemplate> login = LoadDialogTemplate(134);
    EXPECT_TRUE(login->findControl(1017)->has(QStringLiteral("password")));
    EXPECT_FALSE(login->findControl(1016)->has(QStringLiteral("password")));
    const std::optional<DialogTemplate> language = LoadDialogTemplate(139);
    EXPECT_EQ(language->findControl(1022)->items.size(), 9);
    EXPECT_EQ(language->findControl(1022)->items.at(2), QStringLiteral("Western European"));
}

TEST(DialogTemplates, BrokenInputIsRefusedWithAReason)
{
    const char *base = R"({"template": 1, "size": [10, 10], "font": {"name": "Arial", "pointSize": 8}, %1})";
    const char *cases[] = {
        R"("controls": [{"id": 1, "kind": "slider", "rect": [0, 0, 1, 1]}])",
        R"("controls": [{"id": 1, "kind": "button", "rect": [0, 0, 1]}])",
        R"("controls": [{"id": 1, "kind": "button", "rect": [0, 0, -1, 1]}])",
        R"("controls": [{"id": 1, "kind": "button", "rect": [0, 0, 1.5, 1]}])",
        R"("controls": [{"kind": "button", "rect": [0, 0, 1, 1]}])",
        R"("controls": [{"id": 1, "kind": "button", "rect": [0, 0, 1, 1], "style": ["defualt"]}])",
        R"("style": ["thickFrame"])",
        R"("skin": {"draw": "tiled"})",
        R"("skin": {"buttons": {"1": [1, 2]}})",
        R"("skin": {"staticText": "not a colour"})",
    };
    for (const char *c : cases)
    {
        QString error;
        const QByteArray json = QString::fromLatin1(base).arg(QString::fromLatin1(c)).toUtf8();
        EXPECT_FALSE(ParseDialogTemplate(json, &error).has_value()) << c;
        EXPECT_FALSE(error.isEmpty()) << c;
    }
    EXPECT_FALSE(ParseDialogTemplate("not json").has_value());
    EXPECT_FALSE(ParseDialogTemplate(R"({"size": [0, 10], "font": {"name": "Arial", "pointSize": 8}})").has_value());
    EXPECT_FALSE(ParseDialogTemplate(R"({"size": [10, 10], "font": {"name": "", "pointSize": 8}})").has_value());
    EXPECT_TRUE(ParseDialogTemplate(QString::fromLatin1(base).arg(R"("controls": [])").toUtf8()).has_value());
    EXPECT_FALSE(LoadDialogTemplate(999).has_value());
}

TEST(DialogUnitsTest, MulDivRoundsHalvesAwayFromZero)
{
    struct Case
    {
        int number, numerator, denominator, expected;
    };
    const Case cases[] = {
        {7, 6, 4, 11}, {-7, 6, 4, -11}, {330, 14, 8, 578}, {61, 14, 8, 107},
        {5, 3, 0, -1}, {3, 1, 2, 2},    {8, 96, 72, 11},
    };
    for (const Case &c : cases)
        EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected) << c.number << "*" << c.numerator;
}

TEST(DialogUnitsTest, ConvertsPositionAndSizeEachOnTheirOwn)
{
    const DialogUnits units(6, 14);
    EXPECT_EQ(units.toPixels(QRect(14, 44, 179, 61)), QRect(21, 77, 269, 107));
    EXPECT_EQ(units.toPixels(QRect(215, 310, 68, 16)), QRect(323, 543, 102, 28));
    EXPECT_EQ(units.toPixels(QSize(287, 330)), QSize(431, 578));
}

} // namespace
