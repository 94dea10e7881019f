#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

#include "model/ImageHeader.h"
#include "platform/Descriptor.h"

// A picture of a theme, read the one way the editor reads any theme's
// picture: only a regular file of at most ThemeBundle::kMaxImageBytes is
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
    // Images needing more memory than this (in MiB) are not decoded.
    static constexpr int kAllocationLimitMb = 256;

    // Reads the file at path; an unreadable one holds no bytes.
    explicit ImageFile(const QString& path);

    // A descriptor of the regular file at path (last name not followed, at
    // most kMaxImageBytes); invalid for anything else. Any thread.
    static Descriptor open(const QString& path);

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
    QByteArray bytes_;
};
