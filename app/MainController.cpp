// Start-up wiring, the flip view and its tabs, toolbar validation, the
// refresh after a theme was opened or changed, and the about and guide windows.
#include "app/MainController.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QUndoStack>
#include <QVBoxLayout>

#include "app/ApplyController.h"
#include "app/Background.h"
#include "app/BatchController.h"
#include "app/CollectionController.h"
#include "app/Dialogs.h"
#include "app/DockVerifier.h"
#include "app/ExternalEditor.h"
#include "app/ImageDecoder.h"
#include "app/OnDemandImages.h"
#include "app/ScreenshotRenderer.h"
#include "app/SlotListModel.h"
#include "app/TemporaryFolder.h"
#include "app/ThemeSession.h"
#include "app/ToolbarIcons.h"
#include "app/UserDefaults.h"
#include "app/WindowPlacement.h"
#include "model/MiscKit.h"
#include "platform/Log.h"
#include "platform/SystemPaths.h"
#include "ui_AboutWindow.h"
#include "ui_CollectionWindow.h"
#include "ui_EditorView.h"
#include "ui_HelpWindow.h"
#include "ui_InfoView.h"
#include "ui_MainWindow.h"
#include "ui_PreferencesSheet.h"
#include "ui_PreviewWindow.h"
#include "ui_ProgressSheet.h"
#include "ui_WelcomeView.h"
#include "widgets/IcnsImage.h"
#include "widgets/RVAnimationAdditions.h"

namespace {

QString resource(const char* name) {
    return QString::fromStdString((SystemPaths::resourceFolder() / name).string());
}

// A window of its own, owned by the main window and deleted with it.
template <typename Ui, typename Window>
Window* makeWindow(Ui& ui, QWidget* owner, Qt::WindowFlags flags) {
    auto* window = new Window(owner, flags);
    ui.setupUi(window);
    return window;
}

}  // namespace

MainController::MainController(Dialogs& dialogs, QObject* parent)
    : QObject(parent),
      session_(new ThemeSession(dialogs, this)),
      currentTheme(session_->theme()),
      dialogs_(dialogs),
      defaults_(std::make_unique<UserDefaults>()),
      temporaries_(std::make_unique<TemporaryFolder>()) {
    CollectionController::recoverLeftovers();
    makeWindows();
    connectActions();
    connectInformation();
    setUpSlots();
    connectSession();
    awakeFromNib();
}

MainController::~MainController() {
    // What holds files in the temporary folder goes before the folder does.
    session_->history().clear();
    renderer_->waitForEnd();
    // Views out of the flip view have no parent; the rest goes with the main window.
    for (QWidget* view : {view_welcome, view_infoTheme, view_editorTheme}) {
        if (view && !view->parent()) {
            delete view;
        }
    }
    delete edit_window;
}

