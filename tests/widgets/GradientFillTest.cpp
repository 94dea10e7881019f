#include <QImage>
#include <QPainter>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

#include "support/TestEnvironment.h"
#include "widgets/QGGradient.h"

namespace {

const QRgb kMarker = qRgb(255, 0, 255);
// A 100 by 40 rectangle at (20, 15); its pixels span 20..119 and 15..54.
const QRectF kRect(20, 15, 100, 40);
const QRect kPixels(20, 15, 100, 40);
const QGGradient kRedToBlue = QGGradient::gradientWithBeginningColor(Qt::red, Qt::blue);

// Paints on a marked canvas; checks colours against what the gradient says.
class GradientFillTest : public TestEnvironment {
protected:
    // An image of 140 by 70 in colour, of ratio device pixels to a pixel.
    static QImage canvas(QRgb colour = kMarker, int ratio = 1) {
        QImage image(140 * ratio, 70 * ratio, QImage::Format_ARGB32_Premultiplied);
        image.fill(colour);
        image.setDevicePixelRatio(ratio);
        return image;
    }
    static QImage painted(const std::function<void(QPainter&)>& draw, QImage image = canvas()) {
        QPainter painter(&image);
        draw(painter);
        return image;
    }
    // The pixel's colour against the gradient's at t, within two steps of 255.
    static ::testing::AssertionResult shows(const QImage& image, int x, int y,
                                            const QGGradient& gradient, double t) {
        const QColor expected = gradient.colorAtPosition(static_cast<float>(t));
        const QColor actual = image.pixelColor(x, y);
        return std::max({std::abs(actual.red() - expected.red()),
                         std::abs(actual.green() - expected.green()),
                         std::abs(actual.blue() - expected.blue())}) <= 2
                   ? ::testing::AssertionSuccess()
                   : ::testing::AssertionFailure()
                         << "pixel (" << x << ", " << y << ") is " << actual.name().toStdString()
                         << ", the gradient at " << t << " is " << expected.name().toStdString();
    }
    // Whether every pixel in area, or with outside every pixel not in it, is colour.
    static bool all(const QImage& image, const QRect& area, QRgb colour, bool outside = false) {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (area.contains(x, y) != outside && image.pixel(x, y) != colour)
                    return false;
            }
        }
        return true;
    }
    static bool untouchedOutside(const QImage& image, const QRect& inside = kPixels) {
        return all(image, inside, kMarker, true);
    }
};

}  // namespace

TEST_F(GradientFillTest, AnglesModesRadialFillsEmptySingleStopAndDegenerateInput) {
    // Only along rows and columns is each pixel exact, as the Aqua and hydrogen edges need.
    const std::tuple<const char*, QGGradient, bool> gradients[] = {
        {"red to blue", kRedToBlue, true},
        {"mode 1", kRedToBlue.gradientWithBlendingMode(1), true},
        {"mode 2", kRedToBlue.gradientWithBlendingMode(2), true},
        {"Aqua", QGGradient::aquaSelectedGradient(), false},
        {"hydrogen", QGGradient::hydrogenSpectrumGradient(), false}};
    for (const auto& [name, gradient, diagonal] : gradients) {
        for (float angle : {0.0f, 45.0f, 90.0f, 270.0f, 360.0f}) {
            if (angle == 45.0f && !diagonal)
                continue;
            // Structured bindings are named through init-captures: older clang can't capture them.
            const QImage image = painted([&, &gradient = gradient](QPainter& p) {
                angle == 45.0f ? gradient.drawSwatchInRect(p, kRect)
                               : gradient.fillRect(p, kRect, angle);
            });
            // t: pixel centre's distance along the angle from the first corner, over the extent.
            const double a = angle * std::numbers::pi / 180, dx = std::cos(a), dy = std::sin(a);
            const auto along = [&](double x, double y) { return x * dx + y * dy; };
            const double first =
                std::min({along(20, 15), along(120, 15), along(20, 55), along(120, 55)});
            const double extent = 100 * std::abs(dx) + 40 * std::abs(dy);
            // Columns 69 and 70 hold the Aqua edge, 34 a hydrogen line.
            for (int x : {20, 34, 69, 70, 119}) {
                for (int y : {15, 35, 54}) {
                    const double t = (along(x + 0.5, y + 0.5) - first) / extent;
                    EXPECT_TRUE(shows(image, x, y, gradient, t)) << name << ", angle " << angle;
                }
            }
            EXPECT_TRUE(untouchedOutside(image)) << name << ", angle " << angle;
        }
    }
    // A radial fill ends at half the longer side.
    const QImage image = painted([&](QPainter& p) { kRedToBlue.radialFillRect(p, kRect); });
    // Centre (70, 35), start radius 1, end radius 50: t = (d - 1) / 49.
    for (QPoint corner : {QPoint(20, 15), QPoint(119, 15), QPoint(20, 54), QPoint(119, 54)}) {
        EXPECT_EQ(image.pixel(corner), qRgb(0, 0, 255));  // beyond the end circle
    }
    EXPECT_EQ(image.pixel(69, 34), qRgb(255, 0, 0));  // inside the start circle
    for (QPoint edge : {QPoint(70, 15), QPoint(110, 35), QPoint(20, 35)}) {
        const double t = (std::hypot(edge.x() + 0.5 - 70, edge.y() + 0.5 - 35) - 1) / 49.0;
        EXPECT_TRUE(shows(image, edge.x(), edge.y(), kRedToBlue, t));
    }
    EXPECT_TRUE(untouchedOutside(image));
    const QImage white = painted([](QPainter& p) { QGGradient().fillRect(p, kRect, 30.0f); });
    EXPECT_TRUE(all(white, kPixels, qRgb(255, 255, 255)));
    const QGGradient one = QGGradient().addColorStop(QColor(10, 200, 30), 0.7f);
    const QImage plain = painted([&](QPainter& p) { one.radialFillRect(p, kRect); });
    EXPECT_TRUE(all(plain, kPixels, qRgb(10, 200, 30)));
    EXPECT_TRUE(untouchedOutside(plain));
    // Nothing is painted for these.
    const QImage nothing = painted([&](QPainter& p) {
        kRedToBlue.fillRect(p, kRect, std::numeric_limits<float>::quiet_NaN());
        kRedToBlue.fillRect(p, kRect, std::numeric_limits<float>::infinity());
        kRedToBlue.fillRect(p, QRectF(20, 15, 0, 40), 45.0f);
        kRedToBlue.radialFillRect(p, QRectF(20, 15, 100, -4));
        kRedToBlue.radialFillRect(p, QRectF(20, 15, 2, 2));  // both radii 1
    });
    EXPECT_TRUE(untouchedOutside(nothing, QRect()));
}

