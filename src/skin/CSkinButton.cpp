#include "skin/CSkinButton.h"

#include "skin/FocusCues.h"
#include "skin/SkinBitmaps.h"
#include "skin/SkinControlId.h"
#include "skin/SkinRegions.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

#include <algorithm>

const QEvent::Type CSkinButton::WM_SKINBUTTON_UNCHECK = static_cast<QEvent::Type>(QEvent::User + 0x100);

CSkinButton::CSkinButton(QWidget *parent) : QPushButton(parent)
{
    Init();
}

CSkinButton::CSkinButton(const QString &caption, QWidget *parent) : QPushButton(caption, parent)
{
    Init();
}

void CSkinButton::Init()
{
    m_crText = palette().color(QPalette::ButtonText);
    setMouseTracking(true); // hover starts with the first move over the button
    setAttribute(Qt::WA_Hover, false);
    setFlat(true);
}

int CSkinButton::KindFromStyle(std::uint32_t style)
{
    const std::uint32_t type = style & 0xFFu;
    if ((type & 3u) == 3u)
        return KindCheckBox;
    if ((type & 9u) == 9u)
        return KindRadio;
    return KindPush;
}

void CSkinButton::SetKind(int kind)
{
    m_nKind = (kind == KindCheckBox || kind == KindRadio) ? kind : KindPush;
    if (m_nKind == KindPush && m_bChecked)
    {
        m_bChecked = false;
        update();
    }
}

void CSkinButton::SetBitmaps(int normal, int pressed, int hover, int disabled, int focus, int mask, int drawMode,
                             int border, int focusMargin)
{
    const int ids[6] = {normal, pressed, hover, disabled, focus, mask};
    std::copy(std::begin(ids), std::end(ids), std::begin(m_nBitmapIds));
    LoadBitmaps(devicePixelRatioF());

    m_nDrawMode = static_cast<std::int16_t>(drawMode >= 2 ? DrawTiled : (drawMode < 0 ? DrawNatural : drawMode));
    m_nBorder = border;
    m_nFocusMargin = static_cast<std::int16_t>(focusMargin < 0 ? 0 : std::min(focusMargin, 0x7FFF));

    if (mask)
    {
        // White pixels of the mask lie outside the button.
        if (std::optional<QRegion> region = CreateRegionFromMask(m_bmpMask, qRgb(255, 255, 255)))
        {
            m_hRegion = *region;
            setMask(m_hRegion);
        }
        if (m_nDrawMode == DrawNatural && !m_bmpMask.isNull())
            resize(m_bmpMask.size());
    }
    update();
}

void CSkinButton::LoadBitmaps(qreal ratio)
{
    const auto load = [ratio](int number) { return number ? LoadSkinBitmap(number, ratio) : QImage(); };
    m_bitmapRatio = ratio;
    m_bmpNormal = load(m_nBitmapIds[0]);
    m_bmpPressed = load(m_nBitmapIds[1]);
    m_bmpHover = load(m_nBitmapIds[2]);
    m_bmpDisabled = m_nBitmapIds[3] ? load(m_nBitmapIds[3]) : m_bmpNormal;
    m_bmpFocus = load(m_nBitmapIds[4]);
    // The mask shapes the window region, which is in logical pixels: always the 1x drawing.
    m_bmpMask = m_nBitmapIds[5] ? LoadSkinBitmap(m_nBitmapIds[5]) : QImage();
}

void CSkinButton::SetCheck(bool checked)
{
    const bool before = m_bChecked;
    m_bChecked = checked && m_nKind != KindPush;
    if (m_nKind == KindRadio && checked)
    {
        // Sent, not posted: a posted uncheck would still be pending when another member is
        // checked right after, and would then clear that one too.
        for (QWidget *item = GetNextDlgGroupItem(this); item && item != this; item = GetNextDlgGroupItem(item))
        {
            QEvent uncheck(WM_SKINBUTTON_UNCHECK);
            QCoreApplication::sendEvent(item, &uncheck);
        }
    }
    update();
    if (before != m_bChecked)
        emit checkChanged(m_bChecked);
}