void MainController::makeWindows() {
    Ui::MainWindow main;
    edit_window = new QMainWindow;
    main.setupUi(edit_window);
    edit_window->setObjectName(QStringLiteral("edit_window"));
    session_->setWindow(edit_window);
    edit_toolbar = main.edit_toolbar;
    view_flipView = main.view_flipView;
    set_dock_style = main.set_dock_style;
    popup_showEditorOrInfo = main.popup_showEditorOrInfo;
    dock_type_selection = main.dock_type_selection;
    slider_images_thumbsize = main.slider_images_thumbsize;
    tbar_applyDock = main.tbar_applyDock;
    tbar_openIn = main.tbar_openIn;
    tbar_preview = main.tbar_preview;
    menu_openWith = main.menu_openWith;

    popup_showEditorOrInfo->addItem(QStringLiteral("Information"), kInformationTab);
    popup_showEditorOrInfo->addItem(QStringLiteral("Editor"), kEditorTab);
    main.action_showInfo->setData(kInformationTab);
    main.action_showEditor->setData(kEditorTab);
    // Toolbar items that hold controls; their parts leave the hidden holder.
    edit_toolbar->addSeparator();
    edit_toolbar->addWidget(set_dock_style);
    tbar_showEditorOrInfo = edit_toolbar->addWidget(popup_showEditorOrInfo);
    tbar_viewDock = edit_toolbar->addWidget(dock_type_selection);
    tbar_thumbSize = edit_toolbar->addWidget(slider_images_thumbsize);
    delete main.toolbar_parts;
    // Toolbar buttons read as what they do ("Apply theme"), whatever their short label.
    for (QAction* action : edit_toolbar->actions()) {
        QWidget* button = edit_toolbar->widgetForAction(action);
        if (button && button->accessibleName().isEmpty() && !action->toolTip().isEmpty()) {
            button->setAccessibleName(action->toolTip());
        }
    }

    using Icon = ToolbarIcons::Kind;
    main.action_new->setIcon(ToolbarIcons::icon(Icon::New));
    main.action_open->setIcon(ToolbarIcons::icon(Icon::Open));
    tbar_applyDock->setIcon(ToolbarIcons::icon(Icon::Apply));
    main.action_restore->setIcon(ToolbarIcons::icon(Icon::Restore));
    tbar_openIn->setIcon(ToolbarIcons::icon(Icon::Edit));
    tbar_preview->setIcon(ToolbarIcons::icon(Icon::Preview));
    main.action_new->setShortcuts(QKeySequence::New);
    main.action_open->setShortcuts(QKeySequence::Open);
    main.action_close->setShortcuts(QKeySequence::Close);
    main.action_saveInfo->setShortcuts(QKeySequence::Save);
    main.action_preferences->setShortcuts(QKeySequence::Preferences);
    main.action_preferences->setShortcut(QKeySequence(QStringLiteral("Ctrl+,")));
    main.action_quit->setShortcuts(QKeySequence::Quit);
    main.action_quickGuide->setShortcuts(QKeySequence::HelpContents);

    Ui::WelcomeView welcome;
    view_welcome = new QWidget(view_flipView);
    welcome.setupUi(view_welcome);
    welcome_image = welcome.welcome_image;
    connect(welcome.welcome_new, &QPushButton::clicked, this, [this] { btn_toolbar_newtheme(); });
    connect(welcome.welcome_open, &QPushButton::clicked, this, [this] { btn_toolbar_opentheme(); });
    connect(welcome.welcome_backup, &QPushButton::clicked, this,
            [this] { btn_backupMyCurrentDock(); });
    connect(welcome.welcome_guide, &QPushButton::clicked, this, [this] { btn_quickGuide(); });

    Ui::InfoView info;
    view_infoTheme = new QWidget(view_flipView);
    info.setupUi(view_infoTheme);
    previewdock_title = info.previewdock_title;
    previewdock_author = info.previewdock_author;
    previewdock_site = info.previewdock_site;
    previewdock_version = info.previewdock_version;
    previewdock_appcasturl = info.previewdock_appcasturl;
    previewdock_description = info.previewdock_description;
    info_micropreview = info.info_micropreview;
    screenshot_preview = info.screenshot_preview;
    preview_dockshow_selection = info.preview_dockshow_selection;
    connect(info.button_saveInfo, &QPushButton::clicked, this, [this] { btn_saveInfo(); });
    connect(info.button_visitSite, &QPushButton::clicked, this,
            [this] { btn_previewAuthorSite(); });
    connect(info.button_render, &QPushButton::clicked, this,
            [this] { btn_renderDockScreenshots(); });
    connect(preview_dockshow_selection, &QComboBox::activated, this,
            [this] { btn_preview_changeShowPreview(); });

    Ui::EditorView editor;
    view_editorTheme = new QWidget(view_flipView);
    editor.setupUi(view_editorTheme);
    listOfImages = editor.listOfImages;
    selection_preview = editor.selection_preview;
    selection_filename = editor.selection_filename;
    selection_description = editor.selection_description;
    selection_size = editor.selection_size;
    selection_bestSize = editor.selection_bestSize;
    selection_alertSize = editor.selection_alertSize;
    selection_naturalTitle = editor.selection_naturalTitle;
    for (QWidget* view : {view_welcome, view_infoTheme, view_editorTheme}) {
        view->hide();
    }

    auto* busy = new QProgressBar(edit_window);
    busy->setObjectName(QStringLiteral("apply_progress"));
    busy->setAccessibleName(QStringLiteral("Applying theme"));
    busy->setRange(0, 0);
    busy->setMaximumWidth(120);
    busy->hide();
    edit_window->statusBar()->addPermanentWidget(busy);

    apply_ = new ApplyController(this);
    connect(apply_, &ApplyController::started, busy, &QWidget::show);
    connect(apply_, &ApplyController::ended, busy, &QWidget::hide);
    renderer_ = new ScreenshotRenderer(temporaries_->path(), this);
    verifier_ = new DockVerifier(this);
    connect(verifier_, &DockVerifier::result, this, [this](bool ok, const QString& message) {
        edit_window->statusBar()->showMessage(message);
        emit dockVerified(ok, message);
    });

    connect(main.action_new, &QAction::triggered, this, [this] { btn_toolbar_newtheme(); });
    connect(main.action_open, &QAction::triggered, this, [this] { btn_toolbar_opentheme(); });
    connect(main.action_close, &QAction::triggered, this, [this] { btn_closeTheme(); });
    exportTheme_ = main.action_export;
    connect(exportTheme_, &QAction::triggered, this, [this] { btn_exportTheme(); });
    connect(main.action_saveInfo, &QAction::triggered, this, [this] { btn_saveInfo(); });
    connect(main.action_backup, &QAction::triggered, this, [this] { btn_backupMyCurrentDock(); });
    connect(main.action_generate, &QAction::triggered, this,
            [this] { btn_generateThemeFromFolder(); });
    connect(main.action_quit, &QAction::triggered, this, [this] {
        if (applicationShouldTerminate()) {
            QCoreApplication::quit();
        }
    });
    edit_window->installEventFilter(this);
    connect(main.action_preferences, &QAction::triggered, this, [this] { btn_show_preferences(); });
    connect(main.action_restore, &QAction::triggered, this, [this] { btn_restoreDock(); });
    action_restoreOriginal = main.action_restoreOriginal;
    connect(action_restoreOriginal, &QAction::triggered, this,
            [this] { btn_restoreOriginalDock(); });
    // Looked at as the menu opens: another user's apply may have kept them meanwhile.
    connect(main.menu_dock, &QMenu::aboutToShow, this,
            [this] { action_restoreOriginal->setEnabled(originalImagesKept()); });
    checkTheme_ = main.action_checkTheme;
    connect(checkTheme_, &QAction::triggered, this, [this] { btn_checkTheme(); });
    connect(main.action_renderScreenshots, &QAction::triggered, this,
            [this] { btn_renderDockScreenshots(); });
    connect(main.action_checkUpdate, &QAction::triggered, this,
            [this] { btn_checkUpdateForTheme(); });
    for (QAction* show : {main.action_showInfo, main.action_showEditor}) {
        connect(show, &QAction::triggered, this,
                [this, show] { btn_showEditorDock(show->data().toInt()); });
    }
    connect(main.action_collection, &QAction::triggered, this, [this] { btn_browseCollection(); });
    connect(main.action_batch, &QAction::triggered, this, [this] { btn_openBatchConverter(); });
    connect(main.action_mainWindow, &QAction::triggered, this, [this] { btn_showMainWindow(); });
    connect(main.action_quickGuide, &QAction::triggered, this, [this] { btn_quickGuide(); });
    connect(main.action_about, &QAction::triggered, this, [this] { btn_change_openAbout(); });
}

