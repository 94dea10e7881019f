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
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QKeyEvent>
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
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include <filesystem>

#include "app/ApplyRunner.h"
#include "app/Background.h"
#include "app/Dialogs.h"
#include "app/DockVerifier.h"
#include "app/DropPlaceholder.h"
#include "app/EditorView.h"
#include "app/ExternalEditor.h"
#include "app/ImageDecoder.h"
#include "app/InformationView.h"
#include "app/OnDemandImages.h"
#include "app/ScreenshotRenderer.h"
#include "app/ThemeSession.h"
#include "app/ToolbarIcons.h"
#include "app/UpdateSheet.h"
#include "app/UserDefaults.h"
#include "app/WelcomeView.h"
#include "app/WindowPlacement.h"
#include "image/ThemePreview.h"
#include "model/MiscKit.h"
#include "platform/Log.h"
#include "platform/SystemPaths.h"
#include "translations/Translations.h"
#include "ui_AboutWindow.h"
#include "ui_HelpWindow.h"
#include "ui_MainWindow.h"
#include "ui_PreferencesSheet.h"
#include "ui_PreviewWindow.h"
#include "widgets/IcnsImage.h"
#include "widgets/RVAnimationAdditions.h"

namespace {

QString resource(const char* name) {
    return QString::fromStdString((SystemPaths::resourceFolder() / name).string());
}

// A window of its own, owned by the main window and deleted with it.
template <typename Window, typename Ui>
Window* windowFrom(Ui& ui, QWidget* owner, Qt::WindowFlags flags) {
    auto* window = new Window(owner, flags);
    ui.setupUi(window);
    return window;
}

}  // namespace

MainController::MainController(Dialogs& dialogs, QObject* parent)
    : QObject(parent),
      session_(new ThemeSession(dialogs, this)),
      dialogs_(dialogs),
      defaults_(std::make_unique<UserDefaults>()) {
    makeWindow();
    connectActions();
    connectViews();
    setUpMenus();
    connectSession();
    awakeFromNib();
}

MainController::~MainController() {
    // What holds files in the temporary folder goes before the folder does.
    session_->history().clear();
    renderer_->waitForEnd();
    // Views out of the flip view have no parent; the rest goes with the main window.
    for (QWidget* view : {welcome_->widget(), information_->widget(), editor_->widget()}) {
        if (!view->parent()) {
            delete view;
        }
    }
    delete window_;
}

