#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

// Thumbnails of image files, decoded straight to the size shown (never more
// than the allocation limit, so a stranger's huge file is not decoded) and
// kept by path, modification time and size: a file replaced under the same
// path is read anew. A file that does not decode gives a null icon.
// UI thread only (it makes pixmaps).
class ThumbnailCache {
public:
    explicit ThumbnailCache(int size) : size_(size) {}

    // The thumbnail of the image file at path, at most size by size pixels.
    QIcon thumbnail(const QString& path);
    void clear() { icons_.clear(); }

private:
    int size_;
    QHash<QString, QIcon> icons_;
};
