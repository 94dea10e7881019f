#pragma once

#include <QImage>
#include <QString>

#include <filesystem>
#include <map>
#include <vector>

class MiscKit;

// The Dock's images, read once from a folder, each under its Dock file name
// (the catalogue's "Original" of its file key). An image that is missing, not
// a regular file, too large or that does not decode is left out; nothing else
// happens. A plain value: read and kept by the thread that loaded it (or
// made it); it may be handed to another thread whole.
class DockImages {
public:
    // One image that was loaded, as the manifest lists it.
    struct Loaded {
        QString key;
        QString fileName;
        int width = 0;
        int height = 0;
        QString sha256;  // of the file's bytes, lower-case hexadecimal
    };

    // Reads every file key's image of catalogue from folder.
    static DockImages load(const MiscKit& catalogue, const std::filesystem::path& folder);
    // Images decoded elsewhere (a theme's slots), each under its file key; a
    // null image is left out. Their Loaded entries, in key order, carry no
    // file name and no digest. Any thread.
    static DockImages fromImages(std::map<QString, QImage> images);

    // The image of file key, or nullptr when it was not loaded.
    const QImage* image(const QString& key) const;
    // The loaded images in the catalogue's key order.
    const std::vector<Loaded>& loaded() const { return loaded_; }

private:
    std::map<QString, QImage> images_;
    std::vector<Loaded> loaded_;
};
