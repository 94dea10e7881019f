#include "app/CollectionController.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>

#include "app/Background.h"
#include "app/BundleFilter.h"
#include "app/CollectionModel.h"
#include "app/CollectionUpdates.h"
#include "app/Dialogs.h"
#include "app/ThemeExporter.h"
#include "app/ThemeHost.h"
#include "image/ImageFile.h"
#include "model/ArchiveImport.h"
#include "model/DockTheme.h"
#include "model/MiscKit.h"
#include "model/ThemeCheck.h"
#include "model/ThemeCollection.h"
#include "platform/Descriptor.h"
#include "platform/FileManager.h"
#include "platform/FolderTree.h"
#include "platform/Log.h"
#include "ui_CollectionWindow.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
// An import that ends sooner shows no progress dialog.
constexpr int kProgressDelayMilliseconds = 500;

QString shown(const fs::path& path) {
    return QString::fromStdString(path.string());
}

QString reasonOf(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool anythingAt(const fs::path& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type() != fs::file_type::not_found;
}

// The first local file of a drop that Add takes (a bundle or a theme
// archive), or nothing.
std::optional<QString> droppedTheme(const QMimeData* data) {
    for (const QUrl& url : data ? data->urls() : QList<QUrl>()) {
        const QString path = url.toLocalFile();
        if (BundleFilter::isBundle(path, {QStringLiteral("docktheme")}) ||
            BundleFilter::isThemeArchive(path)) {
            return path;
        }
    }
    return std::nullopt;
}

}  // namespace

struct CollectionController::Import {
    std::shared_ptr<std::atomic<bool>> cancelled = std::make_shared<std::atomic<bool>>(false);
    QFuture<void> work;
    QPointer<QProgressDialog> progress;       // the collection window's child, which may go first
    std::shared_ptr<ArchiveImport> unpacked;  // its hidden folder in the collection
};

CollectionController::CollectionController(ThemeHost& host, Dialogs& dialogs, QObject* parent)
    : QObject(parent),
      collection_window(new QWidget(nullptr, Qt::Window)),
      controller(&host),
      ui_(std::make_unique<Ui::CollectionWindow>()),
      dialogs_(dialogs) {
    QWidget* window = collection_window;
    ui_->setupUi(window);
    listOfThemes = ui_->listOfThemes;
    btn_remove = ui_->btn_remove;
    btn_edit = ui_->btn_edit;
    stat_collection = ui_->stat_collection;
    listOfDirectory = new CollectionModel(this);
    connect(ui_->btn_add, &QPushButton::clicked, this, [this] { btn_addTheme(); });
    connect(btn_remove, &QPushButton::clicked, this, [this] { btn_removeTheme(); });
    connect(btn_edit, &QPushButton::clicked, this, [this] { btn_editTheme(); });
    apply_ = new QAction(tr("Apply Theme"), window);
    apply_->setShortcut(QKeySequence(QStringLiteral("Ctrl+Return")));
    apply_->setShortcutContext(Qt::WindowShortcut);
    window->addAction(apply_);
    connect(apply_, &QAction::triggered, this, [this] { btn_applyTheme(); });
    connect(ui_->btn_apply, &QPushButton::clicked, apply_, &QAction::trigger);
    connect(ui_->btn_export, &QPushButton::clicked, this, [this] { btn_exportTheme(); });
    connect(ui_->btn_checkUpdates, &QPushButton::clicked, this, [this] { btn_checkUpdates(); });
    connect(ui_->btn_update, &QPushButton::clicked, this, [this] { btn_updateTheme(); });
    updates_ = new CollectionUpdates(this);
    connect(updates_, &CollectionUpdates::progress, this, [this](int done, int total) {
        if (done < total) {
            stat_collection->setText(
                tr("Checking for updates: %1 of %2 themes…").arg(done).arg(total));
        }
    });
    connect(updates_, &CollectionUpdates::checked, this,
            [this](const std::string& bundle, const UpdateCheck& result) {
                listOfDirectory->setUpdate(bundle, result.outcome == UpdateCheck::Outcome::Available
                                                       ? result.item.version
                                                       : QString());
                _updateSelectionCommands();
            });
    connect(updates_, &CollectionUpdates::finished, this, [this](int available, int failed) {
        QString text =
            tr("%n theme(s), %1 update(s) available", nullptr, listOfDirectory->rowCount())
                .arg(available);
        if (failed > 0) {
            text += tr(", %1 could not be checked").arg(failed);
        }
        stat_collection->setText(text);
    });
    // A double click, or Return, edits the selected theme (the clicked one is selected then).
    connect(listOfThemes, &QListView::activated, this, [this] { btn_editTheme(); });
    auto shortcut = [this, window](const QKeySequence& keys, const std::function<void()>& act) {
        auto* made = new QShortcut(keys, window);
        made->setContext(Qt::WindowShortcut);
        connect(made, &QShortcut::activated, this, act);
    };
    shortcut(QKeySequence(QStringLiteral("Ctrl+Shift+A")), [this] { btn_addTheme(); });
    shortcut(QKeySequence::Delete, [this] { btn_removeTheme(); });
    shortcut(QKeySequence(QStringLiteral("Ctrl+Backspace")), [this] { btn_removeTheme(); });
    shortcut(QKeySequence::Close, [window] { window->close(); });
    window->installEventFilter(this);
    listOfThemes->viewport()->installEventFilter(this);
    listOfThemes->installEventFilter(this);
    awakeFromNib();
    connect(listOfThemes->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { _updateSelectionCommands(); });
}