void MainController::_makeAboutWindow() {
    if (about_window) {
        return;
    }
    Ui::AboutWindow about;
    about_window = makeWindow<Ui::AboutWindow, QDialog>(about, edit_window, Qt::Dialog);
    about_icon_ = about.about_icon;
    about_icon_->setPixmap(QApplication::windowIcon().pixmap(128));
    connect(about.about_buttons, &QDialogButtonBox::rejected, about_window, &QDialog::hide);
    about.about_buttons->button(QDialogButtonBox::Close)
        ->setAccessibleName(QStringLiteral("Close about window"));
}

void MainController::_makeHelpWindow() {
    if (help_window) {
        return;
    }
    Ui::HelpWindow help;
    auto* guide = makeWindow<Ui::HelpWindow, QDialog>(help, edit_window, Qt::Window);
    help_window = guide;
    WindowPlacement::centerOnOwnerWhenFirstShown(guide);
    help_view = help.help_view;
    // A closed guide keeps no pictures; showing it again loads the page anew.
    connect(guide, &QDialog::finished, help_view, &QTextBrowser::clear);
    connect(help.help_close, &QPushButton::clicked, this, [this] { btn_guide_close(); });
}

void MainController::_makeProgressWindow() {
    if (progress_window) {
        return;
    }
    Ui::ProgressSheet progress;
    progress_window = makeWindow<Ui::ProgressSheet, QDialog>(progress, edit_window, Qt::Sheet);
    connect(progress.progress_stop, &QPushButton::clicked, this,
            [this] { btn_checkUpdateForTheme_stop(); });
}

