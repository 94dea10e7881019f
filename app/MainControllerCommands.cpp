// The theme commands: new, open, close, back up the installed Dock, generate
// from a folder, apply, restore, the Dock style, and the other windows.
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>

#include "app/ApplyRunner.h"
#include "app/Background.h"
#include "app/BundleFilter.h"
#include "app/Dialogs.h"
#include "app/DockVerifier.h"
#include "app/EditorView.h"
#include "app/MainController.h"
#include "app/ThemeExporter.h"
#include "app/ThemeSession.h"
#include "app/UpdateSheet.h"
#include "app/UserDefaults.h"
#include "image/ImageFile.h"
#include "image/ThemePreview.h"
#include "model/BundleBuilder.h"
#include "model/MiscKit.h"
#include "model/OriginalDockManifest.h"
#include "model/ThemeCheck.h"
#include "platform/BundleFolder.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "platform/SystemPaths.h"
#include "privileged/ApplyToolOutcome.h"
#include "privileged/SXAuthentication.h"
#include "ui_MainWindow.h"

namespace {

constexpr const char* kExtension = "docktheme";

std::string text(const QString& string) {
    return string.toStdString();
}

// The name the status bar and an apply report a theme by.
QString themeName(const DockTheme* theme) {
    const std::optional<std::string> name = theme ? theme->dockName() : std::nullopt;
    return name && !name->empty() ? QString::fromStdString(*name)
                                  : QCoreApplication::translate("MainController", "the theme");
}

// path without the slashes a file manager may leave at its end.
std::string bundlePath(std::string path) {
    while (path.size() > 1 && path.ends_with('/')) {
        path.pop_back();
    }
    return path;
}

}  // namespace

void MainController::btn_toolbar_newtheme() {
    if (!_mayDropTheme()) {
        return;
    }
    savePanelDidEnd(dialogs_.runSavePanel(window_, {QString(), QString(), tr("MyNewDock")}));
}

void MainController::savePanelDidEnd(const std::optional<QString>& chosen) {
    if (!chosen) {
        return;
    }
    if (_newThemeAt(*chosen, true)) {
        _fadeToTab(kInformationTab);
    }
}

// Makes the bundle "<chosen>.docktheme" from the template, named after the
// chosen file name, whole under a temporary name and then under its own, and
// makes it the open theme; on failure says why, leaves nothing behind and
// leaves the theme open before.
bool MainController::_newThemeAt(const QString& chosen, bool isNewTheme,
                                 const QString& imagesFrom) {
    QString path = QStringLiteral("%1.%2").arg(chosen, kExtension);
    QString name = QFileInfo(chosen).fileName();
    BundleBuilder::Naming naming{text(name), std::nullopt};
    if (isNewTheme) {
        naming.author = SystemPaths::fullUserName();
    }
    const std::string destination = text(QFileInfo(path).path());
    BundleBuilder::removeLeftovers(destination);
    // The name goes to disk with the bundle, so the theme is named so however it is left.
    std::string why = BundleBuilder::make(destination, text(QFileInfo(path).fileName()),
                                          imagesFrom.isEmpty() ? "" : text(imagesFrom), naming);
    auto refuse = [this, &path](std::string why) {
        if (!why.ends_with('.')) {
            why += '.';
        }
        dialogs_.alert(
            window_, tr("Theme Not Created"), tr("OK"),
            tr("The theme could not be created at %1. %2").arg(path, QString::fromStdString(why)));
        return false;
    };
    if (!why.empty()) {
        return refuse(why);
    }
    std::unique_ptr<DockTheme> theme = DockTheme::initWithBundleAtPath(text(path));
    if (!theme) {
        return refuse(tr("It could not be opened once made").toStdString());
    }
    // Its own small picture, so the collection tells it from the stock theme.
    if (std::string whyNot; !ThemePreview::renderMicroPreview(*theme, &whyNot)) {
        Log::write("The new theme keeps the stock micro preview: " + whyNot);
    }
    session_->adopt(std::move(theme));
    return true;
}

void MainController::btn_toolbar_opentheme() {
    Dialogs::OpenPanel panel;
    panel.title = tr("Open .docktheme file");
    panel.prompt = tr("Open Theme");
    panel.fileTypes = {kExtension};
    panel.themeArchives = true;
    std::optional<QString> chosen = dialogs_.runOpenPanel(window_, panel);
    if (!chosen) {
        dialogs_.beep();
        return;
    }
    if (!openArchive(*chosen)) {
        _openThemeAtPath(*chosen);
    }
}

