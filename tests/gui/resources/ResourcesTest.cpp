#include "ResourcePaths.h"
#include "version.h"

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

#include <cstring>

QString ProbeIconPath();

namespace
{

struct BitmapCase
{
    int number;
    int width;
    int height;
};

// Every bitmap the program loads, with the size the skin relies on.
const BitmapCase kBitmaps[] = {
    // scroll bars, scrollable and not
    {231, 16, 14},
    {232, 2, 14},
    {233, 16, 14},
    {234, 14, 16},
    {235, 14, 2},
    {236, 14, 26},
    {237, 14, 16},
    {243, 26, 14},
    {380, 16, 14},
    {381, 16, 14},
    {382, 1, 14},
    {383, 14, 16},
    {384, 14, 1},
    {385, 14, 16},
    // list header
    {240, 12, 17},
    {374, 1, 17},
    // minimize and close
    {262, 16, 16},
    {263, 16, 16},
    {378, 16, 16},
    {379, 16, 16},
    // dialog backgrounds
    {267, 430, 574},
    {268, 366, 135},
    {269, 515, 205},
    {270, 248, 119},
    {271, 441, 169},
    {272, 308, 147},
    {273, 441, 178},
    {274, 225, 201},
    // buttons
    {280, 93, 28},
    {281, 93, 28},
    {282, 93, 28},
    {283, 93, 28},
    {284, 100, 25},
    {285, 100, 25},
    {286, 100, 25},
    {287, 100, 25},
    {288, 93, 30},
    {289, 93, 30},
    {290, 93, 28},
    {291, 93, 28},
    {294, 100, 25},
    {295, 100, 25},
    {296, 100, 25},
    {297, 100, 25},
    {298, 100, 25},
    {299, 100, 25},
    {300, 100, 25},
    {301, 100, 25},
    {302, 100, 25},
    {303, 100, 25},
    {304, 93, 28},
    {305, 93, 28},
    {306, 100, 25},
    {307, 100, 25},
};

// Bits per pixel from the BMP info header; 0 when the file is not a BMP.
int bitsPerPixel(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray header = file.read(30);
    if (header.size() < 30 || !header.startsWith("BM"))
        return 0;
    return static_cast<unsigned char>(header[28]) | (static_cast<unsigned char>(header[29]) << 8);
}

TEST(Resources, EveryBitmapHasItsSizeAnd24Bits)
{
    for (const BitmapCase &c : kBitmaps)
    {
        SCOPED_TRACE(c.number);
        const QString path = izuzez::BitmapResourcePath(c.number);
        const QImage image(path, "BMP");
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(c.width, c.height));
        EXPECT_EQ(bitsPerPixel(path), 24);
    }
}

TEST(Resources, NoStrayBitmapsOutsideTheList)
{
    QSet<QString> expected;
    for (const BitmapCase &c : kBitmaps)
        expected.insert(izuzez::BitmapResourcePath(c.number));
    QDirIterator it(QStringLiteral(":/bitmaps"));
    int count = 0;
    while (it.hasNext())
    {
        const QString path = it.next();
        EXPECT_TRUE(expected.contains(path)) << path.toStdString();
        ++count;
    }
    EXPECT_EQ(count, static_cast<int>(std::size(kBitmaps)));
}

TEST(Resources, IconIs48By48With24BitsThroughAStaticLibrary)
{
    const QString path = ProbeIconPath();
    EXPECT_EQ(path, QStringLiteral(":/icon/128.bmp"));
    EXPECT_EQ(QImage(path, "BMP").size(), QSize(48, 48));
    EXPECT_EQ(bitsPerPixel(path), 24);
}

TEST(Resources, EveryTemplateIsEmbedded)
{
    for (int number : {102, 134, 139, 141, 180, 229, 264, 265, 308})
        EXPECT_TRUE(QFile::exists(izuzez::TemplateResourcePath(number))) << number;
}

TEST(Resources, VersionMatchesTheVersionResource)
{
    EXPECT_STREQ(izuzez::kVersionText, "1.0.0.1");
    EXPECT_STREQ(izuzez::kProductName, "Vantrel DER Izuzez Utility");
    EXPECT_EQ(izuzez::kVersionMajor * 1000 + izuzez::kVersionMinor * 100 + izuzez::kVersionPatch * 10 +
                  izuzez::kVersionBuild,
              1001);
}

} // namespace
