#include <QCoreApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QTest>

#include <cmath>
#include <functional>

#include "support/TestEnvironment.h"
#include "widgets/QGGradient.h"
#include "widgets/RoundedBox.h"

namespace {

// A box that collects the regions it paints.
class PaintedBox : public RoundedBox {
public:
    QRegion painted;

protected:
    void paintEvent(QPaintEvent* event) override {
        painted += event->region();
        RoundedBox::paintEvent(event);
    }
};

// Boxes of 200 by 100 on transparent images; points in the box's coordinates (y up).
class RoundedBoxTest : public TestEnvironment {
protected:
    RoundedBoxTest() {
        box_.resize(200, 100);
        box_.setTitle("Themes");
    }
    QImage rendered() {
        QImage image(box_.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        box_.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }
    // Whether pixel (x, y) shows colour: alpha exactly, red, green and blue within tolerance.
    ::testing::AssertionResult shows(const QImage& image, int x, int y, const QColor& colour,
                                     int tolerance = 0) const {
        const QColor c = image.pixelColor(x, box_.height() - 1 - y);
        const int off =
            std::max({std::abs(c.red() - colour.red()), std::abs(c.green() - colour.green()),
                      std::abs(c.blue() - colour.blue())});
        return off <= tolerance && c.alpha() == colour.alpha()
                   ? ::testing::AssertionSuccess()
                   : ::testing::AssertionFailure()
                         << "(" << x << ", " << y << ") is "
                         << c.name(QColor::HexArgb).toStdString() << ", not "
                         << colour.name(QColor::HexArgb).toStdString();
    }
    // The background gradient at height y, from the border's top (99) to its bottom (1).
    QColor backgroundAt(double y) const {
        return QGGradient::gradientWithBeginningColor(box_.gradientStartColor(),
                                                      box_.gradientEndColor())
            .colorAtPosition(static_cast<float>((99 - y) / 98));
    }
    // The title bar's bottom, its middle row and the tab's right edge for the current title.
    qreal barBottom() const {
        const QRectF t = box_.titleRect();
        return std::trunc(t.y() - (99 - (t.y() + t.height())));
    }
    int barMiddle() const { return static_cast<int>((barBottom() + 99) / 2); }
    int tabRight() const { return static_cast<int>(1 + box_.titleRect().width() + 9); }
    // Whether some pixel of the title rectangle is white text.
    bool hasWhiteText(const QImage& image) const {
        const QImage title = image.copy(box_.toQt().mapRect(box_.titleRect()).toAlignedRect());
        for (int i = 0; i < title.width() * title.height(); ++i) {
            if (qGray(title.pixel(i % title.width(), i / title.width())) > 240)
                return true;
        }
        return false;
    }
    PaintedBox box_;
};

}  // namespace

TEST_F(RoundedBoxTest, WorkedExampleGeometryDrawnAtAnyOffsetKeepsLayoutsClearOfTheTitleBar) {
    EXPECT_EQ(box_.outlineRect(), QRectF(1.5, 1.5, 198, 98));
    const QPainterPath border = box_.borderPath();
    EXPECT_EQ(border.boundingRect(), QRectF(1, 1, 198, 98));
    // Counter-clockwise from the bottom's middle; each corner a line and a curve of radius 4.
    ASSERT_EQ(border.elementCount(), 18);
    const std::pair<int, QPointF> points[] = {
        {0, {100, 1}}, {1, {195, 1}}, {4, {199, 5}}, {5, {199, 95}}, {8, {195, 99}},
        {9, {5, 99}},  {12, {1, 95}}, {13, {1, 5}},  {16, {5, 1}},   {17, {100, 1}}};
    for (const auto& [index, point] : points)
        EXPECT_EQ(QPointF(border.elementAt(index)), point) << "point " << index;
    EXPECT_TRUE(border.contains(QPointF(198.5, 50)));
    EXPECT_FALSE(border.contains(QPointF(198.5, 98.5)));  // the rounded corner
    // A title 60 by 14 sits at (6, 82) and its tab spans 1..72 by 79..99.
    const QPainterPath tab = box_.titlePathWithinRect(box_.outlineRect(), 4.0, {6, 82, 62, 14});
    EXPECT_EQ(tab.boundingRect(), QRectF(1, 79, 71, 20));
    EXPECT_TRUE(tab.contains(QPointF(71.8, 98.8)));   // the upper right corner is square
    EXPECT_FALSE(tab.contains(QPointF(71.8, 79.2)));  // the lower right one rounded
    EXPECT_FALSE(tab.contains(QPointF(1.2, 98.8)));   // and the upper left one too
    // The measured title: 4 beyond the border, twice the border below the top.
    const QFontMetricsF metrics(box_.titleFont(), &box_);
    EXPECT_EQ(box_.titleRect(), QRectF(6, static_cast<float>(100 - metrics.height() - 4),
                                       static_cast<float>(metrics.horizontalAdvance("Themes") + 2),
                                       metrics.height()));
    // A later, larger font moves the contents down with the title bar.
    EXPECT_GE(box_.contentsMargins().top(), 100 - barBottom());
    const qreal before = box_.titleRect().height();
    QFont large = box_.titleFont();
    large.setPointSizeF(large.pointSizeF() * 2);
    box_.setTitleFont(large);
    EXPECT_GT(box_.titleRect().height(), before * 1.5);
    EXPECT_GE(box_.contentsMargins().top(), 100 - barBottom());
    const QImage image = rendered();
    const QColor grey = QColor::fromRgbF(0.5f, 0.5f, 0.5f);
    for (int x : {0, 1})
        for (QPoint p : {QPoint(x, 50), QPoint(199 - x, 50), QPoint(100, x), QPoint(100, 99 - x)})
            EXPECT_TRUE(shows(image, p.x(), p.y(), grey));
    EXPECT_TRUE(shows(image, 0, 0, Qt::transparent));  // outside the rounded corners
    EXPECT_TRUE(shows(image, 199, 99, Qt::transparent));
    EXPECT_TRUE(shows(image, tabRight() - 2, barMiddle(), grey));
    EXPECT_TRUE(shows(image, tabRight() + 2, barMiddle(), backgroundAt(barMiddle() + 0.5), 2));
    EXPECT_TRUE(hasWhiteText(image));
    for (int y : {94, 5})  // the gradient's start colour at the top
        EXPECT_TRUE(shows(image, 150, y, backgroundAt(y + 0.5), 2));
    // Into another painter at an offset, the same pixels.
    QImage page(400, 300, QImage::Format_ARGB32_Premultiplied);
    page.fill(Qt::black);
    QPainter painter(&page);
    box_.render(&painter, QPoint(150, 120), QRegion(), QWidget::DrawChildren);
    painter.end();
    for (QPoint point : {QPoint(100, 50), QPoint(150, 90), QPoint(0, 50), QPoint(30, 10)})
        EXPECT_EQ(page.pixel(point + QPoint(150, 120)), image.pixel(point)) << point.x();
}

TEST_F(RoundedBoxTest, SelectedFullBarPlainBorderlessAndTooNarrowBoxes) {
    box_.setSelected(true);
    box_.setDrawsFullTitleBar(true);
    const QColor selection = box_.palette().color(QPalette::Active, QPalette::Highlight);
    const QImage image = rendered();
    // Border and bar in the selection colour; the title keeps its own.
    for (QPoint p : {QPoint(0, 50), QPoint(100, 0), QPoint(180, barMiddle())})
        EXPECT_TRUE(shows(image, p.x(), p.y(), selection));
    EXPECT_TRUE(hasWhiteText(image));
    // Unselected, with no border and a plain background.
    box_.setSelected(false);
    box_.setDrawsFullTitleBar(false);
    box_.setBorderWidth(0.0f);
    box_.setBackgroundColor(QColor(200, 220, 240));
    box_.setDrawsGradientBackground(false);
    EXPECT_EQ(box_.titleRect().x(), 4);
    const QImage plain = rendered();
    for (QPoint p : {QPoint(0, 50), QPoint(199, 50), QPoint(150, 94), QPoint(150, 5)})
        EXPECT_TRUE(shows(plain, p.x(), p.y(), QColor(200, 220, 240)));
    EXPECT_TRUE(hasWhiteText(plain));
    // Too narrow a box cuts the title and spans the bar.
    box_.setBorderWidth(2.0f);
    box_.resize(60, 100);
    box_.setTitle("A title far wider than the box");
    EXPECT_EQ(box_.titleRect().width(), 60 - 2 * (2 + 4));
    const QImage narrow = rendered();
    EXPECT_TRUE(hasWhiteText(narrow));
    // The bar reaches the right border, with nothing of the title beyond its rectangle.
    for (int x = 54; x < 58; ++x)
        for (int y = static_cast<int>(barBottom()) + 1; y < 98; ++y)
            EXPECT_TRUE(shows(narrow, x, y, box_.borderColor()));
}

TEST_F(RoundedBoxTest, SettersMarkForRedisplayOnlyWhatShows) {
    box_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box_));
    // Update requests are posted: handled at once, they paint what a change marked.
    auto marksTheBox = [&](const std::function<void()>& change) {
        QCoreApplication::sendPostedEvents();
        box_.painted = QRegion();
        change();
        QCoreApplication::sendPostedEvents();
        return (QRegion(box_.rect()) - box_.painted).isEmpty();
    };
    EXPECT_FALSE(marksTheBox([&] { box_.setBackgroundColor(Qt::red); }));
    EXPECT_TRUE(marksTheBox([&] { box_.setGradientStartColor(Qt::red); }));
    EXPECT_TRUE(marksTheBox([&] { box_.setGradientEndColor(Qt::red); }));
    EXPECT_TRUE(marksTheBox([&] { box_.setDrawsGradientBackground(false); }));
    EXPECT_FALSE(marksTheBox([&] { box_.setGradientStartColor(Qt::blue); }));
    EXPECT_TRUE(marksTheBox([&] { box_.setBackgroundColor(Qt::blue); }));
    EXPECT_TRUE(marksTheBox([&] { box_.setTitle("Other"); }));
    EXPECT_TRUE(marksTheBox([&] { box_.setSelected(true); }));
    EXPECT_TRUE(marksTheBox([&] { box_.setDrawsFullTitleBar(true); }));
    EXPECT_TRUE(marksTheBox([&] { box_.setBorderColor(Qt::green); }));
    EXPECT_TRUE(marksTheBox([&] { box_.setTitleColor(Qt::black); }));
}
