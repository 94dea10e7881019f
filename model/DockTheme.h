#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/DockStyle.h"
#include "model/ImageObjectView.h"
#include "model/RichText.h"
#include "platform/Descriptor.h"
#include "platform/PlistValue.h"

class BundleFolder;

// One theme bundle opened for reading and editing: its Info.plist in memory,
// and for each Dock category (2D, then 3D) a slot list of browser items,
// one per file key of that category, sorted by key without regard to case.
//
// The caller owns the document; the document owns its dictionary and slot
// lists and shares the items with the browsers that show them. Use it on the
// thread that made it (the batch converter makes its own on its worker thread).
//
// A bundle may come from a stranger. The document opens the bundle folder
// once and holds it open (bundleFolder()); every file it reads, writes or
// removes is reached from that folder without following links, only regular
// files are read (of at most ThemeBundle's limits) and only regular files of
// the bundle are removed, one by one. A bundle whose names or folders lead
// outside it does not open.
//
// What reaches the disk when: newDockBundleAtPath copies the template;
// copyDataFromFolder writes image files; setFileName writes the new image and
// Info.plist and then removes the old image when no key names it any more;
// setDescription, setDockMicroPreview, putBundleFile, removeBundleFile,
// saveInformation and backup change their files at once. Metadata setters and reloadItemAtIndex
// change memory only. Every file is written to a temporary file renamed into
// place; a write that fails leaves nothing behind. A failing operation says
// why in errorString().
//
// Other programs may change the bundle meanwhile (another editor, the
// command line). Every write holds the bundle's lock (BundleFolder::lock) and
// is a read-modify-write of Info.plist as it is on disk then: only the keys
// this document changed since it last read or wrote the file (a "Dock_List"
// entry counts as a key) are carried over, so a change made elsewhere to
// another key stays. What is written stays within the reader's bounds
// (ThemeBundle's limits, PlistBounds, RtfReader's), else nothing is written.
// changedOnDisk() tells when the file is no longer the one last read or
// written; reload() reads it again.
class DockTheme {
public:
    using Item = std::shared_ptr<const ImageObjectView>;
    using SlotList = std::vector<Item>;
    // The information a user edits, as one value.
    struct Information {
        std::string name;
        std::string author;
        std::string site;
        std::string version;
        std::string appcast;
        bool operator==(const Information&) const = default;
    };

    // Opens the bundle at path; nothing when path is not a folder, its
    // Info.plist is missing or unreadable, an image its table names is missing
    // ("Missing (key: %@) %@" is logged), the table is defective, or a name
    // leads outside the bundle. whyNot then gets a sentence for the user.
    static std::unique_ptr<DockTheme> initWithBundleAtPath(const std::string& path,
                                                           std::string* whyNot = nullptr);
    // Copies the theme template to path (nothing is copied when something is
    // there already) and opens what is at path, named name in memory only.
    // Nothing when no folder is at path afterwards.
    static std::unique_ptr<DockTheme> newDockBundleAtPath(const std::string& path,
                                                          const std::string& name);

    // Fills the bundle with the images the Dock has installed now.
    void copyInMeCurrentDock();
    // Replaces each image whose Dock file name folder holds; the image table
    // is not touched. An image the folder lacks stays as it was. False when an
    // image the folder holds could not be copied (not a regular file, larger
    // than ThemeBundle::kMaxImageBytes, a full disk); its Dock file name is
    // added to failed, and the bundle keeps its image of that name.
    bool copyDataFromFolder(const std::string& folder, std::vector<std::string>* failed = nullptr);

    const std::array<SlotList, 2>& listOfImages() const { return dock_list; }
    const SlotList& slotList(DockCategory category) const { return dock_list[indexOf(category)]; }
    const SlotList& dock_2d_images() const { return dock_list[0]; }
    const SlotList& dock_3d_images() const { return dock_list[1]; }

    std::optional<std::string> getFileNameForKey(const std::string& key,
                                                 DockCategory dockCat) const;
    // Makes a copy of the regular file at path (at most kMaxImageBytes) the
    // key's image under proposedName, which no entry of the images folder may
    // have yet; records the name and writes Info.plist, then removes the key's
    // old image (as Info.plist on disk named it) when it is a regular file no
    // key names any more. With expected, the key must still name expected on
    // disk (an undo step whose slot another program changed fails). Returns
    // the new image's path; nothing when the copy or the write failed, and
    // then the bundle and the dictionary are as they were.
    std::optional<std::string> setFileName(const std::string& path, const std::string& key,
                                           DockCategory dockCat, const std::string& proposedName,
                                           const std::optional<std::string>& expected = {});
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
    // The information as stored; an absent value reads as empty, the version as version().
    Information information() const;
    // Makes values the information and writes Info.plist, with description.rtf
    // when description is given, whole: both files or neither change (see
    // BundleFolder::writeFiles), description.rtf first. On failure the
    // dictionary is as it was and errorString() says why.
    bool saveInformation(const Information& values, const RichText* description);

