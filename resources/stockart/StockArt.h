#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class MiscKit;

// Draws the stock theme's images and writes the stock theme bundle; its two
// Dock screenshots are drawn from those images by the stand-in Dock. A build
// tool: it runs once per build, on the main thread.
class StockArt {
public:
    explicit StockArt(const MiscKit& catalogue);

    // The stock image of key at size.
    static QImage drawImage(const QString& key, QSize size);

    // Writes the bundle at bundlePath (which must not exist yet): every key's
    // image under its Dock file name, Info.plist and the description from
    // descriptionFile. Returns false on any failure.
    bool writeBundle(const QString& bundlePath, const QString& descriptionFile) const;

    // Writes the bundle's small preview: the Dock of its 3D screenshot, scaled down.
    static bool writeMicroPreview(const QString& bundlePath);

private:
    QImage image(const QString& key) const;

    const MiscKit& catalogue_;
};
