#include "widgets/PellixEffects.h"

#include <QWidget>

#include "widgets/PellixZoomWindow.h"

namespace PellixEffects {

namespace {

constexpr const char* kOneShot = "PellixOneShot";

}  // namespace

bool isOneShot(const QWidget* window) {
    return window->property(kOneShot).toBool();
}

void setOneShot(QWidget* window, bool oneShot) {
    window->setProperty(kOneShot, oneShot);
}

PellixZoomWindow* _createZoomWindowWithRect(QWidget* window, const QRect& rect) {
    bool oneShot = isOneShot(window);
    if (oneShot) {
        setOneShot(window, false);
    }
    if (!window->testAttribute(Qt::WA_WState_Created)) {
        window->winId();  // a native window, never shown
    }
    QPixmap snapshot = window->grab();
    Qt::WindowFlags level =
        window->windowFlags() & (Qt::WindowStaysOnTopHint | Qt::WindowStaysOnBottomHint);
    bool shadow = !window->windowFlags().testFlag(Qt::NoDropShadowWindowHint);
    auto* zoom = new PellixZoomWindow(rect, snapshot, shadow, level);
    setOneShot(window, oneShot);
    return zoom;
}

void zoomOnFromRect(QWidget* window, const QRect& rect) {
    if (window->isVisible()) {
        return;
    }
    QRect frame = window->frameGeometry();
    PellixZoomWindow* zoom = _createZoomWindowWithRect(window, rect);
    zoom->show();
    zoom->setFrameAnimated(frame);
    window->show();
    window->raise();
    window->activateWindow();
    zoom->close();
}

void zoomOffToRect(QWidget* window, const QRect& rect) {
    QRect frame = window->frameGeometry();
    if (!window->isVisible()) {
        return;
    }
    PellixZoomWindow* zoom = _createZoomWindowWithRect(window, frame);
    zoom->show();
    window->hide();
    zoom->setFrameAnimated(rect);
    zoom->close();
}

}  // namespace PellixEffects
