#include "skin/SkinBitmaps.h"

#include <QHash>
#include <QString>

namespace
{

QHash<int, QImage> &registeredBitmaps()
{
    static QHash<int, QImage> images;
    return images;
}

} // namespace

QImage LoadSkinBitmap(int number)
{
    if (number <= 0)
        return {};
    const auto found = registeredBitmaps().constFind(number);
    if (found != registeredBitmaps().constEnd())
        return *found;
    QImage image(QStringLiteral(":/bitmaps/%1.bmp").arg(number), "BMP");
    return image;
}

QPixmap LoadSkinPixmap(int number)
{
    const QImage image = LoadSkinBitmap(number);
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

void RegisterSkinBitmap(int number, const QImage &image)
{
    registeredBitmaps().insert(number, image);
}

void ClearRegisteredSkinBitmaps()
{
    registeredBitmaps().clear();
}
