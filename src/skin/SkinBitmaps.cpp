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

QImage LoadSkinBitmap(int number, qreal ratio)
{
    if (ratio <= 1.0 || number <= 0 || registeredBitmaps().contains(number))
        return LoadSkinBitmap(number);
    QImage image(QStringLiteral(":/bitmaps/%1@2x.bmp").arg(number), "BMP");
    if (image.isNull())
        return LoadSkinBitmap(number);
    image.setDevicePixelRatio(2.0);
    return image;
}

QPixmap LoadSkinPixmap(int number, qreal ratio)
{
    const QImage image = LoadSkinBitmap(number, ratio);
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

QRect SkinSourceRect(const QImage &image, const QRect &logical)
{
    const qreal ratio = image.devicePixelRatio();
    if (ratio == 1.0)
        return logical;
    return QRectF(logical.x() * ratio, logical.y() * ratio, logical.width() * ratio, logical.height() * ratio).toRect();
}

void RegisterSkinBitmap(int number, const QImage &image)
{
    registeredBitmaps().insert(number, image);
}

void ClearRegisteredSkinBitmaps()
{
    registeredBitmaps().clear();
}
