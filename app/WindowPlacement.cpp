#include "app/WindowPlacement.h"

#include <QEvent>
#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace {

class FirstShow : public QObject {
public:
    explicit FirstShow(QWidget* window) : QObject(window), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Show) {
            QWidget* owner = window_->parentWidget() ? window_->parentWidget()->window() : nullptr;
            if (owner && owner->isVisible()) {
                QRect frame = window_->frameGeometry();
                frame.moveCenter(owner->frameGeometry().center());
                if (QScreen* screen = owner->screen()) {
                    const QRect room = screen->availableGeometry();
                    frame.moveLeft(std::clamp(frame.left(), room.left(),
                                              std::max(room.left(), room.right() - frame.width())));
                    // Before its first show a window's frame is not known yet: keep room
                    // for a title bar, so the window can still be taken by it.
                    const int title =
                        window_->frameGeometry().top() < window_->geometry().top()
                            ? 0
                            : window_->style()->pixelMetric(QStyle::PM_TitleBarHeight);
                    const int top = room.top() + title;
                    frame.moveTop(std::clamp(frame.top(), top,
                                             std::max(top, room.bottom() - frame.height())));
                }
                window_->move(frame.topLeft());
            }
            window_->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QWidget* window_;
};

}  // namespace

void WindowPlacement::centerOnOwnerWhenFirstShown(QWidget* window) {
    window->installEventFilter(new FirstShow(window));
}
