#include "ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace vantor::app {

QPixmap programPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);

    // Rounded badge
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1f, 0x5f, 0x8b));
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

    // Tube, tilted a little, half filled
    painter.translate(32, 32);
    painter.rotate(20);
    QPainterPath tube;
    tube.moveTo(-8, -24);
    tube.lineTo(-8, 14);
    tube.arcTo(QRectF(-8, 6, 16, 16), 180, 180);
    tube.lineTo(8, -24);
    painter.setBrush(QColor(0xf4, 0xf8, 0xfb));
    painter.drawPath(tube);
    QPainterPath fill;
    fill.moveTo(-8, 0);
    fill.lineTo(-8, 14);
    fill.arcTo(QRectF(-8, 6, 16, 16), 180, 180);
    fill.lineTo(8, 0);
    fill.closeSubpath();
    painter.setBrush(QColor(0xd9, 0x3f, 0x3f));
    painter.drawPath(fill);
    painter.setPen(QPen(QColor(0xf4, 0xf8, 0xfb), 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(-12, -24), QPointF(12, -24));
    return pixmap;
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(programPixmap(size));
    return icon;
}

} // namespace vantor::app
