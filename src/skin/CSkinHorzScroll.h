#pragma once

#include <QTimer>
#include <QWidget>

class CSkinListCtrl;

// Bitmap horizontal scroll bar placed under a CSkinListCtrl; it scrolls the list it points to.
class CSkinHorzScroll : public QWidget
{
    Q_OBJECT

public:
    explicit CSkinHorzScroll(QWidget *parent = nullptr);

    void SetList(CSkinListCtrl *list) { m_pList = list; }
    // Recomputes the thumb from the list's scroll state, clamps it and repaints.
    void UpdateThumb();
    int GetThumbPos() const { return m_nThumbPos; }

    // Thumb position for bar width W, scroll position p and scroll limit L (before any drag).
    static int ThumbPosFor(int width, int pos, int limit);
    static int ClampThumb(int thumbPos, int width);

    // Line and page steps: 0 line left, 1 line right, 2 page left, 3 page right.
    void Scroll(int request);

    static constexpr int kFirstDelayMs = 250;
    static constexpr int kRepeatMs = 50;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void OnFirstDelay();
    void OnRepeat();
    void StopTimers();
    bool InThumbArea(int x, int y) const;

    bool m_bRightPressed = false;
    bool m_bLeftPressed = false;
    bool m_bDragging = false;
    bool m_bThumbPressed = false;
    int m_nThumbPos = 25;
    CSkinListCtrl *m_pList = nullptr;
    QTimer m_timerDelay;  // "timer 2": the first delay
    QTimer m_timerRepeat; // "timer 1": the repeat ticks
};
