#include <QColor>

#include <array>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "support/TestEnvironment.h"
#include "widgets/QGGradient.h"
#include "widgets/RangeException.h"

namespace {

using Rgba = std::array<float, 4>;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

class GradientEvaluationTest : public TestEnvironment {
protected:
    static Rgba at(const QGGradient& gradient, float t) {
        Rgba out{};
        gradient.gradientFunction()(t, out.data());
        return out;
    }
    static QGGradient stops(std::vector<QGGradientElement> elements, int mode = 0) {
        QGGradient gradient;
        for (const auto& element : elements) {
            gradient.addElement(element);
        }
        gradient.setBlendingMode(mode);
        return gradient;
    }
    static Rgba componentsOf(const QGGradientElement* element) {
        return {element->red, element->green, element->blue, element->alpha};
    }
    static std::vector<float> positions(const QGGradient& gradient) {
        std::vector<float> result;
        for (std::size_t i = 0; const QGGradientElement* e = gradient.elementAtIndex(i); ++i) {
            result.push_back(e->position);
        }
        return result;
    }
    static float hueOf(Rgba rgba) {
        transformRGB_HSV(rgba.data());
        return rgba[0];
    }
};

void expectNear(const Rgba& actual, const Rgba& expected, float tolerance = 1e-4f) {
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "component " << i;
    }
}

const QGGradientElement kRed{1, 0, 0, 1, 0};
const QGGradientElement kBlue{0, 0, 1, 1, 1};

}  // namespace

TEST_F(GradientEvaluationTest, RedToBlueMidpointInTheThreeModes) {
    const QGGradient linear = QGGradient::gradientWithBeginningColor(Qt::red, Qt::blue);
    EXPECT_EQ(at(linear, 0.5f), (Rgba{0.5f, 0, 0.5f, 1}));
    EXPECT_EQ(at(linear.gradientWithBlendingMode(1), 0.5f), (Rgba{0, 1, 0, 1}));  // hue 120
    EXPECT_EQ(at(linear.gradientWithBlendingMode(2), 0.5f), (Rgba{1, 0, 1, 1}));  // hue 300
    EXPECT_EQ(linear.blendingMode(), 0);  // the copies took the modes
}

TEST_F(GradientEvaluationTest, GreyStopsTakeTheHueOfTheirNeighbour) {
    const QGGradient greyToBlue = stops({{0.5f, 0.5f, 0.5f, 1, 0}, kBlue}, 1);
    for (float t : {0.1f, 0.5f, 0.9f}) {
        const Rgba c = at(greyToBlue, t);
        EXPECT_FLOAT_EQ(c[0], c[1]) << t;  // hue 240 throughout: red equals green
        EXPECT_GT(c[2], c[0]) << t;
    }
    const QGGradient greys = stops({{0.2f, 0.2f, 0.2f, 1, 0}, {0.8f, 0.8f, 0.8f, 1, 1}}, 1);
    const Rgba middle = at(greys, 0.5f);
    EXPECT_FLOAT_EQ(middle[0], 0.5f);
    EXPECT_FLOAT_EQ(middle[1], 0.5f);
    EXPECT_FLOAT_EQ(middle[2], 0.5f);
}

TEST_F(GradientEvaluationTest, PureRedStopStaysExactlyRedInInverseMode) {
    // Its hue is raised to 360 for the interpolation and wraps back to 0.
    const QGGradient gradient = stops({kRed, kBlue}, 2);
    EXPECT_EQ(at(gradient, 0.0f), (Rgba{1, 0, 0, 1}));
    EXPECT_EQ(at(gradient, -3.0f), (Rgba{1, 0, 0, 1}));
    EXPECT_EQ(at(gradient, 1.0f), (Rgba{0, 0, 1, 1}));
}