void MainController::awakeFromNib() {
    // The flip view starts with the welcome view as its only subview.
    ui_->view_flipView->layout()->addWidget(welcome_->widget());
    welcome_->widget()->show();
    // The slider starts at 64 pixels and the browser's zoom follows it.
    ui_->slider_images_thumbsize->setValue(64);
    btn_change_thumbsize(64);
    // Every drop target answers to this controller, the micro preview too.
    welcome_->setDropResponder(this);
    information_->setDropResponder(this);
    editor_->setDropResponder(this);
    // The drop targets take keys too: Return or Space asks for what a drop would bring.
    for (auto* picture : window_->findChildren<DragDropImageView*>()) {
        if (picture->responderClass() == this) {
            picture->setFocusPolicy(Qt::StrongFocus);
            picture->setStyleSheet(QStringLiteral(
                "DragDropImageView:focus { border: 2px solid palette(highlight); }"));
            picture->installEventFilter(this);
        }
    }
    // The application icon and the welcome view's picture are decoded once
    // the main window is painted.
    whenPainted([this] { _loadPictures(); });
    // The style pop-up shows the Dock's style as it is now.
    ui_->set_dock_style->setCurrentIndex(indexOf(MiscKit::currentDockType()));
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

bool MainController::applicationShouldHandleReopen(bool) {
    btn_showMainWindow();
    return true;
}

void MainController::openHandedOver(const QString& path) {
    applicationShouldHandleReopen(window_->isVisible());
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
    window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void MainController::ownWindow(QWidget* window) {
    window->setParent(window_, Qt::Window);
    WindowPlacement::centerOnOwnerWhenFirstShown(window);
}

bool MainController::_fadeToTab(int tab) {
    requestedTab_ = tab;
    if (switchingTab_) {
        return true;
    }
    switchingTab_ = true;
    QWidget* flip = ui_->view_flipView;
    // A view that goes takes the keyboard focus with it to the view that comes.
    QWidget* focused = QApplication::focusWidget();
    const bool focusInView = focused && flip->isAncestorOf(focused);
    for (int shown = -1; shown != requestedTab_;) {
        shown = requestedTab_;
        RVAnimationAdditions::fadeOut(flip);
        QWidget* chosen = shown == kInformationTab ? information_->widget()
                          : shown == kEditorTab    ? editor_->widget()
                                                   : welcome_->widget();
        QLayoutItem* item = flip->layout()->itemAt(0);
        if (QWidget* old = item ? item->widget() : nullptr; old != chosen) {
            if (old) {
                flip->layout()->removeWidget(old);
                old->hide();
                old->setParent(nullptr);
            }
            chosen->setParent(flip);
            flip->layout()->addWidget(chosen);
        }
        chosen->show();
        if (chosen != editor_->widget()) {
            // The slot browser is not shown: its thumbnails are decoded again when it is.
            session_->decoder().releaseThumbnails();
        }
        RVAnimationAdditions::fadeIn(flip);
    }
    if (QWidget* shown = flip->layout()->itemAt(0)->widget(); focusInView) {
        for (QWidget* next = shown->nextInFocusChain(); next != shown;
             next = next->nextInFocusChain()) {
            if ((next->focusPolicy() & Qt::TabFocus) && next->isVisible() && next->isEnabled() &&
                shown->isAncestorOf(next)) {
                next->setFocus(Qt::TabFocusReason);
                break;
            }
        }
    }
    switchingTab_ = false;
    return true;
}

int MainController::shownTab() const {
    QLayoutItem* item = ui_->view_flipView->layout()->itemAt(0);
    QWidget* shown = item ? item->widget() : nullptr;
    return shown == information_->widget() ? kInformationTab
           : shown == editor_->widget()    ? kEditorTab
                                           : kWelcomeTab;
}

void MainController::btn_showEditorOrInfo(int tab) {
    _fadeToTab(session_->theme() ? tab : kWelcomeTab);
}

void MainController::btn_showEditorDock(int tag) {
    if (!session_->theme()) {
        dialogs_.beep();
        return;
    }
    Log::write(std::to_string(tag));
    QComboBox* popup = ui_->popup_showEditorOrInfo;
    int index = popup->findData(tag);
    if (index >= 0) {
        popup->setCurrentIndex(index);
    }
    btn_showEditorOrInfo(popup->currentData().toInt());
}

void MainController::_validateToolbar() {
    const bool open = session_->theme() != nullptr;
    // The items that act on the open theme; the others always work.
    for (QAction* item : {ui_->tbar_openIn, tbar_thumbSize_, ui_->tbar_applyDock, ui_->tbar_preview,
                          ui_->action_checkTheme, ui_->action_export}) {
        item->setEnabled(open);
    }
    // An update is looked for at the theme's feed address.
    const DockTheme* theme = session_->theme();
    ui_->action_checkUpdate->setEnabled(theme && !theme->dockAppcast().value_or("").empty());
    // The pop-ups' toolbar items stay enabled (enabling one would enable its
    // control again); the controls follow the theme.
    ui_->popup_showEditorOrInfo->setEnabled(open);
    ui_->dock_type_selection->setEnabled(open);
}

void MainController::_updateThemeShow() {
    _updateWindowTitle();
    _validateToolbar();
}

void MainController::_updateWindowTitle() {
    QString title = window_->windowTitle().remove(QStringLiteral("[*]"));
    if (const DockTheme* theme = session_->theme()) {
        // An empty name or author reads as a missing one, saved or not.
        auto shown = [](const std::optional<std::string>& value, const QString& missing) {
            return value && !value->empty() ? QString::fromStdString(*value) : missing;
        };
        // The folder tells which copy is open (the collection's, an export's source).
        title = tr("Velvanto - %1 by %2")
                    .arg(shown(theme->dockName(), tr("Untitled")),
                         shown(theme->dockAuthor(), tr("Unknown"))) +
                QStringLiteral(" (%1)").arg(
                    _shownPath(std::filesystem::path(theme->dockPath()).parent_path().string()));
    }
    window_->setWindowTitle(title + QStringLiteral("[*]"));
    // A screen reader announces the window by its name: the title and the unsaved mark.
    window_->setAccessibleName(window_->isWindowModified() ? title + tr(" (edited)") : title);
}

QString MainController::_shownPath(const std::string& path) {
    std::error_code failed;
    const std::filesystem::path absolute =
        std::filesystem::absolute(path, failed).lexically_normal();
    QString shown = QFile::decodeName(QByteArray::fromStdString(absolute.string()));
    const QString home = QDir::homePath();
    if (shown == home || shown.startsWith(home + QLatin1Char('/'))) {
        shown.replace(0, home.size(), QStringLiteral("~"));
    }
    return shown;
}

void MainController::btn_change_openAbout() {
    _makeAboutWindow();
    aboutWindow_->show();
    aboutWindow_->raise();
    aboutWindow_->activateWindow();
}

void MainController::btn_quickGuide() {
    // In the user's language when the bundle has the page in it.
    const QString path = QString::fromStdString(
        Translations::localized(SystemPaths::resourceFolder(), "Help.html").string());
    QFile file(path);
    QString html;
    if (file.open(QIODevice::ReadOnly)) {
        html = QString::fromUtf8(file.readAll());
    }
    _makeHelpWindow();
    QTextBrowser* view = help_->help_view;
    view->document()->setBaseUrl(QUrl::fromLocalFile(path));
    view->setSearchPaths({QString::fromStdString(SystemPaths::resourceFolder().string())});
    // Screenshots further down the page are decoded when scrolled to.
    OnDemandImages::install(view->document());
    view->setHtml(html);
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

void MainController::btn_guide_close() {
    if (helpWindow_) {
        helpWindow_->close();
    }
}

std::optional<QString> MainController::standardEditorPath() const {
    return defaults_->stringForKey(UserDefaults::kEditor);
}

void MainController::_updateMenuEditor() {
    if (std::optional<QString> editor = standardEditorPath()) {
        QString name = ExternalEditor::displayName(*editor);
        ui_->menu_openWith->setText(tr("Open In %1").arg(name));
        ui_->tbar_openIn->setText(tr("Edit in %1").arg(name));
    } else {
        ui_->menu_openWith->setText(tr("Open Image In... (need to specify app)"));
        ui_->tbar_openIn->setText(tr("Choose External Editor"));
    }
}

bool MainController::applicationShouldTerminate() {
    return _mayDropTheme();
}

void MainController::whenPainted(std::function<void()> task) {
    afterPaint_.push_back(std::move(task));
}

void MainController::waitForWork() {
    apply_->waitForEnd();
}

bool MainController::eventFilter(QObject* watched, QEvent* event) {
    if (auto* picture = qobject_cast<DragDropImageView*>(watched);
        picture && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            _choosePictureFor(picture);
            return true;
        }
    }
    if (watched == previewWindow_ && event->type() == QEvent::Hide) {
        // A closed zoom window keeps no picture.
        session_->decoder().cancel(preview_->preview_window_image);
        preview_->preview_window_image->setImage(QImage());
    }
    if (watched == window_ && event->type() == QEvent::UpdateRequest && !afterPaint_.empty()) {
        // Run on the next turn, once this paint reached the screen.
        QTimer::singleShot(0, this, [this, tasks = std::exchange(afterPaint_, {})] {
            for (const std::function<void()>& task : tasks) {
                task();
            }
        });
    }
    if (watched == window_ && event->type() == QEvent::Close) {
        if (!applicationShouldTerminate()) {
            event->ignore();
            return true;
        }
        QCoreApplication::quit();
    }
    return QObject::eventFilter(watched, event);
}

void MainController::makeWindow() {
    Ui::MainWindow& main = *(ui_ = std::make_unique<Ui::MainWindow>());
    window_ = new QMainWindow;
    main.setupUi(window_);
    window_->setObjectName(QStringLiteral("edit_window"));
    session_->setWindow(window_);

    main.popup_showEditorOrInfo->addItem(tr("Information"), kInformationTab);
    main.popup_showEditorOrInfo->addItem(tr("Editor"), kEditorTab);
    main.action_showInfo->setData(kInformationTab);
    main.action_showEditor->setData(kEditorTab);
    // Toolbar items that hold controls; their parts leave the hidden holder.
    QToolBar* toolbar = main.edit_toolbar;
    toolbar->addSeparator();
    toolbar->addWidget(main.set_dock_style);
    toolbar->addWidget(main.popup_showEditorOrInfo);
    toolbar->addWidget(main.dock_type_selection);
    tbar_thumbSize_ = toolbar->addWidget(main.slider_images_thumbsize);
    delete main.toolbar_parts;
    // Toolbar buttons read as what they do ("Apply theme"), whatever their short label.
    for (QAction* action : toolbar->actions()) {
        QWidget* button = toolbar->widgetForAction(action);
        if (button && button->accessibleName().isEmpty() && !action->toolTip().isEmpty()) {
            button->setAccessibleName(action->toolTip());
        }
    }
    // Qt's button for the items a narrow window can't show.
    if (auto* more = toolbar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"))) {
        more->setAccessibleName(tr("More toolbar items"));
    }

    using Icon = ToolbarIcons::Kind;
    main.action_new->setIcon(ToolbarIcons::icon(Icon::New));
    main.action_open->setIcon(ToolbarIcons::icon(Icon::Open));
    main.tbar_applyDock->setIcon(ToolbarIcons::icon(Icon::Apply));
    main.action_restore->setIcon(ToolbarIcons::icon(Icon::Restore));
    main.tbar_openIn->setIcon(ToolbarIcons::icon(Icon::Edit));
    main.tbar_preview->setIcon(ToolbarIcons::icon(Icon::Preview));
    main.action_new->setShortcuts(QKeySequence::New);
    main.action_open->setShortcuts(QKeySequence::Open);
    main.action_close->setShortcuts(QKeySequence::Close);
    main.action_saveInfo->setShortcuts(QKeySequence::Save);
    main.action_preferences->setShortcuts(QKeySequence::Preferences);
    main.action_preferences->setShortcut(QKeySequence(QStringLiteral("Ctrl+,")));
    main.action_quit->setShortcuts(QKeySequence::Quit);
    main.action_quickGuide->setShortcuts(QKeySequence::HelpContents);

    welcome_ = new WelcomeView(main.view_flipView);
    information_ = new InformationView(*session_, dialogs_, main.view_flipView);
    editor_ = new EditorView(*session_, main.view_flipView);
    for (QWidget* view : {welcome_->widget(), information_->widget(), editor_->widget()}) {
        view->hide();
    }

    auto* busy = new QProgressBar(window_);
    busy->setObjectName(QStringLiteral("apply_progress"));
    busy->setAccessibleName(tr("Applying theme"));
    busy->setRange(0, 0);
    busy->setMaximumWidth(120);
    busy->hide();
    window_->statusBar()->addPermanentWidget(busy);

    apply_ = new ApplyRunner(this);
    connect(apply_, &ApplyRunner::started, busy, &QWidget::show);
    connect(apply_, &ApplyRunner::ended, busy, &QWidget::hide);
    renderer_ = new ScreenshotRenderer(session_->temporaryFolder(), this);
    verifier_ = new DockVerifier(this);
    connect(verifier_, &DockVerifier::result, this, [this](bool ok, const QString& message) {
        window_->statusBar()->showMessage(message);
        emit dockVerified(ok, message);
    });
    window_->installEventFilter(this);
}

void MainController::_makeAboutWindow() {
    if (aboutWindow_) {
        return;
    }
    about_ = std::make_unique<Ui::AboutWindow>();
    aboutWindow_ = windowFrom<QDialog>(*about_, window_, Qt::Dialog);
    about_->about_icon->setPixmap(QApplication::windowIcon().pixmap(128));
    connect(about_->about_buttons, &QDialogButtonBox::rejected, aboutWindow_, &QDialog::hide);
    about_->about_buttons->button(QDialogButtonBox::Close)
        ->setAccessibleName(tr("Close about window"));
}

void MainController::_makeHelpWindow() {
    if (helpWindow_) {
        return;
    }
    help_ = std::make_unique<Ui::HelpWindow>();
    helpWindow_ = windowFrom<QDialog>(*help_, window_, Qt::Window);
    WindowPlacement::centerOnOwnerWhenFirstShown(helpWindow_);
    // A closed guide keeps no pictures; showing it again loads the page anew.
    connect(helpWindow_, &QDialog::finished, help_->help_view, &QTextBrowser::clear);
    connect(help_->help_close, &QPushButton::clicked, this, [this] { btn_guide_close(); });
}

void MainController::_makeProgressWindow() {
    if (!progress_) {
        progress_ = new UpdateSheet(*this, dialogs_, window_, this);
    }
}

void MainController::_makePreferencesWindow() {
    if (preferencesWindow_) {
        return;
    }
    preferences_ = std::make_unique<Ui::PreferencesSheet>();
    Ui::PreferencesSheet& sheet = *preferences_;
    preferencesWindow_ = windowFrom<QDialog>(sheet, window_, Qt::Sheet);
    connect(sheet.pref_startWithEditor, &QCheckBox::clicked, this,
            [this](bool on) { btn_prefs_startWithEditor(on); });
    connect(sheet.pref_generateUUID, &QCheckBox::clicked, this,
            [this](bool on) { btn_prefs_generateUUID(on); });
    connect(sheet.pref_autoDockStyle, &QCheckBox::clicked, this,
            [this](bool on) { btn_preferences_changeDockStyleAutomatically(on); });
    connect(sheet.pref_close, &QPushButton::clicked, this, [this] { btn_close_preferences(); });
}

void MainController::_makePreviewWindow() {
    if (previewWindow_) {
        return;
    }
    preview_ = std::make_unique<Ui::PreviewWindow>();
    previewWindow_ = windowFrom<QWidget>(*preview_, window_, Qt::Window);
    previewWindow_->installEventFilter(this);
    connect(preview_->preview_proportions, &QCheckBox::toggled, this,
            [this](bool on) { btn_changeProportions(on); });
    btn_changeProportions(preview_->preview_proportions->isChecked());
}

void MainController::connectActions() {
    Ui::MainWindow& main = *ui_;
    auto on = [this](QAction* action, auto act) {
        connect(action, &QAction::triggered, this, act);
    };
    on(main.action_new, [this] { btn_toolbar_newtheme(); });
    on(main.action_open, [this] { btn_toolbar_opentheme(); });
    // Looked at as the menu opens: a theme moved or removed meanwhile is left out.
    connect(main.menu_recent, &QMenu::aboutToShow, this, [this] { _updateRecentMenu(); });
    on(main.action_close, [this] { btn_closeTheme(); });
    on(main.action_export, [this] { btn_exportTheme(); });
    on(main.action_saveInfo, [this] { btn_saveInfo(); });
    on(main.action_backup, [this] { btn_backupMyCurrentDock(); });
    on(main.action_generate, [this] { btn_generateThemeFromFolder(); });
    on(main.action_quit, [this] {
        if (applicationShouldTerminate()) {
            QCoreApplication::quit();
        }
    });
    on(main.action_preferences, [this] { btn_show_preferences(); });
    on(main.tbar_applyDock, [this] { btn_change_applyTheme(); });
    on(main.action_restore, [this] { btn_restoreDock(); });
    on(main.action_restoreOriginal, [this] { btn_restoreOriginalDock(); });
    // Looked at as the menu opens: another user's apply may have kept them meanwhile.
    connect(main.menu_dock, &QMenu::aboutToShow, this,
            [this] { ui_->action_restoreOriginal->setEnabled(originalImagesKept()); });
    on(main.action_checkTheme, [this] { btn_checkTheme(); });
    on(main.action_renderScreenshots, [this] { btn_renderDockScreenshots(); });
    QAction* micro = new QAction(tr("Render Preview Picture"), window_);
    micro->setToolTip(tr("Draw the theme's small picture from its images"));
    main.menu_dock->insertAction(main.action_checkUpdate, micro);
    on(micro, [this] { btn_renderMicroPreview(); });
    on(main.action_checkUpdate, [this] { btn_checkUpdateForTheme(); });
    for (QAction* show : {main.action_showInfo, main.action_showEditor}) {
        on(show, [this, show] { btn_showEditorDock(show->data().toInt()); });
    }
    on(main.action_collection, [this] { btn_browseCollection(); });
    on(main.action_batch, [this] { btn_openBatchConverter(); });
    on(main.action_mainWindow, [this] { btn_showMainWindow(); });
    on(main.action_quickGuide, [this] { btn_quickGuide(); });
    on(main.action_about, [this] { btn_change_openAbout(); });
    connect(main.popup_showEditorOrInfo, &QComboBox::activated, this,
            [this] { btn_showEditorOrInfo(ui_->popup_showEditorOrInfo->currentData().toInt()); });
    connect(main.set_dock_style, &QComboBox::activated, this, [this](int index) {
        if (std::optional<DockStyle> style = dockStyleAt(index)) {
            btn_setDockStyleTo(*style);
        }
    });
    connect(main.dock_type_selection, &QComboBox::activated, this, [this](int index) {
        btn_change_docktype(dockCategoryAt(index).value_or(DockCategory::TwoD));
    });
    connect(main.slider_images_thumbsize, &QSlider::valueChanged, this,
            [this](int side) { btn_change_thumbsize(side); });
    connect(apply_, &ApplyRunner::ended, this, &MainController::_applyEnded);
}

void MainController::connectViews() {
    connect(welcome_, &WelcomeView::newWanted, this, [this] { btn_toolbar_newtheme(); });
    connect(welcome_, &WelcomeView::openWanted, this, [this] { btn_toolbar_opentheme(); });
    connect(welcome_, &WelcomeView::backupWanted, this, [this] { btn_backupMyCurrentDock(); });
    connect(welcome_, &WelcomeView::guideWanted, this, [this] { btn_quickGuide(); });
    connect(information_, &InformationView::renderWanted, this,
            [this] { btn_renderDockScreenshots(); });
    connect(editor_, &EditorView::slotActivated, this,
            [this](int row) { imageBrowserCellWasDoubleClicked(row); });
    // The category pop-up shows what the browser shows.
    connect(editor_, &EditorView::categoryChanged, this, [this](DockCategory category) {
        ui_->dock_type_selection->setCurrentIndex(indexOf(category));
    });
}

void MainController::connectSession() {
    connect(session_, &ThemeSession::opened, this, [this] {
        _updateThemeShow();
        _noteRecentTheme();
    });
    connect(session_, &ThemeSession::closed, this, [this] { _validateToolbar(); });
    connect(session_, &ThemeSession::reloaded, this, [this] { _updateThemeShow(); });
    connect(session_, &ThemeSession::notice, this,
            [this](const QString& message) { window_->statusBar()->showMessage(message, 10000); });
    connect(session_, &ThemeSession::saved, this, [this] {
        window_->statusBar()->showMessage(tr("Information saved"), 3000);
        _updateThemeShow();  // the title, and the feed address an update is looked for at
    });
    connect(session_, &ThemeSession::editedChanged, this, [this](bool edited) {
        window_->setWindowModified(edited);
        _updateWindowTitle();
    });
    connect(renderer_, &ScreenshotRenderer::rendered, this, [this](const QString&, bool ok) {
        // Drawn for the theme open now, not one closed or read again meanwhile.
        if (session_->generation() == renderedGeneration_) {
            session_->screenshotsDrawn();
            // A theme still showing the stock small picture gets its own.
            if (ok && ThemePreview::hasStockMicroPreview(*session_->theme())) {
                btn_renderMicroPreview();
            }
        }
        window_->statusBar()->showMessage(ok ? tr("Dock screenshots drawn")
                                             : tr("The Dock screenshots could "
                                                  "not be drawn"),
                                          5000);
        emit screenshotsRendered(ok);
    });
}

void MainController::_loadPictures() {
    // Decoded in a worker while the window answers, shown on the UI thread.
    using Pictures = std::pair<QImage, QImage>;
    Background::run(
        QThreadPool::globalInstance(), this,
        [iconFile = resource("icon4on.icns")] {
            return Pictures{IcnsImage::read(iconFile, 128), DropPlaceholder::load()};
        },
        [this](const Pictures& pictures) {
            QApplication::setWindowIcon(QIcon(QPixmap::fromImage(pictures.first)));
            window_->setWindowIcon(QApplication::windowIcon());
            if (about_) {
                about_->about_icon->setPixmap(QPixmap::fromImage(pictures.first));
            }
            welcome_->setPicture(pictures.second);
        });
}
