#pragma once

#include <QCache>
#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QSet>
#include <QThreadPool>

#include <array>
#include <functional>

#include "image/ImageFile.h"

// The one place where the editor decodes a theme's pictures: the browsers'
// thumbnails and the single pictures of its views (the selection panel, the
// slot preview, the information view's micro preview and Dock screenshot).
// Every file is read through ImageFile (only a regular file of a picture's
// size, never a FIFO or a device) and decoded within its one allocation limit,
// by the decoder's own pool of kWorkers threads, never the global pool, so
// work that waits elsewhere (rights, the renderer) never holds a decode.
// Workers only decode into a QImage; a QPixmap is made on the UI thread.
//
// Single pictures: request() asks for a picture for a view (a theme's through
// the theme's opened folder, see ImageFile::Source) and
// answers with a token. A later request for the same view, cancel() or clear()
// makes it stale: a stale request not started is never decoded, and the
// result of one under way is dropped. The current result reaches its delivery
// once, on the UI thread, unless the view is gone by then. Pictures are served
// before thumbnails.
//
// Thumbnails: thumbnail() answers from the cache at once (a theme's through
// the theme's opened folder too); one not cached is
// decoded to the box decodedBox() gives for the size shown (the smallest of
// kThumbnailSides not below it), and ready() tells when it is there; the views
// scale it when painting, so a zoom slider dragged across its range decodes at
// most three sizes. Requests are served newest first, so the rows a view
// paints now come before older ones; dropQueued() forgets those not started
// (the size shown changed). The cache is keyed by the path the source names
// and the file's identity, modification time and size as read the way the
// source reads it, and the box, so an image replaced under the same path is
// decoded anew and a file the source refuses (a link, a FIFO) never shares the
// key of one it would read; it holds at most kCacheBytes of pixels: the least
// recently used thumbnail goes first.
//
// clear() forgets every thumbnail and makes every request stale (a theme was
// closed). Made, used and destroyed on the UI thread; the destructor waits for
// running decodes.
class ImageDecoder : public QObject {
    Q_OBJECT

public:
    // Threads of the decoder's own pool.
    static constexpr int kWorkers = 2;
    // The sides thumbnails are decoded at.
    static constexpr std::array<int, 3> kThumbnailSides{64, 128, 256};
    // The most bytes of pixels the thumbnail cache holds.
    static constexpr qsizetype kCacheBytes = 16 * 1024 * 1024;

    // Gets the decoded picture and the file's own size in pixels (both null
    // when it does not decode). UI thread.
    using Delivery = std::function<void(const QImage& image, QSize size)>;

    explicit ImageDecoder(QObject* parent = nullptr);
    ~ImageDecoder() override;

    // Asks for the picture of source for view, scaled down to fit bound when it
    // is larger (an invalid bound: its own size); deliver gets it. Not owned:
    // view only names the request and must be alive for the delivery.
    quint64 request(QObject* view, const ImageFile::Source& source, QSize bound, Delivery deliver);
    // Makes the request for view stale; nothing reaches its delivery.
    void cancel(QObject* view);

    // The thumbnail of the picture of source for a box of shown: a pixmap of
    // decodedBox(shown) with the image scaled to fit it, centred (the slot
    // browser asks for squares, the collection for the shape of its wide
    // previews); a null pixmap while it is decoded, when the file does not
    // decode or when source names nothing (then nothing is queued).
    QPixmap thumbnail(const ImageFile::Source& source, QSize shown);
    // Whether the thumbnail of source for shown is decoded already (decoded or not decodable).
    bool isCached(const ImageFile::Source& source, QSize shown) const;
    // Forgets thumbnail requests not started.
    void dropQueued();
    // Forgets every cached thumbnail and those not started; pictures asked
    // for still arrive (the view of the thumbnails is no longer shown).
    void releaseThumbnails();
    // Forgets every thumbnail and makes every request stale.
    void clear();
    // Thumbnails and pictures asked for and not there yet.
    int pending() const { return static_cast<int>(pending_.size() + current_.size()); }
    // Whether no decode waits or runs and no result is still to come.
    bool idle() const { return running_ == 0 && pending() == 0 && thumbnails_.isEmpty(); }
    // Decodes started since the decoder was made.
    int started() const { return started_; }
    // Bytes of pixels in the thumbnail cache, and the distinct boxes cached.
    qsizetype cachedBytes() const { return cache_.totalCost(); }
    QList<QSize> cachedBoxes() const;

    // The box a thumbnail shown at shown is decoded to: shown scaled to the
    // smallest of kThumbnailSides not below its longer side (shown itself
    // beyond the largest).
    static QSize decodedBox(QSize shown);
    // The picture of source decoded to fit box and centred on a transparent
    // image of the box's size; null when it does not decode. Any thread may call.
    static QImage decode(const ImageFile::Source& source, QSize box);
    // An empty pixmap of the box's size, shown until the thumbnail is there. UI thread.
    static QPixmap placeholder(QSize box);
    // The path source names: inside its folder, the folder's path joined to it.
    static QString pathOf(const ImageFile::Source& source);
    // The cache key: the path source names, the file's device, inode,
    // modification time and size in bytes ("none" when source would not open
    // it) and box. Opens the file the way the source reads it; any thread.
    static QString cacheKey(const ImageFile::Source& source, QSize box);

signals:
    // The thumbnail of the picture at path (pathOf its source) is in the cache now.
    void ready(const QString& path);

private:
    struct Job {
        QString key;  // a thumbnail's cache key; empty for a picture
        ImageFile::Source source;
        QSize box;                      // the thumbnail's box, or the picture's bound
        const QObject* view = nullptr;  // the view a picture is for
        quint64 token = 0;
    };
    struct Request {
        quint64 token = 0;
        QPointer<QObject> view;
        Delivery deliver;
    };

    void startNext();
    void run(const Job& job);
    void thumbnailDone(quint64 generation, const Job& job, const QImage& image);
    void pictureDone(const Job& job, const QImage& image, QSize size);
    void unqueue(const QObject* view);

    QThreadPool pool_;
    QCache<QString, QPixmap> cache_;
    QSet<QString> pending_;
    QList<Job> thumbnails_;  // newest last
    QList<Job> pictures_;    // oldest first
    QHash<const QObject*, Request> current_;
    int running_ = 0;
    int started_ = 0;
    quint64 generation_ = 0;
    quint64 lastToken_ = 0;
};