bool MainController::_openThemeAtPath(const std::optional<QString>& path) {
    if (!path) {
        Log::write("Request to open theme at path (null)");
        _fadeToTab(kWelcomeTab);
        return true;
    }
    return _openThemeAtPath(text(*path));
}

bool MainController::_openThemeAtPath(const std::string& given) {
    const std::string path = bundlePath(given);
    Log::write("Request to open theme at path " + Log::escaped(path));
    // The theme open now stays open and shown when the new one fails.
    std::string why;
    switch (session_->open(path, &why)) {
        case ThemeSession::Opening::Defective:
            Log::write("Docktheme is defective");
            _showDefectiveAlert(why);
            return false;
        case ThemeSession::Opening::Cancelled:
            return false;
        case ThemeSession::Opening::Opened:
            break;
    }
    Log::write("Docktheme loaded");
    bool editor = defaults_->isSet(UserDefaults::kStartWithEditor);
    int tab = editor ? kEditorTab : kInformationTab;
    ui_->popup_showEditorOrInfo->setCurrentIndex(ui_->popup_showEditorOrInfo->findData(tab));
    _fadeToTab(tab);
    return true;
}

bool MainController::openFile(const QString& path) {
    Log::write("Request to open " + Log::escaped(text(path)));
    if (openArchive(path)) {
        return true;
    }
    const std::string bundle = bundlePath(text(path));
    if (std::filesystem::path(bundle).extension() == std::string(".") + kExtension) {
        Log::write("Opening " + Log::escaped(bundle));
        return _openThemeAtPath(bundle);
    }
    Log::write("File not supported");
    return false;
}

bool MainController::openArchive(const QString& path) {
    if (!BundleFilter::isThemeArchive(path)) {
        return false;
    }
    Log::write("Importing " + Log::escaped(text(path)));
    emit archiveImportWanted(path);
    return true;
}

void MainController::openImportedTheme(const QString& archive, const std::string& bundle) {
    const bool opened = openTheme(bundle);
    const QString name = opened ? themeName(session_->theme())
                                : QString::fromStdString(FileManager::lastComponent(bundle));
    window_->statusBar()->showMessage(
        (opened ? tr("Imported %1 from %2 into the collection; the collection's copy is open")
                : tr("Imported %1 from %2 into the collection"))
            .arg(name, _shownPath(text(archive))));
}

void MainController::_updateRecentMenu() {
    QMenu* menu = ui_->menu_recent;
    menu->clear();
    std::vector<std::string> recent = defaults_->recentThemes();
    const std::size_t stored = recent.size();
    std::erase_if(recent, [](const std::string& path) {
        std::error_code failed;
        return !std::filesystem::is_directory(path, failed);
    });
    if (recent.size() != stored) {
        defaults_->setRecentThemes(recent);
    }
    for (const std::string& path : recent) {
        QAction* item = menu->addAction(_shownPath(path));
        connect(item, &QAction::triggered, this, [this, path] {
            if (!_openThemeAtPath(path)) {
                dialogs_.beep();
            }
        });
    }
    menu->addSeparator();
    QAction* clear = menu->addAction(tr("Clear Menu"));
    clear->setEnabled(!recent.empty());
    connect(clear, &QAction::triggered, this, [this] { btn_clearRecentMenu(); });
}

void MainController::btn_clearRecentMenu() {
    // The menu's items go when it opens next: this one is being triggered now.
    defaults_->setRecentThemes({});
}

void MainController::_showDefectiveAlert(const std::string& why) {
    QString reason = why.empty() ? tr("it is damaged") : QString::fromStdString(why);
    dialogs_.alert(window_, tr("Defective file"), tr("OK"),
                   tr("This theme can't be opened: %1.").arg(reason));
}

void MainController::btn_closeTheme() {
    if (!session_->theme()) {
        dialogs_.beep();
        return;
    }
    if (session_->close()) {
        _openThemeAtPath(std::nullopt);
    }
}

