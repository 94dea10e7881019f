#pragma once

#include <QWidget>

#include "dock/DockScene.h"

class DockImages;

// The running Dock: a frameless, translucent window at the bottom centre of
// the primary screen that shows a scene. Clicking the stack opens or closes
// it, clicking elsewhere closes it; pointing at an icon names it; over the divider the pointer
// becomes the Dock's vertical resize cursor. images must outlive the window. GUI thread only.
class DockWindow : public QWidget {
public:
    DockWindow(const DockImages& images, DockStyle dockStyle, int tileSize);

    const DockScene& scene() const { return scene_; }
    // Sizes the window to the scene and puts it at the bottom of the screen.
    void placeOnScreen();
    void setStackOpen(bool open);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    const DockImages& images_;
    DockScene scene_;
};
