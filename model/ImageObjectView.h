#pragma once

#include <string>

// One item of an image browser: an image file's path and a key. In a theme's
// slot list the key is the slot's file key; in the collection it is the same
// path as the image. Filled once and not changed afterwards, so browsers and
// the theme document share items by reference; any thread may read one.
class ImageObjectView {
public:
    void setPath(const std::string& path) { path_ = path; }
    const std::string& path() const { return path_; }
    void setKeyDock(const std::string& key) { keyPath = key; }
    const std::string& keyDock() const { return keyPath; }

    // The image's file name.
    std::string title() const;
    // The browser identifies and caches the thumbnail by the path.
    const std::string& imageUID() const { return path_; }
    // The representation is a file path.
    static std::string imageRepresentationType();
    const std::string& imageRepresentation() const { return path_; }
    // Empty for a key the catalogue names (the editor shows the name elsewhere);
    // otherwise the name, without extension, of the folder holding the key's path.
    std::string imageTitle() const;
    std::string imageSubtitle() const;

    // <0, 0 or >0 as this item's key sorts before, with or after other's,
    // ignoring letter case.
    int sortObjectByKey(const ImageObjectView& other) const;

private:
    std::string path_;
    std::string keyPath;
};
