#include "SkinArt.h"

#include "SkinPalette.h"

#include <algorithm>

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace izuzez::skingen
{

namespace
{

// An image of `size` logical pixels, each `scale` device pixels wide.
QImage canvas(QSize size, const QColor &fill, int scale = 1)
{
    QImage image(size * scale, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

// Fills one row of device pixels; gradients drawn row by row stay smooth at every scale.
void fillDeviceRow(QImage &image, int y, const QColor &colour)
{
    const QRgb rgb = colour.rgb();
    auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
    std::fill(line, line + image.width(), rgb);
}

QFont uiFont(qreal pixels, bool bold, qreal spacing = 0)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(qRound(pixels));
    font.setBold(bold);
    if (spacing != 0)
        font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    return font;
}

QColor mix(const QColor &a, const QColor &b, qreal t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

QColor titleBandAt(qreal y, qreal height)
{
    return mix(palette::navyTop, palette::navyBottom, qBound(0.0, y / height, 1.0));
}

void fillRounded(QPainter &p, const QRectF &r, qreal radius, const QBrush &brush, const QColor &border)
{
    QPainterPath path;
    path.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.setPen(border.isValid() ? QPen(border, 1) : Qt::NoPen);
    p.setBrush(brush);
    p.drawPath(path);
}

struct ButtonColours
{
    QColor top, bottom, border, text, highlight;
};

ButtonColours buttonColours(ButtonLook look, bool active)
{
    switch (look)
    {
    case ButtonLook::Primary:
        return active ? ButtonColours{QColor(0x0A, 0x74, 0xC9), QColor(0x03, 0x5C, 0xA4), QColor(0x02, 0x4E, 0x8A),
                                      Qt::white, QColor(255, 255, 255, 25)}
                      : ButtonColours{QColor(0x22, 0x9B, 0xF5), QColor(0x04, 0x80, 0xDE), QColor(0x03, 0x68, 0xB5),
                                      Qt::white, QColor(255, 255, 255, 70)};
    case ButtonLook::Secondary:
        return active ? ButtonColours{QColor(0xE4, 0xF1, 0xFD), QColor(0xD2, 0xE6, 0xFA), palette::accent,
                                      palette::accentDark, QColor(255, 255, 255, 90)}
                      : ButtonColours{QColor(0xFF, 0xFF, 0xFF), QColor(0xED, 0xF1, 0xF5), QColor(0xAF, 0xBB, 0xC8),
                                      palette::ink, QColor(255, 255, 255, 200)};
    case ButtonLook::Ghost:
        return active ? ButtonColours{QColor(0x36, 0x58, 0x84), QColor(0x2C, 0x4B, 0x75), QColor(0xB5, 0xCD, 0xEA),
                                      Qt::white, QColor(255, 255, 255, 40)}
                      : ButtonColours{QColor(0x2A, 0x44, 0x66), QColor(0x22, 0x3A, 0x5A), QColor(0x71, 0x8B, 0xAB),
                                      QColor(0xEE, 0xF3, 0xF9), QColor(255, 255, 255, 25)};
    }
    return {};
}

} // namespace

QImage DrawButton(const ButtonArt &art, bool active, int scale)
{
    QImage image = canvas(art.size, art.behind, scale);
    QPainter p(&image);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    const ButtonColours c = buttonColours(art.look, active);
    const QRectF shape(art.shape);
    QLinearGradient fill(shape.topLeft(), shape.bottomLeft());
    fill.setColorAt(0, c.top);
    fill.setColorAt(1, c.bottom);
    fillRounded(p, shape, 4, fill, c.border);
    // A one-pixel light line under the top edge gives the face a little depth.
    p.setPen(QPen(c.highlight, 1));
    p.drawLine(QPointF(shape.left() + 3, shape.top() + 1.5), QPointF(shape.right() - 3, shape.top() + 1.5));

    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(uiFont(12, true));
    QRectF text = shape.adjusted(0, 0, 0, -1);
    if (active)
        text.translate(0, 1); // pressed look: the label sinks a pixel
    if (art.look == ButtonLook::Primary)
    {
        p.setPen(QColor(0, 0x30, 0x60, 90));
        p.drawText(text.translated(0, 1), Qt::AlignCenter, art.label);
    }
    p.setPen(c.text);
    p.drawText(text, Qt::AlignCenter, art.label);
    return image;
}

QImage DrawTitleGlyph(bool close, bool active, int bandTop, int bandHeight, int scale)
{
    QImage image(16 * scale, 16 * scale, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        fillDeviceRow(image, y, titleBandAt(bandTop + qreal(y) / scale, bandHeight));
    QPainter p(&image);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    if (active)
    {
        const QColor face = close ? QColor(0xE2, 0x4B, 0x4F) : QColor(0x3A, 0x55, 0x79);
        fillRounded(p, QRectF(0, 0, 16, 16), 3, face, QColor());
    }
    QPen pen(active ? Qt::white : QColor(0xC8, 0xD4, 0xE3), 1.6, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    if (close)
    {
        p.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
        p.drawLine(QPointF(11.5, 4.5), QPointF(4.5, 11.5));
    }
    else
    {
        p.drawLine(QPointF(4.5, 10.5), QPointF(11.5, 10.5));
    }
    return image;
}

QImage DrawHeaderBand(int scale)
{
    QImage image(scale, 17 * scale, QImage::Format_RGB32);
    const int last = image.height() - 1;
    for (int y = 0; y <= last; ++y)
        fillDeviceRow(image, y, mix(QColor(0xFB, 0xFC, 0xFD), QColor(0xE6, 0xEA, 0xF0), y / qreal(last)));
    // No bottom edge: the header may be taller than the band, and the list draws its own border.
    return image;
}

QImage DrawHeaderSeparator(int scale)
{
    // Drawn two pixels left of an item's edge, so the divider at x = 2 marks the edge itself.
    QImage image(12 * scale, 17 * scale, QImage::Format_RGB32);
    const QImage band = DrawHeaderBand(scale);
    for (int y = 0; y < image.height(); ++y)
        fillDeviceRow(image, y, QColor::fromRgb(band.pixel(0, y)));
    QPainter p(&image);
    p.scale(scale, scale);
    p.fillRect(QRect(2, 3, 1, 11), palette::trackEdge);
    p.fillRect(QRect(3, 3, 1, 11), QColor(0xFF, 0xFF, 0xFF));
    return image;
}

QImage DrawScrollTrack(Qt::Orientation orientation, bool enabled, int scale)
{
    const bool horizontal = orientation == Qt::Horizontal;
    const int length = (enabled ? 2 : 1) * scale;
    const int breadth = 14 * scale;
    QImage image(horizontal ? QSize(length, breadth) : QSize(breadth, length), QImage::Format_RGB32);
    const QColor fill = enabled ? palette::trackFill : QColor(0xF3, 0xF5, 0xF8);
    for (int along = 0; along < length; ++along)
    {
        for (int across = 0; across < breadth; ++across)
        {
            const bool edge = across < scale || across >= breadth - scale;
            const QRgb rgb = (edge ? palette::trackEdge : fill).rgb();
            if (horizontal)
                image.setPixel(along, across, rgb);
            else
                image.setPixel(across, along, rgb);
        }
    }
    return image;
}

QImage DrawScrollArrow(Arrow arrow, bool enabled, int scale)
{
    const bool horizontal = arrow == Arrow::Left || arrow == Arrow::Right;
    const QSize size = horizontal ? QSize(16, 14) : QSize(14, 16);
    QImage image = canvas(size, enabled ? palette::trackFill : QColor(0xF3, 0xF5, 0xF8), scale);
    QPainter p(&image);
    p.scale(scale, scale);
    // Edges in line with the track's.
    if (horizontal)
    {
        p.fillRect(QRect(0, 0, 16, 1), palette::trackEdge);
        p.fillRect(QRect(0, 13, 16, 1), palette::trackEdge);
    }
    else
    {
        p.fillRect(QRect(0, 0, 1, 16), palette::trackEdge);
        p.fillRect(QRect(13, 0, 1, 16), palette::trackEdge);
    }
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF face = horizontal ? QRectF(1.5, 1.5, 13, 11) : QRectF(1.5, 1.5, 11, 13);
    fillRounded(p, face, 2.5, enabled ? palette::arrowFace : QColor(0xEC, 0xEF, 0xF3), QColor());
    QPolygonF chevron;
    const QPointF c = face.center();
    switch (arrow)
    {
    case Arrow::Left:
        chevron << QPointF(c.x() + 1.5, c.y() - 3) << QPointF(c.x() - 1.5, c.y()) << QPointF(c.x() + 1.5, c.y() + 3);
        break;
    case Arrow::Right:
        chevron << QPointF(c.x() - 1.5, c.y() - 3) << QPointF(c.x() + 1.5, c.y()) << QPointF(c.x() - 1.5, c.y() + 3);
        break;
    case Arrow::Up:
        chevron << QPointF(c.x() - 3, c.y() + 1.5) << QPointF(c.x(), c.y() - 1.5) << QPointF(c.x() + 3, c.y() + 1.5);
        break;
    case Arrow::Down:
        chevron << QPointF(c.x() - 3, c.y() - 1.5) << QPointF(c.x(), c.y() + 1.5) << QPointF(c.x() + 3, c.y() - 1.5);
        break;
    }
    p.setPen(QPen(enabled ? palette::glyph : palette::glyphOff, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(chevron);
    return image;
}

QImage DrawScrollThumb(Qt::Orientation orientation, int scale)
{
    const bool horizontal = orientation == Qt::Horizontal;
    const QSize size = horizontal ? QSize(26, 14) : QSize(14, 26);
    QImage image = DrawScrollTrack(orientation, true, scale).scaled(size * scale);
    QPainter p(&image);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF pill = horizontal ? QRectF(1, 2, 24, 10) : QRectF(2, 1, 10, 24);
    fillRounded(p, pill, 4.5, palette::thumb, palette::thumbEdge);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor grip(0xD6, 0xDE, 0xE7);
    for (int i = -2; i <= 2; i += 2)
    {
        if (horizontal)
            p.fillRect(QRect(13 + i, 5, 1, 4), grip);
        else
            p.fillRect(QRect(5, 13 + i, 4, 1), grip);
    }
    return image;
}

namespace
{

// A small "found on the network" emblem: a device with a signal arc, used by the icon and title.
void drawEmblem(QPainter &p, const QRectF &r, const QColor &ink)
{
    const qreal u = r.width() / 48.0;
    p.save();
    p.translate(r.topLeft());
    p.scale(u, u);
    p.setRenderHint(QPainter::Antialiasing);
    // Two stacked drive units.
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRoundedRect(QRectF(6, 24, 24, 8), 2, 2);
    p.drawRoundedRect(QRectF(6, 34, 24, 8), 2, 2);
    p.setBrush(palette::accent);
    p.drawEllipse(QRectF(9.5, 26.7, 2.6, 2.6));
    p.drawEllipse(QRectF(9.5, 36.7, 2.6, 2.6));
    // Search signal: arcs rising from the top right.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink, 3.2, Qt::SolidLine, Qt::RoundCap));
    const QPointF centre(27, 21);
    for (int i = 0; i < 3; ++i)
    {
        const qreal radius = 6 + i * 6.0;
        p.drawArc(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), 0 * 16, 90 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(centre, 2.6, 2.6);
    p.restore();
}

void drawSectionHeading(QPainter &p, int x, int baseline, int right, const QString &text)
{
    const QFont font = uiFont(10.5, true, 0.9);
    p.setFont(font);
    p.setPen(palette::inkMuted);
    p.drawText(QPointF(x, baseline), text);
    const qreal end = x + QFontMetricsF(font).horizontalAdvance(text) + 10;
    p.setPen(palette::hairline);
    p.drawLine(QPointF(end, baseline - 3.5), QPointF(right, baseline - 3.5));
}

// Soft shadow and hairline frame around a control group (a list with its two scroll bars).
void drawWell(QPainter &p, const QRect &r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 4; i >= 1; --i)
    {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x10, 0x20, 0x35, 7));
        p.drawRoundedRect(QRectF(r).adjusted(-i, -i + 1, i, i + 1), 3 + i, 3 + i);
    }
    p.setBrush(Qt::white);
    p.setPen(QPen(palette::hairline, 1));
    p.drawRoundedRect(QRectF(r).adjusted(-1.5, -1.5, 1.5, 1.5), 3, 3);
    p.restore();
}

QRect listWithBars(const QRect &list)
{
    // The bars sit outside the list: 14 pixels to the right and below.
    return list.adjusted(0, 0, 14, 14);
}

} // namespace

QImage DrawMainBackground(QSize size, const QMap<int, QRect> &controls, const QString &version, int scale)
{
    const int w = size.width();
    const int h = size.height();
    QImage image = canvas(size, palette::body, scale);
    // Title band, with room for the minimize and close glyphs at the right.
    const int band = 34;
    for (int y = 0; y < band * scale; ++y)
        fillDeviceRow(image, y, titleBandAt(qreal(y) / scale, band));
    QPainter p(&image);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient stripe(0, 0, w, 0);
    stripe.setColorAt(0, palette::accent);
    stripe.setColorAt(1, palette::accentLight);
    p.fillRect(QRect(0, band, w, 2), stripe);
    drawEmblem(p, QRectF(10, 5, 24, 24), Qt::white);
    p.setFont(uiFont(14, true));
    p.setPen(Qt::white);
    p.drawText(QPointF(40, 22), QStringLiteral("Vantrel DER Izuzez Utility"));

    const QRect devices = controls.value(1000);
    const QRect volumes = controls.value(1001);
    const QRect ip = controls.value(1006);
    const QRect lanLabelRow = controls.value(1006);
    const int right = w - 8;

    drawSectionHeading(p, devices.left(), devices.top() - 12, right, QStringLiteral("DEVICES ON THE NETWORK"));
    drawWell(p, listWithBars(devices));

    drawSectionHeading(p, devices.left(), lanLabelRow.top() - 16, right, QStringLiteral("ADDRESS SETTINGS"));
    // A quiet band behind the three address rows, the DHCP choice and the apply button. It runs
    // the window's full width without side borders: the right-hand buttons reach within a few
    // pixels of the window's edge, so a border there would run under them.
    const QRect gateway = controls.value(1011);
    const int bandTop = ip.top() - 7;
    const int bandBottom = std::max(gateway.bottom(), controls.value(1007).bottom()) + 8;
    p.fillRect(QRect(1, bandTop, w - 2, bandBottom - bandTop + 1), QColor(0xFA, 0xFB, 0xFC));
    p.fillRect(QRect(1, bandTop, w - 2, 1), palette::hairline);
    p.fillRect(QRect(1, bandBottom, w - 2, 1), palette::hairline);

    drawSectionHeading(p, volumes.left(), volumes.top() - 17, right, QStringLiteral("VOLUMES AND DRIVE LETTERS"));
    drawWell(p, listWithBars(volumes));

    // Footer with the version; About and Exit sit on it.
    const int footerTop = controls.value(1009).top() - 13;
    p.fillRect(QRect(0, footerTop, w, h - footerTop), palette::footer);
    p.fillRect(QRect(0, footerTop, w, 1), palette::hairline);
    p.setFont(uiFont(11, false));
    p.setPen(palette::inkMuted);
    const QRect exit = controls.value(1009);
    p.drawText(QRectF(devices.left(), exit.top(), 160, 25), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("Version %1").arg(version));

    // A one-pixel frame keeps the window's edge visible on light desktops.
    p.fillRect(QRect(0, 0, w, 1), palette::navyBottom);
    p.fillRect(QRect(0, h - 1, w, 1), palette::navyBottom);
    p.fillRect(QRect(0, 0, 1, h), palette::navyBottom);
    p.fillRect(QRect(w - 1, 0, 1, h), palette::navyBottom);
    return image;
}

QImage DrawDialogBackground(QSize size, DialogDecor decor, int scale)
{
    QImage image = canvas(size, palette::dialogBody, scale);
    QPainter p(&image);
    p.scale(scale, scale);
    QLinearGradient stripe(0, 0, size.width(), 0);
    stripe.setColorAt(0, palette::accent);
    stripe.setColorAt(1, palette::accentLight);
    p.fillRect(QRect(0, 0, size.width(), 3), stripe);
    if (decor == DialogDecor::About)
    {
        // Faint search rings in the top right corner, away from the texts' start.
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(Qt::NoBrush);
        const QPointF centre(size.width() - 20, 10);
        for (int i = 1; i <= 5; ++i)
        {
            p.setPen(QPen(QColor(255, 255, 255, 16 - i * 2), 6));
            p.drawEllipse(centre, i * 22.0, i * 22.0);
        }
    }
    return image;
}

QImage DrawAppIcon(int size)
{
    QImage image = canvas(QSize(size, size), palette::accentDark);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient tile(0, 0, size, size);
    tile.setColorAt(0, palette::accentLight);
    tile.setColorAt(1, palette::accentDark);
    p.fillRect(image.rect(), tile);
    drawEmblem(p, QRectF(0, 0, size, size), Qt::white);
    return image;
}

} // namespace izuzez::skingen
