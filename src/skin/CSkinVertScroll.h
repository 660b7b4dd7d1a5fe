#pragma once

#include "skin/CSkinScrollBar.h"

// Bitmap vertical scroll bar placed right of a CSkinListCtrl; it scrolls the list it points to.
// Scroll requests: 0 line up, 1 line down, 2 page up, 3 page down.
class CSkinVertScroll : public CSkinScrollBar
{
    Q_OBJECT

public:
    explicit CSkinVertScroll(QWidget *parent = nullptr);

    // Thumb position for bar height H, scroll position p and scroll limit L.
    static int ThumbPosFor(int height, int pos, int limit);
    static int ClampThumb(int thumbPos, int height);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int ThumbForScroll(int length, int pos, int limit) const override { return ThumbPosFor(length, pos, limit); }
    int ClampDraggedThumb(int thumbPos, int length) const override { return ClampThumb(thumbPos, length); }
    bool PressesArrow(Request arrow, const QPoint &pt) const override;
    bool ReleasesArrow(Request arrow, const QPoint &pt) const override;
    std::optional<double> DragTarget(int thumbPos, int length, int limit) const override;
};
