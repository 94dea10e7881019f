#include "app/CollectionController.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <set>

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFile>
#include <QFutureWatcher>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>

#include "app/BundleFilter.h"
#include "app/CollectionModel.h"
#include "app/Dialogs.h"
#include "app/ThemeExporter.h"
#include "app/ThemeHost.h"
#include "app/WindowPlacement.h"
#include "image/ImageFile.h"
#include "model/DockTheme.h"
#include "model/MiscKit.h"
#include "model/ThemeArchive.h"
#include "model/ThemeBundle.h"
#include "model/ThemeCheck.h"
#include "platform/BundleFolder.h"
#include "platform/Descriptor.h"
#include "platform/FileManager.h"
#include "platform/FolderTree.h"
#include "platform/Log.h"
#include "platform/Renaming.h"
#include "platform/WorkFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kExtension = ".docktheme";
constexpr const char* kMicroPreview = "preview_micro.png";
// Hidden folders of the collection: a copy being made, an old theme put aside.
constexpr const char* kIncoming = ".velvanto-incoming-";
constexpr const char* kReplaced = ".velvanto-replaced-";
// What earlier versions left: ".<name>.incoming" and ".<name>.replaced".
constexpr std::string_view kLegacyIncoming = ".incoming";
constexpr std::string_view kLegacyReplaced = ".replaced";
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

