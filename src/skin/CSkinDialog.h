#pragma once

#include <QColor>
#include <QDialog>
#include <QPixmap>
#include <QPoint>
#include <QSet>

class QLabel;
class QPainter;

// Base of every skinned dialog: background bitmap, static texts printed straight onto it and,
// for the caption-less main window, stepped corners and dragging by the body.
class CSkinDialog : public QDialog
{
    Q_OBJECT

public:
    enum class BackgroundMode
    {
        Stretched, // loaded at the first paint, stretched over the client area
        Unscaled,  // loaded at once, drawn at its own size at (0,0)
    };

    explicit CSkinDialog(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    // Bitmap number 0 means no background (the default erase shows).
    void SetBackgroundBitmap(int number, BackgroundMode mode = BackgroundMode::Stretched);
    int GetBackgroundBitmap() const { return m_nBackgroundBitmap; }
    BackgroundMode GetBackgroundMode() const { return m_backgroundMode; }
    // True once the background has been loaded successfully.
    bool HasBackground() const { return !m_bmpBackground.isNull(); }

    // Colour of static texts (QLabel descendants), which get a transparent background.
    void SetStaticTextColor(const QColor &color);
    QColor GetStaticTextColor() const { return m_crStaticText; }
    // Controls with these ids keep their own colours (the Login dialog's edit fields).
    void ExcludeFromStaticColor(int controlId);
    // Applies the colour to every static now; also runs on show and whenever a child is added.
    void ApplyStaticTextColors();

    // Caption-less main window: frameless, stepped-corner mask, moved by dragging its body.
    void SetCaptionless(bool captionless);
    bool IsCaptionless() const { return m_bCaptionless; }

    // True while a manual (non-system) move by the body is in progress.
    bool IsManualMoveActive() const { return m_bManualMove; }

    // Whether pos (client coordinates) is the dialog's own surface: the background or a static
    // printed on it. Only there does the caption-less window start a drag.
    bool IsDialogSurface(const QPoint &pos) const;

    // The OK command, as the Enter key gives it when no default button takes it: clicks button 1
    // when the dialog has an enabled one (so the dialog's own OK handling runs), else accepts.
    virtual void OnOK();

protected:
    // Paints the background; returns true when a bitmap was drawn.
    virtual bool OnEraseBkgnd(QPainter &painter);
    // Colours one static; false when it keeps its own colours.
    virtual bool OnCtlColor(QLabel *label);
    // Stepped-corner mask of the caption-less window.
    virtual void OnSize(int cx, int cy);

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void childEvent(QChildEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPixmap m_bmpBackground;
    qreal m_backgroundRatio = 1.0; // the screen's pixel ratio the background was loaded for
    int m_nBackgroundBitmap = 0;
    BackgroundMode m_backgroundMode = BackgroundMode::Stretched;
    QColor m_crStaticText = QColor(255, 255, 255);
    QSet<int> m_excludedIds;
    bool m_bCaptionless = false;
    bool m_bManualMove = false;
    QPoint m_ptMoveOffset; // pointer position relative to the window's top-left during a manual move
};