TEST_F(GradientEvaluationTest, HydrogenLinesAndRainbowEnd) {
    const QGGradient hydrogen = QGGradient::hydrogenSpectrumGradient();
    EXPECT_EQ(hydrogen.blendingMode(), 1);
    ASSERT_EQ(positions(hydrogen).size(), 12u);
    EXPECT_EQ(hydrogen.elementAtIndex(0)->position, 0.145f - 0.01f);
    EXPECT_EQ(hydrogen.elementAtIndex(1)->position, 0.145f);
    EXPECT_EQ(hydrogen.elementAtIndex(2)->position, 0.145f + 0.01f);
    expectNear(componentsOf(hydrogen.elementAtIndex(1)), {1.0f, 0.3667f, 0.0f, 1});
    expectNear(at(hydrogen, 0.145f), {1.0f, 0.3667f, 0.0f, 1});
    expectNear(componentsOf(hydrogen.elementAtIndex(0)), {0.001f, 0.00034f, 0.0f, 1}, 1e-5f);
    // The other lines' full colours, hues 200, 253 and 275.
    expectNear(componentsOf(hydrogen.elementAtIndex(4)), {0, 2.0f / 3.0f, 1, 1});
    expectNear(componentsOf(hydrogen.elementAtIndex(7)), {13.0f / 60.0f, 0, 1, 1});
    expectNear(componentsOf(hydrogen.elementAtIndex(10)), {35.0f / 60.0f, 0, 1, 1});
    // Nearly black between the lines.
    const Rgba between = at(hydrogen, 0.4f);
    EXPECT_LT(std::max({between[0], between[1], between[2]}), 0.002f);

    const QGGradient rainbow = QGGradient::rainbowGradient();
    EXPECT_EQ(rainbow.blendingMode(), 1);
    EXPECT_NEAR(hueOf(componentsOf(rainbow.elementAtIndex(1))), 272.4f, 1e-3f);
    EXPECT_NEAR(hueOf(at(rainbow, 0.5f)), 136.2f, 1e-3f);  // through green, not magenta
    expectNear(at(rainbow, 1.0f), {0.54f, 0, 1, 1}, 1e-6f);
}

TEST_F(GradientEvaluationTest, StopsAtOnePositionMakeAHardEdgeInAddingOrder) {
    const QGGradient aqua = QGGradient::aquaSelectedGradient();
    EXPECT_EQ(positions(aqua), (std::vector<float>{0, 0.5f, 0.5f, 1}));
    EXPECT_EQ(at(aqua, 0.5f), (Rgba{0.42f, 0.68f, 0.90f, 1}));  // the first stop there
    expectNear(at(aqua, std::nextafter(0.5f, 1.0f)), {0.64f, 0.80f, 0.94f, 1});
    expectNear(at(aqua, 0.25f), {0.5f, 0.77f, 0.94f, 1});
    expectNear(at(aqua, 0.75f), {0.6f, 0.75f, 0.92f, 1});

    // A later stop at a held position goes after the ones there.
    const QGGradient gradient = stops({{0, 0, 0, 1, 0.5f}, {1, 1, 1, 1, 0.5f}, kRed});
    const QGGradient added = gradient.addColorStop(Qt::green, 0.5f);
    EXPECT_EQ(added.colorStopAtIndex(3), QColor(Qt::green));
    EXPECT_EQ(added.colorStopAtIndex(0), QColor(Qt::red));
    EXPECT_EQ(positions(gradient).size(), 3u);  // the receiver is unchanged
}

TEST_F(GradientEvaluationTest, PositionsOutsideTheStopsTakeTheEndColours) {
    for (int mode : {0, 1, 2}) {
        const QGGradient gradient = stops({{1, 0, 0, 1, 0.2f}, {0, 0, 1, 1, 0.8f}}, mode);
        for (float t : {-100.0f, 0.0f, 0.2f}) {
            EXPECT_EQ(at(gradient, t), (Rgba{1, 0, 0, 1})) << mode << " " << t;
        }
        for (float t : {0.8f, 1.0f, 100.0f}) {
            EXPECT_EQ(at(gradient, t), (Rgba{0, 0, 1, 1})) << mode << " " << t;
        }
    }
}

TEST_F(GradientEvaluationTest, NoStopIsWhiteAndOneStopIsEverywhere) {
    for (int mode : {0, 1, 2}) {
        const QGGradient empty = QGGradient().gradientWithBlendingMode(mode);
        for (float t : {-1.0f, 0.5f, 2.0f, kNaN}) {
            EXPECT_EQ(at(empty, t), (Rgba{1, 1, 1, 1})) << mode;
        }
        const QGGradient one = stops({{0.3f, 0.6f, 0.9f, 0.5f, 0.4f}}, mode);
        for (float t : {-1.0f, 0.4f, 0.41f, 2.0f}) {
            expectNear(at(one, t), {0.3f, 0.6f, 0.9f, 0.5f}, 1e-6f);
        }
    }
}

