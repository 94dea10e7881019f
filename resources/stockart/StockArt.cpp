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

// The glass floor: a trapezoid whose slanted ends lie within the image's
// first and last h pixels (the Dock keeps those ends and stretches the middle).
void glassFloor(QPainter& p, QSize s) {
    qreal w = s.width(), h = s.height(), inset = h * 0.8;
    QPainterPath floor;
    floor.moveTo(inset, 0.5);
    floor.lineTo(w - inset, 0.5);
    floor.lineTo(w, h);
    floor.lineTo(0, h);
    floor.closeSubpath();
    QLinearGradient fill(0, 0, 0, h);
    fill.setColorAt(0, QColor(236, 240, 248, 120));
    fill.setColorAt(0.35, QColor(214, 220, 232, 140));
    fill.setColorAt(0.8, QColor(182, 190, 208, 175));
    fill.setColorAt(1, QColor(160, 168, 188, 200));
    p.fillPath(floor, fill);
    // A sheen across the far part of the glass.
    QLinearGradient sheen(0, 0, 0, h * 0.45);
    sheen.setColorAt(0, QColor(255, 255, 255, 110));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillPath(floor, sheen);
    p.setPen(QPen(QColor(255, 255, 255, 150), 1.0));
    p.drawLine(QPointF(inset, 0.5), QPointF(0.5, h));
    p.drawLine(QPointF(w - inset, 0.5), QPointF(w - 0.5, h));
    p.setPen(QPen(QColor(255, 255, 255, 230), 1.0));
    p.drawLine(QPointF(inset, 0.5), QPointF(w - inset, 0.5));
}

// The front edge of the glass: a bright line over the glass's darker thickness.
void frontLine(QPainter& p, QSize s) {
    const qreal w = s.width(), h = s.height();
    auto row = [&](qreal y, qreal height, QColor colour) {
        QLinearGradient line(0, 0, w, 0);
        QColor faint = colour;
        faint.setAlpha(colour.alpha() / 3);
        line.setColorAt(0, faint);
        line.setColorAt(0.06, colour);
        line.setColorAt(0.94, colour);
        line.setColorAt(1, faint);
        p.fillRect(QRectF(0, y, w, height), line);
    };
    row(0, h / 4, QColor(255, 255, 255, 240));
    row(h / 4, h / 4, QColor(235, 240, 250, 150));
    row(h / 2, h / 4, QColor(70, 78, 98, 150));
    row(h * 3 / 4, h / 4, QColor(40, 44, 58, 100));
}

// The running light on the glass: a white core in a wide blue glow.
void glow(QPainter& p, QSize s) {
    const qreal w = s.width(), h = s.height();
    p.save();
    p.translate(w / 2, h / 2);
    p.scale(1.0, h / w);
    QRadialGradient light(QPointF(0, 0), w / 2);
    light.setColorAt(0, QColor(255, 255, 255, 255));
    light.setColorAt(0.16, QColor(210, 240, 255, 250));
    light.setColorAt(0.38, QColor(90, 180, 255, 190));
    light.setColorAt(0.7, QColor(40, 120, 255, 70));
    light.setColorAt(1, QColor(40, 120, 255, 0));
    p.fillRect(QRectF(-w / 2, -w / 2, w, w), light);
    p.restore();
}

