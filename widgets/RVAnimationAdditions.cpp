#include "widgets/RVAnimationAdditions.h"

#include <QEasingCurve>
#include <QEvent>
#include <QEventLoop>
#include <QPainter>
#include <QParallelAnimationGroup>
#include <QPointer>
#include <QPropertyAnimation>
#include <QVariantAnimation>
#include <QWidget>

#include <optional>

namespace RVAnimationAdditions {

namespace {

double RVDefaultAnimationDuration = 0.2;
int blockingCalls = 0;
BlockingMode RVDefaultAnimationBlockingMode = BlockingMode::Blocking;
Curve RVDefaultAnimationCurve = Curve::EaseInOut;

QEasingCurve easing(Curve curve) {
    switch (curve) {
        case Curve::EaseIn:
            return QEasingCurve::InQuad;
        case Curve::EaseOut:
            return QEasingCurve::OutQuad;
        case Curve::Linear:
            return QEasingCurve::Linear;
        case Curve::EaseInOut:
            break;
    }
    return QEasingCurve::InOutQuad;
}

// A child laid over the view in the colour behind it: the view under a cover
// of opacity 1 - a looks as the view drawn at opacity a would, yet nothing of
// the view is copied offscreen. The cover stays on top of the view's children
// and follows its size; it takes no input.
class Cover : public QWidget {
public:
    explicit Cover(QWidget* view) : QWidget(view), colour_(colourBehind(view)) {
        setObjectName(QString::fromLatin1(kCoverName));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(view->rect());
        view->installEventFilter(this);
        raise();
        show();
    }

    static Cover* of(QWidget* view) {
        return view->findChild<Cover*>(QString::fromLatin1(kCoverName), Qt::FindDirectChildrenOnly);
    }

    double opacity() const { return opacity_; }
    void setOpacity(double opacity) {
        opacity_ = opacity;
        raise();  // above a view that joined meanwhile
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setOpacity(opacity_);
        painter.fillRect(rect(), colour_);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parent() && event->type() == QEvent::Resize) {
            setGeometry(parentWidget()->rect());
        }
        return false;
    }

private:
    static constexpr const char* kCoverName = "_rv_fade_cover";

    // What shows where the view is not: the nearest ancestor that paints its background.
    static QColor colourBehind(const QWidget* view) {
        const QWidget* behind = view->parentWidget() ? view->parentWidget() : view;
        while (!behind->isWindow() && !behind->autoFillBackground() && behind->parentWidget()) {
            behind = behind->parentWidget();
        }
        return behind->palette().color(behind->backgroundRole());
    }

    QColor colour_;
    double opacity_ = 0.0;
};

void addFade(QParallelAnimationGroup* group, QWidget* view, Effect effect, int duration,
             const QEasingCurve& curve) {
    Cover* cover = Cover::of(view);
    if (!cover) {
        cover = new Cover(view);
        // A hidden view fades in from nothing; a shown one from as it looks.
        cover->setOpacity(view->isHidden() ? 1.0 : 0.0);
    }
    if (effect == Effect::FadeIn) {
        view->show();
    }
    auto* animation = new QVariantAnimation(group);
    animation->setDuration(duration);
    animation->setEasingCurve(curve);
    animation->setStartValue(cover->opacity());
    animation->setEndValue(effect == Effect::FadeIn ? 0.0 : 1.0);
    QPointer<Cover> alive(cover);
    QObject::connect(animation, &QVariantAnimation::valueChanged, cover,
                     [alive](const QVariant& value) {
                         if (alive) {
                             alive->setOpacity(value.toDouble());
                         }
                     });
    group->addAnimation(animation);
}

// The animation a widget runs now, kept as the group's property on the widget.
constexpr const char* kRunningProperty = "_rv_running_animation";

// Brings the widget's running animation, if any, to its end.
void finishRunning(QWidget* view) {
    auto* running = view->property(kRunningProperty).value<QAbstractAnimation*>();
    view->setProperty(kRunningProperty, QVariant());
    if (running && running->state() == QAbstractAnimation::Running) {
        running->setCurrentTime(running->totalDuration());  // emits finished()
    }
}

// What the widget looks like once the animation ended.
void finish(QWidget* view, std::optional<Effect> effect) {
    if (!effect) {
        return;
    }
    if (*effect == Effect::FadeOut) {
        view->hide();
    }
    // Faded out or in, the view needs no cover any more.
    delete Cover::of(view);
}

}  // namespace

