#pragma once

#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ArchiveImport;
class CollectionModel;
class CollectionUpdates;
class Dialogs;
class DockTheme;
class QAction;
class QLabel;
class QListView;
class QPushButton;
class QWidget;
class ThemeCollection;
class ThemeHost;
class ThemeUpdater;
namespace Ui {
class CollectionWindow;
}

// The user's collection of themes: the bundles in the collection folder
// (collectionFolder()), shown as micro-preview thumbnails in the collection
// window, with a status line that counts them. Add copies a checked theme in,
// Remove moves the selected one to the trash, Edit opens it where it lies in
// the main window, Apply puts it on the Dock as the main window's Apply Theme
// does, without opening it.
//
// Makes the collection window from its form, kept as a member; the window
// is a window of its own (see showWindow), owned by whoever it is given to
// (the main window), else deleted with this controller. The open theme is reached only through the
// host (ThemeHost, not owned): Edit asks it to open a theme, and Add, Replace and Remove change a
// collection entry through it, so the open theme's unsaved edits are asked about and it is closed
// (and opened again after a replace) around the change. GUI thread only.
//
// Names are kept as the file system's bytes from the listing to the theme
// document, so a folder name that is not UTF-8 opens that very folder.
//
// What reaches the disk when: every file step is ThemeCollection's, over
// collectionFolder() (see there): the folder is made when missing, at start
// (recoverLeftovers) what a killed add, replace or import left is recovered,
// listing gives a bundle lacking one the stock micro preview, Add copies the
// chosen bundle in whole and then names it (a clash asked about first, the
// old entry replaced in one step, never lost). A theme archive is unpacked
// (ArchiveImport) in a worker into a hidden folder of the collection,
// checked there, and then given its name as a copy is (the same question on
// a clash; without Replace nothing is replaced); a refused archive leaves
// nothing, and a kill leaves a hidden folder that the next start removes.
// While it is unpacked a progress dialog offers Cancel: a cancel, or this
// controller going (the editor quitting, which waits for it), stops the
// worker at the next block it reads and removes the hidden folder. Remove
// moves the entry to the desktop's trash; where the trash refuses it, the
// user is asked before it is deleted for good (a link entry: the link only).
// Every copy or removal that fails is told in an alert.
//
// Check for Updates checks every theme with a feed address
// (CollectionUpdates; the status line counts them, a theme with a release
// wears a badge); Update installs the selected theme's release as the editor's
// update sheet does (an unsigned one only after the user confirmed), through
// the host, so an open theme is let go and opened again around the swap, and
// the old version goes to the trash.
class CollectionController : public QObject {
    Q_OBJECT

public:
    CollectionController(ThemeHost& host, Dialogs& dialogs, QObject* parent = nullptr);
    // Cancels the imports under way, waits for their workers and removes their hidden folders.
    ~CollectionController() override;

    // The interface objects, in their given order.
    QListView* listOfThemes = nullptr;
    QPushButton* btn_remove = nullptr;
    QPushButton* btn_edit = nullptr;
    QWidget* collection_window = nullptr;
    CollectionModel* listOfDirectory = nullptr;
    ThemeHost* controller = nullptr;
    QLabel* stat_collection = nullptr;
    // Moves an entry to the desktop's trash; true when it is there. By
    // default QFile::moveToTrash; tests put a refusing trash in its place.
    std::function<bool(const QString&)> moveToTrash = trashEntry;

    // The collection folder: "Velvanto" in the user's data folder
    // ($XDG_DATA_HOME, by default ~/.local/share).
    static std::filesystem::path collectionFolder();
    // QFile::moveToTrash, refused when Qt finds no trash folder and would put
    // the entry below the process's current folder (it is put back then).
    static bool trashEntry(const QString& path);

