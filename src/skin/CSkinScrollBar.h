#pragma once

#include <QTimer>
#include <QWidget>

#include <optional>

class CSkinListCtrl;
class QScrollBar;

// What the two bitmap bars share: the press, repeat and drag behaviour over the list's own scroll
// bar in one direction. The bars supply their geometry through the hooks and paint themselves.
class CSkinScrollBar : public QWidget
{
    Q_OBJECT

public:
    void SetList(CSkinListCtrl *list) { m_pList = list; }
    // Recomputes the thumb from the list's scroll state, clamps it and repaints.
    void UpdateThumb();
    int GetThumbPos() const { return m_nThumbPos; }

    // Line and page steps: 0 line back, 1 line forward, 2 page back, 3 page forward.
    void Scroll(int request);

    static constexpr int kFirstDelayMs = 250;
    static constexpr int kRepeatMs = 50;

protected:
    // Back is left or up, forward is right or down.
    enum Request
    {
        LineBack = 0,
        LineForward = 1,
        PageBack = 2,
        PageForward = 3
    };

    // crossReach: how far across the bar, from its edge, the thumb and the arrows take presses.
    CSkinScrollBar(Qt::Orientation orientation, int initialThumbPos, int crossReach, QWidget *parent);

    CSkinListCtrl *List() const { return m_pList; }
    bool Scrollable() const;
    bool BackPressed() const { return m_bBackPressed; }
    bool ForwardPressed() const { return m_bForwardPressed; }
    int Length() const;
    bool InCrossReach(const QPoint &pt) const;

    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    virtual int ThumbForScroll(int length, int pos, int limit) const = 0;
    virtual int ClampDraggedThumb(int thumbPos, int length) const = 0;
    // Whether pressing at pt holds the arrow for `arrow` (LineBack or LineForward).
    virtual bool PressesArrow(Request arrow, const QPoint &pt) const = 0;
    // Whether releasing at pt ends in one step by `arrow`.
    virtual bool ReleasesArrow(Request arrow, const QPoint &pt) const = 0;
    // The scroll position a thumb dragged to thumbPos stands for, or none when it cannot move.
    virtual std::optional<double> DragTarget(int thumbPos, int length, int limit) const = 0;

    void OnFirstDelay();
    void OnRepeat();
    void StopTimers();
    // Ends a press without its release: the bar went away or another window took the pointer.
    void CancelPress();
    bool HoldsPointer() const;
    bool InThumbArea(const QPoint &pt) const;
    int Along(const QPoint &pt) const;
    QScrollBar *ListBar() const;

    const Qt::Orientation m_orientation;
    const int m_nCrossReach;
    CSkinListCtrl *m_pList = nullptr;
    bool m_bBackPressed = false;
    bool m_bForwardPressed = false;
    bool m_bThumbPressed = false;
    int m_nThumbPos;
    QTimer m_timerDelay;  // "timer 2": the first delay
    QTimer m_timerRepeat; // "timer 1": the repeat ticks
};
