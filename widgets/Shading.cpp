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

// What a pixel shows for a given t: the function's colour as a premultiplied
// pixel, the end colours from the ends up to lowest and highest, clear beyond.
// Either evaluated exactly, or from a table of samples spread evenly over t.
class Sampler {
public:
    Sampler(const ShadingFunction& function, double lowest, double highest)
        : function_(function), lowest_(lowest), highest_(highest) {}

    QRgb exactAt(double t) const {
        if (!(t >= lowest_ && t <= highest_)) {
            return 0;
        }
        return evaluate(static_cast<float>(std::clamp(t, 0.0, 1.0)));
    }

    // Samples count points for at() and fill().
    void tabulate(int count) {
        table_.resize(count);
        last_ = count - 1;
        for (int i = 0; i < count; ++i) {
            table_[i] = evaluate(static_cast<float>(i) / static_cast<float>(last_));
            tableIsOpaque_ = tableIsOpaque_ && qAlpha(table_[i]) == 255;
        }
    }
    bool tableIsOpaque() const { return tableIsOpaque_; }

    // The nearest sample of the table.
    QRgb at(double t) const {
        if (!(t >= lowest_ && t <= highest_)) {
            return 0;
        }
        const double u = t * last_ + 0.5;
        return table_[u <= 0.0 ? 0 : (u >= last_ ? table_.size() - 1 : static_cast<int>(u))];
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
            line[x] = table_[static_cast<int>(u0 + du * x)];
        }
        for (int x = to; x < count; ++x) {
            line[x] = at(start + step * x);
        }
    }

private:
    QRgb evaluate(float t) const {
        float rgba[4];
        function_(t, rgba);
        const float alpha = unitClamped(rgba[3]);
        return qRgba(toByte(unitClamped(rgba[0]) * alpha), toByte(unitClamped(rgba[1]) * alpha),
                     toByte(unitClamped(rgba[2]) * alpha), toByte(alpha));
    }

    ShadingFunction function_;
    double lowest_;
    double highest_;
    std::vector<QRgb> table_;
    double last_ = 0.0;
    bool tableIsOpaque_ = true;
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

// Where a shading lands: the rectangle (user coordinates), the device pixels
// it can touch, and the mapping back to user space.
struct DeviceArea {
    QPainter& painter;
    QRectF rect;
    QTransform toUser;
    QRect pixels;
    bool mayBeClear;  // some pixel of rect lies beyond an end that is not extended

    QImage& scratchFor(bool opaque) const {
        return scratchImage(pixels.size(), opaque && !mayBeClear
                                               ? QImage::Format_RGB32
                                               : QImage::Format_ARGB32_Premultiplied);
    }
    void draw(QImage& image) const {
        DevicePainting painting(painter, rect, toUser);
        painter.drawImage(QPointF(pixels.topLeft()), image,
                          QRectF(0, 0, pixels.width(), pixels.height()));
        releaseLargeScratch(image);
    }
};

// An axial shading whose t is affine in the device pixel: t = a x + b y + c
// at the pixel centre (x + 0.5, y + 0.5).
struct DeviceAxis {
    double a;
    double b;
    double c;

    double rowStart(const QRect& pixels, int row) const {
        return a * (pixels.left() + 0.5) + b * (pixels.top() + row + 0.5) + c;
    }
};

// One colour per row: runs of equal rows are painted as solid bands.
void paintRows(const DeviceArea& area, const Sampler& sampler, const DeviceAxis& axis) {
    DevicePainting painting(area.painter, area.rect, area.toUser);
    area.painter.setRenderHint(QPainter::Antialiasing, false);
    const QRect& pixels = area.pixels;
    const double middle = axis.a * 0.5 * (pixels.width() - 1);
    auto colourOf = [&](int row) { return sampler.exactAt(axis.rowStart(pixels, row) + middle); };
    QRgb colour = colourOf(0);
    for (int y = 0; y < pixels.height();) {
        int end = y + 1;
        QRgb next = 0;
        while (end < pixels.height() && (next = colourOf(end)) == colour) {
            ++end;
        }
        if (qAlpha(colour) != 0) {
            area.painter.fillRect(QRect(pixels.left(), pixels.top() + y, pixels.width(), end - y),
                                  QColor::fromRgba(qUnpremultiply(colour)));
        }
        y = end;
        colour = next;
    }
}