void MainController::_makePreferencesWindow() {
    if (preferences_window) {
        return;
    }
    Ui::PreferencesSheet preferences;
    preferences_window =
        makeWindow<Ui::PreferencesSheet, QDialog>(preferences, edit_window, Qt::Sheet);
    pref_startWithEditor = preferences.pref_startWithEditor;
    pref_generateUUID = preferences.pref_generateUUID;
    connect(pref_startWithEditor, &QCheckBox::clicked, this,
            [this] { btn_prefs_startWithEditor(pref_startWithEditor); });
    connect(pref_generateUUID, &QCheckBox::clicked, this,
            [this] { btn_prefs_generateUUID(pref_generateUUID); });
    QCheckBox* autoStyle = preferences.pref_autoDockStyle;
    connect(autoStyle, &QCheckBox::clicked, this,
            [this, autoStyle] { btn_preferences_changeDockStyleAutomatically(autoStyle); });
    connect(preferences.pref_close, &QPushButton::clicked, this,
            [this] { btn_close_preferences(); });
}

void MainController::_makePreviewWindow() {
    if (preview_window) {
        return;
    }
    Ui::PreviewWindow preview;
    preview_window = makeWindow<Ui::PreviewWindow, QWidget>(preview, edit_window, Qt::Window);
    preview_window_image = preview.preview_window_image;
    preview_window->installEventFilter(this);
    connect(preview.preview_proportions, &QCheckBox::toggled, this,
            [this, box = preview.preview_proportions] { btn_changeProportions(box); });
    btn_changeProportions(preview.preview_proportions);
}

CollectionController& MainController::collectionController() {
    if (!collection_) {
        Ui::CollectionWindow collection;
        collection_window =
            makeWindow<Ui::CollectionWindow, QWidget>(collection, edit_window, Qt::Window);
        collection_ = new CollectionController(collection_window, *this, dialogs_, this);
    }
    return *collection_;
}

BatchController& MainController::batchController() {
    if (!batch_) {
        batch_window = BatchController::makeWindow(edit_window);
        batch_ = new BatchController(batch_window, dialogs_, this);
    }
    return *batch_;
}

void MainController::waitForWork() {
    apply_->waitForEnd();
    if (batch_) {
        batch_->waitForEnd();
    }
}

void MainController::connectActions() {
    connect(tbar_applyDock, &QAction::triggered, this, [this] { btn_change_applyTheme(); });
    connect(popup_showEditorOrInfo, &QComboBox::activated, this,
            [this] { btn_showEditorOrInfo(popup_showEditorOrInfo); });
    connect(set_dock_style, &QComboBox::activated, this,
            [this] { btn_setDockStyleTo(set_dock_style); });
    connect(dock_type_selection, &QComboBox::activated, this,
            [this] { btn_change_docktype(dock_type_selection); });
    connect(slider_images_thumbsize, &QSlider::valueChanged, this,
            [this] { btn_change_thumbsize(slider_images_thumbsize); });
    connect(apply_, &ApplyController::ended, this, &MainController::_applyEnded);
}

void MainController::awakeFromNib() {
    // The flip view starts with the welcome view as its only subview.
    view_flipView->layout()->addWidget(view_welcome);
    view_welcome->show();
    // The slot browser shows the model; its items are not reordered by dragging.
    listOfImages->setModel(slots_);
    listOfImages->setDragDropMode(QAbstractItemView::NoDragDrop);
    connect(listOfImages->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { _updateSelection(); });
    // The slider starts at 64 pixels and the browser's zoom follows it.
    slider_images_thumbsize->setValue(64);
    btn_change_thumbsize(slider_images_thumbsize);
    // Every drop target answers to this controller, the micro preview too.
    for (DragDropImageView* view :
         {welcome_image, selection_preview, screenshot_preview, info_micropreview}) {
        view->setResponderClass(this);
    }
    // The application icon and the welcome view's picture are decoded once
    // the main window is painted.
    whenPainted([this] { _loadPictures(); });
    // The style pop-up shows the Dock's style as it is now.
    set_dock_style->setCurrentIndex(indexOf(MiscKit::currentDockType()));
    // The quick guide on the first start, over the main window once that
    // is painted (see eventFilter), so its pictures never delay the first frame.
    std::optional<bool> first = defaults_->boolForKey(UserDefaults::kFirst);
    if (!first || *first) {
        whenPainted([this] { btn_quickGuide(); });
        defaults_->setBool(UserDefaults::kFirst, false);
    }
    // No theme is open yet: the menus and the toolbar enable only what needs none.
    _updateMenuEditor();
    _validateToolbar();
}