CSkinButton::Shown CSkinButton::ShownBitmap() const
{
    if (!isEnabled())
        return m_bmpDisabled.isNull() ? ShownFace : ShownDisabled;
    if (isDown() || m_bChecked)
        return m_bmpPressed.isNull() ? ShownFace : ShownPressed;
    if (m_bmpNormal.isNull())
        return ShownFace;
    if (m_bHover && !m_bmpHover.isNull())
        return ShownHover;
    if (hasFocus() && !m_bmpFocus.isNull())
        return ShownFocus;
    return ShownNormal;
}

void CSkinButton::ToggleFromInput()
{
    if (m_nKind == KindCheckBox)
        SetCheck(!m_bChecked);
    else if (m_nKind == KindRadio)
        SetCheck(true);
}

bool CSkinButton::event(QEvent *event)
{
    if (event->type() == WM_SKINBUTTON_UNCHECK)
    {
        if (m_bChecked)
        {
            m_bChecked = false;
            update();
            emit checkChanged(false);
        }
        return true;
    }
    return QPushButton::event(event);
}

bool CSkinButton::hitButton(const QPoint &pos) const
{
    // The pointer is over this button only inside its shape.
    return rect().contains(pos) && (m_hRegion.isEmpty() || m_hRegion.contains(pos));
}

void CSkinButton::mousePressEvent(QMouseEvent *event)
{
    m_bKeyboardFocus = FocusCuesShown() = false;
    if (event->button() == Qt::LeftButton && m_bHover)
    {
        m_bHover = false;
        update();
    }
    QPushButton::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && isDown())
        m_bPressed = true;
}

void CSkinButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
    {
        if (m_nKind != KindPush && m_bPressed && hitButton(event->position().toPoint()))
            ToggleFromInput();
        m_bPressed = false;
    }
    QPushButton::mouseReleaseEvent(event);
}

void CSkinButton::mouseMoveEvent(QMouseEvent *event)
{
    if (m_bPressed)
    {
        // Pops up when the pointer leaves, goes down again when it returns.
        QPushButton::mouseMoveEvent(event);
        return;
    }
    if (!m_bHover && hitButton(event->position().toPoint()))
    {
        m_bHover = true;
        update();
    }
    QPushButton::mouseMoveEvent(event);
}

void CSkinButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    // A double-click is a second press, so it ends in a second click.
    mousePressEvent(event);
}

void CSkinButton::keyPressEvent(QKeyEvent *event)
{
    FocusCuesShown() = true;
    if (!m_bKeyboardFocus)
    {
        m_bKeyboardFocus = true;
        update();
    }
    if (m_nKind != KindPush && event->key() == Qt::Key_Space && !event->isAutoRepeat())
        ToggleFromInput();
    QPushButton::keyPressEvent(event);
}

void CSkinButton::focusInEvent(QFocusEvent *event)
{
    m_bKeyboardFocus = FocusCueOnFocusIn(event->reason(), m_bKeyboardFocus);
    QPushButton::focusInEvent(event);
}

void CSkinButton::focusOutEvent(QFocusEvent *event)
{
    if (m_bPressed)
    {
        m_bPressed = false;
        setDown(false);
    }
    QPushButton::focusOutEvent(event);
}

void CSkinButton::leaveEvent(QEvent *event)
{
    if (m_bHover)
    {
        m_bHover = false;
        update();
    }
    QPushButton::leaveEvent(event);
}

void CSkinButton::paintEvent(QPaintEvent *)
{
    if (devicePixelRatioF() != m_bitmapRatio)
        LoadBitmaps(devicePixelRatioF());
    QPainter painter(this);
    DrawItem(painter);
}

