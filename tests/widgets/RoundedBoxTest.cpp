#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFontMetricsF>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QTest>

#include <cmath>
#include <functional>
#include <vector>

#include "support/TestEnvironment.h"
#include "widgets/QGGradient.h"
#include "widgets/RoundedBox.h"

namespace {

// Boxes of 200 by 100 drawn onto transparent images. Points are given in the
// box's own coordinates (origin bottom-left, y up).
class RoundedBoxTest : public TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        box_.resize(200, 100);
        box_.setTitle("Themes");
    }

    QImage rendered() {
        QImage image(box_.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        box_.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }
    // The colour of the pixel whose centre is (x + 0.5, y + 0.5) in the box.
    QColor at(const QImage& image, int x, int y) const {
        return image.pixelColor(x, box_.height() - 1 - y);
    }
    // Whether the pixel shows colour, to the eight bits a pixel holds.
    ::testing::AssertionResult shows(const QImage& image, int x, int y, const QColor& colour) {
        const QRgb pixel = at(image, x, y).rgba();
        if (pixel == colour.rgba()) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "(" << x << ", " << y << ") is " << std::hex
                                             << pixel << ", not " << colour.rgba();
    }
    // The title bar's bottom and right edge for the current title.
    qreal barBottom() const {
        const QRectF t = box_.titleRect();
        return std::trunc(t.y() - (99 - (t.y() + t.height())));
    }
    qreal tabRight() const { return std::trunc(1 + box_.titleRect().width() + 9); }
    // Whether some pixel of the title rectangle is white text.
    bool hasWhiteText(const QImage& image) const {
        const QRect title = box_.toQt().mapRect(box_.titleRect()).toAlignedRect();
        for (int y = title.top(); y <= title.bottom(); ++y) {
            for (int x = title.left(); x <= title.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 240 && c.green() > 240 && c.blue() > 240) {
                    return true;
                }
            }
        }
        return false;
    }
    QColor backgroundAt(double y) const {
        // The gradient runs from the top of the border path (99) to its bottom (1).
        return QGGradient::gradientWithBeginningColor(box_.gradientStartColor(),
                                                      box_.gradientEndColor())
            .colorAtPosition(static_cast<float>((99 - y) / 98));
    }
    static bool near(const QColor& a, const QColor& b, int tolerance = 2) {
        return std::abs(a.red() - b.red()) <= tolerance &&
               std::abs(a.green() - b.green()) <= tolerance &&
               std::abs(a.blue() - b.blue()) <= tolerance && a.alpha() == b.alpha();
    }

    RoundedBox box_;
};

std::vector<QPointF> pathPoints(const QPainterPath& path) {
    std::vector<QPointF> points;
    for (int i = 0; i < path.elementCount(); ++i) {
        points.emplace_back(path.elementAt(i));
    }
    return points;
}

}  // namespace

TEST_F(RoundedBoxTest, DefaultsAreSetByConstruction) {
    EXPECT_EQ(box_.borderWidth(), 2.0f);
    EXPECT_EQ(box_.borderColor(), QColor::fromRgbF(0.5f, 0.5f, 0.5f));
    EXPECT_EQ(box_.titleColor(), QColor(Qt::white));
    EXPECT_EQ(box_.gradientStartColor(), QColor::fromRgbF(0.92f, 0.92f, 0.92f));
    EXPECT_EQ(box_.gradientEndColor(), QColor::fromRgbF(0.82f, 0.82f, 0.82f));
    EXPECT_EQ(box_.backgroundColor(), QColor::fromRgbF(0.9f, 0.9f, 0.9f));
    EXPECT_TRUE(box_.titleFont().bold());
    EXPECT_FALSE(box_.drawsFullTitleBar());
    EXPECT_FALSE(box_.selected());
    EXPECT_TRUE(box_.drawsGradientBackground());
    // Layouts keep clear of the title bar.
    EXPECT_GE(box_.contentsMargins().top(), 100 - barBottom());
}

TEST_F(RoundedBoxTest, ALaterTitleFontReachesTheDrawnTitle) {
    const qreal before = box_.titleRect().height();
    QFont large = box_.titleFont();
    large.setPointSizeF(large.pointSizeF() * 2);
    box_.setTitleFont(large);
    EXPECT_GT(box_.titleRect().height(), before * 1.5);
    EXPECT_GE(box_.contentsMargins().top(), 100 - barBottom());
}

TEST_F(RoundedBoxTest, WorkedExampleGeometry) {
    EXPECT_EQ(box_.outlineRect(), QRectF(1.5, 1.5, 198, 98));
    const QPainterPath border = box_.borderPath();
    EXPECT_EQ(border.boundingRect(), QRectF(1, 1, 198, 98));
    // From the middle of the bottom edge, counter-clockwise, corners rounded
    // by 4 (each corner a line and a curve of three points).
    const std::vector<QPointF> points = pathPoints(border);
    ASSERT_EQ(points.size(), 18u);
    EXPECT_EQ(points[0], QPointF(100, 1));
    EXPECT_EQ(points[1], QPointF(195, 1));
    EXPECT_EQ(points[4], QPointF(199, 5));
    EXPECT_EQ(points[5], QPointF(199, 95));
    EXPECT_EQ(points[8], QPointF(195, 99));
    EXPECT_EQ(points[9], QPointF(5, 99));
    EXPECT_EQ(points[12], QPointF(1, 95));
    EXPECT_EQ(points[13], QPointF(1, 5));
    EXPECT_EQ(points[16], QPointF(5, 1));
    EXPECT_EQ(points[17], QPointF(100, 1));
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
    const QRectF title = box_.titleRect();
    EXPECT_EQ(title.x(), 6);
    EXPECT_EQ(title.y(), static_cast<float>(100 - metrics.height() - 4));
    EXPECT_EQ(title.width(), static_cast<float>(metrics.horizontalAdvance("Themes") + 2));
    EXPECT_EQ(title.height(), metrics.height());
}

