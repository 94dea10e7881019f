// The window zoom effect: durations, the snapshot, and what the real window ends as.
#include <gtest/gtest.h>
#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "widgets/PellixEffects.h"
#include "widgets/PellixZoomWindow.h"
#include "widgets/RVAnimationAdditions.h"

namespace {

// Records, each time it is drawn, whether it was one-shot and had a native window.
class Recorded : public QWidget {
public:
    std::vector<std::pair<bool, bool>> draws;

protected:
    void paintEvent(QPaintEvent*) override {
        draws.emplace_back(PellixEffects::isOneShot(this), testAttribute(Qt::WA_WState_Created));
        QPainter(this).fillRect(rect(), Qt::red);
    }
};

class PellixEffectsTest : public ::testing::Test {
protected:
    void TearDown() override { PellixZoomWindow::setModifierQuery(nullptr); }
};

}  // namespace

TEST_F(PellixEffectsTest,
       TheZoomWindowTakesItsTimeFromShiftAndZoomingShowsAndHidesAWindowAtItsOwnFrame) {
    QWidget window;
    window.resize(200, 100);
    QPointer<PellixZoomWindow> zoom =
        PellixEffects::_createZoomWindowWithRect(&window, QRect(5, 5, 40, 40));
    ASSERT_TRUE(zoom);
    EXPECT_EQ(zoom->geometry(), QRect(5, 5, 40, 40));
    EXPECT_EQ(zoom->snapshot().size(), window.size());
    EXPECT_TRUE(zoom->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(zoom->isVisible());
    // Shift makes a zoom five times the base time, otherwise four tenths.
    const std::pair<Qt::KeyboardModifiers, double> cases[] = {
        {Qt::ShiftModifier, 5.0},
        {Qt::ShiftModifier | Qt::ControlModifier, 5.0},
        {Qt::NoModifier, 0.4000000059604645},
        {Qt::ControlModifier, 0.4000000059604645},
    };
    for (QRect to : {QRect(0, 0, 10, 10), QRect(100, 100, 600, 400)}) {
        for (const auto& [modifiers, factor] : cases) {
            PellixZoomWindow::setModifierQuery([&modifiers = modifiers] { return modifiers; });
            EXPECT_DOUBLE_EQ(zoom->animationResizeTime(to),
                             PellixZoomWindow::baseResizeTime(zoom->geometry(), to) * factor);
        }
    }
    zoom->show();
    zoom->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(zoom);
    // Zooming on and off shows and hides the window at its own frame.
    PellixZoomWindow::setModifierQuery([] { return Qt::NoModifier; });
    Recorded shown;
    shown.setGeometry(200, 150, 160, 120);
    PellixEffects::setOneShot(&shown, true);
    QRect frame = shown.geometry();
    EXPECT_FALSE(shown.testAttribute(Qt::WA_WState_Created));

    PellixEffects::zoomOnFromRect(&shown, QRect(10, 10, 0, 0));  // a start of zero size
    EXPECT_TRUE(shown.isVisible());
    EXPECT_EQ(shown.geometry(), frame);
    EXPECT_TRUE(PellixEffects::isOneShot(&shown));
    ASSERT_FALSE(shown.draws.empty());
    // The snapshot was drawn with the flag off and a native window made first.
    EXPECT_EQ(shown.draws.front(), std::make_pair(false, true));

    std::size_t draws = shown.draws.size();
    PellixEffects::zoomOnFromRect(&shown, QRect(10, 10, 5, 5));  // visible: nothing
    EXPECT_EQ(shown.draws.size(), draws);

    PellixEffects::zoomOffToRect(&shown, QRect(30, 30, 20, 10));
    EXPECT_FALSE(shown.isVisible());
    EXPECT_EQ(shown.geometry(), frame);
    EXPECT_TRUE(PellixEffects::isOneShot(&shown));
    draws = shown.draws.size();
    PellixEffects::zoomOffToRect(&shown, QRect(30, 30, 20, 10));  // hidden: nothing
    EXPECT_EQ(shown.draws.size(), draws);

    // The zoom's wait counts as a blocking animation while it runs, and only then.
    bool sawBlocking = false;
    QTimer looking;
    QObject::connect(&looking, &QTimer::timeout,
                     [&sawBlocking] { sawBlocking |= RVAnimationAdditions::isBlocking(); });
    looking.start(0);
    PellixEffects::zoomOnFromRect(&shown, QRect(30, 30, 20, 10));
    looking.stop();
    EXPECT_TRUE(sawBlocking);
    EXPECT_FALSE(RVAnimationAdditions::isBlocking());
    EXPECT_TRUE(shown.isVisible());
    EXPECT_EQ(shown.geometry(), frame);
}
