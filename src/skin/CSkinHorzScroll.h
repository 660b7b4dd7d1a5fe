#pragma once

#include "skin/CSkinScrollBar.h"

// Bitmap horizontal scroll bar placed under a CSkinListCtrl; it scrolls the list it points to.
// Scroll requests: 0 line left, 1 line right, 2 page left, 3 page right.
class CSkinHorzScroll : public CSkinScrollBar
{
    Q_OBJECT

public:
    explicit CSkinHorzScroll(QWidget *parent = nullptr);

    // Thumb position for bar width W, scroll position p and scroll limit L (before any drag).
    static int ThumbPosFor(int width, int pos, int limit);
    static int ClampThumb(int thumbPos, int width);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int ThumbForScroll(int length, int pos, int limit) const override { return ThumbPosFor(length, pos, limit); }
    int ClampDraggedThumb(int thumbPos, int length) const override { return ClampThumb(thumbPos, length); }
    bool PressesArrow(Request arrow, const QPoint &pt) const override;
    bool ReleasesArrow(Request arrow, const QPoint &pt) const override { return PressesArrow(arrow, pt); }
    std::optional<double> DragTarget(int thumbPos, int length, int limit) const override;
};
