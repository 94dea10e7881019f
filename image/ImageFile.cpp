#include "image/ImageFile.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include "platform/FileManager.h"

namespace {

// Runs use on a reader of bytes that decodes within the allocation limit.
template <typename Use>
auto withReader(const QByteArray& bytes, Use use) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(ImageFile::kAllocationLimitMb);
    return use(reader);
}

}  // namespace

ImageFile::Source::Source(std::shared_ptr<const BundleFolder> opened, const QString& filePath)
    : folder(std::move(opened)) {
    if (!folder) {
        return;
    }
    const QString prefix = QString::fromStdString(folder->path()) + QLatin1Char('/');
    if (filePath.startsWith(prefix)) {
        path = filePath.mid(prefix.size());
    }
}

ImageFile::ImageFile(const Source& source) {
    readAll(open(source));
}

Descriptor ImageFile::open(const QString& path) {
    return Descriptor(FileManager::openRegularFile(path.toStdString(), false, AT_FDCWD,
                                                   ThemeBundle::kMaxImageBytes));
}

Descriptor ImageFile::open(const Source& source) {
    // A relative path that is not confined opens nothing.
    return source.folder ? source.folder->openRegularFile(source.path.toStdString(),
                                                          ThemeBundle::kMaxImageBytes)
                         : open(source.path);
}

std::optional<ImageSize> ImageFile::pictureSize(int fd) {
    if (auto size = ImageHeader::fromDescriptor(fd)) {
        return size;
    }
    return readerSize(fd);
}

std::optional<ImageSize> ImageFile::readerSize(int fd) {
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle) || !file.seek(0)) {
        return std::nullopt;
    }
    QImageReader reader(&file);
    reader.setAllocationLimit(kAllocationLimitMb);
    const QSize size = reader.canRead() ? reader.size() : QSize();
    if (size.isEmpty()) {
        return std::nullopt;
    }
    return ImageSize{size.width(), size.height()};
}

QSize ImageFile::size() const {
    const auto header =
        ImageHeader::fromBytes(std::string_view(bytes_.constData(), std::size_t(bytes_.size())));
    if (header) {
        return QSize(header->width, header->height);
    }
    return withReader(
        bytes_, [](QImageReader& reader) { return reader.canRead() ? reader.size() : QSize(); });
}

QImage ImageFile::read(QSize scaled) const {
    return withReader(bytes_, [scaled](QImageReader& reader) {
        if (scaled.isValid()) {
            reader.setScaledSize(scaled);
        }
        return reader.read();
    });
}

void ImageFile::readAll(const Descriptor& file) {
    if (!file.valid()) {
        return;
    }
    if (auto bytes = FileManager::readDescriptor(file.get(), ThemeBundle::kMaxImageBytes)) {
        bytes_ = QByteArray(bytes->data(), static_cast<qsizetype>(bytes->size()));
    }
}