CollectionController::~CollectionController() {
    for (const std::shared_ptr<Import>& import : imports_) {
        *import->cancelled = true;
        import->work.waitForFinished();
        import->unpacked->discard();
    }
    // A window given to no owner goes with this controller.
    if (!collection_window->parent()) {
        delete collection_window;
    }
}

fs::path CollectionController::collectionFolder() {
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return fs::path(data.toStdString()) / "Velvanto";
}

bool CollectionController::trashEntry(const QString& path) {
    QString where;
    if (!QFile::moveToTrash(path, &where)) {
        return false;
    }
    if (QDir::isAbsolutePath(where)) {
        return true;
    }
    Log::write("No trash folder: " + Log::escaped(path.toStdString()) + " comes back");
    QFile::rename(where, path);
    return false;
}

void CollectionController::awakeFromNib() {
    files().make();
    listOfThemes->setModel(listOfDirectory);
    listOfThemes->setDragDropMode(QAbstractItemView::NoDragDrop);
    // Bundles and theme archives dropped on the list are added (eventFilter).
    listOfThemes->viewport()->setAcceptDrops(true);
    _reloadThemesList();
}

void CollectionController::showWindow() {
    collection_window->show();
    collection_window->raise();
    collection_window->activateWindow();
}

void CollectionController::btn_addTheme() {
    Dialogs::OpenPanel panel;
    panel.title = tr("Choose a theme to add in your collection");
    panel.prompt = tr("Add To Collection");
    panel.fileTypes = {QStringLiteral("docktheme")};
    panel.themeArchives = true;
    if (std::optional<QString> chosen = dialogs_.runOpenPanel(collection_window, panel)) {
        addChosen(*chosen);
    }
}

void CollectionController::addChosen(const QString& chosen) {
    if (BundleFilter::isThemeArchive(chosen)) {
        importArchive(chosen, [](const std::optional<std::string>&) {});
        return;
    }
    // The check's first error says why the Dock can't take it (a theme that
    // opens is checked in its own opened folder); else a theme the editor
    // can't open says why not.
    std::string whyNot;
    std::unique_ptr<DockTheme> theme =
        DockTheme::initWithBundleAtPath(chosen.toStdString(), &whyNot);
    std::optional<std::string> error = ThemeCheck::firstError(
        theme ? ThemeCheck::check(*theme->bundleFolder(), MiscKit::sharedFiles(),
                                  ImageFile::readerSize)
              : ThemeCheck::check(chosen.toStdString(), MiscKit::sharedFiles(),
                                  ImageFile::readerSize));
    if (error) {
        theme.reset();
    }
    if (!theme) {
        dialogs_.alert(collection_window, tr("Invalid theme!"), tr("OK"),
                       tr("%1 is corrupted: %2")
                           .arg(chosen, QString::fromStdString(error.value_or(whyNot + "."))));
        return;
    }
    if (!_existThemeInCollection(*theme)) {
        _addThemeToCollection(chosen);
        return;
    }
    replaceThemeOrNot(askReplace(shown(FileManager::lastComponent(chosen.toStdString()))), chosen);
}