// The flat Dock's running light: a small bright dot with a blue rim.
void flatLight(QPainter& p, QSize s) {
    QRadialGradient dot(s.width() / 2.0, s.height() / 2.0, s.width() / 2.0);
    dot.setColorAt(0, QColor(255, 255, 255));
    dot.setColorAt(0.35, QColor(200, 235, 255));
    dot.setColorAt(0.7, QColor(80, 170, 255, 200));
    dot.setColorAt(1, QColor(40, 120, 240, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(dot);
    p.drawEllipse(QRectF(0, 0, s.width(), s.height()));
}

// Stripes lying on the glass in perspective: short and faint at the back,
// wide and bright at the front.
void zebraSeparator(QPainter& p, QSize s) {
    const qreal w = s.width(), h = s.height();
    p.setPen(Qt::NoPen);
    qreal y = 0;
    for (int i = 0; y < h; ++i) {
        qreal depth = y / h;
        qreal half = w * (0.12 + 0.3 * depth);
        qreal thick = std::max(1.0, h * (0.025 + 0.045 * depth));
        qreal gap = thick * 0.9;
        QPainterPath stripe;
        stripe.moveTo(w / 2 - half, y);
        stripe.lineTo(w / 2 + half, y);
        stripe.lineTo(w / 2 + half * 1.06, y + thick);
        stripe.lineTo(w / 2 - half * 1.06, y + thick);
        stripe.closeSubpath();
        p.fillPath(stripe, QColor(255, 255, 255, static_cast<int>(120 + 120 * depth)));
        p.fillPath(stripe.translated(0, thick * 0.5), QColor(60, 66, 80, 60));
        y += thick + gap;
    }
}

void shadow(QPainter& p, QSize s) {
    const qreal w = s.width(), h = s.height();
    QImage band(s, QImage::Format_ARGB32_Premultiplied);
    band.fill(Qt::transparent);
    QPainter b(&band);
    QLinearGradient fall(0, 0, 0, h);
    fall.setColorAt(0, QColor(0, 0, 0, 0));
    fall.setColorAt(0.6, QColor(0, 0, 0, 80));
    fall.setColorAt(1, QColor(0, 0, 0, 120));
    b.fillRect(QRectF(0, 0, w, h), fall);
    b.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    QLinearGradient ends(0, 0, w, 0);
    qreal edge = std::min(h, w / 4) / w;
    ends.setColorAt(0, QColor(0, 0, 0, 0));
    ends.setColorAt(edge, QColor(0, 0, 0, 255));
    ends.setColorAt(1 - edge, QColor(0, 0, 0, 255));
    ends.setColorAt(1, QColor(0, 0, 0, 0));
    b.fillRect(QRectF(0, 0, w, h), ends);
    b.end();
    p.drawImage(0, 0, band);
}

// The open stack's colours: a dark translucent panel with a light rim.
const QColor kStackFill(28, 29, 34, 222);
const QColor kStackRim(255, 255, 255, 95);

// The arrow below an open stack, pointing the given way (0: down, at a Dock
// at the bottom); its wide side joins the panel, so that side has no rim.
void arrow(QPainter& p, QSize s, int angle) {
    p.translate(s.width() / 2.0, s.height() / 2.0);
    p.rotate(angle);
    bool sideways = angle % 180 != 0;
    qreal half = (sideways ? s.height() : s.width()) / 2.0;
    qreal depth = sideways ? s.width() : s.height();
    QPainterPath tip;
    tip.moveTo(-half, -depth / 2);
    tip.lineTo(half, -depth / 2);
    tip.lineTo(0, depth / 2 - 0.5);
    tip.closeSubpath();
    p.fillPath(tip, kStackFill);
    QPainterPath rim;
    rim.moveTo(-half, -depth / 2 + 0.5);
    rim.lineTo(0, depth / 2 - 0.5);
    rim.lineTo(half, -depth / 2 + 0.5);
    p.setPen(QPen(kStackRim, 1.0));
    p.drawPath(rim);
}

void stackBackground(QPainter& p, QSize s) {
    QRectF box(0.5, 0.5, s.width() - 1, s.height() - 1);
    p.setPen(QPen(kStackRim, 1.0));
    p.setBrush(kStackFill);
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
// corners and edges are cut from it. Its middle third is of one colour, so
// that edges repeated along the Dock join without seams.
QImage frameMaster() {
    QImage master = blank(QSize(kFrameMaster, kFrameMaster));
    QPainter p(&master);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF box(0.5, 0.5, kFrameMaster - 1, kFrameMaster - 1);
    QLinearGradient fill(0, 0, 0, kFrameMaster);
    fill.setColorAt(0, QColor(120, 122, 132, 215));
    fill.setColorAt(0.2, QColor(58, 60, 68, 205));
    fill.setColorAt(0.8, QColor(58, 60, 68, 205));
    fill.setColorAt(1, QColor(36, 37, 42, 220));
    p.setBrush(fill);
    p.setPen(QPen(QColor(255, 255, 255, 140), 1.0));
    p.drawRoundedRect(box, 9, 9);
    return master;
}

QImage framePiece(const QString& key) {
    const int t = kFrameMaster / 3;
    QPoint cell;
    if (key == "Angle_Left_Up")
        cell = {0, 0};
    else if (key == "Angle_Right_Up")
        cell = {2, 0};
    else if (key == "Angle_Left_Bottom")
        cell = {0, 2};
    else if (key == "Angle_Right_Down")
        cell = {2, 2};
    else if (key == "Border_Left_Up" || key == "Border_Right_Border")
        cell = {1, 0};
    else if (key == "Border_Left_Bottom" || key == "Border_Right_Bottom")
        cell = {1, 2};
    else if (key == "Border_Left_External")
        cell = {0, 1};
    else
        cell = {2, 1};
    return frameMaster().copy(cell.x() * t, cell.y() * t, t, t);
}

// The flat Dock's divider: an etched line, a light stroke beside a dark one,
// fading out at both ends.
void straightLine(QPainter& p, QSize s) {
    bool vertical = s.height() >= s.width();
    qreal length = vertical ? s.height() : s.width();
    qreal across = vertical ? s.width() : s.height();
    if (!vertical) {
        p.translate(0, s.height());
        p.rotate(-90);
    }
    auto stroke = [&](qreal at, QColor colour) {
        QLinearGradient line(0, 0, 0, length);
        QColor clear = colour;
        clear.setAlpha(0);
        line.setColorAt(0, clear);
        line.setColorAt(0.2, colour);
        line.setColorAt(0.8, colour);
        line.setColorAt(1, clear);
        p.fillRect(QRectF(at, 0, 1, length), line);
    };
    stroke(std::floor(across / 2) - 1, QColor(20, 20, 24, 170));
    stroke(std::floor(across / 2), QColor(255, 255, 255, 190));
}

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

}  // namespace

StockArt::StockArt(const MiscKit& catalogue) : catalogue_(catalogue) {}

QImage StockArt::drawImage(const QString& key, QSize size) {
    if (key.startsWith("Angle_") || key.startsWith("Border_")) {
        return framePiece(key).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QImage image = blank(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (key.startsWith("Keystone_Base"))
        glassFloor(p, size);
    else if (key == "Frontline")
        frontLine(p, size);
    else if (key.startsWith("Opened_App_Indicator"))
        glow(p, size);
    else if (key.startsWith("2D_Opened_App_Indicator"))
        flatLight(p, size);
    else if (key == "Separator_3D")
        zebraSeparator(p, size);
    else if (key == "Shadow")
        shadow(p, size);
    else if (key == "Stack_Arrow")
        arrow(p, size, 0);
    else if (key == "Stack_Arrow_Left")
        arrow(p, size, 90);
    else if (key == "Stack_Arrow_Right")
        arrow(p, size, -90);
    else if (key == "Stack_Open")
        stackBackground(p, size);
    else if (key == "Resize_Cursor_H")
        resizeCursor(p, size, true);
    else if (key == "Resize_Cursor_V")
        resizeCursor(p, size, false);
    else
        straightLine(p, size);
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
        categories[indexOf(MiscKit::categoryForKey(key).value_or(DockCategory::ThreeD))].set(
            key, PlistValue(*original));
    }
    PlistValue info = PlistValue::dictionary();
    info.set("VL_DockName", "Velvanto Default");
    info.set("VL_DockAuthor", "The Velvanto developers");
    info.set("VL_DockVersion", "1.0");
    info.set("VL_BasePath", ThemeBundle::kBasePath);
    info.set("Dock_List", PlistValue(PlistValue::Array{categories[0], categories[1]}));
    return PropertyList::write(ThemeBundle::infoPlistPath(bundle), info) &&
           QFile::copy(descriptionFile, text(ThemeBundle::descriptionPath(bundle)));
}

bool StockArt::writeMicroPreview(const QString& bundlePath) {
    std::string bundle = bundlePath.toStdString();
    QImage screenshot(text(ThemeBundle::dockPreviewPath(bundle, DockStyle::ThreeD)));
    if (screenshot.isNull()) {
        return false;
    }
    // The middle of the Dock, at the bottom of the screenshot, three times as wide as high.
    int band = screenshot.height() * 2 / 5;
    int width = std::min(screenshot.width(), band * 3);
    return screenshot
        .copy((screenshot.width() - width) / 2, screenshot.height() - band, width, band)
        .scaledToWidth(128, Qt::SmoothTransformation)
        .save(text(ThemeBundle::microPreviewPath(bundle)));
}

QImage StockArt::image(const QString& key) const {
    DockSize size = catalogue_.getSizeForFileKey(key.toStdString());
    QSize pixels(std::max(1, int(size.width)), std::max(1, int(size.height)));
    return drawImage(key, pixels);
}
