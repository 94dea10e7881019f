#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

// The icon container of the application bundle ("icon4on.icns"): a header
// "icns" with the whole length, then entries of a four-letter type, a length
// (header included) and data. The project writes and reads entries of PNG
// data (types "ic07" 128, "ic08" 256, "ic09" 512 pixels). Any thread.
class IcnsImage {
public:
    // The PNG entry of the file at path closest to side pixels (the smallest
    // that is at least as large, else the largest); only that one is decoded.
    // A null image when there is none. side 0 takes the largest.
    static QImage read(const QString& path, int side = 0);
    static QImage fromData(const QByteArray& bytes, int side = 0);
    // A container of the images (each square: 128, 256 or 512 pixels) as PNG entries.
    static QByteArray toData(const QList<QImage>& images);
};
