#include "ProductTables.h"
#include "resources/ResourcePaths.h"

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

#include <cstring>

QString ProbeIconPath();

namespace
{

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

// At 100 % and, beside it, at 200 %.
TEST(Resources, EveryBitmapHasItsSizeAnd24Bits)
{
    for (const product::Bitmap &c : product::kBitmaps)
    {
        for (const int scale : {1, 2})
        {
            SCOPED_TRACE(std::to_string(c.number) + " x" + std::to_string(scale));
            QString path = izuzez::BitmapResourcePath(c.number);
            if (scale == 2)
                path.insert(path.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
            const QImage image(path, "BMP");
            ASSERT_FALSE(image.isNull()) << path.toStdString();
            EXPECT_EQ(image.size(), QSize(scale * c.width, scale * c.height));
            EXPECT_EQ(bitsPerPixel(path), 24);
        }
    }
}

TEST(Resources, NoStrayBitmapsOutsideTheList)
{
    QSet<QString> expected;
    for (const product::Bitmap &c : product::kBitmaps)
    {
        const QString path = izuzez::BitmapResourcePath(c.number);
        expected.insert(path);
        expected.insert(QString(path).insert(path.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x")));
    }
    QDirIterator it(QStringLiteral(":/bitmaps"));
    int count = 0;
    while (it.hasNext())
    {
        const QString path = it.next();
        EXPECT_TRUE(expected.contains(path)) << path.toStdString();
        ++count;
    }
    EXPECT_EQ(count, 2 * static_cast<int>(product::kBitmaps.size()));
}

TEST(Resources, IconIs48By48With24BitsThroughAStaticLibrary)
{
    const QString path = ProbeIconPath();
    EXPECT_EQ(path, QStringLiteral(":/icon/128.bmp"));
    EXPECT_EQ(QImage(path, "BMP").size(), QSize(48, 48));
    EXPECT_EQ(bitsPerPixel(path), 24);
}

} // namespace
