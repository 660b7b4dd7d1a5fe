#include "skin/CSkinMemDC.h"

CSkinMemDC::CSkinMemDC(QPainter *pTargetDC, const QRect &rect) : m_pTargetDC(pTargetDC), m_rect(rect)
{
    if (!m_pTargetDC || m_rect.isEmpty())
        return;
    qreal ratio = 1.0;
    if (m_pTargetDC->device())
        ratio = m_pTargetDC->device()->devicePixelRatioF();
    m_pBitmap = std::make_unique<QPixmap>(m_rect.size() * ratio);
    m_pBitmap->setDevicePixelRatio(ratio);
    m_pBitmap->fill(Qt::black); // a fresh compatible bitmap is black
    if (begin(m_pBitmap.get()))
    {
        // Callers paint with the target's coordinates.
        translate(-m_rect.topLeft());
        setFont(m_pTargetDC->font());
    }
}

CSkinMemDC::~CSkinMemDC()
{
    if (!isActive())
        return;
    end();
    m_pTargetDC->drawPixmap(m_rect.topLeft(), *m_pBitmap);
}
