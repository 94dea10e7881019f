#include "app/DropPlaceholder.h"

#include <QFont>
#include <QPainter>

#include <algorithm>

#include "platform/SystemPaths.h"

QImage DropPlaceholder::load() {
    const QString file =
        QString::fromStdString((SystemPaths::resourceFolder() / "drag_here.png").string());
    QImage image = QImage(file, "PNG").convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return image;
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font;
    font.setPixelSize(std::max(12, image.height() / 12));
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(90, 90, 100));
    p.drawText(QRectF(0, image.height() * 0.66, image.width(), image.height() * 0.2),
               Qt::AlignCenter | Qt::TextWordWrap, tr("Drag here"));
    return image;
}
