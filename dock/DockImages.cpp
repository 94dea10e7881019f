#include "dock/DockImages.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImageReader>

#include "model/MiscKit.h"
#include "model/ThemeBundle.h"
#include "platform/FileManager.h"

namespace {

// Dock images are small; a larger file is not an image the Dock draws.
constexpr std::size_t kMaxImageBytes = 16u * 1024u * 1024u;
// Refuses pictures whose pixels would take more than this many megabytes.
constexpr int kMaxImageMegabytes = 64;

QImage decode(const std::string& bytes) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(kMaxImageMegabytes);
    QImage image = reader.read();
    if (image.isNull()) {
        return image;
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

DockImages DockImages::load(const MiscKit& catalogue, const std::filesystem::path& folder) {
    DockImages images;
    FileManager::ReadOptions options;
    options.maxBytes = kMaxImageBytes;
    for (const std::string& key : catalogue.fileKeys_List()) {
        auto original = catalogue.getOriginalFileNameForKey(key);
        if (!original || !ThemeBundle::isPlainFileName(*original)) {
            continue;
        }
        auto bytes = FileManager::readFile(folder / *original, options);
        if (!bytes) {
            continue;
        }
        QImage image = decode(*bytes);
        if (image.isNull()) {
            continue;
        }
        QByteArray digest = QCryptographicHash::hash(
            QByteArrayView(bytes->data(), static_cast<qsizetype>(bytes->size())),
            QCryptographicHash::Sha256);
        QString qkey = QString::fromStdString(key);
        images.loaded_.push_back(Loaded{qkey, QString::fromStdString(*original), image.width(),
                                        image.height(), QString::fromLatin1(digest.toHex())});
        images.images_.emplace(qkey, std::move(image));
    }
    return images;
}

const QImage* DockImages::image(const QString& key) const {
    auto found = images_.find(key);
    return found == images_.end() ? nullptr : &found->second;
}
