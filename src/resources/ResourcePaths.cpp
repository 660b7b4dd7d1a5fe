#include "resources/ResourcePaths.h"

namespace izuzez
{

QString BitmapResourcePath(int number)
{
    return QStringLiteral(":/bitmaps/%1.bmp").arg(number);
}

QString TemplateResourcePath(int number)
{
    return QStringLiteral(":/templates/%1.json").arg(number);
}

QString IconResourcePath()
{
    return QStringLiteral(":/icon/128.bmp");
}

} // namespace izuzez
