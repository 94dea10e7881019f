#include "widgets/RoundedBox.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPalette>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "widgets/QGGradient.h"

namespace {

constexpr qreal kCornerRadius = 4.0;
// Room a tab needs beside it; with less the bar spans the box.
constexpr qreal kMinimumTabRoom = 20.0;

qreal whole(qreal value) {
    return std::trunc(value);
}

// The smallest rectangle with whole-number edges that holds rect; an empty
// rect gives the zero rect.
QRectF integralRect(const QRectF& rect) {
    if (!(rect.width() > 0.0) || !(rect.height() > 0.0)) {
        return QRectF();
    }
    const qreal left = std::floor(rect.x());
    const qreal bottom = std::floor(rect.y());
    return QRectF(left, bottom, std::ceil(rect.x() + rect.width()) - left,
                  std::ceil(rect.y() + rect.height()) - bottom);
}

// From the current point, a line towards corner and an arc of radius
// tangent to both the line in and the line from corner towards next, ending
// on the latter. A straight line to corner where there is no turn to round.
void appendArc(QPainterPath& path, QPointF corner, QPointF next, qreal radius) {
    const QPointF in = path.currentPosition() - corner;
    const QPointF out = next - corner;
    const qreal inLength = std::hypot(in.x(), in.y());
    const qreal outLength = std::hypot(out.x(), out.y());
    const qreal cross = in.x() * out.y() - in.y() * out.x();
    if (radius <= 0.0 || inLength == 0.0 || outLength == 0.0 || cross == 0.0) {
        path.lineTo(corner);
        return;
    }
    const QPointF inUnit = in / inLength;
    const QPointF outUnit = out / outLength;
    const qreal between = std::acos(std::clamp(QPointF::dotProduct(inUnit, outUnit), -1.0, 1.0));
    const qreal reach = radius / std::tan(between / 2.0);  // corner to the tangent points
    const QPointF from = corner + inUnit * reach;
    const QPointF to = corner + outUnit * reach;
    // A cubic Bézier through the arc: control points on the tangents.
    const qreal control = 4.0 / 3.0 * std::tan((std::numbers::pi - between) / 4.0) * radius;
    path.lineTo(from);
    path.cubicTo(from - inUnit * control, to - outUnit * control, to);
}

QColor inRgb(const QColor& color) {
    return color.spec() == QColor::ExtendedRgb ? color : color.toRgb();
}

}  // namespace

RoundedBox::RoundedBox(QWidget* parent) : QWidget(parent) {
    setDefaults();
}

void RoundedBox::setDefaults() {
    borderWidth_ = 2.0f;
    setBorderColor(QColor::fromRgbF(0.5f, 0.5f, 0.5f));
    setTitleColor(Qt::white);
    setGradientStartColor(QColor::fromRgbF(0.92f, 0.92f, 0.92f, 1.0f));
    setGradientEndColor(QColor::fromRgbF(0.82f, 0.82f, 0.82f, 1.0f));
    setBackgroundColor(QColor::fromRgbF(0.9f, 0.9f, 0.9f, 1.0f));
    // The platform's small control font where it has one, else the
    // application font, which is about that size on other desktops.
    QFont font = QApplication::font("QSmallFont");
    font.setBold(true);
    setTitleFont(font);
    titleAttrs_ = TitleAttributes{titleFont_, titleColor_, Qt::AlignLeft, Qt::ElideRight};
    setDrawsFullTitleBar(false);
    setSelected(false);
    setDrawsGradientBackground(true);
    updateContentsMargins();
}

void RoundedBox::setTitle(const QString& title) {
    title_ = title;
    update();
}

void RoundedBox::setTitleFont(const QFont& font) {
    titleFont_ = font;
    if (titleAttrs_) {
        titleAttrs_->font = font;
    }
    updateContentsMargins();
    update();
}

void RoundedBox::setBorderWidth(float width) {
    borderWidth_ = width;
    updateContentsMargins();
    update();
}

void RoundedBox::setBorderColor(const QColor& color) {
    borderColor_ = color;
    update();
}

void RoundedBox::setTitleColor(const QColor& color) {
    titleColor_ = color;
    if (titleAttrs_) {
        titleAttrs_->foregroundColor = color;
    }
    update();
}

void RoundedBox::setGradientStartColor(const QColor& color) {
    gradientStartColor_ = inRgb(color);
    if (drawsGradientBackground_) {
        update();
    }
}

void RoundedBox::setGradientEndColor(const QColor& color) {
    gradientEndColor_ = inRgb(color);
    if (drawsGradientBackground_) {
        update();
    }
}

void RoundedBox::setBackgroundColor(const QColor& color) {
    backgroundColor_ = color;
    if (!drawsGradientBackground_) {
        update();
    }
}

void RoundedBox::setDrawsFullTitleBar(bool flag) {
    drawsFullTitleBar_ = flag;
    update();
}

void RoundedBox::setSelected(bool flag) {
    selected_ = flag;
    update();
}

void RoundedBox::setDrawsGradientBackground(bool flag) {
    drawsGradientBackground_ = flag;
    update();
}

QRectF RoundedBox::bounds() const {
    return QRectF(0, 0, width(), height());
}

