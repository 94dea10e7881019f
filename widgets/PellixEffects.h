#pragma once

#include <QRect>

class PellixZoomWindow;
class QWidget;

// The window zoom effect, for any top-level window: a snapshot of the window
// grows out of a rectangle of the screen up to the window's frame before the
// window shows, or shrinks from the frame into a rectangle after it was
// hidden. The real window never moves or changes size; a PellixZoomWindow is
// animated instead. Each zoom returns when its animation has ended. Rectangles
// are in screen coordinates. GUI thread only.
namespace PellixEffects {

// Shows window growing out of rect; nothing when it is visible already.
void zoomOnFromRect(QWidget* window, const QRect& rect);
// Hides window shrinking into rect; nothing when it is not visible.
void zoomOffToRect(QWidget* window, const QRect& rect);
// A new zoom window at rect showing a snapshot of window, not yet on screen.
// A window without a native window yet is given one first; the window's
// one-shot flag is off while the snapshot is made and restored afterwards.
PellixZoomWindow* _createZoomWindowWithRect(QWidget* window, const QRect& rect);

// The window's one-shot mark (a window whose native window may be given up
// while hidden); the effect leaves it as it found it.
bool isOneShot(const QWidget* window);
void setOneShot(QWidget* window, bool oneShot);

}  // namespace PellixEffects
