// Renders every dialog template with its skin to PNG files, offscreen, and a sheet of every
// button in its four states. Usage: izuzez-gallery [output directory] (default docs/gallery).

#include "GalleryContent.h"

#include "skin/CSkinButton.h"
#include "skin/CSkinDialog.h"
#include "skin/DialogTemplateBuilder.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QMouseEvent>
#include <QPainter>

#include <cstdio>

using izuzez::gallery::FillSampleContent;

namespace
{

struct Page
{
    int number;
    const char *file;
};

const Page kPages[] = {
    {102, "main-window.png"},       {134, "login.png"},         {308, "about.png"},
    {229, "drive-letter-used.png"}, {139, "language.png"},      {180, "loading.png"},
    {141, "restart.png"},           {264, "widget-engine.png"}, {265, "select-model.png"},
};

bool renderDialog(const Page &page, const QDir &out)
{
    CSkinDialog dialog;
    DialogTemplateBuilder form;
    if (!form.Load(page.number) || !form.Build(&dialog))
    {
        std::fprintf(stderr, "template %d: %s\n", page.number, qPrintable(form.error()));
        return false;
    }
    form.ApplySkin(&dialog);
    dialog.show();
    FillSampleContent(page.number, form);
    QApplication::processEvents();
    const QString path = out.filePath(QString::fromLatin1(page.file));
    const bool ok = dialog.grab().save(path);
    std::printf("%s %dx%d %s\n", qPrintable(path), dialog.width(), dialog.height(), ok ? "" : "FAILED");
    return ok;
}

enum class State
{
    Normal,
    Hover,
    Pressed,
    Disabled
};

QPixmap renderButton(const std::array<int, 4> &bitmaps, QSize size, State state)
{
    QWidget host;
    host.setFixedSize(size);
    auto *button = new CSkinButton(&host);
    button->setGeometry(QRect(QPoint(0, 0), size));
    button->SetBitmaps(bitmaps[0], bitmaps[1], bitmaps[2], bitmaps[3]);
    host.show();
    if (state == State::Hover)
    {
        const QPointF centre(size.width() / 2.0, size.height() / 2.0);
        QMouseEvent move(QEvent::MouseMove, centre, button->mapToGlobal(centre), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(button, &move);
    }
    else if (state == State::Pressed)
    {
        button->setDown(true);
    }
    else if (state == State::Disabled)
    {
        button->setEnabled(false);
    }
    QApplication::processEvents();
    return host.grab();
}

// One row per distinct bitmap set: normal, hover, pressed, disabled, at the size its template gives.
bool renderButtonSheet(const QDir &out)
{
    struct Row
    {
        QString name;
        std::array<int, 4> bitmaps;
        QSize size;
    };
    QList<Row> rows;
    QList<std::array<int, 4>> seen;
    for (const Page &page : kPages)
    {
        DialogTemplateBuilder form;
        if (!form.Load(page.number))
            continue;
        const DialogTemplate &t = form.dialogTemplate();
        for (auto it = t.skin.buttons.cbegin(); it != t.skin.buttons.cend(); ++it)
        {
            const DialogControlTemplate *control = t.findControl(it.key());
            if (control == nullptr || seen.contains(it.value()))
                continue;
            seen.append(it.value());
            rows.append({QStringLiteral("%1 / %2").arg(page.number).arg(it.key()), it.value(),
                         form.units().toPixels(control->rect).size()});
        }
    }
    const int cell = 130;
    const int rowHeight = 44;
    QImage sheet(110 + 4 * cell, 30 + rows.size() * rowHeight, QImage::Format_RGB32);
    sheet.fill(QColor(0xF2, 0xF4, 0xF7));
    QPainter p(&sheet);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(QColor(0x1C, 0x2A, 0x3A));
    const char *states[] = {"normal", "hover", "pressed", "disabled"};
    for (int s = 0; s < 4; ++s)
        p.drawText(110 + s * cell, 20, QString::fromLatin1(states[s]));
    for (int r = 0; r < rows.size(); ++r)
    {
        const int y = 30 + r * rowHeight;
        p.drawText(QRect(8, y, 100, 32), Qt::AlignVCenter, rows[r].name);
        for (int s = 0; s < 4; ++s)
            p.drawPixmap(110 + s * cell, y, renderButton(rows[r].bitmaps, rows[r].size, static_cast<State>(s)));
    }
    p.end();
    const QString path = out.filePath(QStringLiteral("buttons.png"));
    const bool ok = sheet.save(path);
    std::printf("%s %s\n", qPrintable(path), ok ? "" : "FAILED");
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The lists ask for Tahoma; without it, take the metric-alike face rather than a wide fallback.
    QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"));
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/gallery"));
    if (!QDir().mkpath(out.path()))
    {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(out.path()));
        return 1;
    }
    bool ok = true;
    for (const Page &page : kPages)
        ok = renderDialog(page, out) && ok;
    ok = renderButtonSheet(out) && ok;
    return ok ? 0 : 1;
}
