#pragma once

#include <QRect>
#include <QVariantMap>

class QWidget;

// Fades and frame animations for any widget, one call each, with three
// process-wide defaults: the duration (0.2 seconds), the blocking mode
// (blocking) and the timing curve (ease in and out). Every call reads the
// defaults once, when it builds its animation.
//
// A blocking animation runs to its end before the call returns; meanwhile the
// calling thread handles painting and timers but no user input, so a caller
// may rely on the fade being complete on return. A non-blocking one returns
// at once and ends on its own. Either way the animation deletes itself at its
// end. A widget has at most one animation: a new one first brings a running
// one to its end (so a blocking call waiting for it returns), never two
// fight over the widget's opacity. GUI thread only.
//
// What the effects do: a fade-out ends with the widget hidden; a fade-in
// shows a hidden widget and raises its opacity to full; an end frame moves
// and resizes the widget from its current geometry (in its parent's coordinates).
// A fade lays a cover of the colour behind the widget (its nearest ancestor's
// background) over it, so no copy of the widget is drawn offscreen; it suits a
// widget on a plain background, as a window's views are. The cover goes when
// the fade ends.
namespace RVAnimationAdditions {

enum class BlockingMode { Blocking = 0, Nonblocking = 1 };
enum class Curve { EaseInOut = 0, EaseIn = 1, EaseOut = 2, Linear = 3 };
enum class Effect { FadeIn, FadeOut };

// The keys of a parameter map, as a view animation takes them.
inline constexpr const char* TargetKey = "target";
inline constexpr const char* EffectKey = "effect";
inline constexpr const char* EndFrameKey = "endFrame";

void setDefaultDuration(double seconds);
void setDefaultBlockingMode(BlockingMode mode);
void setDefaultAnimationCurve(Curve curve);
double defaultDuration();
BlockingMode defaultBlockingMode();
Curve defaultAnimationCurve();

void fadeIn(QWidget* view);
void fadeOut(QWidget* view);
void fadeWithEffect(QWidget* view, Effect effect);
void animateToFrame(QWidget* view, const QRect& frame);
// Moves to frame while fading in a hidden widget, or fading out a visible one.
void fadeToFrame(QWidget* view, const QRect& frame);
// Plays one animation of parameters (EffectKey: an Effect as int; EndFrameKey: a QRect).
void playAnimationWithParameters(QWidget* view, const QVariantMap& parameters);
// A copy of parameters with TargetKey set to view; parameters is not changed.
QVariantMap animationArrayForParameters(QWidget* view, const QVariantMap& parameters);
// Whether a blocking animation is waited for now (its caller is on the
// stack): a blocking fade or frame animation, or a zoom window's move.
bool isBlocking();

// Counts in isBlocking() for as long as it lives: made around a nested event
// loop that waits for an animation of the caller's own (PellixZoomWindow).
class BlockingWait {
public:
    BlockingWait();
    ~BlockingWait();
    BlockingWait(const BlockingWait&) = delete;
    BlockingWait& operator=(const BlockingWait&) = delete;
};

}  // namespace RVAnimationAdditions
