#include "window/window_icon.h"

#include <QPainter>
#include <QPixmap>

namespace odomira {

namespace {

    // Drawn on a 32-unit grid and scaled, without antialiasing, so only the palette's
    // colours appear.
    QPixmap odometer(int size)
    {
        const QColor navy(0, 0, 128), white(255, 255, 255), red(255, 0, 0), silver(192, 192, 192),
            black(0, 0, 0);
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.scale(size / 32.0, size / 32.0);

        painter.setPen(Qt::NoPen);
        painter.setBrush(navy);
        painter.drawRect(0, 0, 32, 32);

        // The dial: a half circle with three ticks.
        painter.setBrush(white);
        painter.drawPie(QRect(3, 5, 26, 26), 0, 180 * 16);
        painter.setBrush(silver);
        painter.drawRect(3, 18, 26, 2);
        painter.setPen(QPen(black, 2));
        painter.drawLine(6, 18, 8, 18);
        painter.drawLine(16, 8, 16, 10);
        painter.drawLine(24, 18, 26, 18);

        // The needle.
        painter.setPen(QPen(red, 3));
        painter.drawLine(16, 18, 23, 10);
        painter.setPen(Qt::NoPen);
        painter.setBrush(black);
        painter.drawRect(14, 16, 4, 4);

        // The mileage counter below the dial.
        painter.setBrush(white);
        painter.drawRect(7, 23, 18, 6);
        painter.setBrush(black);
        for (int x = 9; x < 24; x += 5)
            painter.drawRect(x, 25, 2, 2);
        return pixmap;
    }

} // namespace

QIcon windowIcon()
{
    QIcon icon;
    icon.addPixmap(odometer(32));
    icon.addPixmap(odometer(16));
    return icon;
}

} // namespace odomira