void CollectionController::importArchive(
    const QString& path, const std::function<void(std::optional<std::string>)>& done) {
    const QString archive = shown(FileManager::lastComponent(path.toStdString()));
    auto unpacked = std::make_shared<ArchiveImport>(collectionFolder().string());
    if (!unpacked->valid()) {
        failed(tr("Theme Not Imported"),
               tr("%1 can't be imported: the collection folder %2 can't be written "
                  "(%3).")
                   .arg(archive, shown(collectionFolder()), reasonOf(errno)));
        done(std::nullopt);
        return;
    }
    struct Unpacked {
        std::optional<std::string> name;
        std::string why;
    };
    auto import = std::make_shared<Import>();
    import->unpacked = unpacked;
    import->progress = new QProgressDialog(tr("Importing %1…").arg(archive), tr("Cancel"), 0, 0,
                                           collection_window);
    import->progress->setObjectName(QStringLiteral("import_progress"));
    import->progress->setAccessibleName(tr("Importing the theme"));
    import->progress->setWindowTitle(tr("Import Theme"));
    import->progress->setMinimumDuration(kProgressDelayMilliseconds);
    connect(import->progress, &QProgressDialog::canceled, this,
            [cancelled = import->cancelled] { *cancelled = true; });
    imports_.push_back(import);
    // A statement led by "import" reads to the formatter as a module import.
    const auto work = Background::run(
        QThreadPool::globalInstance(), this,
        [source = path.toStdString(), unpacked, cancelled = import->cancelled] {
            Unpacked result;
            result.name = unpacked->unpack(source, ImageFile::readerSize, &result.why,
                                           [&cancelled] { return cancelled->load(); });
            return result;
        },
        [this, import, archive, done](const Unpacked& unpacked) {
            endImport(import);
            if (!unpacked.name || *import->cancelled) {
                import->unpacked->discard();
                if (!*import->cancelled) {
                    failed(tr("Theme Not Imported"),
                           tr("%1 can't be imported: %2.")
                               .arg(archive, QString::fromStdString(unpacked.why)));
                }
                done(std::nullopt);
                return;
            }
            done(placeImported(archive, *import->unpacked, *unpacked.name));
        });
    import->work = QFuture<void>(work);
}

void CollectionController::replaceThemeOrNot(bool replace, const QString& chosen) {
    if (replace) {
        _addThemeToCollection(chosen);
    }
}

bool CollectionController::_addThemeToCollection(const QString& path) {
    const std::string name = FileManager::lastComponent(path.toStdString());
    const bool replacing = anythingAt(collectionFolder() / name);
    // The open theme may be the entry replaced: the host lets it go first.
    std::optional<QString> why;
    bool ran = false;
    controller->changeThemeFolder((collectionFolder() / name).string(), [&] {
        ran = true;
        if (std::optional<std::string> whyNot = files().add(path.toStdString(), name, replacing)) {
            why = QString::fromStdString(*whyNot);
        }
        return !why;
    });
    if (!ran) {
        return false;  // the user kept the open theme's unsaved edits
    }
    if (why && replacing) {
        failed(tr("Theme Not Replaced"),
               tr("%1 could not be copied into your collection: %2. The theme there "
                  "is kept as it was.")
                   .arg(path, *why));
    } else if (why) {
        failed(tr("Theme Not Added"),
               tr("%1 could not be copied into your collection: %2.").arg(path, *why));
    }
    _reloadThemesList();
    return !why;
}

bool CollectionController::_existThemeInCollection(const DockTheme& theme) const {
    return files().has(FileManager::lastComponent(theme.dockPath()));
}

void CollectionController::btn_removeTheme() {
    std::optional<fs::path> bundle = _currentSelectionThemePath();
    if (!bundle) {
        return;
    }
    // The theme open in the main window is closed there first (its unsaved
    // information asked about); a cancel keeps both.
    controller->changeThemeFolder(bundle->string(), [this, &bundle] {
        if (!moveToTrash(shown(*bundle))) {
            deleteRefusedByTrash(*bundle);
        }
        return !anythingAt(*bundle);
    });
    _reloadThemesList();
}

void CollectionController::btn_editTheme() {
    std::optional<fs::path> bundle = _currentSelectionThemePath();
    if (!bundle) {
        dialogs_.beep();
        return;
    }
    if (controller->openTheme(bundle->string())) {
        collection_window->hide();
    }
}

