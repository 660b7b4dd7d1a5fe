#pragma once

#include <QTimer>
#include <QWidget>

class CSkinListCtrl;

// Bitmap vertical scroll bar placed right of a CSkinListCtrl; it scrolls the list it points to.
class CSkinVertScroll : public QWidget
{
    Q_OBJECT

public:
    explicit CSkinVertScroll(QWidget *parent = nullptr);

    void SetList(CSkinListCtrl *list) { m_pList = list; }
    // Recomputes the thumb from the list's scroll state, clamps it and repaints.
    void UpdateThumb();
    int GetThumbPos() const { return m_nThumbPos; }

    // Thumb position for bar height H, scroll position p and scroll limit L.
    static int ThumbPosFor(int height, int pos, int limit);
    static int ClampThumb(int thumbPos, int height);

    // Line and page steps: 0 line up, 1 line down, 2 page up, 3 page down.
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

    CSkinListCtrl *m_pList = nullptr;
    bool m_bUpPressed = false;
    bool m_bDownPressed = false;
    bool m_bThumbPressed = false;
    int m_nThumbPos = 14;
    QTimer m_timerDelay;
    QTimer m_timerRepeat;
};