// One colour per column: one row, copied down.
void paintColumns(const DeviceArea& area, const Sampler& sampler, const DeviceAxis& axis) {
    const int width = area.pixels.width();
    std::vector<QRgb> row(width);
    bool opaque = true;
    const double start = axis.rowStart(area.pixels, 0);
    for (int x = 0; x < width; ++x) {
        row[x] = sampler.exactAt(start + axis.a * x);
        opaque = opaque && qAlpha(row[x]) == 255;
    }
    QImage& image = area.scratchFor(opaque);
    for (int y = 0; y < area.pixels.height(); ++y) {
        std::memcpy(image.scanLine(y), row.data(), width * sizeof(QRgb));
    }
    area.draw(image);
}

// Any other direction: each pixel from the table.
void paintAcross(const DeviceArea& area, const Sampler& sampler, const DeviceAxis& axis) {
    QImage& image = area.scratchFor(sampler.tableIsOpaque());
    for (int y = 0; y < area.pixels.height(); ++y) {
        sampler.fill(reinterpret_cast<QRgb*>(image.scanLine(y)), area.pixels.width(),
                     axis.rowStart(area.pixels, y), axis.a);
    }
    area.draw(image);
}

// Each pixel's t worked out on its own, its colour from the table.
template <class Parameter>
void paintEachPixel(const DeviceArea& area, const Sampler& sampler, Parameter parameterAt) {
    QImage& image = area.scratchFor(sampler.tableIsOpaque());
    for (int y = 0; y < area.pixels.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const double row = area.pixels.top() + y + 0.5;
        for (int x = 0; x < area.pixels.width(); ++x) {
            line[x] = sampler.at(
                parameterAt(area.toUser.map(QPointF(area.pixels.left() + x + 0.5, row))));
        }
    }
    area.draw(image);
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
    const QTransform beyondView = painter.combinedTransform().inverted() * toDevice;
    area &= beyondView.mapRect(QRectF(0, 0, painter.device()->width(), painter.device()->height()));
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
    // Pixels whose centre lies just past an end (by half a pixel at most)
    // belong to the rectangle's edge and take the end's colour.
    const double slack = 0.5 / pixelsAlongT;
    const double infinity = std::numeric_limits<double>::infinity();
    Sampler sampler(function_, extendStart_ ? -infinity : -slack,
                    extendEnd_ ? infinity : 1.0 + slack);
    auto tabulate = [&] {
        sampler.tabulate(static_cast<int>(std::clamp(
            std::ceil(pixelsAlongT * kSamplesPerPixel) + 1.0, 2.0, double(kMaxSamples))));
    };

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

    const DeviceArea device{painter, rect, toUser, pixels, reachesBeyond};

    if (kind_ == Kind::Axial && toUser.isAffine()) {
        const double c = parameterAt(origin);
        const DeviceAxis deviceAxis{parameterAt(toUser.map(QPointF(1, 0))) - c,
                                    parameterAt(toUser.map(QPointF(0, 1))) - c, c};
        // Less than a hundredth of a sample along a row or down a column.
        const double negligible = 0.01 / (pixelsAlongT * kSamplesPerPixel);
        if (std::abs(deviceAxis.a) * pixels.width() < negligible) {
            paintRows(device, sampler, deviceAxis);
        } else if (std::abs(deviceAxis.b) * pixels.height() < negligible) {
            paintColumns(device, sampler, deviceAxis);
        } else {
            tabulate();
            paintAcross(device, sampler, deviceAxis);
        }
        return;
    }
    tabulate();
    paintEachPixel(device, sampler, parameterAt);
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
