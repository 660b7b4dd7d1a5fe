#include "ProductTables.h"
#include "services/Languages.h"
#include "skin/DialogTemplate.h"

#include <QSet>

#include <gtest/gtest.h>

namespace
{

// What holds for every template: it loads, ids are unique, it uses the dialog font, and its skin names
// template buttons and shipped bitmaps only.
TEST(DialogTemplates, EveryTemplateLoadsAndItsSkinNamesWhatExists)
{
    for (const int number : product::kDialogs)
    {
        SCOPED_TRACE(number);
        QString error;
        const std::optional<DialogTemplate> t = LoadDialogTemplate(number, &error);
        ASSERT_TRUE(t.has_value()) << error.toStdString();
        EXPECT_EQ(t->number, number);
        EXPECT_EQ(t->fontName, QStringLiteral("Arial"));
        QSet<int> unique;
        for (const DialogControlTemplate &control : t->controls)
        {
            if (control.id == kNoControlId)
                continue;
            EXPECT_FALSE(unique.contains(control.id)) << "duplicate id " << control.id;
            unique.insert(control.id);
        }
        EXPECT_TRUE(product::BitmapSize(t->skin.background).isValid()) << t->skin.background;
        for (auto it = t->skin.buttons.cbegin(); it != t->skin.buttons.cend(); ++it)
        {
            const DialogControlTemplate *button = t->findControl(it.key());
            ASSERT_NE(button, nullptr) << it.key();
            EXPECT_EQ(button->kind, DialogControlKind::Button);
            for (const int bitmap : it.value())
                EXPECT_TRUE(product::BitmapSize(bitmap).isValid()) << it.key() << ": " << bitmap;
        }
    }
}

// The combo's index is the language's index in the code page table.
TEST(DialogTemplates, LanguageComboListsTheCodepageTable)
{
    const std::optional<DialogTemplate> t = LoadDialogTemplate(139);
    ASSERT_TRUE(t.has_value());
    QStringList names;
    for (const izuzez::services::Language &language : izuzez::services::Languages())
        names << QString::fromUtf8(language.name);
    EXPECT_EQ(t->findControl(1022)->items, names);
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

} // namespace