    // Makes the folder when missing, wires the browser, lists the themes.
    void awakeFromNib();
    // Brings the collection window to the front.
    void showWindow();
    void btn_addTheme();
    // Adds the bundle or theme archive at chosen, as Add does once it is chosen.
    void addChosen(const QString& chosen);
    // Unpacks the theme archive at path into the collection (see above), off
    // the UI thread; on the UI thread asks on a name clash, places the theme,
    // lists again, and calls done with the theme's path in the collection,
    // or with nothing when it was refused (after an alert "<archive> can't be
    // imported: <why>."), cancelled in its progress dialog (no alert) or the
    // clash question cancelled. done is not called when this controller goes
    // first.
    void importArchive(const QString& path,
                       const std::function<void(std::optional<std::string>)>& done);
    // The answer to "Theme already exist!": replace puts chosen in place of
    // the collection's entry of the same name.
    void replaceThemeOrNot(bool replace, const QString& chosen);
    // Copies the bundle at path into the collection (see above) and lists
    // again; false, after an alert, when it could not.
    bool _addThemeToCollection(const QString& path);
    // Whether an entry of the collection folder (any entry) has the theme's
    // folder name, compared exactly.
    bool _existThemeInCollection(const DockTheme& theme) const;
    void btn_removeTheme();
    void btn_editTheme();
    // Applies the one selected theme to the Dock without opening it, through
    // the host (ThemeHost::applyTheme: the check, its sheet, the rights, the
    // tool); a beep unless exactly one is selected and no apply runs.
    void btn_applyTheme();
    // An apply of the host started or ended: Apply is enabled again or not.
    void applyStateChanged() { _updateSelectionCommands(); }
    // Exports the one selected theme (ThemeExporter), its unsaved edits asked
    // about first when it is open; a beep unless exactly one is selected.
    void btn_exportTheme();
    // Checks every theme of the collection that has a feed address for a release.
    void btn_checkUpdates();
    // Installs the release found for the one selected theme; a beep when there is none.
    void btn_updateTheme();
    // The bundle path of the one selected theme; nothing unless exactly one is selected.
    std::optional<std::filesystem::path> _currentSelectionThemePath() const;
    void _reloadThemesList();
    // The item count for the browser; sets the status line.
    int numberOfItemsInImageBrowser();

    // Puts back or removes what a killed add or replace left: see the class
    // comment. The editor calls it at start, before the collection is made.
    static void recoverLeftovers();

protected:
    // A hidden collection window keeps no thumbnails; the list takes drops
    // of bundles and theme archives, added as Add does (always as copies),
    // and selects the item it marks when it gets the focus with none
    // selected; Apply follows an apply of the main window when the window
    // is activated.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The collection's file work, over collectionFolder().
    static ThemeCollection files();
    // The theme name that unpacked holds goes into the collection after the
    // clash question; unpacked is discarded in every case.
    std::optional<std::string> placeImported(const QString& archive, ArchiveImport& unpacked,
                                             const std::string& name);
    // "Theme already exist!" for the entry name: true on Replace.
    bool askReplace(const QString& name);
    // The trash refused bundle: asks whether to delete it for good, and does
    // so on Delete (a link entry: the link only).
    void deleteRefusedByTrash(const std::filesystem::path& bundle);
    void failed(const QString& title, const QString& message);

    // Enables Apply for one selected theme while no apply runs, and Update
    // for a selection with a release found.
    void _updateSelectionCommands();
    // An import under way: its worker's cancel flag, progress dialog and hidden folder.
    struct Import;
    // Takes import off the list and closes its progress dialog.
    void endImport(const std::shared_ptr<Import>& import);

    std::unique_ptr<Ui::CollectionWindow> ui_;
    Dialogs& dialogs_;
    bool readable_ = true;
    std::vector<std::shared_ptr<Import>> imports_;
    CollectionUpdates* updates_ = nullptr;
    ThemeUpdater* installer_ = nullptr;  // the release being installed, or none
    QAction* apply_ = nullptr;           // Apply, with its shortcut
};
