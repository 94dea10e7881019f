#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "tool/ThemeSource.h"

class DockFolder;

// Installs a theme's images into the Dock folder as one transaction: either
// every image is in place, or the folder holds what it held before.
//
// stage() copies every image to a temporary file in the folder and links each
// Dock image it will replace to a name aside; it changes no Dock image, and
// any failure there (no space, a file-size limit, no rights, a folder in the
// way, an image that can't be linked) ends it. commit() then renames each
// temporary file over its Dock image, so the Dock never finds an image
// missing or half-written; should a rename fail, the images already replaced
// are put back from aside. Dropping the transaction removes every temporary
// file and every name aside that is left. The caller holds the folder's lock
// and the signals for the transaction's whole life. One thread.
class InstallTransaction {
public:
    InstallTransaction(const DockFolder& folder, const std::vector<InstallStep>& steps);
    ~InstallTransaction();
    InstallTransaction(const InstallTransaction&) = delete;
    InstallTransaction& operator=(const InstallTransaction&) = delete;

    // True when every image is staged. Otherwise logs why and changes nothing.
    bool stage();
    // True when every image is in place; logs each image's lines as it goes.
    // On false the Dock images are as they were before. Call after stage().
    bool commit();

private:
    struct Entry {
        const InstallStep* step = nullptr;
        std::string temporary;             // the staged copy, until renamed into place
        std::optional<std::string> aside;  // a second name of the image it replaces
        bool installed = false;
    };

    bool stageEntry(Entry& entry, std::string& problem);
    void putBack();
    std::string newTemporaryName(const char* role);

    const DockFolder& folder_;
    std::vector<Entry> entries_;
    unsigned serial_ = 0;
    bool committed_ = false;
};
