#include "widgets/RVAnimationAdditions.h"

#include <QEasingCurve>
#include <QEventLoop>
#include <QGraphicsOpacityEffect>
#include <QParallelAnimationGroup>
#include <QPointer>
#include <QPropertyAnimation>
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

// The widget's opacity effect, made when it has none.
QGraphicsOpacityEffect* opacityOf(QWidget* view) {
    if (auto* effect = qobject_cast<QGraphicsOpacityEffect*>(view->graphicsEffect())) {
        return effect;
    }
    auto* effect = new QGraphicsOpacityEffect(view);
    view->setGraphicsEffect(effect);
    return effect;
}

void addFade(QParallelAnimationGroup* group, QWidget* view, Effect effect, int duration,
             const QEasingCurve& curve) {
    QGraphicsOpacityEffect* opacity = opacityOf(view);
    auto* animation = new QPropertyAnimation(opacity, "opacity", group);
    animation->setDuration(duration);
    animation->setEasingCurve(curve);
    if (effect == Effect::FadeIn) {
        if (view->isHidden()) {
            opacity->setOpacity(0.0);
            view->show();
        }
        animation->setStartValue(opacity->opacity());
        animation->setEndValue(1.0);
    } else {
        animation->setStartValue(opacity->opacity());
        animation->setEndValue(0.0);
    }
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
    // A full-opacity widget draws without the effect's offscreen pass.
    view->setGraphicsEffect(nullptr);
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
        ++blockingCalls;
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        --blockingCalls;
    }
}

bool isBlocking() {
    return blockingCalls > 0;
}

}  // namespace RVAnimationAdditions
