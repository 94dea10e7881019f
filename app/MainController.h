#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/ApplyController.h"
#include "app/DragDropImageView.h"
#include "app/ThemeHost.h"
#include "model/DockStyle.h"
#include "model/DockTheme.h"

class AsideFile;
class BatchController;
class CollectionController;
class DockVerifier;
class Dialogs;
class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QListView;
class QMainWindow;
class QSlider;
class QTextBrowser;
class QTextEdit;
class QToolBar;
class QWidget;
class ScreenshotRenderer;
class SlotListModel;
class TemporaryFolder;
class ThemeSession;
class ImageDecoder;
class QUndoCommand;
class QUndoStack;
class UserDefaults;
struct ThemeFinding;

// The controller of the editor's main window and of every auxiliary window
// (about, quick guide, preferences, slot preview, progress sheet, collection
// and batch windows); the host of the open theme, which its ThemeSession owns.
//
// It makes every window from its .ui file when it is made, owns them and
// deletes them with itself; the fields below are the interface objects those
// windows hold, in their given order, never replaced at run time. The open
// theme (currentTheme), its unsaved information edits and its history belong
// to its session (session()), made with this controller: this controller opens
// and closes themes through it and its views follow the session's signals. The
// collection window reaches the open theme only through ThemeHost. It talks to
// the user only through dialogs, which it does not own.
//
// Threads: every operation runs on the GUI thread. Asking for administrator
// rights and running the apply tool happen on a worker (ApplyController), and
// rendering Dock screenshots in a child process (ScreenshotRenderer), and the
// theme check before an apply through Background::run; all report back on the
// GUI thread, so the window never waits for them. Every
// picture of a theme (thumbnails, the selected image, the slot preview, the
// micro preview, the Dock screenshot) is decoded by the one ImageDecoder's
// workers, never on the GUI thread; a result for a view that asked again
// meanwhile is dropped. Every picture of a theme is read through ImageFile: a
// FIFO, a device, a link or a file over 16 MiB is never opened.
//
// What reaches the disk when: new, backup and generate make a bundle at once,
// whole under a hidden temporary name beside the chosen one and then renamed
// to it (never over anything), or not at all; opening a theme removes the
// temporary files a killed save left in it; the information fields reach the
// theme's Info.plist only through btn_saveInfo (or btn_closeDockPreview for
// author and site), and description.rtf through btn_saveInfo only when the
// description was edited, both whole or neither; a dropped screenshot or micro preview is written
// through the theme when dropped, a slot's new image (and Info.plist) too; undo
// and redo write at once, from copies of at most 16 MiB kept in the editor's
// temporary folder (TemporaryFolder, removed with this controller) until the
// history (cleared when the theme goes) drops them; user defaults are written
// when they change.
class MainController : public QObject, public DropResponder, public ThemeHost {
    Q_OBJECT

public:
    // Tab numbers of the flip view.
    static constexpr int kWelcomeTab = 0;
    static constexpr int kInformationTab = 1;
    static constexpr int kEditorTab = 2;

    // Makes every window and runs the start-up wiring (awakeFromNib); shows nothing.
    explicit MainController(Dialogs& dialogs, QObject* parent = nullptr);
    ~MainController() override;

