#include <QImage>
#include <QPainter>

#include <cmath>
#include <limits>

#include "support/TestEnvironment.h"
#include "widgets/QGGradient.h"

namespace {

const QRgb kMarker = qRgb(255, 0, 255);

// Paints on a marked canvas; checks colours against what the gradient says.
class GradientFillTest : public TestEnvironment {
protected:
    static QImage canvas(int width = 140, int height = 70) {
        QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
        image.fill(kMarker);
        return image;
    }
    template <class Draw>
    static QImage painted(Draw draw, QImage image = canvas()) {
        QPainter painter(&image);
        draw(painter);
        return image;
    }
    static QGGradient redToBlue(int mode = 0) {
        return QGGradient::gradientWithBeginningColor(Qt::red, Qt::blue)
            .gradientWithBlendingMode(mode);
    }
    // The pixel's colour against the gradient's at t, within two steps of 255.
    static ::testing::AssertionResult shows(const QImage& image, int x, int y,
                                            const QGGradient& gradient, double t) {
        const QColor expected = gradient.colorAtPosition(static_cast<float>(t));
        const QColor actual = image.pixelColor(x, y);
        const int difference = std::max({std::abs(actual.red() - expected.red()),
                                         std::abs(actual.green() - expected.green()),
                                         std::abs(actual.blue() - expected.blue())});
        if (difference <= 2) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure()
               << "pixel (" << x << ", " << y << ") is " << actual.name().toStdString()
               << ", the gradient at " << t << " is " << expected.name().toStdString();
    }
    // Every pixel outside the whole-pixel rectangle still holds the marker.
    static bool untouchedOutside(const QImage& image, const QRect& inside) {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (!inside.contains(x, y) && image.pixel(x, y) != kMarker) {
                    return false;
                }
            }
        }
        return true;
    }
    static bool uniform(const QImage& image, const QRect& area, QRgb colour) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (image.pixel(x, y) != colour) {
                    return false;
                }
            }
        }
        return true;
    }
};

// A 100 by 40 rectangle at (20, 15); its pixels span 20..119 and 15..54.
const QRectF kRect(20, 15, 100, 40);
const QRect kPixels(20, 15, 100, 40);

}  // namespace

TEST_F(GradientFillTest, AnglesZeroAndFullTurnRunFromLeftToRight) {
    const QGGradient gradient = redToBlue();
    for (float angle : {0.0f, 360.0f}) {
        const QImage image = painted([&](QPainter& p) { gradient.fillRect(p, kRect, angle); });
        for (int y : {15, 35, 54}) {
            EXPECT_TRUE(shows(image, 20, y, gradient, 0.005)) << angle;
            EXPECT_TRUE(shows(image, 69, y, gradient, 0.495)) << angle;
            EXPECT_TRUE(shows(image, 119, y, gradient, 0.995)) << angle;
        }
        EXPECT_TRUE(untouchedOutside(image, kPixels)) << angle;
    }
}

TEST_F(GradientFillTest, AnglesNinetyAndTwoSeventyRunAlongY) {
    const QGGradient gradient = redToBlue();
    const QImage up = painted([&](QPainter& p) { gradient.fillRect(p, kRect, 90.0f); });
    const QImage down = painted([&](QPainter& p) { gradient.fillRect(p, kRect, 270.0f); });
    for (int x : {20, 70, 119}) {
        // 90 runs from y to y + h, 270 from y + h back to y.
        EXPECT_TRUE(shows(up, x, 15, gradient, 0.0125));
        EXPECT_TRUE(shows(up, x, 54, gradient, 0.9875));
        EXPECT_TRUE(shows(down, x, 54, gradient, 0.0125));
        EXPECT_TRUE(shows(down, x, 15, gradient, 0.9875));
        EXPECT_TRUE(shows(down, x, 25, gradient, 0.7375));
    }
    EXPECT_TRUE(untouchedOutside(up, kPixels));
    EXPECT_TRUE(untouchedOutside(down, kPixels));

    // In a coordinate system whose y grows upwards, 270 puts the first colour
    // on the top edge of the picture.
    const QImage flipped = painted([&](QPainter& p) {
        p.setTransform(QTransform(1, 0, 0, -1, 0, 70));
        gradient.fillRect(p, kRect, 270.0f);
    });
    EXPECT_TRUE(shows(flipped, 70, 15, gradient, 0.0125));
    EXPECT_TRUE(shows(flipped, 70, 54, gradient, 0.9875));
}

