#include "widgets/PellixZoomWindow.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPropertyAnimation>
#include <QVBoxLayout>

#include "widgets/RVAnimationAdditions.h"

namespace {

std::function<Qt::KeyboardModifiers()>& modifierQuery() {
    static std::function<Qt::KeyboardModifiers()> query;
    return query;
}

constexpr double kShiftFactor = 5.0;
constexpr double kFactor = static_cast<double>(0.4f);
// About the platform's: 0.2 s for a resize of 150 pixels, never less than that.
constexpr double kBaseSeconds = 0.2;
constexpr double kBasePixels = 150.0;

}  // namespace

PellixZoomWindow::PellixZoomWindow(const QRect& frame, const QPixmap& snapshot, bool shadow,
                                   Qt::WindowFlags level)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | level |
                           (shadow ? Qt::WindowFlags() : Qt::NoDropShadowWindowHint)),
      snapshot_(snapshot) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAccessibleName(tr("Zooming window"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    view_ = new QLabel(this);
    view_->setAccessibleName(tr("Window picture"));
    view_->setScaledContents(true);
    view_->setPixmap(snapshot_);
    view_->setMinimumSize(0, 0);
    view_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    layout->addWidget(view_);
    setMinimumSize(0, 0);
    setGeometry(frame);
}

void PellixZoomWindow::setModifierQuery(std::function<Qt::KeyboardModifiers()> query) {
    modifierQuery() = std::move(query);
}

double PellixZoomWindow::baseResizeTime(const QRect& from, const QRect& to) {
    double change =
        std::max({std::abs(to.left() - from.left()), std::abs(to.top() - from.top()),
                  std::abs(to.right() - from.right()), std::abs(to.bottom() - from.bottom())});
    return kBaseSeconds * std::max(1.0, change / kBasePixels);
}

double PellixZoomWindow::animationResizeTime(const QRect& newFrame) const {
    Qt::KeyboardModifiers modifiers =
        modifierQuery() ? modifierQuery()() : QGuiApplication::queryKeyboardModifiers();
    double factor = modifiers.testFlag(Qt::ShiftModifier) ? kShiftFactor : kFactor;
    return baseResizeTime(geometry(), newFrame) * factor;
}

void PellixZoomWindow::setFrameAnimated(const QRect& frame) {
    QEventLoop loop;
    auto* animation = new QPropertyAnimation(this, "geometry");
    animation->setDuration(static_cast<int>(animationResizeTime(frame) * 1000.0));
    animation->setStartValue(geometry());
    animation->setEndValue(frame);
    connect(animation, &QAbstractAnimation::finished, &loop, &QEventLoop::quit);
    QPointer<QPropertyAnimation> running(animation);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    if (running && running->state() == QAbstractAnimation::Running) {
        // Whoever waits for no animation running waits for the zoom too.
        RVAnimationAdditions::BlockingWait waiting;
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    setGeometry(frame);
}
