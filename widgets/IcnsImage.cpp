#include "widgets/IcnsImage.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>

namespace {

constexpr qsizetype kHeader = 8;
constexpr qsizetype kMaxBytes = 16 * 1024 * 1024;

quint32 bigEndian(const QByteArray& bytes, qsizetype at) {
    return qFromBigEndian<quint32>(bytes.constData() + at);
}

QByteArray entryType(int side) {
    switch (side) {
        case 128:
            return "ic07";
        case 256:
            return "ic08";
        default:
            return "ic09";
    }
}

}  // namespace

QImage IcnsImage::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxBytes) {
        return {};
    }
    return fromData(file.readAll());
}

QImage IcnsImage::fromData(const QByteArray& bytes) {
    if (bytes.size() < kHeader || !bytes.startsWith("icns")) {
        return {};
    }
    qsizetype end = std::min<qsizetype>(bytes.size(), bigEndian(bytes, 4));
    QImage best;
    for (qsizetype at = kHeader; at + kHeader <= end;) {
        qsizetype length = bigEndian(bytes, at + 4);
        if (length < kHeader || at + length > end) {
            break;
        }
        QByteArray data = bytes.mid(at + kHeader, length - kHeader);
        if (data.startsWith("\x89PNG")) {
            QImage image = QImage::fromData(data, "PNG");
            if (image.width() > best.width()) {
                best = image;
            }
        }
        at += length;
    }
    return best;
}

QByteArray IcnsImage::toData(const QList<QImage>& images) {
    QByteArray entries;
    for (const QImage& image : images) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        quint32 length = qToBigEndian<quint32>(static_cast<quint32>(png.size() + kHeader));
        entries += entryType(image.width());
        entries += QByteArray(reinterpret_cast<const char*>(&length), 4);
        entries += png;
    }
    quint32 total = qToBigEndian<quint32>(static_cast<quint32>(entries.size() + kHeader));
    return QByteArray("icns") + QByteArray(reinterpret_cast<const char*>(&total), 4) + entries;
}