void CSkinButton::DrawItem(QPainter &painter)
{
    const QRect r = rect();
    const int inset = m_nFocusMargin + 2;
    QRect t = r.adjusted(inset, 0, -inset, 0);
    const QString caption = text();
    const int textFlags = Qt::AlignCenter | Qt::TextSingleLine;
    const QColor face = palette().color(QPalette::Button);
    painter.setFont(font());

    if (!isEnabled())
    {
        if (m_bmpDisabled.isNull())
            painter.fillRect(r, face);
        else
            DrawBitmap(painter, m_bmpDisabled, r, m_nDrawMode);
        if (m_nBorder)
            qDrawWinButton(&painter, r, palette(), false);
        // Embossed caption.
        if (m_bChecked)
            t.translate(1, 1);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawText(t, textFlags, caption);
        painter.setPen(palette().color(QPalette::Disabled, QPalette::WindowText));
        t.translate(-1, -1);
        painter.drawText(t, textFlags, caption);
        return;
    }

    if (isDown() || m_bChecked)
    {
        if (m_bmpPressed.isNull())
            painter.fillRect(r, face);
        else
            DrawBitmap(painter, m_bmpPressed, r, m_nDrawMode);
        t.translate(1, 1);
        if (m_nBorder)
            qDrawWinButton(&painter, r, palette(), true);
    }
    else
    {
        if (m_bmpNormal.isNull())
        {
            painter.fillRect(r, face);
        }
        else
        {
            const QImage *shown = &m_bmpNormal;
            if (m_bHover && !m_bmpHover.isNull())
                shown = &m_bmpHover;
            else if (hasFocus() && !m_bmpFocus.isNull())
                shown = &m_bmpFocus;
            DrawBitmap(painter, *shown, r, m_nDrawMode);
        }
        if (m_nBorder)
            qDrawWinButton(&painter, r, palette(), false);
    }

    if (ShowsFocusRing() && m_nFocusMargin == 0 && !m_bmpNormal.isNull())
        DrawFocusRing(painter, r);
    if (hasFocus() && m_nFocusMargin > 0)
    {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = r.adjusted(m_nFocusMargin, m_nFocusMargin, -m_nFocusMargin, -m_nFocusMargin);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
    if (!caption.isEmpty())
    {
        painter.setPen(m_crText);
        painter.drawText(t, textFlags, caption);
    }
}

void CSkinButton::DrawFocusRing(QPainter &painter, const QRect &rect) const
{
    // Two tones, so that the ring shows on the light and on the dark faces alike.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x0B, 0x2A, 0x4A), 1));
    painter.drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    painter.setPen(QPen(QColor(255, 255, 255, 230), 1, Qt::DotLine));
    painter.drawRoundedRect(QRectF(rect).adjusted(2.5, 2.5, -2.5, -2.5), 3, 3);
    painter.restore();
}

void CSkinButton::DrawBitmap(QPainter &painter, const QImage &bitmap, const QRect &rect, int mode) const
{
    if (bitmap.isNull() || rect.isEmpty())
        return;
    // Sizes in the bitmap's own pixels: a 2x bitmap covers the same logical area with twice as many.
    const qreal ratio = bitmap.devicePixelRatio();
    const QSize logical = (QSizeF(bitmap.size()) / ratio).toSize();
    if (mode >= DrawTiled)
    {
        painter.save();
        painter.setClipRect(rect, Qt::IntersectClip);
        for (int y = rect.top(); y <= rect.bottom(); y += std::max(logical.height(), 1))
            for (int x = rect.left(); x <= rect.right(); x += std::max(logical.width(), 1))
                painter.drawImage(QPoint(x, y), bitmap);
        painter.restore();
        return;
    }

    const QSize target = (QSizeF(rect.size()) * ratio).toSize();
    QImage picture;
    if (mode == DrawStretched)
        picture = bitmap.scaled(target, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    else
        picture = bitmap.copy(QRect(QPoint(0, 0), target).intersected(bitmap.rect())); // natural scale

    if (!m_bmpMask.isNull())
    {
        // Where the mask is white what lies underneath stays visible; elsewhere the bitmap shows.
        QImage mask = mode == DrawStretched
                          ? m_bmpMask.scaled(rect.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)
                          : m_bmpMask.copy(QRect(QPoint(0, 0), rect.size()).intersected(m_bmpMask.rect()));
        if (ratio != 1.0) // the mask is 1x only
            mask = mask.scaled(picture.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        mask = mask.convertToFormat(QImage::Format_RGB32);
        picture = picture.convertToFormat(QImage::Format_ARGB32);
        const int height = std::min(picture.height(), mask.height());
        const int width = std::min(picture.width(), mask.width());
        for (int y = 0; y < height; ++y)
        {
            auto *out = reinterpret_cast<QRgb *>(picture.scanLine(y));
            const auto *in = reinterpret_cast<const QRgb *>(mask.constScanLine(y));
            for (int x = 0; x < width; ++x)
            {
                if ((in[x] & RGB_MASK) == 0xFFFFFFu)
                    out[x] = 0;
            }
        }
    }
    picture.setDevicePixelRatio(ratio);
    painter.drawImage(rect.topLeft(), picture);
}
