#include "app/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int kSide = 32;

void draw(QPainter& p, ToolbarIcons::Kind kind) {
    QPen pen(QColor(60, 60, 70), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    switch (kind) {
        case ToolbarIcons::Kind::New:
            p.setBrush(Qt::white);
            p.drawRect(QRectF(8, 4, 16, 22));
            p.setPen(QPen(QColor(40, 140, 60), 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(24, 20), QPointF(24, 30));
            p.drawLine(QPointF(19, 25), QPointF(29, 25));
            break;
        case ToolbarIcons::Kind::Open:
            p.setBrush(QColor(240, 200, 90));
            p.drawRect(QRectF(4, 9, 24, 17));
            p.drawLine(QPointF(4, 9), QPointF(10, 5));
            p.drawLine(QPointF(10, 5), QPointF(15, 9));
            break;
        case ToolbarIcons::Kind::Apply:
            p.setPen(QPen(QColor(40, 140, 60), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF({QPointF(6, 17), QPointF(13, 25), QPointF(26, 8)}));
            break;
        case ToolbarIcons::Kind::Restore: {
            p.drawArc(QRectF(6, 6, 20, 20), 60 * 16, 280 * 16);
            QPainterPath head;
            head.moveTo(21, 3);
            head.lineTo(23, 10);
            head.lineTo(16, 10);
            head.closeSubpath();
            p.setBrush(pen.color());
            p.drawPath(head);
            break;
        }
        case ToolbarIcons::Kind::Edit:
            p.setBrush(QColor(250, 210, 80));
            p.drawPolygon(QPolygonF({QPointF(6, 26), QPointF(8, 19), QPointF(22, 5),
                                     QPointF(27, 10), QPointF(13, 24)}));
            break;
        case ToolbarIcons::Kind::Preview:
            p.setBrush(QColor(200, 225, 255));
            p.drawEllipse(QRectF(5, 5, 16, 16));
            p.setPen(QPen(pen.color(), 4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(19, 19), QPointF(27, 27));
            break;
        case ToolbarIcons::Kind::MoreRight:
            p.drawPolyline(QPolygonF({QPointF(10, 9), QPointF(17, 16), QPointF(10, 23)}));
            p.drawPolyline(QPolygonF({QPointF(17, 9), QPointF(24, 16), QPointF(17, 23)}));
            break;
        case ToolbarIcons::Kind::MoreDown:
            p.drawPolyline(QPolygonF({QPointF(9, 10), QPointF(16, 17), QPointF(23, 10)}));
            p.drawPolyline(QPolygonF({QPointF(9, 17), QPointF(16, 24), QPointF(23, 17)}));
            break;
    }
}

}  // namespace

QIcon ToolbarIcons::icon(Kind kind) {
    QPixmap pixmap(kSide, kSide);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter, kind);
    return QIcon(pixmap);
}
