#pragma once

#include <QHeaderView>

// Column header drawn from the band bitmap 374 with separator 240 between items; item texts in
// Tahoma, centred at the top of the item, ending in an ellipsis when they do not fit.
class CSkinHeaderCtrl : public QHeaderView
{
    Q_OBJECT

public:
    explicit CSkinHeaderCtrl(QWidget *parent = nullptr);

    // The text as drawn into an item of the given width (inset by 2 on each side already applied).
    static QString ItemDisplayText(const QString &text, const QFontMetrics &metrics, int width);
    static QFont HeaderFont();

protected:
    void paintEvent(QPaintEvent *event) override;
};
