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

int sideOf(const QByteArray& type) {
    if (type == "ic07") {
        return 128;
    }
    if (type == "ic08") {
        return 256;
    }
    return type == "ic09" ? 512 : 0;
}

// Whether an entry of side candidate suits wanted better than one of side current.
bool closer(int candidate, int current, int wanted) {
    if (wanted <= 0) {
        return candidate > current;
    }
    bool candidateFits = candidate >= wanted;
    bool currentFits = current >= wanted;
    if (candidateFits != currentFits) {
        return candidateFits;
    }
    return candidateFits ? candidate < current : candidate > current;
}

}  // namespace

QImage IcnsImage::read(const QString& path, int side) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxBytes) {
        return {};
    }
    return fromData(file.readAll(), side);
}

QImage IcnsImage::fromData(const QByteArray& bytes, int side) {
    if (bytes.size() < kHeader || !bytes.startsWith("icns")) {
        return {};
    }
    qsizetype end = std::min<qsizetype>(bytes.size(), bigEndian(bytes, 4));
    // Pick by the entry's type, then decode the one chosen.
    QByteArray chosen;
    int chosenSide = 0;
    for (qsizetype at = kHeader; at + kHeader <= end;) {
        qsizetype length = bigEndian(bytes, at + 4);
        if (length < kHeader || at + length > end) {
            break;
        }
        int entrySide = sideOf(bytes.mid(at, 4));
        QByteArray data = bytes.mid(at + kHeader, length - kHeader);
        bool better = chosen.isEmpty() || closer(entrySide, chosenSide, side);
        if (entrySide > 0 && data.startsWith("\x89PNG") && better) {
            chosen = data;
            chosenSide = entrySide;
        }
        at += length;
    }
    return chosen.isEmpty() ? QImage() : QImage::fromData(chosen, "PNG");
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
