#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/ApplyRunner.h"
#include "app/DragDropImageView.h"
#include "app/ThemeHost.h"
#include "model/DockStyle.h"
#include "model/ThemeCheck.h"

class Dialogs;
class DockVerifier;
class EditorView;
class InformationView;
class LiveDockWindow;
class QDialog;
class QMainWindow;
class ScreenshotRenderer;
class ThemeSession;
class UpdateSheet;
class UserDefaults;
class WelcomeView;
namespace Ui {
class AboutWindow;
class HelpWindow;
class MainWindow;
class PreferencesSheet;
class PreviewWindow;
}  // namespace Ui

// The controller of the editor's main window and of its auxiliary windows
// (about, quick guide, preferences, slot preview, progress sheet); the host
// of the open theme, which its ThemeSession owns.
//
// Owns the main window, made from its form when this controller is made, and
// its three views (WelcomeView, InformationView, EditorView), which follow the
// session themselves; the auxiliary windows are made from their forms when
// first shown. Each form is kept as a member of its owner; no widget is handed
// out. The operations below are the window's commands, under their given
// names. The collection and the batch converter are other windows' business:
// this controller asks for them by signal, and a window given to ownWindow()
// is owned by the main window. It talks to the user only through dialogs,
// which it does not own.
//
// Threads: every operation runs on the GUI thread. Asking for administrator
// rights and running the apply tool happen on a worker (ApplyRunner),
// rendering Dock screenshots in a child process (ScreenshotRenderer), the
// theme check and the hashes after an apply through Background::run; all
// report back on the GUI thread, and a result for a theme no longer open (the
// session's generation moved on) is dropped. Every picture of a theme is
// decoded by the session's ImageDecoder, never on the GUI thread.
//
// What reaches the disk when: new, backup and generate make a bundle at once,
// whole under a hidden temporary name beside the chosen one and then renamed
// to it (never over anything), or not at all; every change of the open theme
// is the session's (see ThemeSession); user defaults are written when they
// change.
class MainController : public QObject, public DropResponder, public ThemeHost {
    Q_OBJECT

public:
    // Tab numbers of the flip view.
    static constexpr int kWelcomeTab = 0;
    static constexpr int kInformationTab = 1;
    static constexpr int kEditorTab = 2;

    // Makes the main window and runs the start-up wiring (awakeFromNib); shows nothing.
    explicit MainController(Dialogs& dialogs, QObject* parent = nullptr);
    ~MainController() override;

    // Start-up, window state (MainController.cpp).
    void awakeFromNib();
    bool applicationShouldHandleReopen(bool hasVisibleWindows);
    // A later start handed path (or nothing) over: the window comes to the
    // front at once, and the theme opens once no sheet or fade is up.
    void openHandedOver(const QString& path);
    void btn_showMainWindow();
    // The main window becomes window's owner: window stays a window of its
    // own, comes up centred over the main window and goes with it.
    void ownWindow(QWidget* window);
    // Fades to tab. Asked again while its fades run (from a nested event
    // loop), the running switch ends in the tab asked last.
    bool _fadeToTab(int tab);
    // The tab the flip view shows now.
    int shownTab() const;
    void btn_showEditorOrInfo(int tab);
    void btn_showEditorDock(int tag);
    void _validateToolbar();
    void _updateThemeShow();
    // "Velvanto - <name> by <author> (<the bundle's folder>)" with the
    // unsaved mark, also as the window's accessible name; the title stays
    // when the theme closes.
    void _updateWindowTitle();
    // path as the user reads it: absolute, the home folder as "~".
    static QString _shownPath(const std::string& path);
    void btn_change_openAbout();
    void btn_quickGuide();
    void btn_guide_close();
    std::optional<QString> standardEditorPath() const;
    void _updateMenuEditor();

