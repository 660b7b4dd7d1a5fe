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

// Each listed bitmap at 100 % and, beside it, at 200 %; nothing else.
TEST(Resources, EveryBitmapHasItsSizeAnd24BitsAndNoOtherIsEmbedded)
{
    QSet<QString> embedded;
    for (QDirIterator it(QStringLiteral(":/bitmaps")); it.hasNext();)
        embedded.insert(it.next());
    for (const product::Bitmap &c : product::kBitmaps)
    {
        for (const int scale : {1, 2})
        {
            QString path = izuzez::BitmapResourcePath(c.number);
            if (scale == 2)
                path.insert(path.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
            SCOPED_TRACE(path.toStdString());
            EXPECT_TRUE(embedded.remove(path));
            EXPECT_EQ(QImage(path, "BMP").size(), QSize(scale * c.width, scale * c.height));
            EXPECT_EQ(bitsPerPixel(path), 24);
        }
    }
    EXPECT_TRUE(embedded.isEmpty()) << QStringList(embedded.values()).join(QLatin1Char(' ')).toStdString();
}

TEST(Resources, IconIs48By48With24BitsThroughAStaticLibrary)
{
    const QString path = ProbeIconPath();
    EXPECT_EQ(path, QStringLiteral(":/icon/128.bmp"));
    EXPECT_EQ(QImage(path, "BMP").size(), QSize(48, 48));
    EXPECT_EQ(bitsPerPixel(path), 24);
}

} // namespace