    // The Info.plist key naming the author's public key (ThemeSignature's
    // base64 of 32 bytes), against which the theme's updates are verified.
    static constexpr const char* kPublicKeyKey = "VL_DockPublicEDKey";
    // The stored key, not part of the Information a user edits. A value that
    // is not a public key comes back as stored (one that is no string as ""),
    // so that no update verifies against it rather than the theme counting as
    // unsigned; nothing when the theme names no key.
    std::optional<std::string> dockPublicKey() const;
    // Makes key the theme's public key and writes Info.plist at once, as
    // saveInformation writes; an empty key removes it. False, with nothing
    // changed, when key is not ThemeSignature::isPublicKey ("not a public
    // key: <key>") or the write failed.
    bool storePublicKey(const std::string& key);

    // The description; "No Description Available" without description.rtf.
    // A file that is not RTF reads as plain text; RTF after a byte-order mark
    // or white space reads as RTF. Nothing when the file can't be read (not a
    // regular file, over the reader's limits, damaged RTF).
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
    // Makes a copy of the regular file at path (at most kMaxImageBytes) the
    // bundle's file name, one of ThemeBundle::topLevelFiles() but Info.plist.
    bool putBundleFile(const std::string& name, const std::string& path);
    // Removes the bundle's file name when it is a regular file; true when
    // nothing is left under that name.
    bool removeBundleFile(const std::string& name);
    // Removes temporary files that a killed writer left in the bundle (every
    // write does so too, under the lock, before it writes).
    void removeLeftovers() const;
    // Why copying what into a bundle failed with error, for an alert: "<what>
    // is larger than 16 MiB" (EFBIG), "<what> is not a plain file" (EINVAL),
    // else "<what> could not be copied (<the error's text>)".
    static std::string copyFailure(const std::string& what, int error);
    // Why the last operation that failed did so, for an alert.
    const std::string& errorString() const { return error_; }

    const std::string& dockPath() const { return dock_path; }
    // The opened bundle folder; readers on other threads may keep it.
    const std::shared_ptr<const BundleFolder>& bundleFolder() const { return dock_folder; }
    // The image at path (an item's path, inside this bundle) opened through
    // the bundle folder, links not followed at any level: a regular file of
    // at most ThemeBundle::kMaxImageBytes, else an invalid descriptor (also
    // for a path outside the bundle). Any thread.
    Descriptor openImage(const std::string& path) const;
    std::string indexFile() const;
    // The theme template in the resource folder.
    static std::string fullPath();
    // Writes what the dictionary changed to Info.plist (see above); false
    // when there is none or the write failed.
    bool backup();

    // Whether Info.plist on disk is no longer the file this document last
    // read or wrote (or a write of it had to carry over changes made
    // elsewhere). Looks at the file's identity only. Any thread that owns the document.
    bool changedOnDisk() const;
    // Reads Info.plist again and makes it the dictionary and the slot lists
    // (new items); false, with why and the document as it was, when the
    // bundle no longer opens. Changes memory only.
    bool reload(std::string* whyNot = nullptr);

    // The dictionary as read (and changed since); nothing without Info.plist.
    const std::optional<PlistValue>& infoDictionary() const { return dock_infoDictionary; }

private:
    DockTheme(std::string path, std::shared_ptr<const BundleFolder> folder);

    // The validity check; fills dock_list on success and empties it on failure.
    bool _verifyConsistenceOfBundle(const PlistValue& dictionary, std::string* whyNot);
    bool failed(std::string why) const;
    // Whether any key of either category names fileName.
    bool isNamed(const std::string& fileName) const;
    std::optional<std::string> stringFor(const char* key) const;
    void setString(const char* key, const std::string& value);
    // The identity of Info.plist on disk now; all zero when there is none.
    struct FileIdentity {
        std::uint64_t device = 0, inode = 0, size = 0;
        std::int64_t seconds = 0, nanoseconds = 0;
        bool operator==(const FileIdentity&) const = default;
    };
    FileIdentity infoIdentity() const;
    // Holds the bundle's lock for the write's duration and, holding it, sweeps
    // what a killed writer left (no writer is using it then); false, with
    // why, when another program holds the lock too long.
    bool locked(Descriptor& lock) const;
    // Removes the temporaries of the bundle and its images folder; the caller
    // holds the lock.
    void sweepLeftovers() const;
    // Under the lock held: writes extra files and Info.plist, with what the
    // dictionary changed since the last read or write carried over onto the
    // file as it is on disk now, all or none; afterWrite then runs, still under
    // the lock. On failure the dictionary is as the caller left it.
    bool store(std::vector<std::pair<std::string, std::string>> extra,
               const std::function<void()>& afterWrite = {});
    // Takes the lock and stores (extra as store takes them); on failure the
    // dictionary becomes before again.
    bool storeOrRestore(std::optional<PlistValue> before,
                        std::vector<std::pair<std::string, std::string>> extra);

    std::optional<PlistValue> dock_infoDictionary;
    // Info.plist as last read or written, and that file's identity.
    std::optional<PlistValue> dock_savedDictionary;
    FileIdentity dock_savedIdentity;
    bool dock_changedElsewhere = false;
    std::string dock_path;
    std::array<SlotList, 2> dock_list;
    std::shared_ptr<const BundleFolder> dock_folder;
    mutable std::string error_;
};
