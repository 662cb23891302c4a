#include "talvex/ui/programicon.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace talvex {

namespace {

QPixmap drawIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    // Ground and hole.
    p.fillRect(QRectF(0, 6, 32, 26), QColor(222, 196, 140));
    p.fillRect(QRectF(0, 4, 32, 2), QColor(60, 140, 40));
    p.fillRect(QRectF(5, 6, 5, 26), QColor(240, 240, 240));
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(5, 6), QPointF(5, 32));
    p.drawLine(QPointF(10, 6), QPointF(10, 32));
    // Plank and receiver.
    p.fillRect(QRectF(12, 1, 9, 3), QColor(120, 80, 40));
    p.setBrush(QColor(255, 0, 255));
    p.drawEllipse(QPointF(7.5, 22), 2.2, 2.2);
    // The recorded S wave.
    QPainterPath wave(QPointF(12, 20));
    for (int i = 0; i <= 40; ++i) {
        const double x = 12 + i * 0.48;
        const double y = i < 6 ? 20.0 : 20.0 - 7.0 * std::sin((i - 6) * 0.55) * std::exp(-(i - 6) / 14.0);
        wave.lineTo(x, y);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 220), 1.6));
    p.drawPath(wave);
    return pixmap;
}

} // namespace

QIcon programIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64})
        icon.addPixmap(drawIcon(size));
    return icon;
}

} // namespace talvex
