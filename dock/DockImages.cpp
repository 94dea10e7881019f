#include "dock/DockImages.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImageReader>

#include "model/MiscKit.h"
#include "model/ThemeBundle.h"
#include "platform/FileManager.h"

namespace {

// Within the editor's limits: a picture the editor shows, the Dock draws.
QImage decode(const std::string& bytes) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(ThemeBundle::kMaxImageAllocationMb);
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
    options.maxBytes = ThemeBundle::kMaxImageBytes;
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

DockImages DockImages::fromImages(std::map<QString, QImage> images) {
    DockImages made;
    for (auto& [key, image] : images) {
        if (image.isNull()) {
            continue;
        }
        // The painter draws premultiplied images fastest.
        if (image.format() != QImage::Format_ARGB32_Premultiplied) {
            image.convertTo(QImage::Format_ARGB32_Premultiplied);
        }
        made.loaded_.push_back(Loaded{key, QString(), image.width(), image.height(), QString()});
        made.images_.emplace(key, std::move(image));
    }
    return made;
}

const QImage* DockImages::image(const QString& key) const {
    auto found = images_.find(key);
    return found == images_.end() ? nullptr : &found->second;
}
