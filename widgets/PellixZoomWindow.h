#pragma once

#include <QPixmap>
#include <QWidget>

#include <functional>

class QLabel;

// The borderless, transparent stand-in window that the window zoom effect
// animates: it shows a snapshot of the real window stretched to its own size
// (proportions not kept), so the real window never moves. It deletes itself
// when closed. GUI thread only.
class PellixZoomWindow : public QWidget {
    Q_OBJECT

public:
    // A zoom window at frame (screen coordinates) showing snapshot; not shown yet.
    PellixZoomWindow(const QRect& frame, const QPixmap& snapshot, bool shadow,
                     Qt::WindowFlags level);

    // The duration in seconds of an animated change to newFrame: the base
    // resize time for that change, times 5.0 while Shift is held, else times
    // 0.4 (the single-precision 0.4 widened).
    double animationResizeTime(const QRect& newFrame) const;
    // The platform's own duration of an animated resize (the base of the factors).
    static double baseResizeTime(const QRect& from, const QRect& to);
    // Moves to frame over animationResizeTime(frame) and returns when it got there.
    void setFrameAnimated(const QRect& frame);
    const QPixmap& snapshot() const { return snapshot_; }

    // Where the keyboard modifiers are read (tests hold Shift down here);
    // an empty query restores QGuiApplication::queryKeyboardModifiers.
    static void setModifierQuery(std::function<Qt::KeyboardModifiers()> query);

private:
    QPixmap snapshot_;
    QLabel* view_ = nullptr;
};