TEST_F(GradientFillTest, TranslucentStopsBlendAndFractionalTransformedAndDenseTargetsStayInside) {
    const QGGradient clear =
        QGGradient::gradientWithBeginningColor(QColor(0, 0, 0, 0), QColor(0, 0, 0, 255));
    const QImage white = canvas(qRgb(255, 255, 255));
    // Along x (one row copied down) and along y (bands of equal rows).
    const QImage across = painted([&](QPainter& p) { clear.fillRect(p, kRect, 0.0f); }, white);
    EXPECT_EQ(across.pixel(20, 30), qRgb(254, 254, 254));
    EXPECT_NEAR(qRed(across.pixel(70, 30)), 126, 2);
    EXPECT_EQ(across.pixel(10, 30), qRgb(255, 255, 255));
    const QImage down = painted([&](QPainter& p) { clear.fillRect(p, kRect, 90.0f); }, white);
    EXPECT_NEAR(qRed(down.pixel(70, 15)), 252, 1);
    EXPECT_NEAR(qRed(down.pixel(70, 35)), 124, 2);
    EXPECT_EQ(down.pixel(70, 10), qRgb(255, 255, 255));
    for (float angle : {0.0f, 33.0f, 90.0f}) {
        const QImage fractional = painted([&](QPainter& p) {
            p.setRenderHint(QPainter::Antialiasing);
            kRedToBlue.fillRect(p, QRectF(20.4, 15.6, 99.2, 38.8), angle);
        });
        EXPECT_TRUE(untouchedOutside(fractional)) << angle;
        EXPECT_NE(fractional.pixel(21, 17), kMarker) << angle;
    }
    // Scaled twice, turned by 90 degrees (0 runs down), twice the density: pixels first to last.
    const std::tuple<QTransform, QRectF, int, QRect, QPoint, QPoint> cases[] = {
        {QTransform::fromScale(2, 2), {10, 7.5, 50, 20}, 1, kPixels, {20, 30}, {119, 30}},
        {QTransform(0, 1, -1, 0, 90, 15), {0, 0, 40, 40}, 1, {50, 15, 40, 40}, {70, 15}, {70, 54}},
        {QTransform(), kRect, 2, {40, 30, 200, 80}, {40, 60}, {239, 60}}};
    for (const auto& [transform, rect, ratio, pixels, first, last] : cases) {
        const QImage image = painted(
            [&transform = transform, &rect = rect](QPainter& p) {
                p.setTransform(transform);
                kRedToBlue.fillRect(p, rect, 0.0f);
            },
            canvas(kMarker, ratio));
        SCOPED_TRACE(testing::Message() << "first pixel " << first.x() << ", " << first.y());
        EXPECT_TRUE(untouchedOutside(image, pixels));
        const double half = 0.5 / ((last - first).manhattanLength() + 1);
        EXPECT_TRUE(shows(image, first.x(), first.y(), kRedToBlue, half));
        EXPECT_TRUE(shows(image, last.x(), last.y(), kRedToBlue, 1 - half));
    }
}
