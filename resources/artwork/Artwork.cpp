#include "resources/artwork/Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QImage Artwork::icon(int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 256.0, side / 256.0);
    // The velvet tile.
    QLinearGradient velvet(0, 0, 0, 256);
    velvet.setColorAt(0, QColor(124, 36, 92));
    velvet.setColorAt(1, QColor(52, 12, 60));
    p.setPen(Qt::NoPen);
    p.setBrush(velvet);
    p.drawRoundedRect(QRectF(12, 12, 232, 232), 44, 44);
    // The glass shelf, in perspective.
    QPainterPath shelf;
    shelf.moveTo(40, 196);
    shelf.lineTo(216, 196);
    shelf.lineTo(196, 160);
    shelf.lineTo(60, 160);
    shelf.closeSubpath();
    QLinearGradient glass(0, 160, 0, 196);
    glass.setColorAt(0, QColor(255, 255, 255, 90));
    glass.setColorAt(1, QColor(255, 255, 255, 200));
    p.setBrush(glass);
    p.drawPath(shelf);
    p.setPen(QPen(QColor(255, 255, 255, 230), 3));
    p.drawLine(QPointF(40, 196), QPointF(216, 196));
    // Three icons standing on it, with running lights.
    const QColor colours[] = {QColor(80, 170, 255), QColor(255, 196, 60), QColor(120, 220, 120)};
    for (int i = 0; i < 3; ++i) {
        QRectF tile(62 + i * 48, 104 + (i == 1 ? -14 : 0), 40, 40);
        if (i == 1) {
            tile.setSize(QSizeF(48, 48));
            tile.translate(-4, 0);
        }
        QLinearGradient face(tile.topLeft(), tile.bottomLeft());
        face.setColorAt(0, colours[i].lighter(140));
        face.setColorAt(1, colours[i].darker(120));
        p.setPen(Qt::NoPen);
        p.setBrush(face);
        p.drawRoundedRect(tile, 9, 9);
        p.setBrush(QColor(200, 230, 255, 220));
        p.drawEllipse(QPointF(tile.center().x(), 184), 4, 3);
    }
    return image;
}

QImage Artwork::dropPlaceholder(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF frame(6, 6, width - 12, height - 12);
    p.setPen(QPen(QColor(120, 120, 130), 4, Qt::DashLine, Qt::RoundCap));
    p.setBrush(QColor(240, 240, 245, 160));
    p.drawRoundedRect(frame, 18, 18);
    // An arrow pointing down into the frame.
    QPointF centre(width / 2.0, height * 0.42);
    QPainterPath arrow;
    arrow.moveTo(centre.x() - 14, centre.y() - 40);
    arrow.lineTo(centre.x() + 14, centre.y() - 40);
    arrow.lineTo(centre.x() + 14, centre.y());
    arrow.lineTo(centre.x() + 32, centre.y());
    arrow.lineTo(centre.x(), centre.y() + 34);
    arrow.lineTo(centre.x() - 32, centre.y());
    arrow.lineTo(centre.x() - 14, centre.y());
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 120, 130));
    p.drawPath(arrow);
    return image;
}