    // The interface objects, in their given order.
    QListView* listOfImages = nullptr;
    DragDropImageView* selection_preview = nullptr;
    DragDropImageView* info_micropreview = nullptr;
    DragDropImageView* welcome_image = nullptr;
    QLabel* selection_filename = nullptr;
    QTextBrowser* selection_description = nullptr;
    QLabel* selection_size = nullptr;
    QLabel* selection_bestSize = nullptr;
    QLabel* selection_alertSize = nullptr;
    QLabel* selection_naturalTitle = nullptr;
    QComboBox* dock_type_selection = nullptr;
    QSlider* slider_images_thumbsize = nullptr;
    // The windows beside the main one (about, quick guide, preferences,
    // progress, preview, collection, batch) and their controls are null until
    // first shown: start-up builds only what the first frame needs.
    QWidget* wizard_window = nullptr;  // no window: nothing drives it
    QMainWindow* edit_window = nullptr;
    QCheckBox* pref_generateUUID = nullptr;
    QCheckBox* pref_startWithEditor = nullptr;
    QAction* menu_openWith = nullptr;
    QDialog* about_window = nullptr;
    QWidget* preview_window = nullptr;
    DragDropImageView* preview_window_image = nullptr;
    QAction* tbar_openIn = nullptr;
    QAction* tbar_thumbSize = nullptr;
    QAction* tbar_viewDock = nullptr;
    QAction* tbar_applyDock = nullptr;
    QAction* tbar_preview = nullptr;
    // Enabled while the apply tool keeps the Dock's own images.
    QAction* action_restoreOriginal = nullptr;
    QAction* tbar_showEditorOrInfo = nullptr;
    DragDropImageView* screenshot_preview = nullptr;
    QWidget* previewdock_window = nullptr;  // no window: nothing drives it
    QLineEdit* previewdock_author = nullptr;
    QLineEdit* previewdock_site = nullptr;
    QLineEdit* previewdock_title = nullptr;
    QLineEdit* previewdock_version = nullptr;
    QLineEdit* previewdock_appcasturl = nullptr;
    QTextEdit* previewdock_description = nullptr;
    QToolBar* edit_toolbar = nullptr;
    QComboBox* preview_dockshow_selection = nullptr;
    QComboBox* set_dock_style = nullptr;
    QWidget* help_window = nullptr;
    QTextBrowser* help_view = nullptr;
    QDialog* preferences_window = nullptr;
    QWidget* view_flipView = nullptr;
    QWidget* view_infoTheme = nullptr;
    QWidget* view_editorTheme = nullptr;
    QWidget* view_welcome = nullptr;
    QComboBox* popup_showEditorOrInfo = nullptr;
    QWidget* collection_window = nullptr;
    QDialog* progress_window = nullptr;
    QWidget* batch_window = nullptr;

private:
    // Made first: currentTheme refers into it.
    ThemeSession* const session_;

public:
    // The open theme, as the session holds it; empty when none is open.
    const std::unique_ptr<DockTheme>& currentTheme;

    // Start-up, window state (MainController.cpp).
    void awakeFromNib();
    bool applicationShouldHandleReopen(bool hasVisibleWindows);
    // A later start handed path (or nothing) over: the window comes to the
    // front at once, and the theme opens once no sheet or fade is up.
    void openHandedOver(const QString& path);
    void btn_showMainWindow();
    // Fades to tab. Asked again while its fades run (from a nested event
    // loop), the running switch ends in the tab asked last.
    bool _fadeToTab(int tab);
    void btn_showEditorOrInfo(QComboBox* sender);
    void btn_showEditorDock(int tag);
    bool validateToolbarItem(QAction* item);
    // Validates every toolbar item and sets its enabled state.
    void _validateToolbar();
    void _updateThemeShow();
    // "Velvanto - <name> by <author>" with the unsaved mark, also as the
    // window's accessible name; the title stays when the theme closes.
    void _updateWindowTitle();
    void btn_change_openAbout();
    void btn_quickGuide();
    void btn_guide_close();
    std::optional<QString> standardEditorPath() const;
    void _updateMenuEditor();
    // The view the flip view shows now, or nullptr.
    QWidget* shownView() const;

    // Theme commands (MainControllerCommands.cpp).
    void btn_toolbar_newtheme();
    void savePanelDidEnd(const std::optional<QString>& chosen);
    void btn_toolbar_opentheme();
    bool _openThemeAtPath(const std::optional<QString>& path);
    // The same for a bundle path kept as the file system's bytes, so a folder
    // name that is not UTF-8 opens that very folder.
    bool _openThemeAtPath(const std::string& path);
    bool openFile(const QString& path);  // application:openFile:
    // When path is a theme archive, imports it into the collection (in a
    // worker; the clash question and alerts as the collection's) and opens
    // the theme there once it is placed; true then. False for any other path.
    bool openArchive(const QString& path);
    // "Defective file", with why the theme did not open.
    void _showDefectiveAlert(const std::string& why);
    void btn_closeTheme();
    // File > Export Theme…: unsaved information edits are asked about first
    // (as leaving the theme does), then ThemeExporter writes the bundle.
    void btn_exportTheme();
    void btn_backupMyCurrentDock();
    void btn_generateThemeFromFolder();
    void _generateThemeFrom(const QString& folder);
    // Checks the open theme first (ThemeCheck, in a worker): a clean theme
    // applies at once; findings show in a sheet, errors block the apply and
    // warnings ask before it goes on. A second press while the check or the
    // tool runs beeps.
    void btn_change_applyTheme();
    // Dock > Check Theme: the same check, its findings (or that there are none) shown.
    void btn_checkTheme();
    void btn_restoreDock();
    // Puts back the images the Dock had before the first theme, through the apply tool.
    void btn_restoreOriginalDock();
    // Whether the apply tool keeps the Dock's own images (a readable manifest).
    static bool originalImagesKept();
    void btn_setDockStyleTo(QComboBox* sender);
    void btn_browseCollection();
    void btn_openBatchConverter();
    void btn_checkUpdateForTheme();
    void btn_checkUpdateForTheme_stop();
    // Whether the open theme may be dropped: asks about unsaved information
    // edits (saving them on Save); false when the user cancelled.
    bool _mayDropTheme();
    // Whether an apply or restore runs now.
    bool isApplying() const;
    // ThemeHost: the collection's requests.
    bool openTheme(const std::string& path) override;
    bool changeThemeFolder(const std::string& path, const std::function<bool()>& change) override;
    bool mayReadThemeFolder(const std::string& path) override;

