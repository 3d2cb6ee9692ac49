#include "shell/BoxIcons.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QPixmap canvas(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

} // namespace

namespace BoxIcons {

QPixmap graph(int size)
{
    QPixmap pm = canvas(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), s / 14));
    p.drawLine(QPointF(s * 0.12, s * 0.1), QPointF(s * 0.12, s * 0.88));
    p.drawLine(QPointF(s * 0.12, s * 0.88), QPointF(s * 0.92, s * 0.88));
    QPainterPath curve;
    curve.moveTo(s * 0.14, s * 0.55);
    curve.cubicTo(s * 0.3, s * 0.75, s * 0.45, s * 0.8, s * 0.55, s * 0.5);
    curve.cubicTo(s * 0.62, s * 0.28, s * 0.72, s * 0.2, s * 0.92, s * 0.18);
    p.setPen(QPen(QColor(0x00, 0x60, 0xc0), s / 9, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(curve);
    return pm;
}

QPixmap pattern(int size)
{
    QPixmap pm = canvas(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QRectF sheet(s * 0.2, s * 0.08, s * 0.6, s * 0.84);
    p.setPen(QPen(QColor(0x50, 0x50, 0x50), s / 16));
    p.setBrush(QColor(0xfa, 0xfa, 0xf0));
    p.drawRect(sheet);
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), s / 16));
    for (int i = 0; i < 4; ++i) {
        const qreal y = s * (0.25 + i * 0.16);
        p.drawLine(QPointF(s * 0.3, y), QPointF(s * (i % 2 ? 0.6 : 0.7), y));
    }
    return pm;
}

QPixmap changed(int size)
{
    QPixmap pm = canvas(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.translate(s / 2, s / 2);
    p.rotate(45);
    p.setPen(QPen(QColor(0x60, 0x30, 0x00), s / 18));
    p.setBrush(QColor(0xf0, 0xa0, 0x20));
    p.drawRect(QRectF(-s * 0.1, -s * 0.42, s * 0.2, s * 0.6));
    QPainterPath tip;
    tip.moveTo(-s * 0.1, s * 0.18);
    tip.lineTo(s * 0.1, s * 0.18);
    tip.lineTo(0, s * 0.4);
    tip.closeSubpath();
    p.setBrush(QColor(0xf0, 0xd8, 0xa8));
    p.drawPath(tip);
    return pm;
}

QPixmap application(int size)
{
    QPixmap pm = canvas(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x80, 0x00, 0x80));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
    p.drawPixmap(size / 8, size / 8, graph(size * 3 / 4).copy());
    return pm;
}

} // namespace BoxIcons
