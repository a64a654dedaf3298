#include "pages/program_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace zendrik {

QPixmap programPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 32 x 32 grid, scaled to the size asked for.
    painter.scale(size / 32.0, size / 32.0);

    QLinearGradient tile(0, 0, 0, 32);
    tile.setColorAt(0, QColor(0x9c, 0x16, 0x10));
    tile.setColorAt(1, QColor(0x3a, 0x06, 0x04));
    painter.setPen(QPen(QColor(0x1e, 0x02, 0x02), 1));
    painter.setBrush(tile);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 6, 6);

    const QPolygonF zed({{7, 6.5},
                         {25, 6.5},
                         {25, 11},
                         {13.5, 21.5},
                         {25, 21.5},
                         {25, 25.5},
                         {7, 25.5},
                         {7, 21},
                         {18.5, 10.5},
                         {7, 10.5}});
    QLinearGradient gold(0, 6, 0, 26);
    gold.setColorAt(0, QColor(0xff, 0xe0, 0x7a));
    gold.setColorAt(1, QColor(0xd8, 0x96, 0x10));
    painter.setPen(QPen(QColor(0x4a, 0x2a, 0x00), 0.8));
    painter.setBrush(gold);
    painter.drawPolygon(zed);
    return pixmap;
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 32, 48}) icon.addPixmap(programPixmap(size));
    return icon;
}

}  // namespace zendrik