    // Information view (MainControllerInformation.cpp).
    bool btn_saveInfo();
    void btn_closeDockPreview();
    void btn_previewAuthorSite();
    void _preview_showDockPreviewForSelection();
    void btn_preview_changeShowPreview();
    void btn_renderDockScreenshots();
    // Whether the information fields hold edits not yet saved.
    bool hasUnsavedInformation() const;
    // Whether the description field was edited since the theme's was shown.
    bool hasEditedDescription() const;

    // Slot browser, selection panel, drops, history, slot preview (MainControllerSlots.cpp).
    // The open theme's slot list of the category chosen; nullptr with no theme.
    const DockTheme::SlotList* dock_images() const;
    int numberOfItemsInImageBrowser() const;
    void imageBrowserCellWasDoubleClicked(int index);
    void btn_show_previewPanel();
    void btn_change_docktype(QComboBox* sender);
    void btn_change_thumbsize(QSlider* sender);
    void _updateSelection();
    void setFileImagePathForSelection(const QString& path, DragDropImageView* view) override;
    // Asks for an image file and replaces the selected slot's image with it.
    void btn_replaceSelectedImage();
    void _doubleClickCellForPreviews();
    void _openPreviewForSelection(const QString& path, const QRect& rect, QWidget* window);
    void btn_changeProportions(QCheckBox* sender);
    // The browser's selected rows, ascending.
    QList<int> selectedSlots() const;
    // The history of image replacements; cleared when the theme goes.
    QUndoStack& history() const;
    // The decoder of every picture the window shows.
    ImageDecoder& decoder() const;

    // Preferences (MainControllerPreferences.cpp). Each is read from the user
    // defaults where it is used; the sheet's check boxes only show and store them.
    void btn_show_preferences();
    void btn_close_preferences();
    void btn_prefs_startWithEditor(QCheckBox* sender);
    void btn_preferences_changeDockStyleAutomatically(QCheckBox* sender);
    void btn_prefs_generateUUID(QCheckBox* sender);
    void btn_toolbar_openWith();
    void btn_toolbar_changeEditor();
    void btn_Home();
    void btn_change_donate();

    // Quit: asks about unsaved information edits; true when the editor may end.
    bool applicationShouldTerminate();

