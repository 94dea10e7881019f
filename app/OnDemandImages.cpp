#include "app/OnDemandImages.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace {

// The picture a format names, decoded once and kept in the document.
QPixmap pictureOf(QTextDocument* document, const QTextImageFormat& format) {
    const QUrl name(format.name());
    const QVariant data = document->resource(QTextDocument::ImageResource, name);
    if (data.userType() == QMetaType::QPixmap) {
        return data.value<QPixmap>();
    }
    QPixmap picture;
    if (data.userType() == QMetaType::QImage) {
        picture = QPixmap::fromImage(data.value<QImage>());
    } else if (data.userType() == QMetaType::QByteArray) {
        picture.loadFromData(data.toByteArray());
    }
    if (!picture.isNull()) {
        document->addResource(QTextDocument::ImageResource, name, picture);
    }
    return picture;
}

}  // namespace

void OnDemandImages::install(QTextDocument* document) {
    document->documentLayout()->registerHandler(QTextFormat::ImageObject,
                                                new OnDemandImages(document));
}

QSizeF OnDemandImages::intrinsicSize(QTextDocument* document, int, const QTextFormat& format) {
    const QTextImageFormat image = format.toImageFormat();
    if (image.hasProperty(QTextFormat::ImageWidth) && image.hasProperty(QTextFormat::ImageHeight)) {
        return {image.width(), image.height()};
    }
    QSizeF size = pictureOf(document, image).size();
    if (size.isEmpty()) {
        return {16, 16};  // room for the missing picture
    }
    if (image.hasProperty(QTextFormat::ImageWidth)) {
        size = {image.width(), size.height() * image.width() / size.width()};
    } else if (image.hasProperty(QTextFormat::ImageHeight)) {
        size = {size.width() * image.height() / size.height(), image.height()};
    }
    return size;
}

void OnDemandImages::drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int,
                                const QTextFormat& format) {
    const QPixmap picture = pictureOf(document, format.toImageFormat());
    if (!picture.isNull()) {
        painter->drawPixmap(rect, picture, picture.rect());
    }
}