void MainController::_loadPictures() {
    // Decoded in a worker while the window answers, shown on the UI thread.
    using Pictures = std::pair<QImage, QImage>;
    Background::run(
        QThreadPool::globalInstance(), this,
        [iconFile = resource("icon4on.icns"), dropFile = resource("drag_here.png")] {
            return Pictures{IcnsImage::read(iconFile, 128), QImage(dropFile, "PNG")};
        },
        [this](const Pictures& pictures) {
            QApplication::setWindowIcon(QIcon(QPixmap::fromImage(pictures.first)));
            edit_window->setWindowIcon(QApplication::windowIcon());
            if (about_icon_) {
                about_icon_->setPixmap(QPixmap::fromImage(pictures.first));
            }
            welcome_image->setImage(pictures.second);
        });
}

bool MainController::applicationShouldHandleReopen(bool) {
    btn_showMainWindow();
    return true;
}

void MainController::openHandedOver(const QString& path) {
    applicationShouldHandleReopen(edit_window->isVisible());
    if (path.isEmpty()) {
        return;
    }
    if (QApplication::activeModalWidget() || RVAnimationAdditions::isBlocking()) {
        QTimer::singleShot(100, this, [this, path] { openHandedOver(path); });
        return;
    }
    openFile(path);
}

void MainController::btn_showMainWindow() {
    // A minimized window comes back too, so a question it asks is seen.
    edit_window->setWindowState(edit_window->windowState() & ~Qt::WindowMinimized);
    edit_window->show();
    edit_window->raise();
    edit_window->activateWindow();
}

QWidget* MainController::shownView() const {
    QLayoutItem* item = view_flipView->layout()->itemAt(0);
    return item ? item->widget() : nullptr;
}

bool MainController::_fadeToTab(int tab) {
    requestedTab_ = tab;
    if (switchingTab_) {
        return true;
    }
    switchingTab_ = true;
    for (int shown = -1; shown != requestedTab_;) {
        shown = requestedTab_;
        RVAnimationAdditions::fadeOut(view_flipView);
        QWidget* chosen = shown == kInformationTab ? view_infoTheme
                          : shown == kEditorTab    ? view_editorTheme
                                                   : view_welcome;
        if (QWidget* old = shownView(); old != chosen) {
            if (old) {
                view_flipView->layout()->removeWidget(old);
                old->hide();
                old->setParent(nullptr);
            }
            chosen->setParent(view_flipView);
            view_flipView->layout()->addWidget(chosen);
        }
        chosen->show();
        if (chosen != view_editorTheme) {
            // The slot browser is not shown: its thumbnails are decoded again when it is.
            session_->decoder().releaseThumbnails();
        }
        RVAnimationAdditions::fadeIn(view_flipView);
    }
    switchingTab_ = false;
    return true;
}

void MainController::btn_showEditorOrInfo(QComboBox* sender) {
    if (!currentTheme) {
        _fadeToTab(kWelcomeTab);
        return;
    }
    _fadeToTab(sender->currentData().toInt());
}

void MainController::btn_showEditorDock(int tag) {
    if (!currentTheme) {
        dialogs_.beep();
        return;
    }
    Log::write(std::to_string(tag));
    int index = popup_showEditorOrInfo->findData(tag);
    if (index >= 0) {
        popup_showEditorOrInfo->setCurrentIndex(index);
    }
    btn_showEditorOrInfo(popup_showEditorOrInfo);
}

bool MainController::validateToolbarItem(QAction* item) {
    const bool open = currentTheme != nullptr;
    if (item != tbar_openIn && item != tbar_thumbSize && item != tbar_viewDock &&
        item != tbar_applyDock && item != tbar_preview) {
        return true;
    }
    popup_showEditorOrInfo->setEnabled(open);
    if (item == tbar_viewDock) {
        dock_type_selection->setEnabled(open);
        return true;
    }
    return open;
}

void MainController::_validateToolbar() {
    for (QAction* item : edit_toolbar->actions()) {
        item->setEnabled(validateToolbarItem(item));
    }
    checkTheme_->setEnabled(currentTheme != nullptr);
    exportTheme_->setEnabled(currentTheme != nullptr);
}

