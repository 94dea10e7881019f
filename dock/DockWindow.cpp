#include "dock/DockWindow.h"

#include <QCursor>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QToolTip>

#include "dock/DockImages.h"

DockWindow::DockWindow(const DockImages& images, DockStyle dockStyle, int tileSize)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool |
                           Qt::WindowDoesNotAcceptFocus),
      images_(images),
      scene_(images, dockStyle, tileSize) {
    setWindowTitle("Dock");
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    placeOnScreen();
}

void DockWindow::placeOnScreen() {
    QSize size = scene_.size();
    setFixedSize(size);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->geometry();
        move(area.center().x() - size.width() / 2, area.bottom() + 1 - size.height());
    }
}

void DockWindow::setStackOpen(bool open) {
    scene_.setStackOpen(open);
    placeOnScreen();
    update();
}

void DockWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    scene_.paint(painter);
}

void DockWindow::mousePressEvent(QMouseEvent* event) {
    int index = scene_.itemAt(event->position());
    bool onStack = index >= 0 && index == scene_.stackIndex();
    if (onStack || scene_.stackOpen()) {
        setStackOpen(onStack && !scene_.stackOpen());
    }
}

void DockWindow::mouseMoveEvent(QMouseEvent* event) {
    int index = scene_.itemAt(event->position());
    bool onDivider = index >= 0 && scene_.items()[static_cast<std::size_t>(index)].kind ==
                                       DockScene::Kind::Separator;
    if (!onDivider) {
        unsetCursor();
    } else if (const QImage* cursor = images_.image("Resize_Cursor_V");
               cursor && !cursor->isNull()) {
        setCursor(QCursor(QPixmap::fromImage(*cursor)));
    } else {
        setCursor(Qt::SizeVerCursor);
    }
}

bool DockWindow::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        int index = scene_.itemAt(help->pos());
        QString name =
            index >= 0 ? scene_.items()[static_cast<std::size_t>(index)].name : QString();
        if (name.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), name, this);
        }
        return true;
    }
    return QWidget::event(event);
}
