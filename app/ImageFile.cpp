#include "app/ImageFile.h"

#include <QBuffer>
#include <QImageReader>

#include "model/ThemeBundle.h"
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

ImageFile::ImageFile(const QString& path) {
    Descriptor file = open(path);
    if (!file.valid()) {
        return;
    }
    if (auto bytes = FileManager::readDescriptor(file.get(), ThemeBundle::kMaxImageBytes)) {
        bytes_ = QByteArray(bytes->data(), static_cast<qsizetype>(bytes->size()));
    }
}

Descriptor ImageFile::open(const QString& path) {
    return Descriptor(FileManager::openRegularFile(path.toStdString(), false, AT_FDCWD,
                                                   ThemeBundle::kMaxImageBytes));
}

QSize ImageFile::size() const {
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
