#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>

#include "model/ImageHeader.h"
#include "model/ThemeBundle.h"
#include "platform/BundleFolder.h"
#include "platform/Descriptor.h"

// A picture of a theme, read the one way the editor reads any theme's
// picture: a theme's picture is reached from the theme's opened folder
// (BundleFolder, no link followed at any level, so a folder of the bundle
// swapped for a link after opening leads nowhere), a file outside any theme
// by its path; only a regular file of at most ThemeBundle::kMaxImageBytes is
// opened (looked at before and after opening, never blocking, a link as the
// last name refused), so a FIFO, a device, a link or a huge file in a
// stranger's bundle is never opened and reads as nothing. The bytes are read
// once, into memory; the size is read from their header (ImageHeader, the
// reader the theme check and the Dock's sizes agree on, else QImageReader) and
// the image decoded from them with an allocation limit.
//
// A value: copies share the bytes. Any thread may make and use one; reading
// happens in the constructor, decoding in read(). Both block: the editor
// decodes a theme's pictures only in ImageDecoder's workers.
class ImageFile {
public:
    // Images needing more memory than this (in MiB) are not decoded; the
    // stand-in Dock decodes within the same limit.
    static constexpr int kAllocationLimitMb = ThemeBundle::kMaxImageAllocationMb;

    // Where a picture is read from. A value; the folder is shared, so a
    // worker may read after the theme was closed.
    struct Source {
        // A file outside any theme (a dropped file, a stock picture).
        Source(const QString& filePath) : path(filePath) {}  // implicit: a path names a source
        // The picture at filePath inside folder, read relative to it; one
        // outside the folder (or without one) reads as nothing.
        Source(std::shared_ptr<const BundleFolder> opened, const QString& filePath);

        std::shared_ptr<const BundleFolder> folder;
        QString path;  // relative to folder when there is one; empty: nothing
    };

    // Reads the file source names; an unreadable one holds no bytes.
    explicit ImageFile(const Source& source);

    // A descriptor of the regular file at path (last name not followed, at
    // most kMaxImageBytes); invalid for anything else. Any thread.
    static Descriptor open(const QString& path);
    // A descriptor of the file source names, opened as the constructor reads
    // it; invalid for anything it refuses. Any thread.
    static Descriptor open(const Source& source);

    // The size QImageReader reads from the header of the picture open as fd
    // (from its start; the descriptor stays the caller's): the decoder the
    // theme check asks for formats ImageHeader does not know. Reads no pixels.
    // Any thread.
    static std::optional<ImageSize> readerSize(int fd);
    // The size the theme check reads for the picture open as fd: from its
    // header (ImageHeader), else readerSize. Nothing for a file the check
    // refuses as no picture; a slot is never given one. Any thread.
    static std::optional<ImageSize> pictureSize(int fd);

    bool isNull() const { return bytes_.isEmpty(); }
    // The image's size in pixels from its header; invalid when it does not read.
    QSize size() const;
    // The image decoded, scaled to scaled when that is valid; null when it does not decode.
    QImage read(QSize scaled = QSize()) const;

private:
    // Reads the regular file open as file (nothing when invalid).
    void readAll(const Descriptor& file);

    QByteArray bytes_;
};