void CollectionController::btn_applyTheme() {
    std::optional<fs::path> bundle = _currentSelectionThemePath();
    if (!bundle || controller->isApplying()) {
        dialogs_.beep();
        return;
    }
    controller->applyTheme(bundle->string());
    _updateSelectionCommands();
}

void CollectionController::btn_exportTheme() {
    std::optional<fs::path> bundle = _currentSelectionThemePath();
    if (!bundle) {
        dialogs_.beep();
    } else if (controller->mayReadThemeFolder(bundle->string())) {
        ThemeExporter::exportBundle(collection_window, dialogs_, bundle->string(), this);
    }
}

void CollectionController::btn_checkUpdates() {
    if (updates_->isChecking()) {
        dialogs_.beep();
        return;
    }
    std::vector<std::string> bundles;
    for (int row = 0; row < listOfDirectory->rowCount(); ++row) {
        bundles.push_back(listOfDirectory->bundleAt(row));
        listOfDirectory->setUpdate(bundles.back(), QString());
    }
    updates_->checkAll(bundles);
}

void CollectionController::btn_updateTheme() {
    std::optional<fs::path> bundle = _currentSelectionThemePath();
    const UpdateCheck* found = bundle ? updates_->available(bundle->string()) : nullptr;
    if (!found || installer_) {
        dialogs_.beep();
        return;
    }
    const UpdateCheck release = *found;
    if (!release.signedByAuthor &&
        !dialogs_.ask(collection_window, tr("Unsigned Update"), tr("Install"), tr("Cancel"),
                      tr("This update is not signed by its author. Install it "
                         "anyway?"))) {
        return;
    }
    installer_ = new ThemeUpdater(ImageFile::readerSize, this);
    auto* progress =
        new QProgressDialog(tr("Downloading %1 %2…").arg(release.name, release.item.version),
                            tr("Cancel"), 0, 0, collection_window);
    progress->setWindowTitle(tr("Update Theme"));
    progress->setAccessibleName(tr("Updating the theme"));
    progress->setMinimumDuration(kProgressDelayMilliseconds);
    connect(progress, &QProgressDialog::canceled, installer_, &ThemeUpdater::cancel);
    connect(installer_, &ThemeUpdater::progress, progress, [progress](qint64 got, qint64 total) {
        if (total > 0) {
            progress->setRange(0, 1000);
            progress->setValue(static_cast<int>(got * 1000 / total));
        }
    });
    connect(installer_, &ThemeUpdater::installed, this,
            [this, progress, release](bool ok, const QString& why) {
                delete progress;
                installer_->deleteLater();
                installer_ = nullptr;
                if (ok) {
                    updates_->forget(release.bundlePath);
                    listOfDirectory->setUpdate(release.bundlePath, QString());
                } else if (why != QLatin1String("cancelled")) {
                    failed(tr("Theme Not Updated"),
                           tr("The update of %1 was not installed: %2. The theme was "
                              "not changed.")
                               .arg(release.name, why));
                }
                _reloadThemesList();
            });
    installer_->install(release.bundlePath, release.item, !release.signedByAuthor,
                        [this](const std::string& path, const std::function<bool()>& swap) {
                            return controller->changeThemeFolder(path, swap);
                        });
}

std::optional<fs::path> CollectionController::_currentSelectionThemePath() const {
    const QModelIndexList selected = listOfThemes->selectionModel()->selectedIndexes();
    if (selected.size() != 1) {
        return std::nullopt;
    }
    const auto row = static_cast<std::size_t>(selected.first().row());
    return fs::path(listOfDirectory->items().at(row).keyDock()).parent_path();
}

void CollectionController::_reloadThemesList() {
    const ThemeCollection::Listing listing = files().list();
    readable_ = listing.readable;
    std::vector<ImageObjectView> items;
    for (const std::string& bundle : listing.bundles) {
        const std::string micro = bundle + "/preview_micro.png";
        ImageObjectView item;
        item.setPath(micro);
        item.setKeyDock(micro);
        items.push_back(std::move(item));
    }
    listOfDirectory->setItems(std::move(items));
    numberOfItemsInImageBrowser();
    _updateSelectionCommands();  // a new listing selects nothing
}

int CollectionController::numberOfItemsInImageBrowser() {
    const int count = listOfDirectory->rowCount();
    stat_collection->setText(readable_ ? tr("%n theme(s)", nullptr, count)
                                       : tr("0 theme(s): the collection folder "
                                            "can't be read"));
    return count;
}