    // Theme commands (MainControllerCommands.cpp).
    void btn_toolbar_newtheme();
    void savePanelDidEnd(const std::optional<QString>& chosen);
    void btn_toolbar_opentheme();
    bool _openThemeAtPath(const std::optional<QString>& path);
    // The same for a bundle path kept as the file system's bytes, so a folder
    // name that is not UTF-8 opens that very folder.
    bool _openThemeAtPath(const std::string& path);
    bool openFile(const QString& path);  // application:openFile:
    // When path is a theme archive, asks for it to be imported into the
    // collection (archiveImportWanted); true then. False for any other path.
    bool openArchive(const QString& path);
    // After an archive was imported into the collection as bundle: opens that
    // copy and says in the status bar what was imported and which copy is open.
    void openImportedTheme(const QString& archive, const std::string& bundle);
    // File > Open Recent, filled as it opens: the themes opened last whose
    // folders are still there (the rest leave the list), then Clear Menu.
    void _updateRecentMenu();
    void btn_clearRecentMenu();
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
    void btn_setDockStyleTo(DockStyle style);
    void btn_browseCollection();
    void btn_openBatchConverter();
    // Dock > Check Theme for Update…, enabled while the open theme has a feed
    // address: the sheet (UpdateSheet) checks it and offers to install.
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
    void applyTheme(const std::string& path) override;

    // Information view (MainControllerInformation.cpp).
    bool btn_saveInfo();
    void btn_closeDockPreview();
    void btn_previewAuthorSite();
    void btn_preview_changeShowPreview();
    // Also renders the micro preview when the theme's is still the stock one.
    void btn_renderDockScreenshots();
    // Dock > Render Preview Picture: the theme's micro preview drawn from its
    // images (with undo), whatever it is now.
    void btn_renderMicroPreview();

    // Slot browser, drops, slot preview (MainControllerSlots.cpp).
    void imageBrowserCellWasDoubleClicked(int index);
    void btn_show_previewPanel();
    void btn_change_docktype(DockCategory category);
    void btn_change_thumbsize(int side);
    void setFileImagePathForSelection(const QString& path, DragDropImageView* view) override;
    // Asks for an image file and replaces the selected slot's image with it.
    void btn_replaceSelectedImage();
    // Return or Space on a drop target: what a drop there does, with the file
    // asked for (the welcome view's picture opens a theme as Open does).
    void _choosePictureFor(DragDropImageView* view);
    void _doubleClickCellForPreviews();
    void btn_changeProportions(bool actualSize);
    // View > Live Dock: shows or hides the editor view's live Dock, remembered.
    void btn_showLiveDock(bool shown);
    // The live Dock's Larger View…: the Dock at its real size in a window of its own.
    void btn_showLargerDock();

    // Preferences (MainControllerPreferences.cpp). Each is read from the user
    // defaults where it is used; the sheet's check boxes only show and store them.
    void btn_show_preferences();
    void btn_close_preferences();
    void btn_prefs_startWithEditor(bool on);
    void btn_preferences_changeDockStyleAutomatically(bool on);
    void btn_prefs_generateUUID(bool on);
    void btn_toolbar_openWith();
    void btn_toolbar_changeEditor();
    void btn_Home();
    void btn_change_donate();

    // Quit: asks about unsaved information edits; true when the editor may end.
    bool applicationShouldTerminate();