void MainController::_updateThemeShow() {
    if (!currentTheme) {
        return;
    }
    slots_->setTheme(
        currentTheme.get(),
        dockCategoryAt(dock_type_selection->currentIndex()).value_or(DockCategory::TwoD));
    _updateWindowTitle();
    _showMicroPreview();
    // Unsaved edits stay in the fields; otherwise every field shows this theme's value.
    if (!session_->hasUnsavedInformation()) {
        _fillInformationFields();
    }
    _validateToolbar();
}

void MainController::_updateWindowTitle() {
    QString title = edit_window->windowTitle().remove(QStringLiteral("[*]"));
    if (currentTheme) {
        // An empty name or author reads as a missing one, saved or not.
        auto shown = [](const std::optional<std::string>& value, const char* missing) {
            return QString::fromStdString(value && !value->empty() ? *value : missing);
        };
        title = QStringLiteral("Velvanto - %1 by %2")
                    .arg(shown(currentTheme->dockName(), "Untitled"),
                         shown(currentTheme->dockAuthor(), "Unknown"));
    }
    edit_window->setWindowTitle(title + QStringLiteral("[*]"));
    // A screen reader announces the window by its name: the title and the unsaved mark.
    edit_window->setAccessibleName(
        edit_window->isWindowModified() ? title + QStringLiteral(" (edited)") : title);
}

void MainController::_showMicroPreview() {
    std::optional<std::string> path =
        currentTheme ? currentTheme->dockMicroPreview() : std::nullopt;
    if (!path) {
        session_->decoder().cancel(info_micropreview);
        info_micropreview->setImage(QImage());
        return;
    }
    session_->decoder().request(
        info_micropreview, {currentTheme->bundleFolder(), QString::fromStdString(*path)}, QSize(),
        [this](const QImage& image, QSize) { info_micropreview->setImage(image); });
}

void MainController::btn_change_openAbout() {
    _makeAboutWindow();
    about_window->show();
    about_window->raise();
    about_window->activateWindow();
}

void MainController::btn_quickGuide() {
    QString path = resource("Help.html");
    QFile file(path);
    QString html;
    if (file.open(QIODevice::ReadOnly)) {
        html = QString::fromUtf8(file.readAll());
    }
    _makeHelpWindow();
    help_view->document()->setBaseUrl(QUrl::fromLocalFile(path));
    help_view->setSearchPaths({QString::fromStdString(SystemPaths::resourceFolder().string())});
    // Screenshots further down the page are decoded when scrolled to.
    OnDemandImages::install(help_view->document());
    help_view->setHtml(html);
    help_window->show();
    help_window->raise();
    help_window->activateWindow();
}

void MainController::btn_guide_close() {
    if (help_window) {
        help_window->close();
    }
}

std::optional<QString> MainController::standardEditorPath() const {
    return defaults_->stringForKey(UserDefaults::kEditor);
}

void MainController::_updateMenuEditor() {
    if (std::optional<QString> editor = standardEditorPath()) {
        QString name = ExternalEditor::displayName(*editor);
        menu_openWith->setText(QStringLiteral("Open In %1").arg(name));
        tbar_openIn->setText(QStringLiteral("Edit in %1").arg(name));
    } else {
        menu_openWith->setText(QStringLiteral("Open Image In... (need to specify app)"));
        tbar_openIn->setText(QStringLiteral("Choose External Editor"));
    }
}

bool MainController::applicationShouldTerminate() {
    return _mayDropTheme();
}

void MainController::whenPainted(std::function<void()> task) {
    afterPaint_.push_back(std::move(task));
}

bool MainController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == preview_window && event->type() == QEvent::Hide) {
        // A closed zoom window keeps no picture.
        session_->decoder().cancel(preview_window_image);
        preview_window_image->setImage(QImage());
    }
    if (watched == edit_window && event->type() == QEvent::UpdateRequest && !afterPaint_.empty()) {
        // Run on the next turn, once this paint reached the screen.
        QTimer::singleShot(0, this, [this, tasks = std::exchange(afterPaint_, {})] {
            for (const std::function<void()>& task : tasks) {
                task();
            }
        });
    }
    if (watched == edit_window && event->type() == QEvent::Close) {
        if (!applicationShouldTerminate()) {
            event->ignore();
            return true;
        }
        QCoreApplication::quit();
    }
    return QObject::eventFilter(watched, event);
}