TEST_F(GradientFillTest, SwatchRunsFromCornerToCornerAtFortyFiveDegrees) {
    const QGGradient gradient = redToBlue();
    const QImage image = painted([&](QPainter& p) { gradient.drawSwatchInRect(p, kRect); });
    // Along (1, 1)/√2 the rectangle's extent is (100 + 40)/√2; the pixel
    // centres lie half a pixel inside each corner.
    auto along = [](double x, double y) { return (x - 20 + y - 15) / 140.0; };
    EXPECT_TRUE(shows(image, 20, 15, gradient, along(20.5, 15.5)));
    EXPECT_TRUE(shows(image, 119, 54, gradient, along(119.5, 54.5)));
    EXPECT_TRUE(shows(image, 119, 15, gradient, along(119.5, 15.5)));
    EXPECT_TRUE(shows(image, 20, 54, gradient, along(20.5, 54.5)));
    EXPECT_TRUE(shows(image, 60, 40, gradient, along(60.5, 40.5)));
    EXPECT_TRUE(untouchedOutside(image, kPixels));
}

TEST_F(GradientFillTest, ChromaticModesAndHardEdgesLookAsTheEvaluationSays) {
    for (const QGGradient& gradient :
         {redToBlue(1), redToBlue(2), QGGradient::aquaSelectedGradient(),
          QGGradient::hydrogenSpectrumGradient()}) {
        const QImage image = painted([&](QPainter& p) { gradient.fillRect(p, kRect, 0.0f); });
        for (int x = 20; x < 120; ++x) {
            ASSERT_TRUE(shows(image, x, 30, gradient, (x - 20 + 0.5) / 100.0));
        }
    }
    // The Aqua edge is sharp: one pixel either side of the middle.
    const QGGradient aqua = QGGradient::aquaSelectedGradient();
    const QImage image = painted([&](QPainter& p) { aqua.fillRect(p, kRect, 0.0f); });
    EXPECT_GT(qRed(image.pixel(70, 30)) - qRed(image.pixel(69, 30)), 50);
    EXPECT_LT(std::abs(qRed(image.pixel(69, 30)) - qRed(image.pixel(68, 30))), 2);
}

TEST_F(GradientFillTest, RadialFillEndsAtHalfTheLongerSide) {
    const QGGradient gradient = redToBlue();
    const QImage image = painted([&](QPainter& p) { gradient.radialFillRect(p, kRect); });
    // Centre (70, 35), start radius 1, end radius 50: t = (d - 1) / 49.
    auto t = [](double x, double y) { return (std::hypot(x + 0.5 - 70, y + 0.5 - 35) - 1) / 49.0; };
    for (QPoint corner : {QPoint(20, 15), QPoint(119, 15), QPoint(20, 54), QPoint(119, 54)}) {
        EXPECT_EQ(image.pixel(corner), qRgb(0, 0, 255));  // beyond the end circle
    }
    EXPECT_EQ(image.pixel(69, 34), qRgb(255, 0, 0));         // inside the start circle
    EXPECT_TRUE(shows(image, 70, 15, gradient, t(70, 15)));  // the top edge, 19.5 away
    EXPECT_TRUE(shows(image, 110, 35, gradient, t(110, 35)));
    EXPECT_TRUE(shows(image, 20, 35, gradient, t(20, 35)));
    EXPECT_TRUE(untouchedOutside(image, kPixels));
}

TEST_F(GradientFillTest, EmptyAndSingleStopGradientsFillPlainly) {
    const QImage white = painted([](QPainter& p) { QGGradient().fillRect(p, kRect, 30.0f); });
    EXPECT_TRUE(uniform(white, kPixels, qRgb(255, 255, 255)));
    const QGGradient one = QGGradient().addColorStop(QColor(10, 200, 30), 0.7f);
    const QImage plain = painted([&](QPainter& p) { one.radialFillRect(p, kRect); });
    EXPECT_TRUE(uniform(plain, kPixels, qRgb(10, 200, 30)));
    EXPECT_TRUE(untouchedOutside(plain, kPixels));
}

