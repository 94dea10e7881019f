#pragma once

#include <QObject>
#include <QString>

#include <filesystem>
#include <optional>

class CollectionModel;
class Dialogs;
class DockTheme;
class MainController;
class QLabel;
class QListView;
class QPushButton;
class QWidget;

// The user's collection of themes: the bundles in the collection folder
// (collectionFolder()), shown as micro-preview thumbnails in the collection
// window, with a status line that counts them. Add copies a checked theme in,
// Remove moves the selected one to the trash, Edit opens it where it lies in
// the main window.
//
// Made by the main window controller over the collection window, whose
// controls it finds by object name; owns none of them. GUI thread only.
//
// What reaches the disk when: the folder is made (with its parents) when it
// is missing; listing copies the stock micro preview into a bundle that has
// none; add copies the chosen bundle completely under a hidden name beside the
// collection's entries and only then gives it its name, putting a clashing
// entry aside until then, so a failed copy leaves the collection as it was;
// remove moves the bundle to the desktop's trash, or deletes it where there is
// none. Every copy or removal that fails is told in an alert on the window.
class CollectionController : public QObject {
    Q_OBJECT

public:
    CollectionController(QWidget* window, MainController& controller, Dialogs& dialogs);

    // The interface objects, in their given order.
    QListView* listOfThemes = nullptr;
    QPushButton* btn_remove = nullptr;
    QPushButton* btn_edit = nullptr;
    QWidget* collection_window = nullptr;
    CollectionModel* listOfDirectory = nullptr;
    MainController* controller = nullptr;
    QLabel* stat_collection = nullptr;

    // The collection folder: "Velvanto" in the user's data folder
    // ($XDG_DATA_HOME, by default ~/.local/share).
    static std::filesystem::path collectionFolder();

    // Makes the folder when missing, wires the browser, lists the themes.
    void awakeFromNib();
    void btn_addTheme();
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
    // The bundle path of the one selected theme; nothing unless exactly one is selected.
    std::optional<std::filesystem::path> _currentSelectionThemePath() const;
    void _reloadThemesList();
    // The item count for the browser; sets the status line.
    int numberOfItemsInImageBrowser();

private:
    // Makes target a complete copy of source: see the class comment.
    bool installBundle(const std::filesystem::path& source, const std::filesystem::path& target);
    void failed(const QString& title, const QString& message);

    Dialogs& dialogs_;
    bool readable_ = true;
};