TEST_F(GradientEvaluationTest, NaNPositionsAndGreysAreHandled) {
    const QGGradient gradient = stops({kRed, kBlue});
    const Rgba atNaN = at(gradient, kNaN);
    EXPECT_TRUE(std::isnan(atNaN[0]) && std::isnan(atNaN[3]));
    EXPECT_FALSE(gradient.colorAtPosition(kNaN).isValid());
    EXPECT_TRUE(QGGradient().colorAtPosition(kNaN).isValid());  // white

    float grey[4] = {0.4f, 0.4f, 0.4f, 0.7f};
    transformRGB_HSV(grey);
    EXPECT_TRUE(std::isnan(grey[0]));
    EXPECT_EQ(grey[1], 0.0f);
    EXPECT_EQ(grey[3], 0.7f);  // the alpha after the three is left alone
    float a = kNaN, b = 30.0f;
    resolveHSV(&a, &b);
    EXPECT_EQ(a, 30.0f);
    a = 50.0f, b = kNaN;
    resolveHSV(&a, &b);
    EXPECT_EQ(b, 50.0f);
    a = kNaN, b = kNaN;
    resolveHSV(&a, &b);
    EXPECT_EQ(a, 0.0f);
    EXPECT_EQ(b, 0.0f);
    float noHue[3] = {kNaN, 1, 1};
    transformHSV_RGB(noHue);
    EXPECT_TRUE(std::isnan(noHue[0]) && std::isnan(noHue[1]) && std::isnan(noHue[2]));

    // A stop at NaN goes last, matches no position, and can go by index.
    const QGGradient withNaN = gradient.addColorStop(Qt::green, kNaN);
    ASSERT_EQ(positions(withNaN).size(), 3u);
    EXPECT_TRUE(std::isnan(withNaN.elementAtIndex(2)->position));
    EXPECT_THROW(withNaN.removeColorStopAtPosition(kNaN), RangeException);
    QGGradient copy = withNaN;
    EXPECT_TRUE(std::isnan(copy.removeElementAtPosition(kNaN).position));
    EXPECT_EQ(positions(copy).size(), 3u);
    EXPECT_EQ(positions(withNaN.removeColorStopAtIndex(2)), (std::vector<float>{0, 1}));
}

TEST_F(GradientEvaluationTest, RemovingByPositionTakesTheFirstExactMatch) {
    const QGGradient gradient =
        stops({{0, 0, 0, 1, 0}, {1, 0, 0, 1, 0.3f}, {0, 1, 0, 1, 0.3f}, kBlue});
    const QGGradient removed = gradient.removeColorStopAtPosition(0.3f);
    EXPECT_EQ(positions(removed), (std::vector<float>{0, 0.3f, 1}));
    EXPECT_EQ(removed.colorStopAtIndex(1), QColor(Qt::green));
    EXPECT_EQ(positions(gradient).size(), 4u);

    try {
        gradient.removeColorStopAtPosition(std::nextafter(0.3f, 1.0f));
        FAIL() << "no exception";
    } catch (const RangeException& error) {
        EXPECT_STREQ(error.what(),
                     "-[QGGradient removeColorStopAtPosition:]: no such colorStop at position "
                     "(0.300000)");
    }
    EXPECT_EQ(positions(gradient).size(), 4u);
}

