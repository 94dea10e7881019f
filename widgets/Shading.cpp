#include "widgets/Shading.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// Samples of the function per device pixel along t: enough that a hard edge
// lands within a quarter of a pixel of where the function puts it.
constexpr double kSamplesPerPixel = 4.0;
constexpr int kMaxSamples = 1 << 16;
// Scratch images up to this many pixels are kept for the next fill.
constexpr qsizetype kMaxKeptPixels = 2048 * 2048;

float unitClamped(float value) {
    // A NaN fails both comparisons and becomes 0.
    return value > 0.0f ? (value < 1.0f ? value : 1.0f) : 0.0f;
}

int toByte(float unit) {
    return static_cast<int>(unit * 255.0f + 0.5f);
}

bool isFinite(QPointF point) {
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

// The function sampled evenly over t from 0 to 1 as premultiplied pixels,
// and what a pixel shows for a given t.
class Sampler {
  public:
    Sampler(const ShadingFunction& function, int count, double lowest, double highest)
        : pixels_(count), last_(count - 1), lowest_(lowest), highest_(highest) {
        for (int i = 0; i < count; ++i) {
            float rgba[4];
            function(static_cast<float>(i) / static_cast<float>(last_), rgba);
            const float alpha = unitClamped(rgba[3]);
            pixels_[i] =
                qRgba(toByte(unitClamped(rgba[0]) * alpha), toByte(unitClamped(rgba[1]) * alpha),
                      toByte(unitClamped(rgba[2]) * alpha), toByte(alpha));
            opaque_ = opaque_ && qAlpha(pixels_[i]) == 255;
        }
    }

    bool opaque() const { return opaque_; }
    double last() const { return last_; }
    const QRgb* pixels() const { return pixels_.data(); }

    // The nearest sample; clear where t lies beyond what is painted.
    QRgb at(double t) const {
        if (!(t >= lowest_ && t <= highest_)) {
            return 0;
        }
        const double u = t * last_ + 0.5;
        return pixels_[u <= 0.0 ? 0 : (u >= last_ ? pixels_.size() - 1 : static_cast<int>(u))];
    }
    // The nearest samples for t = start + step * x, x from 0 to count - 1.
    void fill(QRgb* line, int count, double start, double step) const {
        // Inside [0, 1] (one pixel in from each end, for rounding) no check
        // is needed.
        int from = 0;
        int to = count;
        if (step != 0.0) {
            const double at0 = -start / step;
            const double at1 = (1.0 - start) / step;
            from = static_cast<int>(
                std::clamp(std::ceil(std::min(at0, at1)) + 1.0, 0.0, static_cast<double>(count)));
            to = static_cast<int>(
                std::clamp(std::floor(std::max(at0, at1)), 0.0, static_cast<double>(count)));
        } else if (!(start >= 0.0 && start <= 1.0)) {
            from = to = count;
        }
        to = std::max(from, to);
        for (int x = 0; x < from; ++x) {
            line[x] = at(start + step * x);
        }
        const double u0 = start * last_ + 0.5;
        const double du = step * last_;
        for (int x = from; x < to; ++x) {
            line[x] = pixels_[static_cast<int>(u0 + du * x)];
        }
        for (int x = to; x < count; ++x) {
            line[x] = at(start + step * x);
        }
    }

  private:
    std::vector<QRgb> pixels_;
    double last_;
    double lowest_;
    double highest_;
    bool opaque_ = true;
};

// Lets the painter draw in device pixels, clipped to a rectangle given in
// its coordinates, until it goes out of scope.
class DevicePainting {
  public:
    DevicePainting(QPainter& painter, const QRectF& clip, const QTransform& toUser)
        : painter_(painter) {
        painter_.save();
        painter_.setClipRect(clip, Qt::IntersectClip);
        painter_.setWorldTransform(toUser * painter_.worldTransform());
    }
    ~DevicePainting() { painter_.restore(); }
    DevicePainting(const DevicePainting&) = delete;
    DevicePainting& operator=(const DevicePainting&) = delete;

  private:
    QPainter& painter_;
};

// A scratch image of at least size, kept per thread for the next fill.
QImage& scratchImage(QSize size, QImage::Format format) {
    thread_local QImage kept[2];
    QImage& image = kept[format == QImage::Format_RGB32 ? 0 : 1];
    if (image.width() < size.width() || image.height() < size.height()) {
        image = QImage(size.expandedTo(image.size()), format);
    }
    return image;
}

void releaseLargeScratch(QImage& image) {
    if (qsizetype(image.width()) * image.height() > kMaxKeptPixels) {
        image = QImage();
    }
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

    // The device pixels that can be touched: the rectangle within the clip
    // and the device's own area, which a painter redirected elsewhere (a
    // widget rendered into an image) moves past the world and view transforms.
    QRectF area = toDevice.mapRect(rect);
    if (painter.hasClipping()) {
        area &= toDevice.mapRect(painter.clipBoundingRect());
    }
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
    // Pixels whose centre lies just past an end (by half a pixel at most)
    // belong to the rectangle's edge and take the end's colour.
    const double slack = 0.5 / pixelsAlongT;
    const double infinity = std::numeric_limits<double>::infinity();
    const Sampler sampler(function_, count, extendStart_ ? -infinity : -slack,
                          extendEnd_ ? infinity : 1.0 + slack);

    const QPointF axis = end_ - start_;
    const double axisLength2 = QPointF::dotProduct(axis, axis);
    auto parameterAt = [&](QPointF user) -> double {
        if (kind_ == Kind::Axial) {
            return QPointF::dotProduct(user - start_, axis) / axisLength2;
        }
        return (QLineF(start_, user).length() - startRadius_) / (endRadius_ - startRadius_);
    };
    // Whether some pixel of rect lies beyond an end that is not extended.
    bool reachesBeyond = !extendStart_ || !extendEnd_;
    if (kind_ == Kind::Axial) {
        double lowest = infinity;
        double highest = -infinity;
        for (QPointF corner :
             {rect.topLeft(), rect.topRight(), rect.bottomLeft(), rect.bottomRight()}) {
            lowest = std::min(lowest, parameterAt(corner));
            highest = std::max(highest, parameterAt(corner));
        }
        reachesBeyond = (!extendStart_ && lowest < -slack) || (!extendEnd_ && highest > 1 + slack);
    }
    const bool opaque = sampler.opaque() && !reachesBeyond;

    const int width = pixels.width();
    const int height = pixels.height();
    const double left = pixels.left() + 0.5;
    if (kind_ == Kind::Axial && toUser.isAffine()) {
        // t is affine in the device position: t = a x + b y + c.
        const double c = parameterAt(origin);
        const double a = parameterAt(toUser.map(QPointF(1, 0))) - c;
        const double b = parameterAt(toUser.map(QPointF(0, 1))) - c;
        auto rowStart = [&](int y) { return a * left + b * (pixels.top() + y + 0.5) + c; };
        if (std::abs(a) * width * sampler.last() < 0.01) {
            // One colour per row: paint runs of equal rows as solid bands.
            DevicePainting painting(painter, rect, toUser);
            painter.setRenderHint(QPainter::Antialiasing, false);
            const double middle = a * 0.5 * (width - 1);
            for (int y = 0; y < height;) {
                const QRgb colour = sampler.at(rowStart(y) + middle);
                int end = y + 1;
                while (end < height && sampler.at(rowStart(end) + middle) == colour) {
                    ++end;
                }
                if (qAlpha(colour) != 0) {
                    painter.fillRect(QRect(pixels.left(), pixels.top() + y, width, end - y),
                                     QColor::fromRgba(qUnpremultiply(colour)));
                }
                y = end;
            }
            return;
        }
        QImage& image = scratchImage(
            pixels.size(), opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
        const bool columnsAreConstant = std::abs(b) * height * sampler.last() < 0.01;
        for (int y = 0; y < height; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            if (columnsAreConstant && y > 0) {
                std::memcpy(line, image.constScanLine(y - 1), width * sizeof(QRgb));
            } else {
                sampler.fill(line, width, rowStart(y), a);
            }
        }
        DevicePainting painting(painter, rect, toUser);
        painter.drawImage(QPointF(pixels.topLeft()), image, QRectF(0, 0, width, height));
        releaseLargeScratch(image);
        return;
    }

    QImage& image = scratchImage(
        pixels.size(), opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const double row = pixels.top() + y + 0.5;
        for (int x = 0; x < width; ++x) {
            line[x] = sampler.at(parameterAt(toUser.map(QPointF(left + x, row))));
        }
    }
    DevicePainting painting(painter, rect, toUser);
    painter.drawImage(QPointF(pixels.topLeft()), image, QRectF(0, 0, width, height));
    releaseLargeScratch(image);
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
