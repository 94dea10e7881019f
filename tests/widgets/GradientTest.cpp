// Gradients: their colours at a position, their archives and their fills.
#include <QColor>
#include <QImage>
#include <QPainter>

#include <array>
#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <vector>

#include "support/TestEnvironment.h"
#include "widgets/InvalidArchiveOperationException.h"
#include "widgets/KeyedArchiver.h"
#include "widgets/KeyedUnarchiver.h"
#include "widgets/QGGradient.h"
#include "widgets/RangeException.h"

namespace {

using Rgba = std::array<float, 4>;
using Positions = std::vector<float>;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
const QGGradientElement kRed{1, 0, 0, 1, 0};
const QGGradientElement kBlue{0, 0, 1, 1, 1};

Rgba at(const QGGradient& gradient, float t) {
    Rgba out{};
    gradient.gradientFunction()(t, out.data());
    return out;
}
QGGradient stops(std::vector<QGGradientElement> elements, int mode = 0) {
    QGGradient gradient;
    for (const auto& element : elements)
        gradient.addElement(element);
    gradient.setBlendingMode(mode);
    return gradient;
}
Rgba componentsOf(const QGGradientElement* element) {
    return {element->red, element->green, element->blue, element->alpha};
}
Positions positions(const QGGradient& gradient) {
    Positions result;
    for (std::size_t i = 0; const QGGradientElement* e = gradient.elementAtIndex(i); ++i)
        result.push_back(e->position);
    return result;
}

void expectNear(const Rgba& actual, const Rgba& expected, float tolerance = 1e-4f) {
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "component " << i;
}

std::unique_ptr<QGGradient> unarchive(const PlistValue& archive) {
    return KeyedUnarchiver::unarchiveRootObject<QGGradient>(archive);
}
// The stops as raw bits, so NaNs and signed zeros compare too.
std::vector<std::uint32_t> bits(const QGGradient& gradient) {
    std::vector<std::uint32_t> result;
    for (std::size_t i = 0; const QGGradientElement* e = gradient.elementAtIndex(i); ++i) {
        for (float value : {e->red, e->green, e->blue, e->alpha, e->position})
            result.push_back(std::bit_cast<std::uint32_t>(value));
    }
    return result;
}
PlistValue& object(PlistValue& archive, std::size_t index) {
    return archive.find("$objects")->asArray()->at(index);
}

// A coder that is not keyed, recording what reaches it.
class SequentialCoder : public Coder {
public:
    bool allowsKeyedCoding() const override { return false; }
    void encodeValueOfObjCType(const char*, const void*) override { calls.push_back("value"); }
    void decodeValueOfObjCType(const char*, void*) override { calls.push_back("decode"); }
    void encodeInt(int, const std::string& key) override { calls.push_back(key); }
    int decodeIntForKey(const std::string& key) override { return calls.push_back(key), 0; }
    std::vector<std::string> calls;
};

const QRgb kMarker = qRgb(255, 0, 255);
// A 100 by 40 rectangle at (20, 15); its pixels span 20..119 and 15..54.
const QRectF kRect(20, 15, 100, 40);
const QRect kPixels(20, 15, 100, 40);
const QGGradient kRedToBlue = QGGradient::gradientWithBeginningColor(Qt::red, Qt::blue);

// A canvas of 140 by 70 in colour (the marker), of ratio device pixels to a pixel.
QImage canvas(QRgb colour = kMarker, int ratio = 1) {
    QImage image(140 * ratio, 70 * ratio, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    image.setDevicePixelRatio(ratio);
    return image;
}
QImage painted(const std::function<void(QPainter&)>& draw, QImage image = canvas()) {
    QPainter painter(&image);
    draw(painter);
    return image;
}
// The pixel's colour against the gradient's at t, within two steps of 255.
::testing::AssertionResult shows(const QImage& image, int x, int y, const QGGradient& gradient,
                                 double t) {
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
bool all(const QImage& image, const QRect& area, QRgb colour, bool outside = false) {
    for (int i = 0; i < image.width() * image.height(); ++i) {
        const QPoint p(i % image.width(), i / image.width());
        if (area.contains(p) != outside && image.pixel(p) != colour)
            return false;
    }
    return true;
}
bool untouchedOutside(const QImage& image, const QRect& inside = kPixels) {
    return all(image, inside, kMarker, true);
}

}  // namespace

using GradientTest = TestEnvironment;

TEST_F(GradientTest, ModesHydrogenRainbowStopsOutsideTheStopsNaNCopiesAndMoves) {
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
    expectNear(at(stops({{0.2f, 0.2f, 0.2f, 1, 0}, {0.8f, 0.8f, 0.8f, 1, 1}}, 1), 0.5f),
               {0.5f, 0.5f, 0.5f, 1}, 1e-6f);
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

TEST_F(GradientTest,
       RoundTripsKeepStopsAndModeInTheKeyedArchiverLayoutAndMalformedOnesGiveNothing) {
    for (const QGGradient& gradient :
         {QGGradient(), QGGradient::aquaSelectedGradient(),
          QGGradient::hydrogenSpectrumGradient().gradientWithBlendingMode(2),
          QGGradient::rainbowGradient().addColorStop(QColor::fromRgbF(0.1f, 0.2f, 0.3f, 0.4f),
                                                     kNaN)}) {
        auto copy = KeyedUnarchiver::unarchiveObjectWithData<QGGradient>(
            KeyedArchiver::archivedDataWithRootObject(gradient));
        ASSERT_TRUE(copy);
        EXPECT_EQ(bits(*copy), bits(gradient));
        EXPECT_EQ(copy->blendingMode(), gradient.blendingMode());
    }
    // Object references may be plain integers, as the binary form reads back.
    PlistValue archive = KeyedArchiver::archivedRootObject(QGGradient::aquaNormalGradient());
    archive.find("$top")->set("root", PlistValue(1));
    object(archive, 1).set("$class", PlistValue(2));
    auto gradient = unarchive(archive);
    ASSERT_TRUE(gradient);
    EXPECT_EQ(bits(*gradient), bits(QGGradient::aquaNormalGradient()));
    // The layout NSKeyedArchiver writes.
    archive = KeyedArchiver::archivedRootObject(
        QGGradient::unifiedDarkGradient().gradientWithBlendingMode(1));
    EXPECT_EQ(*archive.stringFor("$archiver"), "NSKeyedArchiver");
    EXPECT_EQ(*archive.find("$version")->asInteger(), 100000);
    EXPECT_EQ(*archive.find("$top")->find("root"), KeyedArchiver::uid(1));
    ASSERT_EQ(archive.find("$objects")->asArray()->size(), 3u);
    EXPECT_EQ(*object(archive, 0).asString(), "$null");
    const PlistValue& stored = object(archive, 1);
    EXPECT_EQ(*stored.find("$class"), KeyedArchiver::uid(2));
    EXPECT_EQ(*stored.find("QGGradientElementCount")->asInteger(), 2);
    EXPECT_EQ(*stored.find("QGGradientBlendingMode")->asInteger(), 1);
    // Five floats per stop in writing order: red, green, blue, alpha, position.
    EXPECT_EQ(*stored.find("$0")->asReal(), static_cast<double>(0.68f));
    EXPECT_EQ(*stored.find("$3")->asReal(), 1.0);
    EXPECT_EQ(*stored.find("$9")->asReal(), 1.0);
    EXPECT_EQ(stored.find("$10"), nullptr);
    EXPECT_EQ(*object(archive, 2).stringFor("$classname"), "QGGradient");
    SequentialCoder coder;
    EXPECT_THROW(QGGradient::aquaNormalGradient().encodeWithCoder(coder),
                 InvalidArchiveOperationException);
    EXPECT_TRUE(coder.calls.empty());  // a coder that is not keyed gets nothing
    const PlistValue good = KeyedArchiver::archivedRootObject(QGGradient::aquaNormalGradient());
    ASSERT_TRUE(unarchive(good));
    // Each change sets a key of the archive (0), its $top (1), the gradient (2) or the class (3).
    const std::string count = "QGGradientElementCount";
    const std::tuple<int, std::string, PlistValue> changes[] = {
        {0, "$archiver", "NSArchiver"},
        {1, "root", KeyedArchiver::uid(9)},
        {1, "root", KeyedArchiver::uid(-1)},
        {1, "root", KeyedArchiver::uid(0)},
        {1, "root", "one"},
        {3, "$classname", "NSColor"},
        {2, "QGGradientBlendingMode", 3},
        {2, count, 5},
        {2, count, std::numeric_limits<int>::max()},
        {2, count, std::int64_t{1} << 40},
        {2, count, 1.5},
        {2, "$2", "blue"}};
    for (const auto& [where, key, value] : changes) {
        PlistValue archive = good;
        PlistValue* const targets[] = {&archive, archive.find("$top"), &object(archive, 1),
                                       &object(archive, 2)};
        targets[where]->set(key, value);
        EXPECT_FALSE(unarchive(archive)) << where << " " << key;
    }
    PlistValue noObjects = good;
    noObjects.remove("$objects");
    EXPECT_FALSE(unarchive(noObjects));
    EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData<QGGradient>("not a property list"));
    EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData<QGGradient>(""));
    // Absent keys read as 0: an empty gradient in linear mode.
    PlistValue bare = good;
    object(bare, 1).remove(count);
    object(bare, 1).remove("QGGradientBlendingMode");
    auto empty = unarchive(bare);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->elementAtIndex(0), nullptr);
    EXPECT_EQ(empty->blendingMode(), 0);
}

