#include "widgets/Shading.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Samples of the function per device pixel along t: enough that a hard edge
// lands within a quarter of a pixel of where the function puts it.
constexpr double kSamplesPerPixel = 4.0;
constexpr int kMaxSamples = 1 << 16;

float unitClamped(float value) {
    // A NaN fails both comparisons and becomes 0.
    return value > 0.0f ? (value < 1.0f ? value : 1.0f) : 0.0f;
}

int toByte(float unit) {
    return static_cast<int>(unit * 255.0f + 0.5f);
}

// The function sampled evenly over t from 0 to 1, as premultiplied pixels.
struct SampleTable {
    std::vector<QRgb> pixels;
    bool opaque = true;

    SampleTable(const ShadingFunction& function, int count) : pixels(count) {
        const float last = static_cast<float>(count - 1);
        for (int i = 0; i < count; ++i) {
            float rgba[4];
            function(static_cast<float>(i) / last, rgba);
            const float alpha = unitClamped(rgba[3]);
            pixels[i] =
                qRgba(toByte(unitClamped(rgba[0]) * alpha), toByte(unitClamped(rgba[1]) * alpha),
                      toByte(unitClamped(rgba[2]) * alpha), toByte(alpha));
            opaque = opaque && qAlpha(pixels[i]) == 255;
        }
    }
};

bool isFinite(QPointF point) {
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

}  // namespace

Shading Shading::axial(QPointF start, QPointF end, ShadingFunction function, bool extendStart,
                       bool extendEnd) {
    return Shading(Kind::Axial, start, end, 0.0, 0.0, function, extendStart, extendEnd);
}

Shading Shading::radial(QPointF centre, qreal startRadius, qreal endRadius,
                        ShadingFunction function, bool extendStart, bool extendEnd) {
    return Shading(Kind::Radial, centre, centre, startRadius, endRadius, function, extendStart,
                   extendEnd);
}

void Shading::drawInRect(QPainter& painter, const QRectF& rect) const {
    if (!function_.evaluate || !painter.isActive() || !isDrawable() || !rect.isValid()) {
        return;
    }
    const QTransform toDevice = painter.deviceTransform();
    if (!toDevice.isInvertible()) {
        return;
    }
    const QTransform toUser = toDevice.inverted();

    // The device pixels that can be touched.
    QRectF area = toDevice.mapRect(rect);
    if (painter.hasClipping()) {
        area &= toDevice.mapRect(painter.clipBoundingRect());
    }
    // The device's own area, carried past the world and view transforms: a
    // painter redirected elsewhere (a widget rendered into an image) moves it.
    const QPaintDevice* device = painter.device();
    const QTransform beyondView = painter.combinedTransform().inverted() * toDevice;
    area &= beyondView.mapRect(QRectF(0, 0, device->width(), device->height()));
    const QRect pixels = area.toAlignedRect();
    if (pixels.isEmpty()) {
        return;
    }

    // How far one device pixel reaches in user space, and how far t runs.
    const QPointF origin = toUser.map(QPointF(0, 0));
    const qreal userPerPixel = std::max(QLineF(origin, toUser.map(QPointF(1, 0))).length(),
                                        QLineF(origin, toUser.map(QPointF(0, 1))).length());
    const qreal span =
        kind_ == Kind::Axial ? QLineF(start_, end_).length() : std::abs(endRadius_ - startRadius_);
    const qreal pixelsAlongT = span / userPerPixel;
    const int count = static_cast<int>(std::clamp(std::ceil(pixelsAlongT * kSamplesPerPixel) + 1.0,
                                                  2.0, static_cast<double>(kMaxSamples)));
    const SampleTable table(function_, count);
    const double last = count - 1;
    // Pixels whose centre lies just past an end (by half a pixel at most)
    // still belong to the rectangle's edge and take the end's colour.
    const double slack = 0.5 / pixelsAlongT;
    bool opaque = table.opaque;
    auto pixelAt = [&](double t) -> QRgb {
        if (!(t >= 0.0)) {
            if (t >= -slack || extendStart_) {
                return table.pixels.front();
            }
            opaque = false;
            return 0;
        }
        if (t > 1.0) {
            if (t <= 1.0 + slack || extendEnd_) {
                return table.pixels.back();
            }
            opaque = false;
            return 0;
        }
        return table.pixels[static_cast<std::size_t>(t * last + 0.5)];
    };

    const QPointF axis = end_ - start_;
    const double axisLength2 = QPointF::dotProduct(axis, axis);
    auto parameterAt = [&](QPointF user) -> double {
        if (kind_ == Kind::Axial) {
            return QPointF::dotProduct(user - start_, axis) / axisLength2;
        }
        return (QLineF(start_, user).length() - startRadius_) / (endRadius_ - startRadius_);
    };

    QImage image(pixels.size(), QImage::Format_ARGB32_Premultiplied);
    const int width = pixels.width();
    const double left = pixels.left() + 0.5;
    if (kind_ == Kind::Axial && toUser.isAffine()) {
        // t is affine in the device position: t = a x + b y + c.
        const double c = parameterAt(origin);
        const double a = parameterAt(toUser.map(QPointF(1, 0))) - c;
        const double b = parameterAt(toUser.map(QPointF(0, 1))) - c;
        const bool rowsAreConstant = std::abs(a) * width * last < 0.01;
        const bool columnsAreConstant = std::abs(b) * pixels.height() * last < 0.01;
        for (int y = 0; y < pixels.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            const double rowStart = a * left + b * (pixels.top() + y + 0.5) + c;
            if (rowsAreConstant) {
                std::fill(line, line + width, pixelAt(rowStart + a * 0.5 * (width - 1)));
            } else if (columnsAreConstant && y > 0) {
                std::memcpy(line, image.constScanLine(y - 1), width * sizeof(QRgb));
            } else {
                for (int x = 0; x < width; ++x) {
                    line[x] = pixelAt(rowStart + a * x);
                }
            }
        }
    } else {
        for (int y = 0; y < pixels.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            const double row = pixels.top() + y + 0.5;
            for (int x = 0; x < width; ++x) {
                line[x] = pixelAt(parameterAt(toUser.map(QPointF(left + x, row))));
            }
        }
    }
    if (opaque) {
        image.reinterpretAsFormat(QImage::Format_RGB32);  // lets the painter copy, not blend
    }

    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    // Draw in device pixels, one image pixel per device pixel.
    painter.setWorldTransform(toUser * painter.worldTransform());
    painter.drawImage(QPointF(pixels.topLeft()), image);
    painter.restore();
}

Shading::Shading(Kind kind, QPointF start, QPointF end, qreal startRadius, qreal endRadius,
                 ShadingFunction function, bool extendStart, bool extendEnd)
    : kind_(kind),
      start_(start),
      end_(end),
      startRadius_(startRadius),
      endRadius_(endRadius),
      function_(function),
      extendStart_(extendStart),
      extendEnd_(extendEnd) {}

bool Shading::isDrawable() const {
    if (!isFinite(start_) || !isFinite(end_)) {
        return false;
    }
    if (kind_ == Kind::Axial) {
        return start_ != end_;
    }
    return std::isfinite(startRadius_) && std::isfinite(endRadius_) && startRadius_ >= 0 &&
           endRadius_ >= 0 && startRadius_ != endRadius_;
}