void CollectionController::recoverLeftovers() {
    files().recoverLeftovers();
}

bool CollectionController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == collection_window && event->type() == QEvent::Hide) {
        listOfDirectory->releaseThumbnails();
    }
    // Tabbing into the list selects the item it marks, so Return and Apply act on what is seen.
    // The view marks its first item itself when none is marked yet, after this filter.
    if (watched == listOfThemes && event->type() == QEvent::FocusIn &&
        !listOfThemes->selectionModel()->hasSelection() && listOfDirectory->rowCount() > 0) {
        const QModelIndex marked = listOfThemes->currentIndex().isValid()
                                       ? listOfThemes->currentIndex()
                                       : listOfDirectory->index(0);
        listOfThemes->selectionModel()->setCurrentIndex(marked,
                                                        QItemSelectionModel::ClearAndSelect);
    }
    // An apply may have started or ended in the main window meanwhile.
    if (watched == collection_window && event->type() == QEvent::WindowActivate) {
        _updateSelectionCommands();
    }
    const QEvent::Type type = event->type();
    if (watched == listOfThemes->viewport() &&
        (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)) {
        auto* drop = static_cast<QDropEvent*>(event);
        std::optional<QString> theme = droppedTheme(drop->mimeData());
        if (!theme) {
            return false;
        }
        // Always a copy: a source that deletes after a move must keep the user's original.
        if (!(drop->possibleActions() & Qt::CopyAction)) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        if (type == QEvent::Drop) {
            addChosen(*theme);
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

ThemeCollection CollectionController::files() {
    return ThemeCollection(collectionFolder().string());
}

std::optional<std::string> CollectionController::placeImported(const QString& archive,
                                                               ArchiveImport& unpacked,
                                                               const std::string& name) {
    const fs::path target = collectionFolder() / name;
    std::optional<std::string> why;
    bool placed = false;
    const bool replace = anythingAt(target);
    if (!replace || askReplace(shown(name))) {
        // The open theme may be the entry replaced: the host lets it go first.
        controller->changeThemeFolder(target.string(), [&] {
            why = files().placeImported(unpacked, name, replace);
            placed = !why;
            return placed;
        });
    }
    // What a cancel left.
    unpacked.discard();
    if (why) {
        failed(tr("Theme Not Imported"),
               tr("%1 can't be imported: %2.").arg(archive, QString::fromStdString(*why)));
    }
    _reloadThemesList();
    return placed ? std::optional<std::string>(target.string()) : std::nullopt;
}

bool CollectionController::askReplace(const QString& name) {
    return dialogs_.ask(
        collection_window, tr("Theme already exist!"), tr("Replace"), tr("Cancel"),
        tr("%1 already exist in your collection. Want you to replace it?").arg(name));
}

void CollectionController::deleteRefusedByTrash(const fs::path& bundle) {
    const QString name = shown(FileManager::lastComponent(bundle));
    if (!anythingAt(bundle)) {
        failed(tr("Theme Not Removed"), tr("%1 is no longer in your collection.").arg(name));
        return;
    }
    if (!dialogs_.ask(collection_window, tr("Theme Not Moved to the Trash"), tr("Delete"),
                      tr("Cancel"),
                      tr("%1 cannot be moved to the trash. Delete it permanently?").arg(name))) {
        return;
    }
    Descriptor folder(::open(bundle.parent_path().c_str(), kFolderFlags));
    if (!folder.valid() || !FolderTree::remove(folder.get(), FileManager::lastComponent(bundle))) {
        failed(tr("Theme Not Removed"),
               tr("%1 could not be deleted (%2).").arg(name, reasonOf(errno)));
    }
}

void CollectionController::failed(const QString& title, const QString& message) {
    dialogs_.alert(collection_window, title, tr("OK"), message);
}

void CollectionController::_updateSelectionCommands() {
    std::optional<fs::path> bundle = _currentSelectionThemePath();
    const bool applicable = bundle && !controller->isApplying();
    apply_->setEnabled(applicable);
    ui_->btn_apply->setEnabled(applicable);
    ui_->btn_update->setEnabled(bundle && updates_->available(bundle->string()));
}

void CollectionController::endImport(const std::shared_ptr<Import>& import) {
    std::erase(imports_, import);
    delete import->progress;
}
