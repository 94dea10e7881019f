#include "dock/DockIcons.h"

#include <QConicalGradient>
#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

// Every icon is drawn in a 100 by 100 box.
namespace {

QLinearGradient vertical(qreal top, qreal bottom, QColor from, QColor to) {
    QLinearGradient gradient(0, top, 0, bottom);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    return gradient;
}

// The light from above on a glossy icon.
void gloss(QPainter& p, const QPainterPath& shape, qreal top, qreal bottom) {
    QLinearGradient shine =
        vertical(top, bottom, QColor(255, 255, 255, 110), QColor(255, 255, 255, 0));
    p.save();
    p.setClipPath(shape);
    p.fillRect(QRectF(0, top, 100, bottom - top), shine);
    p.restore();
}

QFont font(qreal pixels, bool bold) {
    QFont font("DejaVu Sans");
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    font.setBold(bold);
    return font;
}

void files(QPainter& p) {
    QPainterPath box;
    box.addRoundedRect(QRectF(8, 8, 84, 84), 16, 16);
    p.fillPath(box, vertical(8, 92, QColor(40, 120, 225), QColor(18, 70, 175)));
    QPainterPath face;
    face.moveTo(0, 0);
    face.lineTo(54, 0);
    face.cubicTo(50, 22, 44, 36, 41, 54);
    face.lineTo(52, 55);
    face.cubicTo(50, 70, 55, 84, 58, 100);
    face.lineTo(0, 100);
    face.closeSubpath();
    p.save();
    p.setClipPath(box);
    p.fillPath(face, vertical(8, 92, QColor(215, 238, 255), QColor(120, 185, 245)));
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 25, 40));
    p.drawRoundedRect(QRectF(29, 30, 6, 17), 3, 3);
    p.drawRoundedRect(QRectF(64, 30, 6, 17), 3, 3);
    QPainterPath smile;
    smile.moveTo(25, 66);
    smile.quadTo(50, 86, 76, 65);
    p.setPen(QPen(QColor(20, 25, 40), 3.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(smile);
    gloss(p, box, 8, 50);
    p.setPen(QPen(QColor(0, 20, 60, 110), 1.2));
    p.drawPath(box);
}

void browser(QPainter& p) {
    const QPointF c(50, 50);
    QRadialGradient ring(c, 46);
    ring.setColorAt(0.8, QColor(250, 250, 252));
    ring.setColorAt(1, QColor(150, 155, 165));
    p.setPen(QPen(QColor(90, 95, 110, 160), 1));
    p.setBrush(ring);
    p.drawEllipse(c, 45, 45);
    QRadialGradient face(QPointF(50, 38), 46);
    face.setColorAt(0, QColor(150, 215, 255));
    face.setColorAt(1, QColor(15, 85, 200));
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawEllipse(c, 38, 38);
    p.setPen(QPen(QColor(255, 255, 255, 220), 1.6));
    for (int i = 0; i < 36; ++i) {
        qreal a = i * std::numbers::pi / 18;
        qreal inner = i % 9 == 0 ? 27 : (i % 3 == 0 ? 31 : 34);
        p.drawLine(QPointF(50 + inner * std::cos(a), 50 + inner * std::sin(a)),
                   QPointF(50 + 37 * std::cos(a), 50 + 37 * std::sin(a)));
    }
    p.save();
    p.translate(c);
    p.rotate(40);
    QPainterPath north, south;
    north.moveTo(0, -33);
    north.lineTo(6, 0);
    north.lineTo(-6, 0);
    north.closeSubpath();
    south.moveTo(0, 33);
    south.lineTo(6, 0);
    south.lineTo(-6, 0);
    south.closeSubpath();
    p.setPen(Qt::NoPen);
    p.fillPath(north, QColor(225, 40, 35));
    p.fillPath(south, QColor(245, 245, 245));
    p.restore();
    p.setBrush(QColor(200, 200, 205));
    p.drawEllipse(c, 3, 3);
    QPainterPath disc;
    disc.addEllipse(c, 38, 38);
    gloss(p, disc, 12, 48);
}

void mail(QPainter& p) {
    p.save();
    p.translate(50, 50);
    p.rotate(-8);
    p.translate(-50, -50);
    QPainterPath stamp;
    stamp.addRect(QRectF(14, 18, 72, 64));
    QPainterPath holes;
    for (qreal x = 14; x <= 86.1; x += 8) {
        holes.addEllipse(QPointF(x, 18), 2.6, 2.6);
        holes.addEllipse(QPointF(x, 82), 2.6, 2.6);
    }
    for (qreal y = 26; y <= 74.1; y += 8) {
        holes.addEllipse(QPointF(14, y), 2.6, 2.6);
        holes.addEllipse(QPointF(86, y), 2.6, 2.6);
    }
    stamp = stamp.subtracted(holes);
    p.fillPath(stamp.translated(1.5, 2.5), QColor(0, 0, 0, 60));
    p.fillPath(stamp, QColor(250, 250, 246));
    QRectF picture(22, 26, 56, 48);
    p.fillRect(picture, vertical(26, 74, QColor(95, 160, 230), QColor(205, 232, 255)));
    QPainterPath hills;
    hills.moveTo(22, 74);
    hills.lineTo(22, 62);
    hills.cubicTo(36, 52, 48, 64, 60, 56);
    hills.cubicTo(68, 51, 74, 54, 78, 57);
    hills.lineTo(78, 74);
    hills.closeSubpath();
    p.fillPath(hills, vertical(52, 74, QColor(60, 110, 180), QColor(30, 70, 140)));
    QPainterPath bird;
    bird.moveTo(34, 40);
    bird.quadTo(42, 33, 50, 42);
    bird.quadTo(58, 33, 66, 40);
    p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bird);
    p.setPen(QPen(QColor(0, 0, 0, 70), 0.8));
    p.drawRect(picture);
    p.restore();
}

