#pragma once

#include <QString>

namespace izuzez
{

// Where the embedded files sit in Qt's resource system.
QString BitmapResourcePath(int number);   // ":/bitmaps/<number>.bmp"
QString TemplateResourcePath(int number); // ":/templates/<number>.json"
QString IconResourcePath();               // ":/icon/128.bmp"

} // namespace izuzez
