#pragma once

#include <QColor>
#include <QEvent>
#include <QImage>
#include <QPushButton>
#include <QRegion>

#include <cstdint>

// Owner-drawn push button, check box or radio button painted from bitmaps by state:
// disabled, then pressed or checked, then hover, then focus, then normal.
class CSkinButton : public QPushButton
{
    Q_OBJECT

public:
    enum Kind
    {
        KindPush = 0,
        KindCheckBox = 2,
        KindRadio = 4
    };
    enum DrawMode
    {
        DrawNatural = 0,
        DrawStretched = 1,
        DrawTiled = 2
    };

    // Sent to the other members of a radio group when one of them is checked.
    static const QEvent::Type WM_SKINBUTTON_UNCHECK;

    explicit CSkinButton(QWidget *parent = nullptr);
    CSkinButton(const QString &caption, QWidget *parent);

    // Kind from a template button's style: the low byte is the button type.
    static int KindFromStyle(std::uint32_t style);
    void SetKindFromStyle(std::uint32_t style) { SetKind(KindFromStyle(style)); }
    void SetKind(int kind);
    int GetKind() const { return m_nKind; }

    // Bitmap resource numbers, 0 for none. The disabled image falls back to the normal one.
    void SetBitmaps(int normal, int pressed = 0, int hover = 0, int disabled = 0, int focus = 0, int mask = 0,
                    int drawMode = DrawNatural, int border = 0, int focusMargin = 0);

    void SetCheck(bool checked);
    bool GetCheck() const { return m_bChecked; }

    bool IsHover() const { return m_bHover; }
    // The focus came with the keyboard, so the focus ring shows.
    bool ShowsFocusRing() const { return hasFocus() && m_bKeyboardFocus; }
    bool IsPressed() const { return m_bPressed; }
    int GetDrawMode() const { return m_nDrawMode; }
    int GetFocusMargin() const { return m_nFocusMargin; }
    const QRegion &GetRegion() const { return m_hRegion; }

    // Which image DrawItem shows now (0 normal, 1 pressed, 2 hover, 3 disabled, 4 focus, -1 face fill).
    enum Shown
    {
        ShownFace = -1,
        ShownNormal,
        ShownPressed,
        ShownHover,
        ShownDisabled,
        ShownFocus
    };
    Shown ShownBitmap() const;

signals:
    void checkChanged(bool checked);

protected:
    void DrawItem(QPainter &painter);
    void DrawBitmap(QPainter &painter, const QImage &bitmap, const QRect &rect, int mode) const;

    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void Init();
    void ToggleFromInput();
    void LoadBitmaps(qreal ratio);
    void DrawFocusRing(QPainter &painter, const QRect &rect) const;

    bool m_bChecked = false;
    int m_nKind = KindPush;
    bool m_bHover = false;
    bool m_bPressed = false;
    bool m_bKeyboardFocus = false;
    QImage m_bmpNormal;
    QImage m_bmpPressed;
    QImage m_bmpDisabled;
    QImage m_bmpMask;
    QImage m_bmpHover;
    QImage m_bmpFocus;
    // Resource numbers of normal, pressed, hover, disabled, focus, mask; reloaded when the screen's
    // pixel ratio changes.
    int m_nBitmapIds[6] = {};
    qreal m_bitmapRatio = 1.0;
    std::int16_t m_nFocusMargin = 0;
    QColor m_crText;
    QRegion m_hRegion;
    int m_nBorder = 0;
    std::int16_t m_nDrawMode = DrawStretched;
};
