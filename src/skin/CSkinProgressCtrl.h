#pragma once

#include <QColor>
#include <QProgressBar>

// Flat blue bar on the button-face colour in place of the platform's segmented bar.
class CSkinProgressCtrl : public QProgressBar
{
    Q_OBJECT

public:
    explicit CSkinProgressCtrl(QWidget *parent = nullptr);

    static QColor BarColor() { return QColor(4, 134, 232); }
    // Filled width for a bar of the given width: (pos - lower) x width / (upper - lower),
    // truncated; 0 for an empty range, never outside 0..width.
    static int BarWidth(int lower, int upper, int pos, int width);

protected:
    void paintEvent(QPaintEvent *event) override;
};
