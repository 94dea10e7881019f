#include "app/ThumbnailCache.h"

#include <QDateTime>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>

namespace {

// Images larger than this (in MiB once decoded) are not decoded.
constexpr int kAllocationLimitMb = 64;

}  // namespace

QIcon ThumbnailCache::thumbnail(const QString& path) {
    QFileInfo info(path);
    QString key = QStringLiteral("%1|%2|%3")
                      .arg(info.filePath())
                      .arg(info.lastModified().toMSecsSinceEpoch())
                      .arg(info.size());
    auto cached = icons_.constFind(key);
    if (cached != icons_.constEnd()) {
        return *cached;
    }
    QImageReader reader(info.filePath());
    reader.setAllocationLimit(kAllocationLimitMb);
    QSize size = reader.size();
    if (size.isValid() && (size.width() > size_ || size.height() > size_)) {
        reader.setScaledSize(size.scaled(size_, size_, Qt::KeepAspectRatio));
    }
    QImage image = reader.read();
    QIcon icon = image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
    icons_.insert(key, icon);
    return icon;
}
