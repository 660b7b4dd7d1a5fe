#pragma once

#include <QImage>
#include <QPixmap>

// Skin bitmaps are addressed by their resource number (230 to 385) and live in Qt's resource
// system as ":/bitmaps/<number>.bmp".

// Returns the bitmap, or a null image when the number is unknown or the file cannot be read.
QImage LoadSkinBitmap(int number);

// The same, ready for painting; a null pixmap on failure.
QPixmap LoadSkinPixmap(int number);

// Images registered here take precedence over the embedded ones. Meant for tests and for the
// gallery, which want to draw the widgets before (or without) the designed bitmaps.
void RegisterSkinBitmap(int number, const QImage &image);
void ClearRegisteredSkinBitmaps();