void MainController::btn_exportTheme() {
    if (!session_->theme()) {
        dialogs_.beep();
        return;
    }
    if (_mayDropTheme()) {
        const QString name = themeName(session_->theme());
        ThemeExporter::exportBundle(
            window_, dialogs_, session_->theme()->dockPath(), this,
            [this, name](const std::optional<QString>& archive) {
                if (archive) {
                    window_->statusBar()->showMessage(
                        tr("Exported %1 as %2").arg(name, _shownPath(text(*archive))));
                }
            });
    }
}

bool MainController::_mayDropTheme() {
    return session_->mayClose();
}

void MainController::btn_backupMyCurrentDock() {
    std::optional<QString> chosen =
        dialogs_.runSavePanel(window_, {QString(), QString(), tr("My Current Dock")});
    if (!chosen) {
        dialogs_.beep();
        return;
    }
    std::string folder = SystemPaths::dockResourcesFolder();
    if (!MiscKit::sharedFiles().holdsDockImages(folder)) {
        dialogs_.alert(window_, tr("Theme Not Created"), tr("OK"),
                       tr("The theme could not be created: there are no Dock images "
                          "in %1.")
                           .arg(QString::fromStdString(folder)));
        return;
    }
    if (!_mayDropTheme()) {
        return;
    }
    if (!_newThemeAt(*chosen, false, QString::fromStdString(folder))) {
        return;
    }
    _fadeToTab(kInformationTab);
    dialogs_.alert(window_, tr("Backup Done!"), tr("OK"),
                   tr("I've backupped your current dock style at: %1.").arg(*chosen));
}

void MainController::btn_generateThemeFromFolder() {
    Dialogs::OpenPanel panel;
    panel.prompt = tr("Choose");
    panel.title = tr("Choose a folder with images to import");
    panel.canChooseDirectories = true;
    panel.canChooseFiles = false;
    std::optional<QString> folder = dialogs_.runOpenPanel(window_, panel);
    if (!folder) {
        return;
    }
    QDir listing(*folder);
    if (listing.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
            .isEmpty()) {
        dialogs_.alert(window_, tr("Empty Directory!"), tr("OK"),
                       tr("There is not any file in %1.").arg(*folder));
        return;
    }
    _generateThemeFrom(*folder);
}

void MainController::_generateThemeFrom(const QString& folder) {
    std::optional<QString> chosen = dialogs_.runSavePanel(
        window_, {tr("Choose a name for theme"), QString(), tr("My Imported Theme")});
    if (!chosen) {
        dialogs_.beep();
        return;
    }
    if (!_mayDropTheme()) {
        return;
    }
    if (!_newThemeAt(*chosen, false, folder)) {
        return;
    }
    _fadeToTab(kInformationTab);
    dialogs_.alert(window_, tr("Theme Created!"), tr("OK"),
                   tr("Your theme has been created from folder %1.").arg(folder));
}

bool MainController::isApplying() const {
    return apply_->isRunning();
}

bool MainController::openTheme(const std::string& path) {
    if (!_openThemeAtPath(path)) {
        return false;
    }
    btn_showMainWindow();
    _fadeToTab(kInformationTab);
    return true;
}

bool MainController::changeThemeFolder(const std::string& path,
                                       const std::function<bool()>& change) {
    const bool shown = session_->isAt(path);
    const bool changed = session_->changeFolder(path, change);
    if (shown && !session_->theme()) {
        _openThemeAtPath(std::nullopt);
    }
    return changed;
}

bool MainController::mayReadThemeFolder(const std::string& path) {
    return !session_->isAt(path) || _mayDropTheme();
}

void MainController::applyTheme(const std::string& path) {
    // The open theme's own folder is checked when it is the one asked for.
    _checkThenApply(session_->isAt(path) ? std::nullopt : std::optional<std::string>(path));
}

void MainController::btn_change_applyTheme() {
    if (!session_->theme()) {
        dialogs_.beep();
        return;
    }
    _checkThenApply(std::nullopt);
}

void MainController::btn_checkTheme() {
    if (!session_->theme() || checking_) {
        dialogs_.beep();
        return;
    }
    _checkBundle(std::nullopt, [this](const CheckedBundle& checked) {
        if (checked.findings.empty()) {
            dialogs_.alert(window_, tr("Theme Check"), tr("OK"),
                           tr("Nothing to fix: the Dock can show every image of "
                              "this theme as it is."));
            return;
        }
        _showFindings(checked.findings, false, true);
    });
}