    Dialogs& dialogs() const { return dialogs_; }
    ThemeSession& session() const { return *session_; }
    EditorView& editorView() const { return *editor_; }
    InformationView& informationView() const { return *information_; }
    // Runs task once the main window's first paint reached the screen (the
    // quick guide of a first start, a theme named at start), so the first
    // frame never waits for it. Tasks asked for later wait for the next paint.
    void whenPainted(std::function<void()> task);
    // Waits for the apply tool to end (at quit).
    void waitForWork();

protected:
    // Closing the main window quits, once unsaved information edits were
    // answered; its first paint brings a first start's quick guide; keys on
    // the drop targets (see _choosePictureFor).
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // An apply or restore ended; ok when the tool ran through.
    void applyEnded(bool ok);
    // After an apply: whether the restarted Dock shows the theme.
    void dockVerified(bool ok, const QString& message);
    // The Dock screenshots of the open theme were drawn (or failed).
    void screenshotsRendered(bool ok);
    // Window > Collection and Window > Batch Converter.
    void collectionWanted();
    void batchWanted();
    // A theme archive to import into the collection; the theme opens once placed.
    void archiveImportWanted(const QString& path);

private:
    void makeWindow();
    // Each makes its window when it is not there yet.
    void _makeAboutWindow();
    void _makeHelpWindow();
    void _makeProgressWindow();
    void _makePreferencesWindow();
    void _makePreviewWindow();
    void connectActions();
    void connectViews();
    // The views follow the session themselves; the window's title, toolbar and
    // status bar follow it here.
    void connectSession();
    void _applyEnded(ApplyRunner::Run run, const QString& themeName, int status, int exitStatus);
    // What a check found in a bundle, and the bundle an apply then starts on.
    struct CheckedBundle {
        std::vector<ThemeFinding> findings;
        std::string path;
        QString name;
    };
    // Checks a bundle in a worker: the open theme's own folder when other is
    // nothing, else the bundle at *other; then gets the outcome on the GUI
    // thread. For the open theme, nothing when it was closed or another one
    // opened meanwhile.
    void _checkBundle(const std::optional<std::string>& other,
                      std::function<void(const CheckedBundle&)> then);
    // The check, its sheet and the apply of the open theme (other nothing) or
    // of another bundle; beeps while a check or an apply runs.
    void _checkThenApply(const std::optional<std::string>& other);
    // Shows findings in the sheet, for an apply or on their own; whether the
    // apply goes on. A finding double-clicked shows its slot when they are
    // the open theme's.
    bool _showFindings(const std::vector<ThemeFinding>& findings, bool forApply, bool openTheme);
    // Sets the Dock style when asked to and starts the apply tool on the bundle at path.
    void _startApply(const std::string& path, const QString& name);
    // Makes "<chosen>.docktheme" from the template, with the images of the
    // folder imagesFrom when it is not empty, whole under a temporary name
    // beside it, names it so and opens it; false (with an alert saying why,
    // which images failed among them, and nothing left behind) when it could
    // not be made whole.
    bool _newThemeAt(const QString& chosen, bool isNewTheme, const QString& imagesFrom = {});
    void _loadPictures();
    // Puts the open theme first among the recent themes.
    void _noteRecentTheme();
    void setUpMenus();
    void connectPreferences();
    void _dropScreenshot(const QString& path);
    // Asks for an image file to put in the theme.
    std::optional<QString> _chooseImage();
    // Whether a theme is open with a slot selected; else a beep, and the status bar says why.
    bool _slotSelected();
    void _replaceSlotImage(const QString& path);
    void _openPreviewForSelection(const QRect& rect);

    // Made first: every view refers to it.
    ThemeSession* const session_;
    Dialogs& dialogs_;
    std::unique_ptr<UserDefaults> defaults_;
    std::unique_ptr<Ui::MainWindow> ui_;
    QMainWindow* window_ = nullptr;
    WelcomeView* welcome_ = nullptr;
    InformationView* information_ = nullptr;
    EditorView* editor_ = nullptr;
    // The auxiliary windows and their forms; null until first shown, so
    // start-up builds only what the first frame needs.
    std::unique_ptr<Ui::AboutWindow> about_;
    QDialog* aboutWindow_ = nullptr;
    std::unique_ptr<Ui::HelpWindow> help_;
    QDialog* helpWindow_ = nullptr;
    UpdateSheet* progress_ = nullptr;  // the progress window
    LiveDockWindow* largerDock_ = nullptr;
    std::unique_ptr<Ui::PreferencesSheet> preferences_;
    QDialog* preferencesWindow_ = nullptr;
    std::unique_ptr<Ui::PreviewWindow> preview_;
    QWidget* previewWindow_ = nullptr;
    QAction* tbar_thumbSize_ = nullptr;
    ApplyRunner* apply_ = nullptr;
    ScreenshotRenderer* renderer_ = nullptr;
    DockVerifier* verifier_ = nullptr;
    std::vector<std::function<void()>> afterPaint_;  // see whenPainted
    // The tab asked for last, and whether a switch (with its fades) runs now.
    int requestedTab_ = 0;
    bool switchingTab_ = false;
    bool checking_ = false;           // a check runs in its worker
    quint64 renderedGeneration_ = 0;  // the session's generation the renderer draws for
};
