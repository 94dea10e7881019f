#include "app/ImageDecoder.h"

#include <QPainter>

#include <sys/stat.h>

#include <algorithm>

#include "app/Background.h"
#include "image/ImageFile.h"

namespace {

struct Decoded {
    QImage image;
    QSize size;  // the file's own
};

// The image of source read at the size fit gives for its own (invalid: its own
// size), with its own size; nothing when it does not decode.
template <typename Fit>
Decoded readFitted(const ImageFile::Source& source, Fit fit) {
    // Only a regular file of a picture's size is read: a FIFO never holds a worker.
    ImageFile file(source);
    QSize size = file.size();
    if (!size.isValid()) {
        return {};
    }
    QImage image = file.read(fit(size));
    return {image, image.isNull() ? QSize() : size};
}

}  // namespace

ImageDecoder::ImageDecoder(QObject* parent) : QObject(parent), cache_(kCacheBytes) {
    pool_.setMaxThreadCount(kWorkers);
}

ImageDecoder::~ImageDecoder() {
    thumbnails_.clear();
    pictures_.clear();
    pool_.waitForDone();
}

quint64 ImageDecoder::request(QObject* view, const ImageFile::Source& source, QSize bound,
                              Delivery deliver) {
    const quint64 token = ++lastToken_;
    unqueue(view);
    current_.insert(view, {token, view, std::move(deliver)});
    pictures_.append({{}, source, bound, view, token});
    startNext();
    return token;
}

void ImageDecoder::cancel(QObject* view) {
    current_.remove(view);
    unqueue(view);
}

QPixmap ImageDecoder::thumbnail(const ImageFile::Source& source, QSize shown) {
    if (source.path.isEmpty()) {
        return {};
    }
    const QSize box = decodedBox(shown);
    const QString key = cacheKey(source, box);
    if (const QPixmap* cached = cache_.object(key)) {
        return *cached;
    }
    if (!pending_.contains(key)) {
        pending_.insert(key);
        thumbnails_.append({key, source, box});
    } else {
        // Asked again: it is on screen now, so it goes first.
        auto queued = std::find_if(thumbnails_.begin(), thumbnails_.end(),
                                   [&key](const Job& job) { return job.key == key; });
        if (queued != thumbnails_.end()) {
            thumbnails_.move(queued - thumbnails_.begin(), thumbnails_.size() - 1);
        }
    }
    startNext();
    return {};
}

bool ImageDecoder::isCached(const ImageFile::Source& source, QSize shown) const {
    return cache_.contains(cacheKey(source, decodedBox(shown)));
}

void ImageDecoder::dropQueued() {
    for (const Job& job : std::as_const(thumbnails_)) {
        pending_.remove(job.key);
    }
    thumbnails_.clear();
}

void ImageDecoder::releaseThumbnails() {
    dropQueued();
    cache_.clear();
}

void ImageDecoder::clear() {
    ++generation_;
    cache_.clear();
    pending_.clear();
    thumbnails_.clear();
    pictures_.clear();
    current_.clear();
}

QList<QSize> ImageDecoder::cachedBoxes() const {
    QList<QSize> boxes;
    for (const QString& key : cache_.keys()) {
        const QStringList sides = key.section(QLatin1Char('|'), -1).split(QLatin1Char('x'));
        const QSize box(sides.value(0).toInt(), sides.value(1).toInt());
        if (!boxes.contains(box)) {
            boxes.append(box);
        }
    }
    return boxes;
}

QSize ImageDecoder::decodedBox(QSize shown) {
    const int longest = std::max(shown.width(), shown.height());
    auto side = std::find_if(kThumbnailSides.begin(), kThumbnailSides.end(),
                             [longest](int fixed) { return fixed >= longest; });
    if (longest <= 0 || side == kThumbnailSides.end()) {
        return shown;
    }
    return shown * (static_cast<qreal>(*side) / longest);
}