TEST_F(GradientFillTest, TranslucentStopsBlendOverWhatIsThere) {
    const QGGradient clear =
        QGGradient::gradientWithBeginningColor(QColor(0, 0, 0, 0), QColor(0, 0, 0, 255));
    QImage white = canvas();
    white.fill(Qt::white);
    // Along x (one row copied down) and along y (bands of equal rows).
    const QImage across = painted([&](QPainter& p) { clear.fillRect(p, kRect, 0.0f); }, white);
    EXPECT_EQ(across.pixel(20, 30), qRgb(254, 254, 254));
    EXPECT_NEAR(qRed(across.pixel(70, 30)), 126, 2);
    EXPECT_EQ(across.pixel(10, 30), qRgb(255, 255, 255));
    const QImage down = painted([&](QPainter& p) { clear.fillRect(p, kRect, 90.0f); }, white);
    EXPECT_NEAR(qRed(down.pixel(70, 15)), 252, 1);
    EXPECT_NEAR(qRed(down.pixel(70, 35)), 124, 2);
    EXPECT_EQ(down.pixel(70, 10), qRgb(255, 255, 255));
}

TEST_F(GradientFillTest, FractionalAndTransformedRectanglesStayInside) {
    const QGGradient gradient = redToBlue();
    for (float angle : {0.0f, 33.0f, 90.0f}) {
        const QImage fractional = painted([&](QPainter& p) {
            p.setRenderHint(QPainter::Antialiasing);
            gradient.fillRect(p, QRectF(20.4, 15.6, 99.2, 38.8), angle);
        });
        EXPECT_TRUE(untouchedOutside(fractional, kPixels)) << angle;
        EXPECT_NE(fractional.pixel(21, 17), kMarker) << angle;
    }

    // Twice the scale: 50 by 20 units cover the same 100 by 40 pixels.
    const QImage scaled = painted([&](QPainter& p) {
        p.scale(2, 2);
        gradient.fillRect(p, QRectF(10, 7.5, 50, 20), 0.0f);
    });
    EXPECT_TRUE(untouchedOutside(scaled, kPixels));
    EXPECT_TRUE(shows(scaled, 20, 30, gradient, 0.005));
    EXPECT_TRUE(shows(scaled, 69, 30, gradient, 0.495));

    // Turned by 90 degrees, angle 0 runs down the picture.
    const QImage turned = painted([&](QPainter& p) {
        p.translate(90, 15);
        p.rotate(90);
        gradient.fillRect(p, QRectF(0, 0, 40, 40), 0.0f);
    });
    EXPECT_TRUE(untouchedOutside(turned, QRect(50, 15, 40, 40)));
    EXPECT_TRUE(shows(turned, 70, 15, gradient, 0.0125));
    EXPECT_TRUE(shows(turned, 70, 54, gradient, 0.9875));
}

TEST_F(GradientFillTest, HighDensityImagesGetOneSamplePerDevicePixel) {
    const QGGradient gradient = redToBlue();
    QImage dense = canvas(280, 140);
    dense.setDevicePixelRatio(2);
    const QImage image = painted([&](QPainter& p) { gradient.fillRect(p, kRect, 0.0f); }, dense);
    EXPECT_TRUE(untouchedOutside(image, QRect(40, 30, 200, 80)));
    EXPECT_TRUE(shows(image, 40, 60, gradient, 0.0025));
    EXPECT_TRUE(shows(image, 239, 60, gradient, 0.9975));
}

TEST_F(GradientFillTest, DegenerateInputPaintsNothing) {
    const QGGradient gradient = redToBlue();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    for (float angle : {nan, infinity}) {
        const QImage image = painted([&](QPainter& p) { gradient.fillRect(p, kRect, angle); });
        EXPECT_TRUE(uniform(image, image.rect(), kMarker));
    }
    const QImage empty = painted([&](QPainter& p) {
        gradient.fillRect(p, QRectF(20, 15, 0, 40), 45.0f);
        gradient.radialFillRect(p, QRectF(20, 15, 100, -4));
        gradient.radialFillRect(p, QRectF(20, 15, 2, 2));  // both radii 1
    });
    EXPECT_TRUE(uniform(empty, empty.rect(), kMarker));
}