bool present(int folder, const std::string& name) {
    struct stat info {};
    return ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

Descriptor openCollection() {
    return Descriptor(::open(CollectionController::collectionFolder().c_str(), kFolderFlags));
}

// The names in an opened folder, "." and ".." aside.
std::vector<std::string> namesIn(int folder) {
    std::vector<FolderTree::Entry> entries;
    std::vector<std::string> names;
    if (folder >= 0 && FolderTree::list(folder, entries)) {
        for (FolderTree::Entry& entry : entries) {
            names.push_back(std::move(entry.name));
        }
    }
    return names;
}

// A new hidden folder of the collection, prefix and six letters, held locked
// while it is open; its name goes to name.
Descriptor makeHidden(const char* prefix, std::string& name) {
    return WorkFolder::make(CollectionController::collectionFolder().string(), prefix, name);
}

// Gives the entry name of holder its own name in the collection when that is
// free (a theme put aside), then removes holder with what is left in it.
void putBackAndRemove(int collection, const std::string& holder, const std::string& name) {
    Descriptor folder(::openat(collection, holder.c_str(), kFolderFlags | O_NOFOLLOW));
    if (folder.valid() && present(folder.get(), name) && !present(collection, name) &&
        Renaming::withoutReplacing(folder.get(), name, collection, name)) {
        Log::write("Put back " + Log::escaped(name) + " from " + Log::escaped(holder));
    }
    Log::write("Removing the leftover " + Log::escaped(holder));
    FolderTree::remove(collection, holder);
}

// Puts the copy name in incoming in place of the collection's entry name, in
// one step where the file system can; the old entry ends up in incoming.
bool swapIn(int collection, int incoming, const std::string& name) {
    // A writer of the old entry (velvanto-theme, say) ends its change before the entry goes.
    const std::shared_ptr<const BundleFolder> old =
        BundleFolder::open((CollectionController::collectionFolder() / name).string());
    const Descriptor held = old ? old->lock() : Descriptor();
    if (old && !held.valid()) {
        return false;
    }
    if (Renaming::exchange(incoming, name, collection, name)) {
        return true;
    }
    std::string asideName;
    Descriptor aside = errno == EOPNOTSUPP ? makeHidden(kReplaced, asideName) : Descriptor();
    if (!aside.valid()) {
        return false;
    }
    // Two renames: the old entry waits in a hidden folder, which the next
    // start puts back should the program end between them.
    bool placed = ::renameat(collection, name.c_str(), aside.get(), name.c_str()) == 0;
    const int saved = errno;
    if (placed && !Renaming::withoutReplacing(incoming, name, collection, name)) {
        placed = false;
        if (::renameat(aside.get(), name.c_str(), collection, name.c_str()) != 0) {
            return false;  // the old entry stays aside, for the next start
        }
    }
    FolderTree::remove(collection, asideName);
    errno = saved;
    return placed;
}

// Why the theme can't be copied whole: an image its table names that is not a
// regular file; nothing when every one is. The theme was checked as it was
// opened: its items name the images it found.
// Whether the copy name of incoming is a whole theme, judged from what the
// copy wrote (files) and its Info.plist: no second walk over it. Why not, or nothing.
std::optional<std::string> wholeCopy(int incoming, const std::string& name, const std::string& path,
                                     const std::vector<std::string>& files) {
    Descriptor copy(::openat(incoming, name.c_str(), kFolderFlags | O_NOFOLLOW));
    std::optional<PlistValue> info =
        copy.valid() ? ThemeBundle::readInfo(copy.get()) : std::nullopt;
    if (!info) {
        return std::string("it has no readable Info.plist");
    }
    const std::set<std::string> copied(files.begin(), files.end());
    std::string whyNot;
    auto entryAt = [&copied](const std::string& relative) {
        return copied.count(relative) ? BundleFolder::Entry::Regular : BundleFolder::Entry::None;
    };
    if (!ThemeBundle::check(path, entryAt, *info, &whyNot)) {
        return whyNot;
    }
    return std::nullopt;
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
    QFutureWatcherBase* watcher = nullptr;
    QPointer<QProgressDialog> progress;  // the collection window's child, which may go first
    std::string incoming;                // the hidden folder's name in the collection
};

CollectionController::CollectionController(QWidget* window, ThemeHost& host, Dialogs& dialogs,
                                           QObject* parent)
    : QObject(parent), collection_window(window), controller(&host), dialogs_(dialogs) {
    listOfThemes = window->findChild<QListView*>(QStringLiteral("listOfThemes"));
    btn_remove = window->findChild<QPushButton*>(QStringLiteral("btn_remove"));
    btn_edit = window->findChild<QPushButton*>(QStringLiteral("btn_edit"));
    stat_collection = window->findChild<QLabel*>(QStringLiteral("stat_collection"));
    auto* add = window->findChild<QPushButton*>(QStringLiteral("btn_add"));
    listOfDirectory = new CollectionModel(this);
    WindowPlacement::centerOnOwnerWhenFirstShown(window);
    connect(add, &QPushButton::clicked, this, [this] { btn_addTheme(); });
    connect(btn_remove, &QPushButton::clicked, this, [this] { btn_removeTheme(); });
    connect(btn_edit, &QPushButton::clicked, this, [this] { btn_editTheme(); });
    connect(window->findChild<QPushButton*>(QStringLiteral("btn_export")), &QPushButton::clicked,
            this, [this] { btn_exportTheme(); });
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
    awakeFromNib();
}

CollectionController::~CollectionController() {
    const Descriptor collection = openCollection();
    for (const std::shared_ptr<Import>& import : imports_) {
        *import->cancelled = true;
        import->watcher->waitForFinished();
        FolderTree::remove(collection.get(), import->incoming);
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
    std::error_code error;
    if (!anythingAt(collectionFolder())) {
        fs::create_directories(collectionFolder(), error);
    }
    listOfThemes->setModel(listOfDirectory);
    listOfThemes->setDragDropMode(QAbstractItemView::NoDragDrop);
    // Bundles and theme archives dropped on the list are added (eventFilter).
    listOfThemes->viewport()->setAcceptDrops(true);
    _reloadThemesList();
}

void CollectionController::btn_addTheme() {
    Dialogs::OpenPanel panel;
    panel.title = QStringLiteral("Choose a theme to add in your collection");
    panel.prompt = QStringLiteral("Add To Collection");
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
        dialogs_.alert(collection_window, QStringLiteral("Invalid theme!"), QStringLiteral("OK"),
                       QStringLiteral("%1 is corrupted: %2")
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
    std::string incomingName;
    auto incoming = std::make_shared<Descriptor>(makeHidden(kIncoming, incomingName));
    if (!incoming->valid()) {
        failed(QStringLiteral("Theme Not Imported"),
               QStringLiteral("%1 can't be imported: the collection folder %2 can't be written "
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
    import->incoming = incomingName;
    import->progress = new QProgressDialog(QStringLiteral("Importing %1\u2026").arg(archive),
                                           QStringLiteral("Cancel"), 0, 0, collection_window);
    import->progress->setObjectName(QStringLiteral("import_progress"));
    import->progress->setWindowTitle(QStringLiteral("Import Theme"));
    import->progress->setMinimumDuration(kProgressDelayMilliseconds);
    connect(import->progress, &QProgressDialog::canceled, this,
            [cancelled = import->cancelled] { *cancelled = true; });
    auto* watcher = new QFutureWatcher<Unpacked>(this);
    import->watcher = watcher;
    imports_.push_back(import);
    connect(watcher, &QFutureWatcher<Unpacked>::finished, this,
            [this, watcher, import, archive, done] {
                const Unpacked unpacked = watcher->result();
                watcher->deleteLater();
                endImport(import);
                if (!unpacked.name || *import->cancelled) {
                    Descriptor collection = openCollection();
                    FolderTree::remove(collection.get(), import->incoming);
                    if (!*import->cancelled) {
                        failed(QStringLiteral("Theme Not Imported"),
                               QStringLiteral("%1 can't be imported: %2.")
                                   .arg(archive, QString::fromStdString(unpacked.why)));
                    }
                    done(std::nullopt);
                    return;
                }
                done(placeImported(archive, import->incoming, *unpacked.name));
            });
    const std::string folder = (collectionFolder() / incomingName).string();
    watcher->setFuture(QtConcurrent::run(
        [source = path.toStdString(), incoming, folder, cancelled = import->cancelled] {
            Unpacked unpacked;
            unpacked.name = ThemeArchive::extract(
                source, incoming->get(), folder, MiscKit::sharedFiles(), ImageFile::readerSize,
                &unpacked.why, [&cancelled] { return cancelled->load(); });
            return unpacked;
        }));
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
        why = installBundle(path.toStdString(), name);
        return !why;
    });
    if (!ran) {
        return false;  // the user kept the open theme's unsaved edits
    }
    if (why && replacing) {
        failed(QStringLiteral("Theme Not Replaced"),
               QStringLiteral("%1 could not be copied into your collection: %2. The theme there "
                              "is kept as it was.")
                   .arg(path, *why));
    } else if (why) {
        failed(QStringLiteral("Theme Not Added"),
               QStringLiteral("%1 could not be copied into your collection: %2.").arg(path, *why));
    }
    _reloadThemesList();
    return !why;
}

bool CollectionController::_existThemeInCollection(const DockTheme& theme) const {
    const fs::path name = FileManager::lastComponent(theme.dockPath());
    std::error_code error;
    fs::directory_iterator entry(collectionFolder(), error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        if (entry->path().filename() == name) {
            return true;
        }
    }
    return false;
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

void CollectionController::btn_exportTheme() {
    std::optional<fs::path> bundle = _currentSelectionThemePath();
    if (!bundle) {
        dialogs_.beep();
    } else if (controller->mayReadThemeFolder(bundle->string())) {
        ThemeExporter::exportBundle(collection_window, dialogs_, bundle->string(), this);
    }
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
    std::vector<ImageObjectView> items;
    std::error_code error;
    fs::directory_iterator entry(collectionFolder(), error);
    readable_ = !error;
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const fs::path bundle = entry->path();
        if (bundle.extension() != kExtension || !FileManager::isDirectory(bundle)) {
            continue;
        }
        giveMicroPreview(bundle.filename().string());
        const fs::path micro = bundle / kMicroPreview;
        ImageObjectView item;
        item.setPath(micro.string());
        item.setKeyDock(micro.string());
        items.push_back(std::move(item));
    }
    // By name, as the Mac's file system lists a folder.
    std::sort(items.begin(), items.end(), [](const ImageObjectView& a, const ImageObjectView& b) {
        return a.path() < b.path();
    });
    listOfDirectory->setItems(std::move(items));
    numberOfItemsInImageBrowser();
}

int CollectionController::numberOfItemsInImageBrowser() {
    const int count = listOfDirectory->rowCount();
    stat_collection->setText(readable_ ? QStringLiteral("%1 theme(s)").arg(count)
                                       : QStringLiteral("0 theme(s): the collection folder "
                                                        "can't be read"));
    return count;
}

void CollectionController::recoverLeftovers() {
    // What a killed run left; a copy still being made holds its folder locked.
    WorkFolder::removeLeftovers(collectionFolder().string(), kIncoming);
    Descriptor collection = openCollection();
    for (const std::string& name : namesIn(collection.get())) {
        std::string_view leftover(name);
        if (leftover.starts_with(kReplaced)) {
            Descriptor holder(::openat(collection.get(), name.c_str(), kFolderFlags | O_NOFOLLOW));
            for (const std::string& inside : namesIn(holder.get())) {
                putBackAndRemove(collection.get(), name, inside);
            }
            FolderTree::remove(collection.get(), name);
        } else if (leftover.starts_with('.') && leftover.ends_with(kLegacyIncoming)) {
            Log::write("Removing the leftover " + Log::escaped(name));
            FolderTree::remove(collection.get(), name);
        } else if (leftover.starts_with('.') && leftover.ends_with(kLegacyReplaced) &&
                   leftover.size() > kLegacyReplaced.size() + 1) {
            // The old theme is the entry itself: it goes back under its name.
            std::string theme(leftover.substr(1, leftover.size() - 1 - kLegacyReplaced.size()));
            if (!present(collection.get(), theme) &&
                Renaming::withoutReplacing(collection.get(), name, collection.get(), theme)) {
                Log::write("Put back " + Log::escaped(theme) + " from " + Log::escaped(name));
            } else {
                Log::write("Removing the leftover " + Log::escaped(name));
                FolderTree::remove(collection.get(), name);
            }
        }
    }
}

bool CollectionController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == collection_window && event->type() == QEvent::Hide) {
        listOfDirectory->releaseThumbnails();
    }
    const QEvent::Type type = event->type();
    if (watched == listOfThemes->viewport() &&
        (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)) {
        auto* drop = static_cast<QDropEvent*>(event);
        std::optional<QString> theme = droppedTheme(drop->mimeData());
        if (!theme) {
            return false;
        }
        drop->acceptProposedAction();
        if (type == QEvent::Drop) {
            addChosen(*theme);
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void CollectionController::giveMicroPreview(const std::string& name) {
    const fs::path bundle = collectionFolder() / name;
    struct stat entry {};
    struct stat opened {};
    // A link is never written into; the folder opened must be the one looked at.
    if (::lstat(bundle.c_str(), &entry) != 0 || !S_ISDIR(entry.st_mode)) {
        return;
    }
    std::shared_ptr<const BundleFolder> folder = BundleFolder::open(bundle.string());
    if (!folder || ::fstat(folder->fd(), &opened) != 0 || opened.st_dev != entry.st_dev ||
        opened.st_ino != entry.st_ino ||
        folder->entryAt(kMicroPreview) != BundleFolder::Entry::None) {
        return;
    }
    const fs::path fallback = fs::path(DockTheme::fullPath()) / kMicroPreview;
    Descriptor stock(
        FileManager::openRegularFile(fallback, true, AT_FDCWD, ThemeBundle::kMaxImageBytes));
    const bool copied = stock.valid() && folder->copyFrom(stock.get(), kMicroPreview,
                                                          ThemeBundle::kMaxImageBytes, false);
    Log::write("Copied " + Log::escaped(folder->pathOf(kMicroPreview)) + " - " +
               (copied ? "1" : "0"));
}

std::optional<QString> CollectionController::installBundle(const std::string& source,
                                                           const std::string& name) {
    const QString folder = shown(collectionFolder());
    Descriptor collection = openCollection();
    if (!collection.valid()) {
        return QStringLiteral("the collection folder %1 can't be read (%2)")
            .arg(folder, reasonOf(errno));
    }
    std::string incomingName;
    Descriptor incoming = makeHidden(kIncoming, incomingName);
    if (!incoming.valid()) {
        return QStringLiteral("the collection folder %1 can't be written (%2)")
            .arg(folder, reasonOf(errno));
    }
    std::optional<QString> why;
    std::vector<std::string> skipped;
    std::vector<std::string> files;
    std::optional<std::string> whyNot;
    std::optional<QString> notPlaced;
    const std::string copy = (collectionFolder() / incomingName / name).string();
    FolderTree::Copying how;
    how.maxFileBytes = ThemeBundle::kMaxImageBytes;
    how.skipped = &skipped;
    how.files = &files;
    if (!FolderTree::copy(source, incoming.get(), name, how)) {
        why = QStringLiteral("its files could not be copied (%1)").arg(reasonOf(errno));
    } else if ((whyNot = wholeCopy(incoming.get(), name, copy, files))) {
        why = QStringLiteral("the copy is not a whole theme (%1)")
                  .arg(QString::fromStdString(*whyNot));
    } else if ((notPlaced = placeIncoming(collection.get(), incoming.get(), name))) {
        why = notPlaced;
    }
    for (const std::string& left : skipped) {
        Log::write("Not copied, not a regular file or folder: " +
                   Log::escaped(source + "/" + left));
    }
    // What a failure left, or the old entry after a replacement.
    FolderTree::remove(collection.get(), incomingName);
    return why;
}

std::optional<QString> CollectionController::placeIncoming(int collection, int incoming,
                                                           const std::string& name) {
    if (!present(collection, name) ? !Renaming::withoutReplacing(incoming, name, collection, name)
                                   : !swapIn(collection, incoming, name)) {
        return QStringLiteral("it could not be given its name (%1)").arg(reasonOf(errno));
    }
    return std::nullopt;
}

std::optional<std::string> CollectionController::placeImported(const QString& archive,
                                                               const std::string& incoming,
                                                               const std::string& name) {
    const fs::path target = collectionFolder() / name;
    std::optional<QString> why;
    bool placed = false;
    if (!anythingAt(target) || askReplace(shown(name))) {
        // The open theme may be the entry replaced: the host lets it go first.
        controller->changeThemeFolder(target.string(), [&] {
            Descriptor collection = openCollection();
            Descriptor holder(
                ::openat(collection.get(), incoming.c_str(), kFolderFlags | O_NOFOLLOW));
            why = collection.valid() && holder.valid()
                      ? placeIncoming(collection.get(), holder.get(), name)
                      : QStringLiteral("the collection folder can't be read (%1)")
                            .arg(reasonOf(errno));
            placed = !why;
            return placed;
        });
    }
    // What a failure or a cancel left, or the old entry after a replacement.
    Descriptor collection = openCollection();
    FolderTree::remove(collection.get(), incoming);
    if (why) {
        failed(QStringLiteral("Theme Not Imported"),
               QStringLiteral("%1 can't be imported: %2.").arg(archive, *why));
    }
    _reloadThemesList();
    return placed ? std::optional<std::string>(target.string()) : std::nullopt;
}

bool CollectionController::askReplace(const QString& name) {
    return dialogs_.ask(
        collection_window, QStringLiteral("Theme already exist!"), QStringLiteral("Replace"),
        QStringLiteral("Cancel"),
        QStringLiteral("%1 already exist in your collection. Want you to replace it?").arg(name));
}

void CollectionController::deleteRefusedByTrash(const fs::path& bundle) {
    const QString name = shown(FileManager::lastComponent(bundle));
    if (!anythingAt(bundle)) {
        failed(QStringLiteral("Theme Not Removed"),
               QStringLiteral("%1 is no longer in your collection.").arg(name));
        return;
    }
    if (!dialogs_.ask(
            collection_window, QStringLiteral("Theme Not Moved to the Trash"),
            QStringLiteral("Delete"), QStringLiteral("Cancel"),
            QStringLiteral("%1 cannot be moved to the trash. Delete it permanently?").arg(name))) {
        return;
    }
    Descriptor folder(::open(bundle.parent_path().c_str(), kFolderFlags));
    if (!folder.valid() || !FolderTree::remove(folder.get(), FileManager::lastComponent(bundle))) {
        failed(QStringLiteral("Theme Not Removed"),
               QStringLiteral("%1 could not be deleted (%2).").arg(name, reasonOf(errno)));
    }
}

void CollectionController::failed(const QString& title, const QString& message) {
    dialogs_.alert(collection_window, title, QStringLiteral("OK"), message);
}

void CollectionController::endImport(const std::shared_ptr<Import>& import) {
    std::erase(imports_, import);
    delete import->progress;
}