void calendar(QPainter& p) {
    QPainterPath page;
    page.addRoundedRect(QRectF(14, 12, 72, 78), 7, 7);
    p.fillPath(page.translated(0, 2), QColor(0, 0, 0, 50));
    p.fillPath(page, vertical(12, 90, QColor(255, 255, 255), QColor(225, 225, 230)));
    p.save();
    p.setClipPath(page);
    p.fillRect(QRectF(14, 12, 72, 22), vertical(12, 34, QColor(240, 80, 70), QColor(185, 25, 25)));
    p.restore();
    p.setPen(Qt::white);
    p.setFont(font(14, true));
    p.drawText(QRectF(14, 12, 72, 22), Qt::AlignCenter, "JUL");
    p.setPen(QColor(30, 30, 35));
    p.setFont(font(42, true));
    p.drawText(QRectF(14, 34, 72, 54), Qt::AlignCenter, "17");
    p.setPen(QPen(QColor(0, 0, 0, 80), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(page);
}

void music(QPainter& p) {
    const QPointF c(50, 50);
    QPainterPath disc;
    disc.addEllipse(c, 44, 44);
    QPainterPath hole;
    hole.addEllipse(c, 6, 6);
    disc = disc.subtracted(hole);
    QConicalGradient shimmer(c, 30);
    shimmer.setColorAt(0.0, QColor(232, 232, 238));
    shimmer.setColorAt(0.12, QColor(190, 215, 245));
    shimmer.setColorAt(0.25, QColor(245, 215, 235));
    shimmer.setColorAt(0.4, QColor(215, 218, 225));
    shimmer.setColorAt(0.55, QColor(200, 240, 220));
    shimmer.setColorAt(0.7, QColor(240, 240, 205));
    shimmer.setColorAt(0.85, QColor(190, 210, 245));
    shimmer.setColorAt(1.0, QColor(232, 232, 238));
    p.fillPath(disc, shimmer);
    p.setPen(QPen(QColor(120, 125, 140, 150), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(disc);
    p.drawEllipse(c, 15, 15);
    // A pair of quavers.
    QPainterPath note;
    note.addEllipse(QPointF(36, 70), 9, 7);
    note.addEllipse(QPointF(66, 64), 9, 7);
    note.addRect(QRectF(42.5, 30, 3.6, 40));
    note.addRect(QRectF(72.5, 24, 3.6, 40));
    QPainterPath beam;
    beam.moveTo(42.5, 30);
    beam.lineTo(76.1, 22);
    beam.lineTo(76.1, 31);
    beam.lineTo(42.5, 39);
    beam.closeSubpath();
    note = note.united(beam);
    p.setPen(QPen(QColor(255, 255, 255, 230), 2));
    p.setBrush(vertical(22, 78, QColor(70, 150, 245), QColor(20, 60, 180)));
    p.drawPath(note);
}

void photo(QPainter& p, const QRectF& frame, qreal angle) {
    p.save();
    p.translate(frame.center());
    p.rotate(angle);
    p.translate(-frame.center());
    p.fillRect(frame.translated(1.5, 2.5), QColor(0, 0, 0, 60));
    p.fillRect(frame, QColor(252, 252, 250));
    QRectF view = frame.adjusted(4, 4, -4, -4);
    p.fillRect(view,
               vertical(view.top(), view.bottom(), QColor(80, 150, 235), QColor(200, 230, 255)));
    p.setClipRect(view);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 220, 80));
    p.drawEllipse(QPointF(view.right() - view.width() * 0.25, view.top() + view.height() * 0.3),
                  view.height() * 0.12, view.height() * 0.12);
    p.setBrush(
        vertical(view.center().y(), view.bottom(), QColor(110, 190, 80), QColor(50, 120, 40)));
    p.drawEllipse(QRectF(view.left() - view.width() * 0.2, view.center().y() + view.height() * 0.1,
                         view.width() * 1.4, view.height()));
    p.restore();
}

void photos(QPainter& p) {
    photo(p, QRectF(18, 16, 62, 52), 10);
    photo(p, QRectF(14, 30, 66, 54), -7);
}

QPainterPath gear(QPointF c, qreal outer, qreal inner, qreal hole, int teeth) {
    QPainterPath path;
    for (int i = 0; i < teeth * 4; ++i) {
        qreal a = i * std::numbers::pi * 2 / (teeth * 4);
        qreal r = (i % 4 == 1 || i % 4 == 2) ? outer : inner;
        QPointF point(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        i == 0 ? path.moveTo(point) : path.lineTo(point);
    }
    path.closeSubpath();
    QPainterPath middle;
    middle.addEllipse(c, hole, hole);
    return path.subtracted(middle);
}

void settings(QPainter& p) {
    QPainterPath box;
    box.addRoundedRect(QRectF(8, 8, 84, 84), 15, 15);
    p.fillPath(box.translated(0, 2), QColor(0, 0, 0, 50));
    p.fillPath(box, vertical(8, 92, QColor(236, 236, 240), QColor(150, 152, 160)));
    QPainterPath big = gear(QPointF(44, 54), 28, 22, 8, 10);
    p.fillPath(big.translated(1, 2), QColor(0, 0, 0, 60));
    p.fillPath(big, vertical(26, 82, QColor(130, 134, 145), QColor(55, 58, 68)));
    QPainterPath small = gear(QPointF(72, 28), 14, 10.5, 4, 8);
    p.fillPath(small, vertical(14, 42, QColor(120, 124, 135), QColor(60, 63, 72)));
    gloss(p, box, 8, 46);
    p.setPen(QPen(QColor(0, 0, 0, 90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(box);
}

void terminal(QPainter& p) {
    p.fillRect(QRectF(43, 78, 14, 8),
               vertical(78, 86, QColor(190, 190, 195), QColor(130, 130, 138)));
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(84, 92, QColor(215, 215, 220), QColor(140, 140, 148)));
    p.drawRoundedRect(QRectF(28, 85, 44, 7), 3, 3);
    QPainterPath bezel;
    bezel.addRoundedRect(QRectF(8, 12, 84, 68), 7, 7);
    p.fillPath(bezel, vertical(12, 80, QColor(232, 232, 236), QColor(160, 162, 170)));
    QRectF screen(14, 18, 72, 54);
    p.fillRect(screen, vertical(18, 72, QColor(45, 48, 55), QColor(5, 5, 8)));
    p.setPen(QColor(110, 255, 110));
    p.setFont(font(19, true));
    p.drawText(screen.adjusted(6, 4, 0, 0), Qt::AlignLeft | Qt::AlignTop, ">_");
    gloss(p, bezel, 12, 44);
}

void page(QPainter& p, const QRectF& sheet, QColor band) {
    const qreal fold = sheet.width() * 0.28;
    QPainterPath shape;
    shape.moveTo(sheet.topLeft());
    shape.lineTo(sheet.right() - fold, sheet.top());
    shape.lineTo(sheet.right(), sheet.top() + fold);
    shape.lineTo(sheet.bottomRight());
    shape.lineTo(sheet.bottomLeft());
    shape.closeSubpath();
    p.fillPath(shape.translated(1, 2), QColor(0, 0, 0, 50));
    p.fillPath(shape, vertical(sheet.top(), sheet.bottom(), Qt::white, QColor(232, 234, 238)));
    QPainterPath corner;
    corner.moveTo(sheet.right() - fold, sheet.top());
    corner.lineTo(sheet.right() - fold, sheet.top() + fold);
    corner.lineTo(sheet.right(), sheet.top() + fold);
    corner.closeSubpath();
    p.fillPath(corner, QColor(205, 208, 215));
    p.setPen(QPen(QColor(165, 170, 180), 1.4));
    for (qreal y = sheet.top() + fold + 6; y < sheet.bottom() - 6; y += 6) {
        p.drawLine(QPointF(sheet.left() + 6, y), QPointF(sheet.right() - 6, y));
    }
    if (band.isValid()) {
        p.fillRect(QRectF(sheet.left(), sheet.bottom() - sheet.height() * 0.24, sheet.width(),
                          sheet.height() * 0.14),
                   band);
    }
    p.setPen(QPen(QColor(0, 0, 0, 70), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
}

void documents(QPainter& p) {
    const QColor bands[] = {QColor(60, 140, 230), QColor(90, 180, 90), QColor(220, 60, 50)};
    const qreal angles[] = {-14, -4, 8};
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(50, 90);
        p.rotate(angles[i]);
        p.translate(-50, -90);
        page(p, QRectF(26, 14, 48, 68), bands[i]);
        p.restore();
    }
}

void folder(QPainter& p, bool arrow) {
    QPainterPath back;
    back.moveTo(10, 30);
    back.lineTo(10, 22);
    back.quadTo(10, 18, 14, 18);
    back.lineTo(36, 18);
    back.lineTo(42, 24);
    back.lineTo(88, 24);
    back.quadTo(90, 24, 90, 28);
    back.lineTo(90, 84);
    back.lineTo(10, 84);
    back.closeSubpath();
    p.fillPath(back.translated(0, 2), QColor(0, 0, 0, 50));
    p.fillPath(back, vertical(18, 84, QColor(110, 160, 225), QColor(60, 110, 190)));
    QPainterPath front;
    front.addRoundedRect(QRectF(8, 34, 84, 52), 4, 4);
    p.fillPath(front, vertical(34, 86, QColor(165, 205, 250), QColor(85, 145, 225)));
    p.setPen(QPen(QColor(20, 60, 130, 120), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(front);
    if (arrow) {
        QPainterPath down;
        down.moveTo(44, 42);
        down.lineTo(56, 42);
        down.lineTo(56, 58);
        down.lineTo(66, 58);
        down.lineTo(50, 76);
        down.lineTo(34, 58);
        down.lineTo(44, 58);
        down.closeSubpath();
        p.fillPath(down.translated(0, 1.5), QColor(20, 60, 130, 110));
        p.fillPath(down, vertical(42, 76, QColor(255, 255, 255, 240), QColor(215, 230, 250, 240)));
    }
}

void trash(QPainter& p) {
    QPainterPath basket;
    basket.moveTo(16, 22);
    basket.lineTo(84, 22);
    basket.lineTo(76, 92);
    basket.lineTo(24, 92);
    basket.closeSubpath();
    p.fillPath(basket, vertical(22, 92, QColor(235, 240, 248, 120), QColor(200, 208, 220, 170)));
    p.save();
    p.setClipPath(basket);
    p.setPen(QPen(QColor(70, 75, 90, 170), 1.1));
    for (int i = 0; i <= 12; ++i) {
        qreal t = i / 12.0;
        p.drawLine(QPointF(16 + 68 * t, 22), QPointF(24 + 52 * t, 92));
    }
    for (qreal y = 28; y < 92; y += 6) {
        p.drawLine(QPointF(0, y), QPointF(100, y));
    }
    p.restore();
    p.setPen(QPen(QColor(90, 95, 110), 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(basket);
    p.setPen(QPen(QColor(110, 115, 128), 4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(14, 15, 72, 14));
    p.setPen(QPen(QColor(235, 238, 245), 1.5));
    p.drawEllipse(QRectF(14, 15, 72, 14));
    p.setPen(QPen(QColor(110, 115, 128), 3));
    p.drawEllipse(QRectF(23, 86, 54, 9));
}

}  // namespace

void DockIcons::draw(QPainter& painter, const QRectF& target, Icon icon) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(target.topLeft());
    painter.scale(target.width() / 100.0, target.height() / 100.0);
    switch (icon) {
        case Icon::Files:
            files(painter);
            break;
        case Icon::Browser:
            browser(painter);
            break;
        case Icon::Mail:
            mail(painter);
            break;
        case Icon::Calendar:
            calendar(painter);
            break;
        case Icon::Music:
            music(painter);
            break;
        case Icon::Photos:
            photos(painter);
            break;
        case Icon::Settings:
            settings(painter);
            break;
        case Icon::Terminal:
            terminal(painter);
            break;
        case Icon::Documents:
            documents(painter);
            break;
        case Icon::Downloads:
            folder(painter, true);
            break;
        case Icon::Trash:
            trash(painter);
            break;
        case Icon::Document:
            page(painter, QRectF(20, 8, 60, 84), QColor());
            break;
        case Icon::Picture:
            photo(painter, QRectF(10, 18, 80, 64), 0);
            break;
        case Icon::Folder:
            folder(painter, false);
            break;
    }
    painter.restore();
}