QRectF RoundedBox::outlineRect() const {
    const qreal inset = borderWidth_ * 0.5;
    const QRectF r = integralRect(bounds().adjusted(inset, inset, -inset, -inset));
    return QRectF(r.x() + 0.5, r.y() + 0.5, r.width(), r.height());
}

QPainterPath RoundedBox::borderPath() const {
    const QRectF p = outlineRect();
    const qreal minX = whole(p.x());
    const qreal minY = whole(p.y());
    const qreal maxX = whole(p.x() + p.width());
    const qreal maxY = whole(p.y() + p.height());
    const qreal midX = whole(p.x() + 0.5 * p.width());
    const qreal midY = whole(p.y() + 0.5 * p.height());
    QPainterPath path;
    path.moveTo(midX, minY);
    appendArc(path, {maxX, minY}, {maxX, midY}, kCornerRadius);
    appendArc(path, {maxX, maxY}, {midX, maxY}, kCornerRadius);
    appendArc(path, {minX, maxY}, {minX, midY}, kCornerRadius);
    appendArc(path, {minX, minY}, {midX, minY}, kCornerRadius);
    path.closeSubpath();
    return path;
}

QRectF RoundedBox::titleRect() const {
    const QFontMetricsF metrics(titleDrawingFont(), this);
    const QSizeF size(metrics.horizontalAdvance(title_), metrics.height());
    const QRectF b = bounds();
    const qreal bw = borderWidth_;
    const float top = static_cast<float>((b.y() + b.height()) - size.height() - 2.0 * bw);
    const float width =
        static_cast<float>(std::min(size.width() + bw, b.width() - 2.0 * (bw + 4.0)));
    return QRectF(b.x() + bw + 4.0, top, width, size.height());
}

QPainterPath RoundedBox::titlePathWithinRect(const QRectF& rect, qreal radius,
                                             const QRectF& titleRect) const {
    const qreal x = rect.x();
    const qreal w = rect.width();
    const qreal tx = titleRect.x();
    const qreal ty = titleRect.y();
    const qreal tw = titleRect.width();
    const qreal th = titleRect.height();
    const qreal left = whole(x);
    const qreal top = whole(rect.y() + rect.height());
    // The tab reaches past the title as far as the title is from the left
    // edge, and lies below it as far as the title is from the top edge.
    const qreal right = whole(left + tw + 2.0 * (tx - x));
    const qreal bottom = whole(ty - (top - (ty + th)));
    QPainterPath path;
    path.moveTo(left, bottom);
    if (w - tw >= kMinimumTabRoom && !drawsFullTitleBar_) {
        appendArc(path, {right, bottom}, {right, top}, radius);
        path.lineTo(right, top);
    } else {
        path.lineTo(x + w, bottom);
        appendArc(path, {x + w, top}, {x + w - 0.5 * w, top}, radius);
    }
    appendArc(path, {left, top}, {left, bottom}, radius);
    path.closeSubpath();
    return path;
}

QTransform RoundedBox::toQt() const {
    return QTransform(1, 0, 0, -1, 0, height());
}

void RoundedBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(toQt());

    const QPainterPath border = borderPath();
    if (drawsGradientBackground_) {
        painter.save();
        painter.setClipPath(border, Qt::IntersectClip);
        // At 270 degrees the start colour lies along the top edge.
        QGGradient::gradientWithBeginningColor(gradientStartColor_, gradientEndColor_)
            .fillRect(painter, border.boundingRect(), 270.0f);
        painter.restore();
    } else {
        painter.fillPath(border, backgroundColor_);
    }

    const QRectF title = titleRect();
    const QColor frameColor = selected_ ? selectionColor() : borderColor_;
    painter.fillPath(titlePathWithinRect(outlineRect(), kCornerRadius, title), frameColor);
    if (borderWidth_ > 0.0f) {
        QPen pen(frameColor, borderWidth_);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.strokePath(border, pen);
    }

    painter.resetTransform();
    drawTitle(painter, toQt().mapRect(title));
}

QColor RoundedBox::selectionColor() const {
    return palette().color(QPalette::Active, QPalette::Highlight);
}

QFont RoundedBox::titleDrawingFont() const {
    return titleAttrs_ ? titleAttrs_->font : titleFont_;
}

void RoundedBox::drawTitle(QPainter& painter, const QRectF& rect) const {
    const TitleAttributes attributes =
        titleAttrs_.value_or(TitleAttributes{titleFont_, titleColor_});
    const QFontMetricsF metrics(attributes.font, this);
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setFont(attributes.font);
    painter.setPen(attributes.foregroundColor);
    painter.drawText(rect, attributes.alignment | Qt::AlignTop | Qt::TextSingleLine,
                     metrics.elidedText(title_, attributes.truncation, rect.width()));
    painter.restore();
}

void RoundedBox::updateContentsMargins() {
    // The title bar reaches about the title's height and three and a half
    // border widths down from the top edge.
    const QFontMetricsF metrics(titleDrawingFont(), this);
    const int side = static_cast<int>(std::ceil(borderWidth_)) + 4;
    const int top = static_cast<int>(std::ceil(metrics.height() + 3.5 * borderWidth_)) + 4;
    setContentsMargins(side, top, side, side);
}