QImage ImageDecoder::decode(const ImageFile::Source& source, QSize box) {
    Decoded decoded = readFitted(source, [box](QSize size) {
        return size.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    });
    if (decoded.image.isNull()) {
        return {};
    }
    // Every thumbnail fills the whole box, centred, so the cells line up.
    const QImage& image = decoded.image;
    QImage boxed(box, QImage::Format_ARGB32_Premultiplied);
    boxed.fill(Qt::transparent);
    QPainter painter(&boxed);
    painter.drawImage((box.width() - image.width()) / 2, (box.height() - image.height()) / 2,
                      image);
    return boxed;
}

QPixmap ImageDecoder::placeholder(QSize box) {
    QPixmap empty(box);
    empty.fill(Qt::transparent);
    return empty;
}

QString ImageDecoder::pathOf(const ImageFile::Source& source) {
    return source.folder && !source.path.isEmpty()
               ? QString::fromStdString(source.folder->pathOf(source.path.toStdString()))
               : source.path;
}

QString ImageDecoder::cacheKey(const ImageFile::Source& source, QSize box) {
    // Looked at through the descriptor the read would get, so a link or a FIFO
    // in place of the file keys as nothing, never as what it leads to.
    struct stat info {};
    const Descriptor file = ImageFile::open(source);
    const QString identity = file.valid() && ::fstat(file.get(), &info) == 0
                                 ? QStringLiteral("%1:%2:%3.%4:%5")
                                       .arg(info.st_dev)
                                       .arg(info.st_ino)
                                       .arg(info.st_mtim.tv_sec)
                                       .arg(info.st_mtim.tv_nsec)
                                       .arg(info.st_size)
                                 : QStringLiteral("none");
    return QStringLiteral("%1|%2|%3x%4")
        .arg(pathOf(source), identity)
        .arg(box.width())
        .arg(box.height());
}

void ImageDecoder::startNext() {
    while (running_ < kWorkers && !(pictures_.isEmpty() && thumbnails_.isEmpty())) {
        run(pictures_.isEmpty() ? thumbnails_.takeLast() : pictures_.takeFirst());
    }
}

void ImageDecoder::run(const Job& job) {
    ++running_;
    ++started_;
    const quint64 generation = generation_;
    if (!job.key.isEmpty()) {
        Background::run(
            &pool_, this, [job] { return decode(job.source, job.box); },
            [this, generation, job](const QImage& image) {
                thumbnailDone(generation, job, image);
            });
        return;
    }
    Background::run(
        &pool_, this,
        [job] {
            return readFitted(job.source, [bound = job.box](QSize size) {
                bool larger = size.width() > bound.width() || size.height() > bound.height();
                return bound.isValid() && larger
                           ? size.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1))
                           : QSize();
            });
        },
        [this, job](const Decoded& decoded) { pictureDone(job, decoded.image, decoded.size); });
}

void ImageDecoder::thumbnailDone(quint64 generation, const Job& job, const QImage& image) {
    --running_;
    if (generation == generation_) {
        pending_.remove(job.key);
        auto* pixmap = new QPixmap(QPixmap::fromImage(image));
        const qsizetype bytes = qsizetype(pixmap->width()) * pixmap->height() * pixmap->depth() / 8;
        cache_.insert(job.key, pixmap, std::max<qsizetype>(1, bytes));
        emit ready(pathOf(job.source));
    }
    startNext();
}

void ImageDecoder::pictureDone(const Job& job, const QImage& image, QSize size) {
    --running_;
    auto found = current_.find(job.view);
    Request answered;
    if (found != current_.end() && found->token == job.token) {
        answered = std::move(*found);
        current_.erase(found);
    }
    startNext();
    // Last: a delivery may run a nested event loop (a zoom), which may bring other results.
    if (answered.view) {
        answered.deliver(image, size);
    }
}

void ImageDecoder::unqueue(const QObject* view) {
    pictures_.removeIf([view](const Job& job) { return job.view == view; });
}
