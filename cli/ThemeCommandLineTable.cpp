#include "cli/ThemeCommandLine.h"

// The table of commands: what the dispatch runs, what each command's help
// says and takes, and what the manual page and the shell completions are made
// from. The texts are the source texts of the translations (QT_TR_NOOP).

const std::vector<ThemeCommandLine::Command>& ThemeCommandLine::commands() {
    static const Operand kBundle{"BUNDLE", Kind::Bundle, QT_TR_NOOP("A theme bundle.")};
    static const Option kJson{"json", nullptr, Kind::None,
                              QT_TR_NOOP("Writes the result as JSON (see the manual page).")};
    static const Option kVerbose{
        "verbose", nullptr, Kind::None,
        QT_TR_NOOP("Shows the apply tool's log on standard error as it runs.")};
    static const std::vector<Command> table = {
        {"help",
         QT_TR_NOOP("this help, or what COMMAND does and takes"),
         QT_TR_NOOP("Tells what the program or COMMAND does and takes, as --help does."),
         {{"[COMMAND]", Kind::Command, QT_TR_NOOP("A command.")}},
         {},
         &ThemeCommandLine::help},
        {"check",
         QT_TR_NOOP("the theme check, one line per finding"),
         QT_TR_NOOP("Checks theme bundles as the editor does before a theme reaches the Dock, one "
                    "line per finding: \"BUNDLE: error: KEY (file): text\" or \"warning\". A "
                    "BUNDLE may be a theme archive (zip, tar, 7z): its theme is read as import "
                    "reads it, in a temporary folder removed afterwards. Exit status 0 when no "
                    "bundle has an error, 1 when one has or a BUNDLE is not a theme."),
         {{"BUNDLE...", Kind::Theme, QT_TR_NOOP("Theme bundles or archives.")}},
         {kJson, {"strict", nullptr, Kind::None, QT_TR_NOOP("Fails on warnings too.")}},
         &ThemeCommandLine::check},
        {"info",
         QT_TR_NOOP("its name, author, site, version, feed, key and counts"),
         QT_TR_NOOP("Tells a theme's information, its screenshots and its counts."),
         {kBundle},
         {{"set", "FIELD=VALUE", Kind::Field,
           QT_TR_NOOP("Writes FIELD (name, author, site, version or feed) as VALUE into "
                      "Info.plist first, as the editor saves it; may be given again. "
                      "public-key=KEY names the author's signing key (\"keygen\" tells it), "
                      "which the theme's updates must be signed with; public-key= removes it.")},
          kJson},
         &ThemeCommandLine::info},
        {"slots",
         QT_TR_NOOP("every slot: its file, size and the Dock's size"),
         QT_TR_NOOP("Lists every slot of both categories: key, readable name, file, the image's "
                    "size, the size the Dock draws and whether the image is too big for it."),
         {kBundle},
         {kJson},
         &ThemeCommandLine::slotTable},
        {"set-image",
         QT_TR_NOOP("a copy of FILE made the image of the slot KEY"),
         QT_TR_NOOP("Makes a copy of the image FILE the image of the slot KEY, as the editor "
                    "does: the copy is refused when the theme has a file of its name already "
                    "(\"Duplicate file\") or when FILE is no picture the theme check reads (PNG, "
                    "TIFF, JPEG, GIF, ICNS or another format the editor shows), and the slot's "
                    "old file is removed when no key names it any more."),
         {kBundle,
          {"KEY", Kind::SlotKey, QT_TR_NOOP("The slot's key, as \"slots\" lists it.")},
          {"FILE", Kind::Image, QT_TR_NOOP("The image to copy in.")}},
         {{"unique-name", nullptr, Kind::None,
           QT_TR_NOOP("Names the copy with a generated unique name, not FILE's own name.")}},
         &ThemeCommandLine::setImage},
        {"new",
         QT_TR_NOOP("a new bundle NAME.docktheme from the stock theme"),
         QT_TR_NOOP("Makes the theme bundle NAME.docktheme from the stock theme, named after "
                    "NAME, as the editor's New Theme, New Theme from Folder and Back Up Current "
                    "Dock do. Nothing is replaced. An empty DIR is refused; when no file of DIR "
                    "is named as the Dock names its images, the theme is made with the stock "
                    "images and a warning."),
         {{"NAME", Kind::Folder, QT_TR_NOOP("The new theme's path, without .docktheme.")}},
         {{"from-folder", "DIR", Kind::Folder,
           QT_TR_NOOP("Takes the images of DIR named as the Dock names them.")},
          {"from-dock", nullptr, Kind::None,
           QT_TR_NOOP("Takes the images the Dock has installed now (a back-up of the Dock).")}},
         &ThemeCommandLine::newBundle},
        {"render",
         QT_TR_NOOP("the two Dock screenshots drawn from its images"),
         QT_TR_NOOP("Draws the theme's 3D and 2D Dock screenshots (preview_3d.png, "
                    "preview_2d.png) from its own images with the stand-in Dock's renderer, as "
                    "the editor's Render Dock Screenshots does. Needs no display."),
         {kBundle},
         {},
         &ThemeCommandLine::render},
        {"batch",
         QT_TR_NOOP("a bundle in DST for each sub-folder of SRC"),
         QT_TR_NOOP("The batch converter: makes DST/<folder>.docktheme for each sub-folder of "
                    "SRC from the stock theme and the folder's images, one line per folder (OK, "
                    "or ERROR: and why). A bundle already in DST is left untouched. Exit status "
                    "1 when a folder failed; the others are made. DST may not be SRC nor lie "
                    "inside it (links resolved): exit status 2."),
         {{"SRC", Kind::Folder, QT_TR_NOOP("The folder of image folders.")},
          {"DST", Kind::Folder, QT_TR_NOOP("The folder the bundles are made in.")}},
         {},
         &ThemeCommandLine::batch},
        {"apply",
         QT_TR_NOOP("the theme put on the Dock (administrator rights)"),
         QT_TR_NOOP("Puts the theme's images on the Dock with the apply tool, asking for "
                    "administrator rights as the editor does, and restarts the Dock; then says "
                    "\"Applied <name>; the Dock restarts\". A failure says why, with the tool's "
                    "last lines."),
         {kBundle},
         {kVerbose},
         &ThemeCommandLine::apply},
        {"restore",
         QT_TR_NOOP("the stock theme or the Dock's own images back"),
         QT_TR_NOOP("Puts the stock theme on the Dock with the apply tool, as the editor's "
                    "Restore Dock does, and says so."),
         {},
         {{"original", nullptr, Kind::None,
           QT_TR_NOOP("Puts back the images the Dock had before the first theme instead.")},
          kVerbose},
         &ThemeCommandLine::restore},
        {"export",
         QT_TR_NOOP("the bundle as one zip archive"),
         QT_TR_NOOP("Writes a theme bundle as one zip archive, by default \"<bundle name>.zip\" "
                    "in the current folder. An existing file is not replaced."),
         {kBundle},
         {{"o,output", "FILE", Kind::File,
           QT_TR_NOOP("The archive to write; \"-\" writes it to standard output (not to a "
                      "terminal).")}},
         &ThemeCommandLine::exportBundle},
        {"import",
         QT_TR_NOOP("a theme archive unpacked and checked into a folder"),
         QT_TR_NOOP("Unpacks a theme archive (zip, tar, 7z) into a folder, by default the "
                    "current one, once it passes the theme check. A theme of the same name "
                    "there is not replaced."),
         {{"ARCHIVE", Kind::Archive, QT_TR_NOOP("A theme archive.")}},
         {{"to", "DIR", Kind::Folder, QT_TR_NOOP("The folder to put the theme in.")}},
         &ThemeCommandLine::importArchive},
        {"thumbnail",
         QT_TR_NOOP("a PNG of its Dock for file managers"),
         QT_TR_NOOP("Draws the Dock of the theme in INPUT, an archive (read as import reads it, "
                    "and given up after 10 seconds) or a bundle, as its small preview "
                    "fitted into SIZE by SIZE pixels, and writes it to OUTPUT as a PNG in one "
                    "step. File managers run it for theme archives. Exit status 1, and no "
                    "picture, for an archive import refuses."),
         {{"INPUT", Kind::Theme, QT_TR_NOOP("A theme archive or bundle.")},
          {"OUTPUT", Kind::File, QT_TR_NOOP("The PNG file to write.")}},
         {{"s,size", "SIZE", Kind::Text,
           QT_TR_NOOP("The largest width and height, 16 to 1024 pixels (128 when not given).")}},
         &ThemeCommandLine::thumbnail},
        {"keygen",
         QT_TR_NOOP("a new signing key in KEYFILE, its public key told"),
         QT_TR_NOOP("Makes a new Ed25519 key for signing a theme's updates: writes its secret "
                    "half to KEYFILE, readable by its owner only (an existing file is never "
                    "replaced), and tells its public key, which \"info --set public-key=KEY\" "
                    "names in the theme. Keep KEYFILE safe: updates signed with another key are "
                    "refused."),
         {{"KEYFILE", Kind::File, QT_TR_NOOP("The new key file.")}},
         {},
         &ThemeCommandLine::keygen},
        {"update-check",
         QT_TR_NOOP("whether its feed has a newer version"),
         QT_TR_NOOP("Reads each theme's update feed (its \"feed\" address) and tells whether a "
                    "newer version is there, one line per bundle, at most 4 feeds at once. "
                    "Fails when any check failed."),
         {{"BUNDLE...", Kind::Bundle, QT_TR_NOOP("Theme bundles.")}},
         {kJson},
         &ThemeCommandLine::updateCheck},
        {"update",
         QT_TR_NOOP("the newer version its feed offers, installed"),
         QT_TR_NOOP("Checks the theme's update feed and installs a newer version in its place: "
                    "downloaded, its signature verified with the theme's key, checked as import "
                    "checks an archive, the old version moved to the trash. Nothing changes on "
                    "any failure."),
         {kBundle},
         {{"allow-unsigned", nullptr, Kind::None,
           QT_TR_NOOP("Installs an update its author did not sign (a theme without a key, over "
                      "https only).")}},
         &ThemeCommandLine::update},
        {"appcast",
         QT_TR_NOOP("an update feed of signed archives for its users"),
         QT_TR_NOOP("Writes an update feed (an RSS appcast) on standard output with one signed "
                    "item per archive, newest first: each archive read as import reads it, its "
                    "theme's version, its length, its date and its signature with the key. Each "
                    "theme must name the key's public key (info --set public-key=…)."),
         {{"ARCHIVE...", Kind::Archive, QT_TR_NOOP("Theme archives made by export.")}},
         {{"key", "KEYFILE", Kind::File, QT_TR_NOOP("The private key file (from keygen).")},
          {"url-prefix", "URL", Kind::Text,
           QT_TR_NOOP("The address the archives are uploaded to; each item's is this and the "
                      "archive's file name.")},
          {"notes", "FILE", Kind::File, QT_TR_NOOP("The newest release's notes, plain text.")}},
         &ThemeCommandLine::appcast},
    };
    return table;
}
