#include "resources/stockart/StockArt.h"

#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <string>

#include "model/MiscKit.h"
#include "model/ThemeBundle.h"
#include "platform/PropertyList.h"

namespace {

constexpr int kFrameMaster = 48;  // the 2D frame is cut from a 48 by 48 box

QImage blank(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void glassFloor(QPainter& p, QSize s) {
    qreal w = s.width(), h = s.height(), inset = h * 0.85;
    QPainterPath floor;
    floor.moveTo(inset, 0);
    floor.lineTo(w - inset, 0);
    floor.lineTo(w, h);
    floor.lineTo(0, h);
    floor.closeSubpath();
    QLinearGradient fill(0, 0, 0, h);
    fill.setColorAt(0, QColor(255, 255, 255, 70));
    fill.setColorAt(0.45, QColor(210, 220, 235, 120));
    fill.setColorAt(1, QColor(170, 185, 205, 190));
    p.fillPath(floor, fill);
    // A reflection band across the far half of the floor.
    QLinearGradient shine(0, 0, 0, h * 0.5);
    shine.setColorAt(0, QColor(255, 255, 255, 90));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillPath(floor, shine);
    p.setPen(QPen(QColor(255, 255, 255, 170), 1.0));
    p.drawLine(QPointF(inset, 0.5), QPointF(w - inset, 0.5));
}

void frontLine(QPainter& p, QSize s) {
    QLinearGradient line(0, 0, s.width(), 0);
    line.setColorAt(0, QColor(255, 255, 255, 60));
    line.setColorAt(0.5, QColor(255, 255, 255, 240));
    line.setColorAt(1, QColor(255, 255, 255, 60));
    p.fillRect(QRectF(0, 0, s.width(), s.height() / 2.0), line);
    p.fillRect(QRectF(0, s.height() / 2.0, s.width(), s.height() / 2.0), QColor(120, 130, 150, 120));
}

void glow(QPainter& p, QSize s, QColor core) {
    QRadialGradient light(s.width() / 2.0, s.height() / 2.0, s.width() / 2.0);
    light.setColorAt(0, QColor(255, 255, 255, 255));
    light.setColorAt(0.25, core);
    light.setColorAt(1, QColor(core.red(), core.green(), core.blue(), 0));
    p.save();
    p.translate(0, s.height() / 2.0);
    p.scale(1.0, double(s.height()) / s.width());
    p.translate(0, -s.width() / 2.0);
    QRadialGradient round(s.width() / 2.0, s.width() / 2.0, s.width() / 2.0);
    round.setStops(light.stops());
    p.fillRect(QRectF(0, 0, s.width(), s.width()), round);
    p.restore();
}

void flatLight(QPainter& p, QSize s) {
    QRadialGradient dot(s.width() / 2.0, s.height() / 2.0, s.width() / 2.0);
    dot.setColorAt(0, QColor(235, 245, 255));
    dot.setColorAt(0.6, QColor(120, 190, 255));
    dot.setColorAt(1, QColor(60, 130, 230, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(dot);
    p.drawEllipse(QRectF(0, 0, s.width(), s.height()));
}

void zebraSeparator(QPainter& p, QSize s) {
    qreal w = s.width(), h = s.height();
    p.setPen(Qt::NoPen);
    for (qreal y = 0; y < h; y += 6) {
        QPainterPath stripe;
        stripe.moveTo(w * 0.35, y);
        stripe.lineTo(w * 0.65, y);
        stripe.lineTo(w * 0.75, y + 3);
        stripe.lineTo(w * 0.25, y + 3);
        stripe.closeSubpath();
        int alpha = static_cast<int>(110 + 130 * (y / h));
        p.fillPath(stripe, QColor(255, 255, 255, alpha));
    }
}

void shadow(QPainter& p, QSize s) {
    QLinearGradient fade(0, 0, 0, s.height());
    fade.setColorAt(0, QColor(0, 0, 0, 110));
    fade.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(QRectF(0, 0, s.width(), s.height()), fade);
}

// A dark translucent triangle with a light rim, pointing the given way.
void arrow(QPainter& p, QSize s, int angle) {
    p.translate(s.width() / 2.0, s.height() / 2.0);
    p.rotate(angle);
    qreal half = std::max(s.width(), s.height()) / 2.0 - 1, depth = std::min(s.width(), s.height()) - 2;
    QPainterPath tip;
    tip.moveTo(-half, -depth / 2);
    tip.lineTo(half, -depth / 2);
    tip.lineTo(0, depth / 2);
    tip.closeSubpath();
    p.fillPath(tip, QColor(25, 25, 30, 215));
    p.setPen(QPen(QColor(255, 255, 255, 110), 1.0));
    p.drawPath(tip);
}

void stackBackground(QPainter& p, QSize s) {
    QRectF box(0.5, 0.5, s.width() - 1, s.height() - 1);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1.0));
    p.setBrush(QColor(25, 25, 30, 210));
    p.drawRoundedRect(box, 12, 12);
}

void resizeCursor(QPainter& p, QSize s, bool horizontal) {
    p.translate(s.width() / 2.0, s.height() / 2.0);
    if (!horizontal) {
        p.rotate(90);
    }
    qreal r = s.width() / 2.0 - 1.5;
    QPainterPath shape;
    shape.moveTo(-r, 0);
    shape.lineTo(-r / 3, -r / 2);
    shape.lineTo(-r / 3, -r / 6);
    shape.lineTo(r / 3, -r / 6);
    shape.lineTo(r / 3, -r / 2);
    shape.lineTo(r, 0);
    shape.lineTo(r / 3, r / 2);
    shape.lineTo(r / 3, r / 6);
    shape.lineTo(-r / 3, r / 6);
    shape.lineTo(-r / 3, r / 2);
    shape.closeSubpath();
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(Qt::black);
    p.drawPath(shape);
}

// The 2D frame: a dark translucent box with a light rim and round corners;
// corners and edges are cut from it.
QImage frameMaster() {
    QImage master = blank(QSize(kFrameMaster, kFrameMaster));
    QPainter p(&master);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF box(0.5, 0.5, kFrameMaster - 1, kFrameMaster - 1);
    QLinearGradient fill(0, 0, 0, kFrameMaster);
    fill.setColorAt(0, QColor(70, 72, 80, 200));
    fill.setColorAt(1, QColor(30, 31, 36, 215));
    p.setBrush(fill);
    p.setPen(QPen(QColor(255, 255, 255, 150), 1.0));
    p.drawRoundedRect(box, 10, 10);
    return master;
}

QImage framePiece(const QString& key) {
    const int t = kFrameMaster / 3;
    QPoint cell;
    if (key == "Angle_Left_Up") cell = {0, 0};
    else if (key == "Angle_Right_Up") cell = {2, 0};
    else if (key == "Angle_Left_Bottom") cell = {0, 2};
    else if (key == "Angle_Right_Down") cell = {2, 2};
    else if (key == "Border_Left_Up" || key == "Border_Right_Border") cell = {1, 0};
    else if (key == "Border_Left_Bottom" || key == "Border_Right_Bottom") cell = {1, 2};
    else if (key == "Border_Left_External") cell = {0, 1};
    else cell = {2, 1};
    return frameMaster().copy(cell.x() * t, cell.y() * t, t, t);
}

void straightLine(QPainter& p, QSize s) {
    bool vertical = s.height() >= s.width();
    QLinearGradient line(0, 0, vertical ? 0 : s.width(), vertical ? s.height() : 0);
    line.setColorAt(0, QColor(255, 255, 255, 0));
    line.setColorAt(0.5, QColor(255, 255, 255, 200));
    line.setColorAt(1, QColor(255, 255, 255, 0));
    QRectF middle = vertical ? QRectF(s.width() / 2.0 - 0.5, 0, 1, s.height())
                             : QRectF(0, s.height() / 2.0 - 0.5, s.width(), 1);
    p.fillRect(middle, line);
}

// A simple application icon of its own drawing.
void appIcon(QPainter& p, QRectF r, QColor tint, int glyph) {
    QLinearGradient body(r.topLeft(), r.bottomLeft());
    body.setColorAt(0, tint.lighter(150));
    body.setColorAt(1, tint.darker(130));
    p.setPen(QPen(QColor(0, 0, 0, 90), 1));
    p.setBrush(body);
    p.drawRoundedRect(r, r.width() * 0.22, r.width() * 0.22);
    p.setPen(QPen(QColor(255, 255, 255, 220), r.width() * 0.08));
    p.setBrush(Qt::NoBrush);
    QRectF inner = r.adjusted(r.width() * 0.28, r.height() * 0.28, -r.width() * 0.28,
                              -r.height() * 0.28);
    if (glyph % 3 == 0) p.drawEllipse(inner);
    else if (glyph % 3 == 1) p.drawRect(inner);
    else p.drawLine(inner.bottomLeft(), inner.topRight());
}

void drawStretched(QPainter& p, const QImage& piece, QRectF target, int capWidth) {
    int cap = std::min(capWidth, piece.width() / 2);
    qreal scale = target.height() / piece.height();
    qreal capTarget = cap * scale;
    p.drawImage(QRectF(target.left(), target.top(), capTarget, target.height()), piece,
                QRectF(0, 0, cap, piece.height()));
    p.drawImage(QRectF(target.left() + capTarget, target.top(), target.width() - 2 * capTarget,
                       target.height()),
                piece, QRectF(cap, 0, piece.width() - 2 * cap, piece.height()));
    p.drawImage(QRectF(target.right() - capTarget, target.top(), capTarget, target.height()),
                piece, QRectF(piece.width() - cap, 0, cap, piece.height()));
}

QString text(const std::string& value) { return QString::fromStdString(value); }

}  // namespace

StockArt::StockArt(const MiscKit& catalogue) : catalogue_(catalogue) {}

int StockArt::categoryForKey(const QString& key) {
    bool flat = key.startsWith("2D_") || key.startsWith("Angle_") || key.startsWith("Border_") ||
                key == "Separator_Horizontal" || key == "Separator_Vertical";
    return flat ? 0 : 1;
}

QImage StockArt::drawImage(const QString& key, QSize size) {
    if (key.startsWith("Angle_") || key.startsWith("Border_")) {
        return framePiece(key).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QImage image = blank(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (key.startsWith("Keystone_Base")) glassFloor(p, size);
    else if (key == "Frontline") frontLine(p, size);
    else if (key.startsWith("Opened_App_Indicator")) glow(p, size, QColor(90, 170, 255, 230));
    else if (key.startsWith("2D_Opened_App_Indicator")) flatLight(p, size);
    else if (key == "Separator_3D") zebraSeparator(p, size);
    else if (key == "Shadow") shadow(p, size);
    else if (key == "Stack_Arrow") arrow(p, size, 0);
    else if (key == "Stack_Arrow_Left") arrow(p, size, 90);
    else if (key == "Stack_Arrow_Right") arrow(p, size, -90);
    else if (key == "Stack_Open") stackBackground(p, size);
    else if (key == "Resize_Cursor_H") resizeCursor(p, size, true);
    else if (key == "Resize_Cursor_V") resizeCursor(p, size, false);
    else straightLine(p, size);
    return image;
}

bool StockArt::writeBundle(const QString& bundlePath, const QString& descriptionFile) const {
    QDir dir;
    if (dir.exists(bundlePath) || !dir.mkpath(bundlePath + "/images")) {
        return false;
    }
    std::string bundle = bundlePath.toStdString();
    PlistValue categories[2] = {PlistValue::dictionary(), PlistValue::dictionary()};
    for (const std::string& key : catalogue_.fileKeys_List()) {
        auto original = catalogue_.getOriginalFileNameForKey(key);
        if (!original || !image(text(key)).save(text(ThemeBundle::imagePath(bundle, *original)))) {
            return false;
        }
        categories[categoryForKey(text(key))].set(key, PlistValue(*original));
    }
    PlistValue info = PlistValue::dictionary();
    info.set("VL_DockName", "Velvanto Default");
    info.set("VL_DockAuthor", "The Velvanto developers");
    info.set("VL_DockVersion", "1.0");
    info.set("VL_BasePath", ThemeBundle::kBasePath);
    info.set("Dock_List", PlistValue(PlistValue::Array{categories[0], categories[1]}));
    QImage preview3d = preview(0);
    return PropertyList::write(ThemeBundle::infoPlistPath(bundle), info) &&
           QFile::copy(descriptionFile, text(ThemeBundle::descriptionPath(bundle))) &&
           preview3d.save(text(ThemeBundle::dockPreviewPath(bundle, 0))) &&
           preview(1).save(text(ThemeBundle::dockPreviewPath(bundle, 1))) &&
           preview3d.scaled(128, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation)
               .save(text(ThemeBundle::microPreviewPath(bundle)));
}

QImage StockArt::image(const QString& key) const {
    DockSize size = catalogue_.getSizeForFileKey(key.toStdString());
    QSize pixels(std::max(1, int(size.width)), std::max(1, int(size.height)));
    return drawImage(key, pixels);
}

QImage StockArt::preview(int dockStyle) const {
    const QSize canvas(512, 112);
    const int icon = 56, gap = 8, count = 7;
    const qreal rowWidth = count * icon + (count - 1) * gap + 2 * gap + 24;
    const qreal left = (canvas.width() - rowWidth) / 2;
    QImage out = blank(canvas);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.fillRect(out.rect(), QColor(58, 92, 140));  // a desktop behind the Dock
    if (dockStyle == 0) {
        QImage floor = image("Keystone_Base_L");
        QRectF floorRect(left - 40, canvas.height() - 40, rowWidth + 80, 34);
        p.drawImage(QRectF(floorRect.left(), floorRect.bottom(), floorRect.width(), 10),
                    image("Shadow"));
        drawStretched(p, floor, floorRect, floor.height());
        p.drawImage(QRectF(floorRect.left(), floorRect.bottom() - 2, floorRect.width(), 2),
                    image("Frontline"));
    } else {
        QRectF frame(left - 16, canvas.height() - 48, rowWidth + 32, 48);
        const int t = 16;
        p.drawImage(QRectF(frame.left(), frame.top(), t, t), image("Angle_Left_Up"));
        p.drawImage(QRectF(frame.right() - t, frame.top(), t, t), image("Angle_Right_Up"));
        p.drawImage(QRectF(frame.left(), frame.bottom() - t, t, t), image("Angle_Left_Bottom"));
        p.drawImage(QRectF(frame.right() - t, frame.bottom() - t, t, t), image("Angle_Right_Down"));
        qreal mid = frame.center().x();
        p.drawImage(QRectF(frame.left() + t, frame.top(), mid - frame.left() - t, t),
                    image("Border_Left_Up"));
        p.drawImage(QRectF(mid, frame.top(), frame.right() - t - mid, t),
                    image("Border_Right_Border"));
        p.drawImage(QRectF(frame.left() + t, frame.bottom() - t, mid - frame.left() - t, t),
                    image("Border_Left_Bottom"));
        p.drawImage(QRectF(mid, frame.bottom() - t, frame.right() - t - mid, t),
                    image("Border_Right_Bottom"));
        p.drawImage(QRectF(frame.left(), frame.top() + t, t, frame.height() - 2 * t),
                    image("Border_Left_External"));
        p.drawImage(QRectF(frame.right() - t, frame.top() + t, t, frame.height() - 2 * t),
                    image("Border_Right_External"));
        p.drawImage(frame.adjusted(t, t, -t, -t), framePiece("Border_Left_External"),
                    QRectF(8, 4, 4, 8));
    }
    const QColor tints[] = {QColor(70, 140, 230), QColor(230, 150, 40), QColor(90, 190, 90),
                            QColor(200, 70, 80), QColor(150, 100, 200), QColor(120, 120, 130),
                            QColor(60, 170, 190)};
    qreal x = left + gap;
    qreal iconTop = canvas.height() - (dockStyle == 0 ? 30 : 38) - icon;
    for (int i = 0; i < count; ++i) {
        if (i == count - 2) {  // the divider between applications and documents
            QRectF divider = dockStyle == 0 ? QRectF(x, canvas.height() - 40, 24, 34)
                                            : QRectF(x + 10, iconTop + 8, 4, icon - 8);
            p.drawImage(divider, image(dockStyle == 0 ? "Separator_3D" : "Separator_Vertical"));
            x += 24 + gap;
        }
        appIcon(p, QRectF(x, iconTop, icon, icon), tints[i], i);
        if (i == 0 || i == 2 || i == 3) {
            QImage light = image(dockStyle == 0 ? "Opened_App_Indicator_M" : "2D_Opened_App_Indicator_M");
            p.drawImage(QPointF(x + (icon - light.width()) / 2.0,
                                canvas.height() - (dockStyle == 0 ? 22 : 14)),
                        light);
        }
        x += icon + gap;
    }
    return out;
}