void MainController::btn_restoreDock() {
    if (apply_->isRunning()) {
        dialogs_.beep();
        return;
    }
    std::string why;
    std::unique_ptr<DockTheme> stock = DockTheme::initWithBundleAtPath(DockTheme::fullPath(), &why);
    if (!stock) {
        _showDefectiveAlert(why);
        return;
    }
    verifier_->arm();
    window_->statusBar()->showMessage(tr("Restoring the stock Dock…"));
    apply_->start(
        QString::fromStdString(stock->dockPath()),
        stock->dockName() ? QString::fromStdString(*stock->dockName()) : tr("the stock Dock"),
        ApplyRunner::Run::RestoreStock);
}

bool MainController::originalImagesKept() {
    return OriginalDockManifest::readFromRoot(SystemPaths::systemRoot()).has_value();
}

void MainController::btn_restoreOriginalDock() {
    if (apply_->isRunning() || !originalImagesKept()) {
        dialogs_.beep();
        return;
    }
    verifier_->arm();
    window_->statusBar()->showMessage(tr("Restoring the Dock's original images…"));
    apply_->startRestoringOriginals();
}

void MainController::_applyEnded(ApplyRunner::Run run, const QString& themeName, int status,
                                 int exitStatus) {
    using Run = ApplyRunner::Run;
    const QString title = run == Run::Apply ? tr("Theme Not Applied") : tr("Dock Not Restored");
    const std::optional<std::string> why = ApplyToolOutcome::whyFailed(status, exitStatus);
    const QString problem =
        why ? QString::fromStdString(ApplyToolOutcome::sentence(*why)) : QString();
    if (!problem.isEmpty()) {
        window_->statusBar()->clearMessage();
        dialogs_.alert(window_, title, tr("OK"), problem);
        emit applyEnded(false);
        return;
    }
    if (run == Run::RestoreOriginal) {
        window_->statusBar()->showMessage(tr("The Dock's original images are back"), 5000);
        dialogs_.alert(window_, tr("Dock Restored!"), tr("Thanks!"),
                       tr("The Dock has the images it had before the first theme "
                          "again."));
        QMap<QString, QString> kept;
        for (const auto& entry : OriginalDockManifest::readFromRoot(SystemPaths::systemRoot())
                                     .value_or(std::vector<OriginalDockManifest::Entry>{})) {
            if (entry.kind == OriginalDockManifest::Kind::Image) {
                kept.insert(QString::fromStdString(entry.name),
                            QString::fromStdString(entry.sha256));
            }
        }
        verifier_->verifyImages(kept, themeName);
        emit applyEnded(true);
        return;
    }
    if (run == Run::RestoreStock) {
        window_->statusBar()->showMessage(tr("The stock Dock is back"), 5000);
        dialogs_.alert(window_, tr("Dock Restored!"), tr("Thanks!"),
                       tr("Welcome back to Apple default 10.5 Dock style! Have a nice "
                          "day"));
    } else {
        window_->statusBar()->showMessage(tr("Applied %1").arg(themeName));
    }
    verifier_->verify(apply_->bundle(), themeName);
    emit applyEnded(true);
}

void MainController::_checkBundle(const std::optional<std::string>& other,
                                  std::function<void(const CheckedBundle&)> then) {
    checking_ = true;
    // The open theme's own opened folder: the check reads what the editor shows.
    std::shared_ptr<const BundleFolder> folder =
        other ? nullptr : session_->theme()->bundleFolder();
    const quint64 generation = session_->generation();
    window_->statusBar()->showMessage(tr("Checking the theme…"));
    // Only headers are read, but a stranger's bundle may sit on a slow disk:
    // the window keeps answering.
    Background::run(
        QThreadPool::globalInstance(), this,
        [folder, other] {
            CheckedBundle checked;
            auto check = [](const BundleFolder& bundle) {
                return ThemeCheck::check(bundle, MiscKit::sharedFiles(), ImageFile::readerSize);
            };
            if (folder) {
                checked.findings = check(*folder);
                return checked;
            }
            // A bundle that does not open gets the check's errors, which say why.
            std::unique_ptr<DockTheme> theme = DockTheme::initWithBundleAtPath(*other);
            checked.findings =
                theme ? check(*theme->bundleFolder())
                      : ThemeCheck::check(*other, MiscKit::sharedFiles(), ImageFile::readerSize);
            checked.path = *other;
            checked.name = themeName(theme.get());
            return checked;
        },
        [this, generation, other, then](CheckedBundle checked) {
            checking_ = false;
            window_->statusBar()->clearMessage();
            if (!other) {
                // A theme closed, opened or read again meanwhile gets no findings of the one
                // before.
                if (!session_->theme() || session_->generation() != generation) {
                    return;
                }
                checked.path = session_->theme()->dockPath();
                checked.name = themeName(session_->theme());
            }
            then(checked);
        });
}