    Dialogs& dialogs() const { return dialogs_; }
    ThemeSession& session() const { return *session_; }
    // The collection and the batch converter, with their windows, made when first asked for.
    CollectionController& collectionController();
    BatchController& batchController();
    // Runs task once the main window's first paint reached the screen (the
    // quick guide of a first start, a theme named at start), so the first
    // frame never waits for it. Tasks asked for later wait for the next paint.
    void whenPainted(std::function<void()> task);
    // Waits for the apply tool and a batch run to end (at quit).
    void waitForWork();

protected:
    // Closing the main window quits, once unsaved information edits were
    // answered; its first paint brings a first start's quick guide.
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // An apply or restore ended; ok when the tool ran through.
    void applyEnded(bool ok);
    // After an apply: whether the restarted Dock shows the theme.
    void dockVerified(bool ok, const QString& message);
    // The Dock screenshots of the open theme were drawn (or failed).
    void screenshotsRendered(bool ok);

private:
    void makeWindows();
    // Each makes its window when it is not there yet.
    void _makeAboutWindow();
    void _makeHelpWindow();
    void _makeProgressWindow();
    void _makePreferencesWindow();
    void _makePreviewWindow();
    void connectActions();
    void connectInformation();
    // The views follow the session: a theme opened, closed, saved, edited.
    void connectSession();
    // The information fields were edited (the description too when description).
    void _setInformationEdited(bool description);
    // The values the information fields show.
    DockTheme::Information _informationInFields() const;
    void _fillInformationFields();
    // The line fields show values, the description field the theme's
    // description unless withDescription is false.
    void _showInformation(const DockTheme::Information& values, bool withDescription);
    // After the theme was read again: the slots, the pictures and the fields
    // (unsaved edits kept), the selected slot still selected.
    void _showReloadedTheme();
    void _applyEnded(ApplyController::Run run, const QString& themeName, int status,
                     int exitStatus);
    // Checks the open theme's bundle in a worker; then gets the findings on the
    // GUI thread, unless the theme was closed or another one opened meanwhile.
    void _checkOpenTheme(std::function<void(const std::vector<ThemeFinding>&)> then);
    // Shows findings in the sheet, for an apply or on their own; whether the
    // apply goes on. A finding double-clicked shows its slot.
    bool _showFindings(const std::vector<ThemeFinding>& findings, bool forApply);
    // Selects the slot of finding's key in the editor view, when the theme has one.
    void _showFinding(const ThemeFinding& finding);
    // Sets the Dock style when asked to and starts the apply tool on the open theme.
    void _startApply();
    // Shows the open theme's micro preview once decoded, or nothing.
    void _showMicroPreview();
    // Makes "<chosen>.docktheme" from the template, with the images of the
    // folder imagesFrom when it is not empty, whole under a temporary name
    // beside it, names it so and opens it; false (with an alert saying why,
    // which images failed among them, and nothing left behind) when it could
    // not be made whole.
    bool _newThemeAt(const QString& chosen, bool isNewTheme, const QString& imagesFrom = {});
    void _loadPictures();
    void setUpSlots();
    void connectPreferences();
    // Drops the history, the thumbnails and the browser's items of the theme that goes.
    void _forgetTheme();
    void _showSelectedImage(const QImage& image, const QSize& size, const std::string& key);
    void _dropMicroPreview(const QString& path);
    void _dropScreenshot(const QString& path);
    // Puts the picture at path in the bundle as name (the micro preview, a
    // Dock screenshot) with its undo, shown after undo and redo; false (beep
    // and alert) when it could not.
    bool _putBundlePicture(const QString& what, const std::string& name, const QString& path,
                           std::function<void()> shown);
    // Keeps a copy of the file at path for undo in kept (none when no regular
    // file is there). When a file there can't be kept (over 16 MiB, unreadable)
    // asks whether to go on without undo: false when the user said no;
    // undoable false when going on without.
    bool _keepForUndo(const QString& path, std::unique_ptr<AsideFile>& kept, bool& undoable);
    // Pushes command, which performs itself, on the history; false when it
    // failed. Without undo the history is cleared after it: what can't be put
    // back ends the history.
    bool _perform(QUndoCommand* command, bool undoable);
    // Tells the user a command on file failed: the beep and an alert of title
    // with the theme's reason.
    void _showFailure(const QString& title, const QString& file, const QString& why);
    void _replaceSlotImage(const QString& path);
    // Shows row of category selected, after a replacement or its undo.
    void _showSlot(int row, DockCategory category);

    Dialogs& dialogs_;
    std::unique_ptr<UserDefaults> defaults_;
    ApplyController* apply_ = nullptr;
    CollectionController* collection_ = nullptr;
    BatchController* batch_ = nullptr;
    ScreenshotRenderer* renderer_ = nullptr;
    DockVerifier* verifier_ = nullptr;
    SlotListModel* slots_ = nullptr;
    std::unique_ptr<TemporaryFolder> temporaries_;
    bool filling_ = false;
    std::vector<std::function<void()>> afterPaint_;  // see whenPainted
    QLabel* about_icon_ = nullptr;
    // The tab asked for last, and whether a switch (with its fades) runs now.
    int requestedTab_ = 0;
    bool switchingTab_ = false;
    QAction* checkTheme_ = nullptr;   // Dock > Check Theme, enabled with a theme open
    QAction* exportTheme_ = nullptr;  // File > Export Theme…, enabled with a theme open
    bool checking_ = false;           // a check runs in its worker
};
