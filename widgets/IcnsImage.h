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
    // The largest PNG entry of the file at path; a null image when there is none.
    static QImage read(const QString& path);
    static QImage fromData(const QByteArray& bytes);
    // A container of the images (each square: 128, 256 or 512 pixels) as PNG entries.
    static QByteArray toData(const QList<QImage>& images);
};