TEST_F(RoundedBoxTest, DrawsBorderTabGradientAndTitle) {
    const QImage image = rendered();
    const QColor grey = box_.borderColor();
    for (int x : {0, 1}) {
        EXPECT_TRUE(shows(image, x, 50, grey));
        EXPECT_TRUE(shows(image, 199 - x, 50, grey));
        EXPECT_TRUE(shows(image, 100, x, grey));
        EXPECT_TRUE(shows(image, 100, 99 - x, grey));
    }
    EXPECT_EQ(at(image, 0, 0).alpha(), 0);  // outside the rounded corners
    EXPECT_EQ(at(image, 199, 99).alpha(), 0);

    const int barMiddle = static_cast<int>((barBottom() + 99) / 2);
    EXPECT_TRUE(shows(image, static_cast<int>(tabRight()) - 2, barMiddle, grey));
    EXPECT_TRUE(near(at(image, static_cast<int>(tabRight()) + 2, barMiddle),
                     backgroundAt(barMiddle + 0.5)));
    EXPECT_TRUE(hasWhiteText(image));

    // Lighter at the top than at the bottom.
    EXPECT_TRUE(near(at(image, 150, 94), backgroundAt(94.5)));
    EXPECT_TRUE(near(at(image, 150, 5), backgroundAt(5.5)));
    EXPECT_GT(at(image, 150, 94).red(), at(image, 150, 5).red() + 15);
}

TEST_F(RoundedBoxTest, RendersIntoAnotherPainterAtAnOffset) {
    QImage page(400, 300, QImage::Format_ARGB32_Premultiplied);
    page.fill(Qt::black);
    {
        QPainter painter(&page);
        box_.render(&painter, QPoint(150, 120), QRegion(), QWidget::DrawChildren);
    }
    const QImage alone = rendered();
    for (QPoint point : {QPoint(100, 50), QPoint(150, 90), QPoint(0, 50), QPoint(30, 10)}) {
        EXPECT_EQ(page.pixel(point + QPoint(150, 120)), alone.pixel(point)) << point.x();
    }
}

TEST_F(RoundedBoxTest, FullTitleBarWhenAskedOrTooNarrow) {
    box_.setDrawsFullTitleBar(true);
    const int barMiddle = static_cast<int>((barBottom() + 99) / 2);
    EXPECT_TRUE(shows(rendered(), 180, barMiddle, box_.borderColor()));

    box_.setDrawsFullTitleBar(false);
    box_.resize(60, 100);
    box_.setTitle("A title far wider than the box");
    EXPECT_EQ(box_.titleRect().width(), 60 - 2 * (2 + 4));  // cut to fit
    const QImage image = rendered();
    EXPECT_TRUE(shows(image, 54, barMiddle, box_.borderColor()));
    EXPECT_TRUE(hasWhiteText(image));
    // Nothing of the title beyond its rectangle.
    for (int x = 55; x < 58; ++x) {
        for (int y = static_cast<int>(barBottom()) + 1; y < 98; ++y) {
            EXPECT_TRUE(shows(image, x, y, box_.borderColor()));
        }
    }
}

TEST_F(RoundedBoxTest, ZeroBorderDrawsNoLineAndMovesTheTitle) {
    box_.setBorderWidth(0.0f);
    EXPECT_EQ(box_.titleRect().x(), 4);
    const QImage image = rendered();
    EXPECT_TRUE(near(at(image, 0, 50), backgroundAt(50.5)));
    EXPECT_TRUE(near(at(image, 199, 50), backgroundAt(50.5)));
    EXPECT_TRUE(hasWhiteText(image));
}

TEST_F(RoundedBoxTest, SelectedBoxUsesTheSelectionColourForBorderAndBar) {
    box_.setSelected(true);
    const QColor selection = box_.palette().color(QPalette::Active, QPalette::Highlight);
    const QImage image = rendered();
    EXPECT_TRUE(shows(image, 0, 50, selection));
    EXPECT_TRUE(shows(image, 100, 0, selection));
    EXPECT_TRUE(shows(image, static_cast<int>(tabRight()) - 2, static_cast<int>(barBottom()) + 3,
                      selection));
    EXPECT_TRUE(hasWhiteText(image));  // the title keeps its own colour
}

TEST_F(RoundedBoxTest, PlainBackgroundWhenTheGradientIsOff) {
    box_.setBackgroundColor(QColor(200, 220, 240));
    box_.setDrawsGradientBackground(false);
    const QImage image = rendered();
    EXPECT_TRUE(shows(image, 150, 94, QColor(200, 220, 240)));
    EXPECT_TRUE(shows(image, 150, 5, QColor(200, 220, 240)));
}

TEST_F(RoundedBoxTest, SettersMarkForRedisplayOnlyWhatShows) {
    struct PaintSpy : QObject {
        QRegion painted;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                painted += static_cast<QPaintEvent*>(event)->region();
            }
            return false;
        }
    } spy;
    box_.installEventFilter(&spy);
    box_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box_));
    // A one-pixel probe always paints; whatever else was marked comes with it.
    auto settle = [&] {
        spy.painted = QRegion();
        box_.update(QRect(0, 0, 1, 1));
        QDeadlineTimer deadline(20000);
        while (spy.painted.isEmpty() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return spy.painted;
    };
    auto marksTheBox = [&](const std::function<void()>& change) {
        settle();
        change();
        return (QRegion(box_.rect()) - settle()).isEmpty();
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
