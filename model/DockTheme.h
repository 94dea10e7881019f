#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/DockStyle.h"
#include "model/ImageObjectView.h"
#include "model/RichText.h"
#include "platform/PlistValue.h"

// One theme bundle opened for reading and editing: its Info.plist in memory,
// and for each Dock category (2D, then 3D) a slot list of browser items,
// one per file key of that category, sorted by key without regard to case.
//
// The caller owns the document; the document owns its dictionary and slot
// lists and shares the items with the browsers that show them. It holds no
// open file. Use it on the thread that made it (the batch converter makes its
// own on its worker thread).
//
// What reaches the disk when: newDockBundleAtPath copies the template;
// copyDataFromFolder writes image files; setFileName writes the new image and
// Info.plist and then removes the old image; setDescription, setDockMicroPreview
// and backup write their file at once. Metadata setters and reloadItemAtIndex
// change memory only. Info.plist and description.rtf are written to a
// temporary file renamed into place, images are replaced the same way.
class DockTheme {
public:
    using Item = std::shared_ptr<const ImageObjectView>;
    using SlotList = std::vector<Item>;

    // Opens the bundle at path; nothing when an image its table names is
    // missing ("Missing (key: %@) %@" is logged) or the table is defective.
    // A bundle without a readable Info.plist opens with no dictionary.
    static std::unique_ptr<DockTheme> initWithBundleAtPath(const std::string& path);
    // Copies the theme template to path (nothing is copied when something is
    // there already) and opens what is at path, named name in memory only.
    // Nothing when no folder is at path afterwards.
    static std::unique_ptr<DockTheme> newDockBundleAtPath(const std::string& path,
                                                          const std::string& name);

    // Fills the bundle with the images the Dock has installed now.
    void copyInMeCurrentDock();
    // Replaces each image whose Dock file name folder holds; the image table
    // is not touched. An image the folder lacks stays as it was. Always true.
    bool copyDataFromFolder(const std::string& folder);

    const std::array<SlotList, 2>& listOfImages() const { return dock_list; }
    const SlotList& slotList(DockCategory category) const { return dock_list[indexOf(category)]; }
    const SlotList& dock_2d_images() const { return dock_list[0]; }
    const SlotList& dock_3d_images() const { return dock_list[1]; }

    std::optional<std::string> getFileNameForKey(const std::string& key,
                                                 DockCategory dockCat) const;
    // Makes a copy of the image at path the key's image under proposedName,
    // records the name and writes Info.plist, then removes the key's old
    // image. Returns the new image's path; nothing when the copy or the write
    // failed, and then the bundle and the dictionary are as they were.
    std::optional<std::string> setFileName(const std::string& path, const std::string& key,
                                           DockCategory dockCat, const std::string& proposedName);
    // Puts a new item of path and key at index of the category's slot list;
    // an index outside the list changes nothing.
    void reloadItemAtIndex(std::size_t index, const std::string& path, const std::string& key,
                           DockCategory cat);
    // Whether any key of either category uses fileName (exact comparison).
    bool verifyNameExistForFile(const std::string& fileName) const;

    std::optional<std::string> dockName() const;
    void setDockName(const std::string& name);
    std::optional<std::string> dockAuthor() const;
    void setDockAuthor(const std::string& author);
    void setAuthor(const std::string& author);
    std::optional<std::string> dockAuthorSite() const;
    void setAuthorSite(const std::string& site);
    // The stored version, or "1.0".
    std::string version() const;
    void setVersion(const std::string& version);
    std::optional<std::string> dockAppcast() const;
    void setURLAppcast(const std::string& address);

    // The description; "No Description Available" without description.rtf,
    // nothing when that file is not an RTF document.
    std::optional<RichText> description() const;
    // Writes text to description.rtf at once; false when it could not.
    bool setDescription(const RichText& text);
    // "%@/preview_%@.png": "2d" for the 2D style, "3d" for the 3D style.
    std::string previewDockPath(DockStyle dockStyle) const;
    bool existDockPreview(DockStyle dockStyle) const;
    // The small preview's path when that file exists; the editor decodes it.
    std::optional<std::string> dockMicroPreview() const;
    // Makes a copy of the image file at path the small preview; a file that
    // can't be read leaves the old preview in place.
    bool setDockMicroPreview(const std::string& path);

    const std::string& dockPath() const { return dock_path; }
    std::string indexFile() const;
    // The theme template in the resource folder.
    static std::string fullPath();
    // Writes the dictionary to Info.plist; false when there is none or the write failed.
    bool backup() const;

    // Starts the apply tool with administrator rights on this bundle and
    // returns without waiting for it.
    void applyTheme() const;

    // The dictionary as read (and changed since); nothing without Info.plist.
    const std::optional<PlistValue>& infoDictionary() const { return dock_infoDictionary; }

private:
    explicit DockTheme(std::string path);

    // The validity check; fills dock_list on success and empties it on failure.
    bool _verifyConsistenceOfBundle(const std::string& bundle, const PlistValue* dictionary);
    std::optional<std::string> stringFor(const char* key) const;
    void setString(const char* key, const std::string& value);

    std::optional<PlistValue> dock_infoDictionary;
    std::string dock_path;
    std::array<SlotList, 2> dock_list;
};