void MainController::_checkThenApply(const std::optional<std::string>& other) {
    if (apply_->isRunning() || checking_) {
        dialogs_.beep();
        return;
    }
    const bool openTheme = !other;
    _checkBundle(other, [this, openTheme](const CheckedBundle& checked) {
        if (checked.findings.empty() || _showFindings(checked.findings, true, openTheme)) {
            _startApply(checked.path, checked.name);
        }
    });
}

bool MainController::_showFindings(const std::vector<ThemeFinding>& findings, bool forApply,
                                   bool openTheme) {
    const bool errors = ThemeCheck::hasError(findings);
    const QString warningsOnly =
        tr("The theme can be applied, but the Dock may not show it as meant.");
    Dialogs::FindingsSheet sheet;
    sheet.findings = findings;
    if (!forApply) {
        sheet.title = tr("Theme Check");
        sheet.message = errors ? tr("The Dock can't take this theme until the errors "
                                    "below are fixed.")
                               : warningsOnly;
        sheet.closeButton = tr("OK");
    } else if (errors) {
        sheet.title = tr("Theme Not Applied");
        sheet.message =
            tr("The Dock can't take this theme: fix the errors below and "
               "apply it again. The Dock was not changed.");
        sheet.closeButton = tr("OK");
    } else {
        sheet.title = tr("Apply Anyway?");
        sheet.message = warningsOnly;
        sheet.proceedButton = tr("Apply Anyway");
    }
    const Dialogs::FindingsAnswer answer = dialogs_.showFindings(window_, sheet);
    if (openTheme && answer.shown && *answer.shown >= 0 &&
        static_cast<std::size_t>(*answer.shown) < findings.size()) {
        // The finding's slot, shown selected in the editor view, when the theme has one.
        if (editor_->showKey(findings[static_cast<std::size_t>(*answer.shown)].key)) {
            btn_showEditorDock(kEditorTab);
        }
    }
    return answer.proceed && !errors;
}

void MainController::_startApply(const std::string& path, const QString& name) {
    verifier_->arm();
    if (defaults_->isSet(UserDefaults::kAutoDockStyle)) {
        DockStyle style =
            dockStyleAt(ui_->set_dock_style->currentIndex()).value_or(DockStyle::ThreeD);
        MiscKit::setCurrentDock(style);
        MiscKit::killdock();
    }
    window_->statusBar()->showMessage(tr("Applying %1…").arg(name));
    apply_->start(QString::fromStdString(path), name, ApplyRunner::Run::Apply);
}

void MainController::btn_setDockStyleTo(DockStyle style) {
    ui_->set_dock_style->setCurrentIndex(indexOf(style));
    MiscKit::setCurrentDock(style);
}

void MainController::btn_browseCollection() {
    emit collectionWanted();
}

void MainController::btn_openBatchConverter() {
    emit batchWanted();
}

void MainController::btn_checkUpdateForTheme() {
    const DockTheme* theme = session_->theme();
    if (!theme || theme->dockAppcast().value_or("").empty()) {
        dialogs_.beep();
        return;
    }
    _makeProgressWindow();
    const std::string name = theme->dockName().value_or("");
    progress_->start(theme->dockPath(),
                     QString::fromStdString(
                         name.empty() ? FileManager::lastComponent(theme->dockPath()) : name));
}

void MainController::btn_checkUpdateForTheme_stop() {
    if (progress_) {
        progress_->stop();
    }
}

void MainController::_noteRecentTheme() {
    std::error_code failed;
    const std::filesystem::path path =
        std::filesystem::absolute(session_->theme()->dockPath(), failed);
    if (!failed) {
        defaults_->addRecentTheme(path.lexically_normal().string());
    }
}
