#pragma once

#include <QImage>
#include <QPixmap>
#include <QRect>

// Skin bitmaps are addressed by their resource number (230 to 385) and live in Qt's resource
// system as ":/bitmaps/<number>.bmp", with the same design drawn at twice the size beside each as
// ":/bitmaps/<number>@2x.bmp" for screens whose pixel ratio is above 1.

// Returns the bitmap, or a null image when the number is unknown or the file cannot be read.
QImage LoadSkinBitmap(int number);

// The bitmap for a screen of `ratio` device pixels per logical pixel: above 1 the 2x drawing
// (device pixel ratio 2, so it paints at the 1x logical size) when there is one, else the 1x one.
QImage LoadSkinBitmap(int number, qreal ratio);

// The same, ready for painting; a null pixmap on failure.
QPixmap LoadSkinPixmap(int number, qreal ratio = 1.0);

// A rectangle given in the bitmap's logical pixels, in the image's own pixels (source rectangles).
QRect SkinSourceRect(const QImage &image, const QRect &logical);

// Images registered here take precedence over the embedded ones. Meant for tests and for the
// gallery, which want to draw the widgets before (or without) the designed bitmaps.
void RegisterSkinBitmap(int number, const QImage &image);
void ClearRegisteredSkinBitmaps();
