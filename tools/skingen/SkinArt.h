#pragma once

#include <QColor>
#include <QImage>
#include <QMap>
#include <QRect>
#include <QString>

namespace izuzez::skingen
{

// Every picture of the skin, drawn with QPainter into 24-bit images. `scale` is the device pixels per
// logical pixel: 1 draws the reference set, 2 the same design drawn anew for screens at 200 %.

enum class ButtonLook
{
    Primary,   // filled accent: the main action of a group
    Secondary, // light, outlined: on the main window's light body
    Ghost,     // outlined on the dark dialog body
};

struct ButtonArt
{
    QSize size;  // bitmap size
    QRect shape; // where the button is drawn; the rest shows `behind`
    QString label;
    ButtonLook look = ButtonLook::Primary;
    QColor behind; // the background the bitmap sits on
};

QImage DrawButton(const ButtonArt &art, bool active, int scale = 1);

// Minimize and close glyphs on the main window's title band; `bandTop` is the glyph's y in the band.
QImage DrawTitleGlyph(bool close, bool active, int bandTop, int bandHeight, int scale = 1);

// List header band (1 x 17) and item separator (12 x 17).
QImage DrawHeaderBand(int scale = 1);
QImage DrawHeaderSeparator(int scale = 1);

// Scroll bar pieces; `enabled` false gives the "nothing to scroll" set.
enum class Arrow
{
    Left,
    Right,
    Up,
    Down
};
QImage DrawScrollArrow(Arrow arrow, bool enabled, int scale = 1);
QImage DrawScrollTrack(Qt::Orientation orientation, bool enabled, int scale = 1);
QImage DrawScrollThumb(Qt::Orientation orientation, int scale = 1);

// The main window's background: control rectangles in pixels by control id (anonymous statics
// are left out), and the window's size.
QImage DrawMainBackground(QSize size, const QMap<int, QRect> &controls, const QString &version, int scale = 1);

enum class DialogDecor
{
    Plain,
    About
};
QImage DrawDialogBackground(QSize size, DialogDecor decor, int scale = 1);

// The program's icon: a network-search emblem on an accent tile.
QImage DrawAppIcon(int size);

} // namespace izuzez::skingen
