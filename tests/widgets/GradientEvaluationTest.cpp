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
using Positions = std::vector<float>;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
const QGGradientElement kRed{1, 0, 0, 1, 0};
const QGGradientElement kBlue{0, 0, 1, 1, 1};

class GradientEvaluationTest : public TestEnvironment {
protected:
    static Rgba at(const QGGradient& gradient, float t) {
        Rgba out{};
        gradient.gradientFunction()(t, out.data());
        return out;
    }
    static QGGradient stops(std::vector<QGGradientElement> elements, int mode = 0) {
        QGGradient gradient;
        for (const auto& element : elements)
            gradient.addElement(element);
        gradient.setBlendingMode(mode);
        return gradient;
    }
    static Rgba componentsOf(const QGGradientElement* element) {
        return {element->red, element->green, element->blue, element->alpha};
    }
    static Positions positions(const QGGradient& gradient) {
        Positions result;
        for (std::size_t i = 0; const QGGradientElement* e = gradient.elementAtIndex(i); ++i)
            result.push_back(e->position);
        return result;
    }
};

void expectNear(const Rgba& actual, const Rgba& expected, float tolerance = 1e-4f) {
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "component " << i;
}

}  // namespace

TEST_F(GradientEvaluationTest, ModesHydrogenRainbowStopsOutsideTheStopsNaNCopiesAndMoves) {
    const QGGradient linear = QGGradient::gradientWithBeginningColor(Qt::red, Qt::blue);
    const QGGradient inverse = linear.gradientWithBlendingMode(2);
    EXPECT_EQ(at(linear.gradientWithBlendingMode(1), 0.5f), (Rgba{0, 1, 0, 1}));  // hue 120
    EXPECT_EQ(at(inverse, 0.5f), (Rgba{1, 0, 1, 1}));                             // hue 300
    EXPECT_EQ(at(linear, 0.5f), (Rgba{0.5f, 0, 0.5f, 1}));  // the copies took the modes
    // The pure red stop's hue is raised to 360 for mode 2 and wraps back to 0.
    EXPECT_EQ(at(inverse, 0.0f), (Rgba{1, 0, 0, 1}));
    // In mode 1 a grey end stop takes its neighbour's hue (240: red equals green); greys stay.
    for (float t : {0.1f, 0.5f, 0.9f}) {
        for (const Rgba& c : {at(stops({{0.5f, 0.5f, 0.5f, 1, 0}, kBlue}, 1), t),
                              at(stops({{0, 0, 1, 1, 0}, {0.5f, 0.5f, 0.5f, 1, 1}}, 1), t)}) {
            EXPECT_FLOAT_EQ(c[0], c[1]) << t;
            EXPECT_GT(c[2], c[0]) << t;
        }
    }
    const QGGradient greys = stops({{0.2f, 0.2f, 0.2f, 1, 0}, {0.8f, 0.8f, 0.8f, 1, 1}}, 1);
    expectNear(at(greys, 0.5f), {0.5f, 0.5f, 0.5f, 1}, 1e-6f);
    EXPECT_EQ(at(inverse.gradientWithAlphaComponent(0.25f), 0.5f), (Rgba{0.5f, 0, 0.5f, 0.25f}));
    EXPECT_THROW(inverse.gradientWithBlendingMode(3), std::invalid_argument);
    QGGradient changed = inverse;
    EXPECT_THROW(changed.setBlendingMode(-1), std::invalid_argument);
    EXPECT_EQ(at(changed, 0.5f), (Rgba{1, 0, 1, 1}));
    const QGGradient hydrogen = QGGradient::hydrogenSpectrumGradient();
    EXPECT_EQ(hydrogen.blendingMode(), 1);
    ASSERT_EQ(positions(hydrogen).size(), 12u);
    // Each line's full colour, hues 22, 200, 253 and 275, between nearly black stops.
    const std::pair<std::size_t, Rgba> full[] = {{1, {1.0f, 0.3667f, 0, 1}},
                                                 {4, {0, 2.0f / 3.0f, 1, 1}},
                                                 {7, {13.0f / 60.0f, 0, 1, 1}},
                                                 {10, {35.0f / 60.0f, 0, 1, 1}}};
    for (const auto& [index, colour] : full) {
        SCOPED_TRACE(index);
        expectNear(componentsOf(hydrogen.elementAtIndex(index)), colour);
    }
    expectNear(at(hydrogen, 0.145f), std::get<1>(full[0]));
    const Rgba between = at(hydrogen, 0.4f);
    EXPECT_LT(std::max({between[0], between[1], between[2]}), 0.002f);
    const QGGradient rainbow = QGGradient::rainbowGradient();
    EXPECT_EQ(rainbow.blendingMode(), 1);
    expectNear(at(rainbow, 1.0f), {0.54f, 0, 1, 1}, 1e-6f);  // hue 272.4
    Rgba middle = at(rainbow, 0.5f);
    transformRGB_HSV(middle.data());
    EXPECT_NEAR(middle[0], 136.2f, 1e-3f);  // half of it: through green, not magenta
    const QGGradient aqua = QGGradient::aquaSelectedGradient();
    EXPECT_EQ(positions(aqua), (Positions{0, 0.5f, 0.5f, 1}));
    EXPECT_EQ(at(aqua, 0.5f), (Rgba{0.42f, 0.68f, 0.90f, 1}));  // the first stop there
    expectNear(at(aqua, std::nextafter(0.5f, 1.0f)), {0.64f, 0.80f, 0.94f, 1});
    expectNear(at(aqua, 0.75f), {0.6f, 0.75f, 0.92f, 1});
    // Stops are kept in order of position, a later one after those at its position.
    const QGGradient gradient =
        stops({{1, 0, 0, 1, 0.3f}, {0, 1, 0, 1, 0.3f}, kBlue, {0, 0, 0, 1, 0}});
    EXPECT_EQ(positions(gradient), (Positions{0, 0.3f, 0.3f, 1}));
    EXPECT_EQ(gradient.addColorStop(Qt::yellow, 0.3f).colorStopAtIndex(3), QColor(Qt::yellow));
    const QGGradient removed = gradient.removeColorStopAtPosition(0.3f);  // the first match
    EXPECT_EQ(positions(removed), (Positions{0, 0.3f, 1}));
    EXPECT_EQ(removed.colorStopAtIndex(1), QColor(Qt::green));
    EXPECT_EQ(positions(gradient.removeColorStopAtIndex(0)), (Positions{0.3f, 0.3f, 1}));
    EXPECT_THROW(gradient.removeColorStopAtPosition(std::nextafter(0.3f, 1.0f)), RangeException);
    EXPECT_THROW(gradient.removeColorStopAtIndex(4), RangeException);
    EXPECT_THROW(gradient.colorStopAtIndex(4), RangeException);
    EXPECT_THROW(QGGradient().removeColorStopAtIndex(0), RangeException);
    EXPECT_EQ(positions(gradient).size(), 4u);  // the receiver is unchanged throughout
    // In place, a missing index gives an empty element.
    QGGradient copy = gradient;
    const QGGradientElement missing = copy.removeElementAtIndex(7);
    EXPECT_TRUE(std::isnan(missing.position) && componentsOf(&missing) == Rgba{} && !missing.next);
    const QGGradientElement last = copy.removeElementAtIndex(3);
    EXPECT_TRUE(last.position == 1.0f && !last.next);
    EXPECT_EQ(positions(copy), (Positions{0, 0.3f, 0.3f}));
    // A stop at NaN goes last, matches no position, and can go by index.
    const QGGradient withNaN = stops({kRed, kBlue}).addColorStop(Qt::green, kNaN);
    EXPECT_TRUE(std::isnan(positions(withNaN).at(2)));
    EXPECT_THROW(withNaN.removeColorStopAtPosition(kNaN), RangeException);
    QGGradient nanCopy = withNaN;
    EXPECT_TRUE(std::isnan(nanCopy.removeElementAtPosition(kNaN).position));
    EXPECT_EQ(positions(nanCopy).size(), 3u);
    EXPECT_EQ(positions(withNaN.removeColorStopAtIndex(2)), (Positions{0, 1}));
    for (int mode : {0, 1, 2}) {
        const QGGradient gradient = stops({{1, 0, 0, 1, 0.2f}, {0, 0, 1, 1, 0.8f}}, mode);
        for (float t : {-100.0f, 0.0f, 0.2f, 0.8f, 1.0f, 100.0f}) {
            EXPECT_EQ(at(gradient, t), (t < 0.5f ? Rgba{1, 0, 0, 1} : Rgba{0, 0, 1, 1}))
                << "mode " << mode << " at " << t;
        }
        for (float t : {-1.0f, 0.5f, 2.0f, kNaN}) {
            EXPECT_EQ(at(QGGradient().gradientWithBlendingMode(mode), t), (Rgba{1, 1, 1, 1}))
                << "no stop, mode " << mode << " at " << t;
        }
        const QGGradient one = stops({{0.3f, 0.6f, 0.9f, 0.5f, 0.4f}}, mode);
        for (float t : {-1.0f, 0.4f, 0.41f, 2.0f}) {
            SCOPED_TRACE(testing::Message() << "one stop, mode " << mode << " at " << t);
            expectNear(at(one, t), {0.3f, 0.6f, 0.9f, 0.5f}, 1e-6f);
        }
        const Rgba atNaN = at(stops({kRed, kBlue}, mode), kNaN);
        EXPECT_TRUE(std::isnan(atNaN[0]) && std::isnan(atNaN[2]) && std::isnan(atNaN[3])) << mode;
    }
    EXPECT_FALSE(stops({kRed, kBlue}).colorAtPosition(kNaN).isValid());
    EXPECT_TRUE(QGGradient().colorAtPosition(kNaN).isValid());  // white
    for (auto [hue, rgb] : {std::pair{-120.0f, Rgba{0, 0, 1, 1}}, {-1e-6f, Rgba{1, 0, 0, 1}}}) {
        Rgba hsv = {hue, 1, 1, 1};
        transformHSV_RGB(hsv.data());
        EXPECT_EQ(hsv, rgb) << hue;
    }
    QGGradient original = QGGradient::aquaPressedGradient().gradientWithBlendingMode(1);
    QGGradient duplicate = original;
    EXPECT_EQ(positions(duplicate), positions(original));
    EXPECT_EQ(duplicate.blendingMode(), 1);
    duplicate.removeElementAtIndex(0);
    EXPECT_EQ(positions(original).size(), 4u);  // no shared stops
    const Rgba before = at(original, 0.3f);
    QGGradient moved = std::move(original);
    EXPECT_EQ(at(moved, 0.3f), before);                 // reads its own list head
    EXPECT_EQ(at(original, 0.3f), (Rgba{1, 1, 1, 1}));  // NOLINT: moved-from is empty and usable
    original = moved;
    EXPECT_EQ(at(original, 0.3f), before);
    const QGGradient toClear = QGGradient::gradientWithBeginningColor(
        QColor::fromHsvF(1.0f / 3.0f, 1, 1), QColor());  // an invalid colour is clear
    EXPECT_EQ(toClear.colorAtPosition(0.5f), QColor::fromRgbF(0, 0.5f, 0, 0.5f));
    const QColor bright = stops({{1.5f, 0.5f, 0, 1, 0}}).colorAtPosition(0);
    EXPECT_EQ(bright.spec(), QColor::ExtendedRgb);
    EXPECT_FLOAT_EQ(bright.redF(), 1.5f);
}
