#pragma once

#include <QHash>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QSet>
#include <QThreadPool>

// Thumbnails of image files for the browsers, decoded off the UI thread.
//
// thumbnail() answers from the cache at once; a thumbnail not in the cache is
// decoded by a worker of the loader's own pool straight to the box asked
// (read through ImageFile: only regular files of a picture's size, never a
// FIFO or a device, with an allocation limit), and ready() tells
// the UI thread when it is there. Requests are served newest first, so the
// rows a view paints now (the ones on screen) come before older ones.
//
// The cache is keyed by path, modification time, file size and box: an image replaced under the
// same path is decoded anew. clear() forgets every thumbnail and drops the results of decodes still
// under way (a theme was closed). Workers only decode into a QImage; the QPixmap is made on the UI
// thread. Made, used and destroyed on the UI thread; the destructor waits for running decodes.
class ThumbnailLoader : public QObject {
    Q_OBJECT

public:
    explicit ThumbnailLoader(QObject* parent = nullptr);
    ~ThumbnailLoader() override;

    // The thumbnail of the image at path: a pixmap of the box's size with the
    // image scaled to fit it, centred (the slot browser asks for squares, the
    // collection for the shape of its wide previews); a null pixmap while it
    // is decoded or when the file does not decode.
    QPixmap thumbnail(const QString& path, QSize box);
    // Whether a thumbnail of path in box is decoded already (decoded or not decodable).
    bool isCached(const QString& path, QSize box) const;
    // Forgets every thumbnail; results of decodes under way are dropped.
    void clear();
    // Decodes still waiting or running.
    int pending() const { return static_cast<int>(pending_.size()); }

    // The image at path decoded to fit box and centred on a transparent
    // image of the box's size; null when it does not decode. Any thread may call.
    static QImage decode(const QString& path, QSize box);
    // An empty pixmap of the box's size, shown until the thumbnail is there. UI thread.
    static QPixmap placeholder(QSize box);
    // The cache key: path, modification time, size in bytes and box.
    static QString cacheKey(const QString& path, QSize box);

signals:
    // The thumbnail of path is in the cache now.
    void ready(const QString& path);

private:
    void startNext();
    void finished(quint64 generation, const QString& key, const QString& path, const QImage& image);

    struct Request {
        QString key;
        QString path;
        QSize box;
    };
    QThreadPool pool_;
    QHash<QString, QPixmap> cache_;
    QSet<QString> pending_;
    QList<Request> queue_;  // newest last
    int running_ = 0;
    quint64 generation_ = 0;
};
