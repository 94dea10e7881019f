#include "app/ThumbnailLoader.h"

#include <QDateTime>
#include <QFileInfo>
#include <QPainter>

#include "app/ImageFile.h"

namespace {

constexpr int kWorkers = 2;

}  // namespace

ThumbnailLoader::ThumbnailLoader(QObject* parent) : QObject(parent) {
    pool_.setMaxThreadCount(kWorkers);
}

ThumbnailLoader::~ThumbnailLoader() {
    queue_.clear();
    pool_.waitForDone();
}

QString ThumbnailLoader::cacheKey(const QString& path, QSize box) {
    QFileInfo info(path);
    return QStringLiteral("%1|%2|%3|%4x%5")
        .arg(info.filePath())
        .arg(info.lastModified().toMSecsSinceEpoch())
        .arg(info.size())
        .arg(box.width())
        .arg(box.height());
}

QImage ThumbnailLoader::decode(const QString& path, QSize box) {
    // Only a regular file of a picture's size is read: a FIFO never holds a worker.
    ImageFile file(path);
    QSize size = file.size();
    if (!size.isValid()) {
        return {};
    }
    QSize fitted = size.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    QImage image = file.read(fitted);
    if (image.isNull()) {
        return {};
    }
    // Every thumbnail fills the whole box, centred, so the cells line up.
    QImage boxed(box, QImage::Format_ARGB32_Premultiplied);
    boxed.fill(Qt::transparent);
    QPainter painter(&boxed);
    painter.drawImage((box.width() - fitted.width()) / 2, (box.height() - fitted.height()) / 2,
                      image);
    return boxed;
}

QPixmap ThumbnailLoader::placeholder(QSize box) {
    QPixmap empty(box);
    empty.fill(Qt::transparent);
    return empty;
}

bool ThumbnailLoader::isCached(const QString& path, QSize box) const {
    return cache_.contains(cacheKey(path, box));
}

QPixmap ThumbnailLoader::thumbnail(const QString& path, QSize box) {
    QString key = cacheKey(path, box);
    auto cached = cache_.constFind(key);
    if (cached != cache_.constEnd()) {
        return *cached;
    }
    if (!pending_.contains(key)) {
        pending_.insert(key);
        queue_.append({key, path, box});
    } else {
        // Asked again: it is on screen now, so it goes first.
        for (qsizetype i = 0; i < queue_.size(); ++i) {
            if (queue_[i].key == key) {
                queue_.move(i, queue_.size() - 1);
                break;
            }
        }
    }
    startNext();
    return {};
}

void ThumbnailLoader::clear() {
    ++generation_;
    cache_.clear();
    pending_.clear();
    queue_.clear();
}

void ThumbnailLoader::startNext() {
    while (running_ < kWorkers && !queue_.isEmpty()) {
        Request request = queue_.takeLast();
        ++running_;
        quint64 generation = generation_;
        pool_.start([this, request, generation] {
            QImage image = decode(request.path, request.box);
            QMetaObject::invokeMethod(
                this,
                [this, generation, request, image] {
                    finished(generation, request.key, request.path, image);
                },
                Qt::QueuedConnection);
        });
    }
}

void ThumbnailLoader::finished(quint64 generation, const QString& key, const QString& path,
                               const QImage& image) {
    --running_;
    if (generation == generation_) {
        pending_.remove(key);
        cache_.insert(key, QPixmap::fromImage(image));
        emit ready(path);
    }
    startNext();
}
