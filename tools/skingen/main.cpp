// Draws every skin bitmap into <res>/bitmaps/<number>.bmp and <number>@2x.bmp, and the icon into
// <res>/icon128.bmp.
// Usage: izuzez-skingen <res directory>

#include "SkinArt.h"
#include "SkinPalette.h"
#include "skin/DialogTemplate.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMap>

#include <cstdio>

#include "version.h"

using namespace izuzez::skingen;

namespace
{

bool save(const QImage &image, const QString &path)
{
    // RGB888 makes Qt write a 24-bit BMP, which is what the skin expects.
    if (!image.convertToFormat(QImage::Format_RGB888).save(path, "BMP"))
    {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

struct ButtonBitmaps
{
    int normal;
    int active;
    QSize size;
    QString label;
    ButtonLook look;
    bool dialog; // sits on a dark dialog body; otherwise on the main window
};

// Dialog buttons are all drawn 93 x 25 so that OK (100 x 25) and Cancel (93 x 28) look alike
// in the 93 x 28 buttons of the templates; the spare pixels show the dialog body.
const ButtonBitmaps kButtons[] = {
    {284, 285, {100, 25}, "Search", ButtonLook::Primary, false},
    {286, 287, {100, 25}, "Web Page", ButtonLook::Secondary, false},
    {288, 289, {93, 30}, "Language", ButtonLook::Secondary, false},
    {290, 291, {93, 28}, "BitTorrent", ButtonLook::Secondary, false},
    {294, 295, {100, 25}, "Apply", ButtonLook::Primary, false},
    {296, 297, {100, 25}, "Map Drive", ButtonLook::Primary, false},
    {298, 299, {100, 25}, "Unmap", ButtonLook::Secondary, false},
    {300, 301, {100, 25}, "About", ButtonLook::Secondary, false},
    {302, 303, {100, 25}, "Exit", ButtonLook::Secondary, false},
    {280, 281, {93, 28}, "Download", ButtonLook::Primary, true},
    {282, 283, {93, 28}, "Next", ButtonLook::Ghost, true},
    {304, 305, {93, 28}, "Cancel", ButtonLook::Ghost, true},
    {306, 307, {100, 25}, "OK", ButtonLook::Primary, true},
};

// Every skin bitmap by resource number, `scale` device pixels to a logical one.
QMap<int, QImage> DrawBitmaps(const QMap<int, QRect> &controls, const QString &version, int scale)
{
    QMap<int, QImage> bitmaps;
    const QSize mainSize(430, 574);
    bitmaps[267] = DrawMainBackground(mainSize, controls, version, scale);
    bitmaps[268] = DrawDialogBackground({366, 135}, DialogDecor::About, scale);
    bitmaps[269] = DrawDialogBackground({515, 205}, DialogDecor::Plain, scale);
    bitmaps[270] = DrawDialogBackground({248, 119}, DialogDecor::Plain, scale);
    bitmaps[271] = DrawDialogBackground({441, 169}, DialogDecor::Plain, scale);
    bitmaps[272] = DrawDialogBackground({308, 147}, DialogDecor::Plain, scale);
    bitmaps[273] = DrawDialogBackground({441, 178}, DialogDecor::Plain, scale);
    bitmaps[274] = DrawDialogBackground({225, 201}, DialogDecor::Plain, scale);

    for (const ButtonBitmaps &button : kButtons)
    {
        ButtonArt art;
        art.size = button.size;
        art.label = button.label;
        art.look = button.look;
        if (button.dialog)
        {
            art.shape = QRect(0, 0, 93, 25);
            art.behind = palette::dialogBody;
        }
        else
        {
            art.shape = QRect(QPoint(0, 0), button.size);
            // About and Exit sit on the footer band.
            art.behind = (button.normal == 300 || button.normal == 302) ? palette::footer : palette::body;
        }
        bitmaps[button.normal] = DrawButton(art, false, scale);
        bitmaps[button.active] = DrawButton(art, true, scale);
    }

    const int glyphTop = controls.value(1027).top();
    bitmaps[262] = DrawTitleGlyph(true, false, glyphTop, 34, scale);
    bitmaps[378] = DrawTitleGlyph(true, true, glyphTop, 34, scale);
    bitmaps[263] = DrawTitleGlyph(false, false, glyphTop, 34, scale);
    bitmaps[379] = DrawTitleGlyph(false, true, glyphTop, 34, scale);

    bitmaps[374] = DrawHeaderBand(scale);
    bitmaps[240] = DrawHeaderSeparator(scale);
    bitmaps[232] = DrawScrollTrack(Qt::Horizontal, true, scale);
    bitmaps[382] = DrawScrollTrack(Qt::Horizontal, false, scale);
    bitmaps[235] = DrawScrollTrack(Qt::Vertical, true, scale);
    bitmaps[384] = DrawScrollTrack(Qt::Vertical, false, scale);
    bitmaps[233] = DrawScrollArrow(Arrow::Left, true, scale);
    bitmaps[380] = DrawScrollArrow(Arrow::Left, false, scale);
    bitmaps[231] = DrawScrollArrow(Arrow::Right, true, scale);
    bitmaps[381] = DrawScrollArrow(Arrow::Right, false, scale);
    bitmaps[234] = DrawScrollArrow(Arrow::Up, true, scale);
    bitmaps[383] = DrawScrollArrow(Arrow::Up, false, scale);
    bitmaps[237] = DrawScrollArrow(Arrow::Down, true, scale);
    bitmaps[385] = DrawScrollArrow(Arrow::Down, false, scale);
    bitmaps[243] = DrawScrollThumb(Qt::Horizontal, scale);
    bitmaps[236] = DrawScrollThumb(Qt::Vertical, scale);

    return bitmaps;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: izuzez-skingen <res directory>\n");
        return 2;
    }
    const QDir res(QString::fromLocal8Bit(argv[1]));
    QFile file(res.filePath(QStringLiteral("templates/102.json")));
    QString error;
    std::optional<DialogTemplate> mainTemplate;
    if (file.open(QIODevice::ReadOnly))
        mainTemplate = ParseDialogTemplate(file.readAll(), &error);
    if (!mainTemplate)
    {
        std::fprintf(stderr, "cannot read the main window template: %s\n", qPrintable(error));
        return 1;
    }
    // The background is laid out where the builder places the controls.
    const DialogUnits units(DialogTemplateFont(*mainTemplate));
    std::printf("dialog base units %d x %d\n", units.baseX(), units.baseY());
    QMap<int, QRect> controls;
    for (const DialogControlTemplate &control : mainTemplate->controls)
    {
        if (control.id != kNoControlId)
            controls.insert(control.id, units.toPixels(control.rect));
    }

    res.mkpath(QStringLiteral("bitmaps"));
    const QString version = QString::fromLatin1(izuzez::kVersionText);
    // The 1x set is the reference; the 2x set, drawn anew at twice the size, carries Qt's "@2x" suffix
    // so that the skin finds it beside the 1x file.
    QMap<QString, QImage> files;
    for (const int scale : {1, 2})
    {
        const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
        const QMap<int, QImage> bitmaps = DrawBitmaps(controls, version, scale);
        for (auto it = bitmaps.cbegin(); it != bitmaps.cend(); ++it)
            files.insert(QStringLiteral("bitmaps/%1%2.bmp").arg(it.key()).arg(suffix), it.value());
    }

    bool ok = true;
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        ok = save(it.value(), res.filePath(it.key())) && ok;
    ok = save(DrawAppIcon(48), res.filePath(QStringLiteral("icon128.bmp"))) && ok;
    std::printf("%lld bitmaps and the icon written to %s\n", static_cast<long long>(files.size()),
                qPrintable(res.absolutePath()));
    return ok ? 0 : 1;
}
