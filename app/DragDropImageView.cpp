#include "app/DragDropImageView.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>

DragDropImageView::DragDropImageView(QWidget* parent) : QLabel(parent) {
    setAcceptDrops(true);
    setAlignment(Qt::AlignCenter);
    setMinimumSize(32, 32);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
}

void DragDropImageView::setImage(const QImage& image) {
    image_ = image;
    // A hidden view scales its picture when it is shown, and keeps no scaled copy.
    if (isVisible()) {
        showScaled();
    } else {
        scaled_ = QPixmap();
    }
}

std::optional<QString> DragDropImageView::firstFileName(const QMimeData* mime) {
    if (!mime || !mime->hasUrls()) {
        return std::nullopt;
    }
    const QList<QUrl> urls = mime->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) {
        return std::nullopt;
    }
    return urls.first().toLocalFile();
}

void DragDropImageView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->possibleActions() & Qt::CopyAction) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void DragDropImageView::dragMoveEvent(QDragMoveEvent* event) {
    if (event->possibleActions() & Qt::CopyAction) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void DragDropImageView::dropEvent(QDropEvent* event) {
    std::optional<QString> path = firstFileName(event->mimeData());
    if (path && responder_) {
        responder_->setFileImagePathForSelection(*path, this);
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    update();
}

void DragDropImageView::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (isVisible()) {
        showScaled();
    }
}

void DragDropImageView::showEvent(QShowEvent* event) {
    QLabel::showEvent(event);
    showScaled();
}

void DragDropImageView::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (image_.isNull()) {
        return;
    }
    // At its own size the picture is drawn from the image itself: no second copy.
    const QSize size = scaled_.isNull() ? image_.size() : scaled_.size();
    QRect frame(QPoint(), size);
    frame.moveCenter(contentsRect().center());
    QPainter painter(this);
    if (scaled_.isNull()) {
        painter.drawImage(frame.topLeft(), image_);
    } else {
        painter.drawPixmap(frame.topLeft(), scaled_);
    }
}

void DragDropImageView::setImageScaling(Scaling scaling) {
    scaling_ = scaling;
    showScaled();
}

void DragDropImageView::showScaled() {
    scaled_ = QPixmap();
    const QSize room = contentsRect().size();
    if (!image_.isNull() && !room.isEmpty()) {
        if (scaling_ == Scaling::AxesIndependently && image_.size() != room) {
            scaled_ = QPixmap::fromImage(
                image_.scaled(room, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        } else if (scaling_ == Scaling::ProportionallyDown &&
                   (image_.width() > room.width() || image_.height() > room.height())) {
            scaled_ = QPixmap::fromImage(
                image_.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        }
    }
    update();
}