TEST_F(GradientEvaluationTest, RemovingByIndexAndReadingStopsCheckTheBounds) {
    const QGGradient gradient = stops({kRed, {0, 1, 0, 1, 0.5f}, kBlue});
    EXPECT_EQ(positions(gradient.removeColorStopAtIndex(1)), (std::vector<float>{0, 1}));
    EXPECT_EQ(positions(gradient.removeColorStopAtIndex(0)), (std::vector<float>{0.5f, 1}));
    try {
        gradient.removeColorStopAtIndex(3);
        FAIL() << "no exception";
    } catch (const RangeException& error) {
        EXPECT_STREQ(error.what(),
                     "-[QGGradient removeColorStopAtIndex:]: index (3) beyond bounds");
    }
    EXPECT_THROW(gradient.colorStopAtIndex(3), RangeException);
    EXPECT_THROW(QGGradient().removeColorStopAtIndex(0), RangeException);
    EXPECT_EQ(positions(gradient).size(), 3u);

    QGGradient copy = gradient;
    const QGGradientElement missing = copy.removeElementAtIndex(7);
    EXPECT_TRUE(std::isnan(missing.position));
    EXPECT_EQ(componentsOf(&missing), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(missing.next, nullptr);
    const QGGradientElement last = copy.removeElementAtIndex(2);
    EXPECT_EQ(last.position, 1.0f);
    EXPECT_EQ(last.next, nullptr);
    EXPECT_EQ(copy.elementAtIndex(2), nullptr);
}

TEST_F(GradientEvaluationTest, DerivedGradientsLeaveTheReceiverAlone) {
    const QGGradient gradient = stops({kRed, kBlue}, 2);
    const QGGradient faded = gradient.gradientWithAlphaComponent(0.25f);
    EXPECT_EQ(faded.blendingMode(), 0);
    EXPECT_EQ(at(faded, 0.5f), (Rgba{0.5f, 0, 0.5f, 0.25f}));
    EXPECT_EQ(at(gradient, 0.5f), (Rgba{1, 0, 1, 1}));

    EXPECT_THROW(gradient.gradientWithBlendingMode(3), std::invalid_argument);
    QGGradient changed = gradient;
    EXPECT_THROW(changed.setBlendingMode(-1), std::invalid_argument);
    EXPECT_EQ(changed.blendingMode(), 2);
    EXPECT_EQ(at(changed, 0.5f), (Rgba{1, 0, 1, 1}));
}

TEST_F(GradientEvaluationTest, CopiesAndMovesKeepStopsModeAndTheirOwnFunction) {
    QGGradient original = QGGradient::aquaPressedGradient().gradientWithBlendingMode(1);
    QGGradient copy = original;
    EXPECT_EQ(positions(copy), positions(original));
    EXPECT_EQ(copy.blendingMode(), 1);
    copy.removeElementAtIndex(0);
    EXPECT_EQ(positions(original).size(), 4u);  // no shared stops

    const Rgba before = at(original, 0.3f);
    QGGradient moved = std::move(original);
    EXPECT_EQ(at(moved, 0.3f), before);                 // reads its own list head
    EXPECT_EQ(at(original, 0.3f), (Rgba{1, 1, 1, 1}));  // NOLINT: moved-from is empty and usable
    original = moved;
    EXPECT_EQ(at(original, 0.3f), before);
}

TEST_F(GradientEvaluationTest, ColoursComeInAndOutAsQColors) {
    const QGGradient gradient = QGGradient::gradientWithBeginningColor(
        QColor::fromHsvF(1.0f / 3.0f, 1, 1), QColor());  // an invalid colour is clear
    EXPECT_EQ(at(gradient, 0.0f), (Rgba{0, 1, 0, 1}));
    EXPECT_EQ(at(gradient, 1.0f), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(gradient.colorAtPosition(0.5f), QColor::fromRgbF(0, 0.5f, 0, 0.5f));
    const QColor bright = stops({{1.5f, 0.5f, 0, 1, 0}}).colorAtPosition(0);
    EXPECT_EQ(bright.spec(), QColor::ExtendedRgb);
    EXPECT_FLOAT_EQ(bright.redF(), 1.5f);
}

TEST_F(GradientEvaluationTest, NegativeHuesGoRoundTheWheel) {
    float hue[3] = {-120.0f, 1, 1};
    transformHSV_RGB(hue);
    EXPECT_EQ((Rgba{hue[0], hue[1], hue[2], 1}), (Rgba{0, 0, 1, 1}));
    float tiny[3] = {-1e-6f, 1, 1};
    transformHSV_RGB(tiny);
    EXPECT_EQ((Rgba{tiny[0], tiny[1], tiny[2], 1}), (Rgba{1, 0, 0, 1}));
}
