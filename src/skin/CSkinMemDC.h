#pragma once

#include <QPainter>
#include <QPixmap>
#include <QRect>

#include <memory>

// Off-screen painter for one paint: paint into it with the target's coordinates, and the
// destructor copies the rectangle to the target in one go.
class CSkinMemDC : public QPainter
{
public:
    CSkinMemDC(QPainter *pTargetDC, const QRect &rect);
    ~CSkinMemDC();

    CSkinMemDC(const CSkinMemDC &) = delete;
    CSkinMemDC &operator=(const CSkinMemDC &) = delete;

    const QRect &GetRect() const { return m_rect; }

private:
    std::unique_ptr<QPixmap> m_pBitmap;
    QPainter *m_pTargetDC;
    QRect m_rect;
};
