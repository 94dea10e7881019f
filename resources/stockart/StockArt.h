#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class MiscKit;

// Draws the stock theme's images and writes the stock theme bundle. A build
// tool: it runs once per build, on the main thread.
class StockArt {
public:
    explicit StockArt(const MiscKit& catalogue);

    // The Dock category in which the stock theme keeps key: 0 for the pieces
    // of the flat Dock, 1 for the others.
    static int categoryForKey(const QString& key);

    // The stock image of key at size.
    static QImage drawImage(const QString& key, QSize size);

    // Writes a complete bundle at bundlePath (which must not exist yet): every
    // key's image under its Dock file name, Info.plist, the description from
    // descriptionFile and the three previews. Returns false on any failure.
    bool writeBundle(const QString& bundlePath, const QString& descriptionFile) const;

private:
    QImage image(const QString& key) const;
    QImage preview(int dockStyle) const;

    const MiscKit& catalogue_;
};