void setDefaultDuration(double seconds) {
    RVDefaultAnimationDuration = seconds;
}
void setDefaultBlockingMode(BlockingMode mode) {
    RVDefaultAnimationBlockingMode = mode;
}
void setDefaultAnimationCurve(Curve curve) {
    RVDefaultAnimationCurve = curve;
}
double defaultDuration() {
    return RVDefaultAnimationDuration;
}
BlockingMode defaultBlockingMode() {
    return RVDefaultAnimationBlockingMode;
}
Curve defaultAnimationCurve() {
    return RVDefaultAnimationCurve;
}

void fadeIn(QWidget* view) {
    fadeWithEffect(view, Effect::FadeIn);
}

void fadeOut(QWidget* view) {
    fadeWithEffect(view, Effect::FadeOut);
}

void fadeWithEffect(QWidget* view, Effect effect) {
    playAnimationWithParameters(view, {{EffectKey, static_cast<int>(effect)}});
}

void animateToFrame(QWidget* view, const QRect& frame) {
    playAnimationWithParameters(view, {{EndFrameKey, frame}});
}

void fadeToFrame(QWidget* view, const QRect& frame) {
    Effect effect = view->isHidden() ? Effect::FadeIn : Effect::FadeOut;
    playAnimationWithParameters(view,
                                {{EndFrameKey, frame}, {EffectKey, static_cast<int>(effect)}});
}

QVariantMap animationArrayForParameters(QWidget* view, const QVariantMap& parameters) {
    QVariantMap copy = parameters;
    copy.insert(TargetKey, QVariant::fromValue(static_cast<QObject*>(view)));
    return copy;
}

void playAnimationWithParameters(QWidget* view, const QVariantMap& parameters) {
    QVariantMap animation = animationArrayForParameters(view, parameters);
    const int duration = static_cast<int>(RVDefaultAnimationDuration * 1000.0);
    const QEasingCurve curve = easing(RVDefaultAnimationCurve);
    const bool blocking = RVDefaultAnimationBlockingMode == BlockingMode::Blocking;

    finishRunning(view);
    std::optional<Effect> effect;
    if (animation.contains(EffectKey)) {
        effect = static_cast<Effect>(animation.value(EffectKey).toInt());
    }
    auto* group = new QParallelAnimationGroup(view);
    if (effect) {
        addFade(group, view, *effect, duration, curve);
    }
    if (animation.contains(EndFrameKey)) {
        auto* move = new QPropertyAnimation(view, "geometry", group);
        move->setDuration(duration);
        move->setEasingCurve(curve);
        move->setStartValue(view->geometry());
        move->setEndValue(animation.value(EndFrameKey).toRect());
        group->addAnimation(move);
    }
    QPointer<QWidget> target(view);
    QObject::connect(group, &QAbstractAnimation::finished, view, [target, effect, group] {
        if (target) {
            if (target->property(kRunningProperty).value<QAbstractAnimation*>() == group) {
                target->setProperty(kRunningProperty, QVariant());
            }
            finish(target, effect);
        }
    });
    view->setProperty(kRunningProperty,
                      QVariant::fromValue(static_cast<QAbstractAnimation*>(group)));
    if (!blocking) {
        group->start(QAbstractAnimation::DeleteWhenStopped);
        return;
    }
    QEventLoop loop;
    QObject::connect(group, &QAbstractAnimation::finished, &loop, &QEventLoop::quit);
    // Should the widget go meanwhile, its animation goes with it.
    QObject::connect(group, &QObject::destroyed, &loop, &QEventLoop::quit);
    // A zero-length animation may end, and be deleted, inside start().
    QPointer<QParallelAnimationGroup> running(group);
    group->start(QAbstractAnimation::DeleteWhenStopped);
    if (running && running->state() == QAbstractAnimation::Running) {
        BlockingWait waiting;
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
}

bool isBlocking() {
    return blockingCalls > 0;
}

BlockingWait::BlockingWait() {
    ++blockingCalls;
}

BlockingWait::~BlockingWait() {
    --blockingCalls;
}

}  // namespace RVAnimationAdditions
