#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

class ArchiveImport;

// The file work of a collection of themes: the bundles in one folder (the
// editor's is "Velvanto" in the user's data folder, passed in), listed, added,
// replaced, imported from an archive, and what a killed run left recovered.
// The collection window asks the user and shows; every file step is here.
//
// Stateless but for the folder's path: any thread may call, one change of an
// entry at a time (the editor calls from its UI thread, an import's unpacking
// excepted, which ArchiveImport does on a worker).
//
// Names are kept as the file system's bytes. Why a change failed is told as a
// clause (lower case, no period) for "<what> could not be ...: <why>".
//
// What reaches the disk when: make() makes the folder (with its parents) when
// nothing is there. list() copies the stock micro preview into a bundle that
// has none, only when the bundle is a real folder (not a link) and only
// through the opened folder. add() copies the source bundle's regular files
// and folders (links, FIFOs and devices below it are left out) into a hidden
// folder of the collection (".velvanto-incoming-XXXXXX", held locked), in one
// pass, and gives the copy its name only when it is whole: its Info.plist
// reads and its table names only files that pass copied (no second walk). A
// clashing entry, when replacing, trades names with the new copy in one step
// where the file system can (else it is put aside first in
// ".velvanto-replaced-XXXXXX"), with the old entry's lock held
// (BundleFolder::lock) so a program writing it ends first; it is removed
// afterwards, so a failed copy or a kill never loses a theme. An imported
// theme (unpacked by ArchiveImport into a hidden folder of the collection) is
// given its name the same way, in place of an entry only when asked.
// recoverLeftovers() puts an old theme put aside back under its name when
// that is free and removes every other leftover, never through a link.
class ThemeCollection {
public:
    // The bundles of the folder, by name; readable is false when it can't be listed.
    struct Listing {
        bool readable = true;
        std::vector<std::string> bundles;  // paths, "<folder>/<name>.docktheme"
    };

    explicit ThemeCollection(std::string folder);

    const std::string& folder() const { return folder_; }
    // "<folder>/<name>".
    std::string pathOf(const std::string& name) const;
    // Makes the folder, with its parents, when nothing is there.
    void make() const;
    // The folders (or links to folders) named "*.docktheme", each given the
    // stock micro preview first when it is a real folder lacking one.
    Listing list() const;
    // Whether an entry of that name is there, of any kind (links not followed).
    bool has(const std::string& name) const;
    // Copies the bundle at source in as the entry name, in place of an entry
    // of that name when replace (else one there refuses it); why it could not, or nothing.
    std::optional<std::string> add(const std::string& source, const std::string& name,
                                   bool replace) const;
    // Gives the theme name that import unpacked its name here, in place of an
    // entry of that name only when replace; then discards import (with the
    // old entry after a replacement, which replaced, when given, is called
    // with first: its path in import's hidden folder, to move it elsewhere,
    // as an update moves it to the trash). Why it could not, or nothing.
    std::optional<std::string> placeImported(
        ArchiveImport& import, const std::string& name, bool replace,
        const std::function<void(const std::string& oldEntry)>& replaced = {}) const;
    // Puts back or removes what a killed add, replace or import left: see above.
    void recoverLeftovers() const;

private:
    // Copies the stock micro preview into the entry name when it is a real folder lacking one.
    void giveMicroPreview(const std::string& name) const;
    // Gives the whole theme name of the hidden folder incoming its name here
    // (see above); why it could not, or nothing.
    std::optional<std::string> placeIncoming(int collection, int incoming, const std::string& name,
                                             bool replace) const;
    // Puts the copy name in incoming in place of the entry name, in one step
    // where the file system can; the old entry ends up in incoming.
    bool swapIn(int collection, int incoming, const std::string& name) const;

    std::string folder_;
};
