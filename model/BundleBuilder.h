#pragma once

#include <optional>
#include <string>
#include <vector>

// Fills a new theme bundle from the theme template (DockTheme::fullPath())
// and, when given, a folder of images named as the Dock names them: the
// batch converter's rows and the editor's new themes are made by this one
// function.
//
// Each file of the bundle is written once, straight under its final name: a
// template image that the folder replaces is never copied, the folder's
// images go straight into images/, a description given is written instead of
// the template's, and Info.plist is written last, from the template's with the
// theme's name (and author), after its table was checked against the files
// written. No temporary and no rename per file: the caller
// builds the bundle under a hidden name of its own and gives the whole bundle
// its name only when fill succeeded; after a failure what was written stays
// for the caller to remove with the hidden folder.
//
// Sources are opened only as regular files, each once, never through a link
// and never blocking (see FolderTree::copyFile); an image of the folder that
// is a link, a FIFO, a device or over ThemeBundle::kMaxImageBytes fails the
// fill. The catalogue (MiscKit) must exist already. Stateless; any thread may
// call, each on a bundle of its own.
//
// make() is the one way a new bundle comes to be (the editor's New, Back Up
// and From Folder, the batch converter's rows, velvanto-theme make): fill runs
// in a hidden folder of the destination (kTemporaryPrefix and six letters,
// mode 0755, held locked while it is made), which takes the bundle's name only
// when whole and never over an entry of that name; a failure or a kill leaves
// nothing under the final name, and removeLeftovers sweeps what a killed run
// left.
class BundleBuilder {
public:
    // The hidden folders new bundles are made in.
    static constexpr const char* kTemporaryPrefix = ".velvanto-batch-";

    enum class Failure {
        None,
        Template,     // the template could not be copied (error)
        Source,       // the folder of images could not be opened (error)
        Damaged,      // the template's Info.plist or table is unusable (why)
        Images,       // images of the folder did not arrive (failed, why)
        Description,  // description.rtf could not be written (error)
        Info,         // Info.plist could not be written (error)
    };
    struct Outcome {
        Failure failure = Failure::None;
        int error = 0;
        // Damaged: a sentence on what is wrong with the template. Images: the
        // last failed image's DockTheme::copyFailure text.
        std::string why;
        // The Dock file names of the images that did not arrive, in the catalogue's order.
        std::vector<std::string> failed;
    };
    // What the new Info.plist says besides the template's, and the
    // description.rtf to write in place of the template's.
    struct Naming {
        std::string name;
        std::optional<std::string> author;
        std::optional<std::string> descriptionRtf = std::nullopt;  // nothing: the template's
    };

    // Fills the empty folder bundleFd (at path, for log lines) from the
    // template and the images of imagesFrom (none when empty; links in that
    // path are followed, it is the caller's choice). Every image of the folder
    // is tried, so failed names them all.
    static Outcome fill(int bundleFd, const std::string& path, const std::string& imagesFrom,
                        const Naming& naming);
    // Why a failed fill failed, one sentence for the user (no final period
    // but for what the failure's own text brings); empty for None.
    static std::string whyNot(const Outcome& outcome);
    // Makes "<destination>/<bundleName>" filled as fill does, whole under a
    // hidden name first (see above); nothing was left behind when it returns
    // a sentence saying why it could not, empty when the bundle is there.
    static std::string make(const std::string& destination, const std::string& bundleName,
                            const std::string& imagesFrom, const Naming& naming);
    // Removes the hidden folders of new bundles a killed run left in
    // destination; those being made now (locked) stay.
    static void removeLeftovers(const std::string& destination);
};