TEST_F(GradientTest, FillsAtAnglesInModesRadialEmptySingleStopTranslucentAndOnOddTargets) {
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
    for (QPoint corner : {QPoint(20, 15), QPoint(119, 15), QPoint(20, 54), QPoint(119, 54)})
        EXPECT_EQ(image.pixel(corner), qRgb(0, 0, 255));  // beyond the end circle
    EXPECT_EQ(image.pixel(69, 34), qRgb(255, 0, 0));      // inside the start circle
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
        kRedToBlue.fillRect(p, kRect, kNaN);
        kRedToBlue.fillRect(p, kRect, std::numeric_limits<float>::infinity());
        kRedToBlue.fillRect(p, QRectF(20, 15, 0, 40), 45.0f);
        kRedToBlue.radialFillRect(p, QRectF(20, 15, 100, -4));
        kRedToBlue.radialFillRect(p, QRectF(20, 15, 2, 2));  // both radii 1
    });
    EXPECT_TRUE(untouchedOutside(nothing, QRect()));
    const QGGradient clear =
        QGGradient::gradientWithBeginningColor(QColor(0, 0, 0, 0), QColor(0, 0, 0, 255));
    const QImage blank = canvas(qRgb(255, 255, 255));
    // Along x (one row copied down) and along y (bands of equal rows).
    const QImage across = painted([&](QPainter& p) { clear.fillRect(p, kRect, 0.0f); }, blank);
    EXPECT_EQ(across.pixel(20, 30), qRgb(254, 254, 254));
    EXPECT_NEAR(qRed(across.pixel(70, 30)), 126, 2);
    EXPECT_EQ(across.pixel(10, 30), qRgb(255, 255, 255));
    const QImage down = painted([&](QPainter& p) { clear.fillRect(p, kRect, 90.0f); }, blank);
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
