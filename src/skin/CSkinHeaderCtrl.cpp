#include "skin/CSkinHeaderCtrl.h"

#include "skin/CSkinMemDC.h"
#include "skin/SkinBitmaps.h"
#include "skin/SkinFont.h"

#include <QPaintEvent>

namespace
{

constexpr int kBandBitmap = 374;
constexpr int kSeparatorBitmap = 240;
constexpr int kBandRows = 17;
constexpr int kItemFillRows = 24;
constexpr int kTextInset = 2;
constexpr int kHeaderCellHeight = 14;

} // namespace

CSkinHeaderCtrl::CSkinHeaderCtrl(QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setHighlightSections(false);
}

QFont CSkinHeaderCtrl::HeaderFont()
{
    // Height 14 is the cell height of the font, not the size of its letters.
    return FontForCellHeight(QStringLiteral("Tahoma"), kHeaderCellHeight);
}

QString CSkinHeaderCtrl::ItemDisplayText(const QString &text, const QFontMetrics &metrics, int width)
{
    return metrics.elidedText(text, Qt::ElideRight, std::max(width, 0), Qt::TextSingleLine);
}

void CSkinHeaderCtrl::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    const QRect client = viewport()->rect();
    CSkinMemDC dc(&painter, client);
    if (!dc.isActive())
        return;
    dc.fillRect(client, Qt::black);

    const qreal ratio = devicePixelRatioF();
    const QImage band = LoadSkinBitmap(kBandBitmap, ratio);
    const QImage separator = LoadSkinBitmap(kSeparatorBitmap, ratio);
    // Only the band's first column is used, stretched or repeated.
    const QImage bandColumn =
        band.isNull() ? QImage() : band.copy(0, 0, SkinSourceRect(band, QRect(0, 0, 1, 1)).width(), band.height());
    if (!bandColumn.isNull())
        dc.drawImage(QRect(0, 0, client.width(), kBandRows), bandColumn);

    const QFont font = HeaderFont();
    const QFontMetrics metrics(font);
    for (int i = 0; i < count(); ++i)
    {
        if (isSectionHidden(i))
            continue;
        const QRect item(sectionViewportPosition(i), 0, sectionSize(i), client.height());
        if (!bandColumn.isNull())
            dc.drawImage(QRect(item.left(), item.top(), item.width(), kItemFillRows), bandColumn);
        if (i > 0 && !separator.isNull())
            dc.drawImage(QPoint(item.left() - 2, 0), separator);

        const QString text = model() ? model()->headerData(i, orientation(), Qt::DisplayRole).toString() : QString();
        const QRect textRect = item.adjusted(kTextInset, kTextInset, -kTextInset, -kTextInset);
        dc.setFont(font);
        dc.setPen(Qt::black);
        dc.drawText(textRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                    ItemDisplayText(text.left(255), metrics, textRect.width()));
    }
}
