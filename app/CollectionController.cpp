#include "app/CollectionController.h"

#include <algorithm>

#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>

#include "app/CollectionModel.h"
#include "app/Dialogs.h"
#include "app/MainController.h"
#include "app/WindowPlacement.h"
#include "model/DockTheme.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "platform/SystemPaths.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kExtension = ".docktheme";

QString shown(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// The last path component, trailing slashes aside.
fs::path lastComponent(const fs::path& path) {
    fs::path name = path.filename();
    return name.empty() ? path.parent_path().filename() : name;
}

bool anythingAt(const fs::path& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type() != fs::file_type::not_found;
}

bool sameEntry(const fs::path& one, const fs::path& other) {
    std::error_code error;
    return fs::equivalent(one, other, error);
}

}  // namespace

CollectionController::CollectionController(QWidget* window, MainController& controller,
                                           Dialogs& dialogs)
    : QObject(&controller), collection_window(window), controller(&controller), dialogs_(dialogs) {
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
    awakeFromNib();
}

fs::path CollectionController::collectionFolder() {
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return fs::path(data.toStdString()) / "Velvanto";
}

void CollectionController::awakeFromNib() {
    std::error_code error;
    if (!anythingAt(collectionFolder())) {
        fs::create_directories(collectionFolder(), error);
    }
    listOfThemes->setModel(listOfDirectory);
    listOfThemes->setDragDropMode(QAbstractItemView::NoDragDrop);
    _reloadThemesList();
}

void CollectionController::_reloadThemesList() {
    const fs::path fallback = fs::path(DockTheme::fullPath()) / "preview_micro.png";
    std::vector<ImageObjectView> items;
    std::error_code error;
    fs::directory_iterator entry(collectionFolder(), error);
    readable_ = !error;
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const fs::path bundle = entry->path();
        if (bundle.extension() != kExtension || !FileManager::isDirectory(bundle)) {
            continue;
        }
        const fs::path micro = bundle / "preview_micro.png";
        if (!FileManager::fileExists(micro)) {
            bool copied = FileManager::copyPath(fallback, micro);
            Log::write("Copied " + Log::escaped(micro.string()) + " - " + (copied ? "1" : "0"));
        }
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

std::optional<fs::path> CollectionController::_currentSelectionThemePath() const {
    const QModelIndexList selected = listOfThemes->selectionModel()->selectedIndexes();
    if (selected.size() != 1) {
        return std::nullopt;
    }
    const auto row = static_cast<std::size_t>(selected.first().row());
    return fs::path(listOfDirectory->items().at(row).keyDock()).parent_path();
}

void CollectionController::btn_addTheme() {
    Dialogs::OpenPanel panel;
    panel.title = QStringLiteral("Choose a theme to add in your collection");
    panel.prompt = QStringLiteral("Add To Collection");
    panel.fileTypes = {QStringLiteral("docktheme")};
    std::optional<QString> chosen = dialogs_.runOpenPanel(collection_window, panel);
    if (!chosen) {
        return;
    }
    std::unique_ptr<DockTheme> theme = DockTheme::initWithBundleAtPath(chosen->toStdString());
    if (!theme) {
        dialogs_.alert(collection_window, QStringLiteral("Invalid theme!"), QStringLiteral("OK"),
                       QStringLiteral("%1 is corrupted").arg(*chosen));
        return;
    }
    if (!_existThemeInCollection(*theme)) {
        _addThemeToCollection(*chosen);
        return;
    }
    bool replace =
        dialogs_.ask(collection_window, QStringLiteral("Theme already exist!"),
                     QStringLiteral("Replace"), QStringLiteral("Cancel"),
                     QStringLiteral("%1 already exist in your collection. Want you to replace it?")
                         .arg(shown(lastComponent(chosen->toStdString()))));
    replaceThemeOrNot(replace, *chosen);
}

void CollectionController::replaceThemeOrNot(bool replace, const QString& chosen) {
    if (replace) {
        _addThemeToCollection(chosen);
    }
}

bool CollectionController::_existThemeInCollection(const DockTheme& theme) const {
    const fs::path name = lastComponent(theme.dockPath());
    std::error_code error;
    fs::directory_iterator entry(collectionFolder(), error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        if (entry->path().filename() == name) {
            return true;
        }
    }
    return false;
}

bool CollectionController::_addThemeToCollection(const QString& path) {
    const fs::path source = path.toStdString();
    const fs::path target = collectionFolder() / lastComponent(source);
    const bool replacing = anythingAt(target);
    const bool added = installBundle(source, target);
    if (!added && replacing) {
        failed(QStringLiteral("Theme Not Replaced"),
               QStringLiteral("%1 could not be copied into your collection; the theme there "
                              "is kept as it was.")
                   .arg(path));
    } else if (!added) {
        failed(QStringLiteral("Theme Not Added"),
               QStringLiteral("%1 could not be copied into your collection.").arg(path));
    }
    _reloadThemesList();
    return added;
}

bool CollectionController::installBundle(const fs::path& source, const fs::path& target) {
    const std::string name = target.filename().string();
    const fs::path incoming = target.parent_path() / ("." + name + ".incoming");
    const fs::path aside = target.parent_path() / ("." + name + ".replaced");
    FileManager::removePath(incoming);  // what an interrupted copy left
    if (!FileManager::copyPath(source, incoming)) {
        FileManager::removePath(incoming);
        return false;
    }
    std::error_code error;
    const bool replacing = anythingAt(target);
    if (replacing) {
        FileManager::removePath(aside);
        fs::rename(target, aside, error);
    }
    if (!error) {
        fs::rename(incoming, target, error);
        if (error && replacing) {
            std::error_code back;
            fs::rename(aside, target, back);
        }
    }
    FileManager::removePath(error ? incoming : aside);
    return !error;
}

void CollectionController::btn_removeTheme() {
    std::optional<fs::path> bundle = _currentSelectionThemePath();
    if (!bundle) {
        return;
    }
    // The theme open in the main window is closed there first (its unsaved
    // information asked about); a cancel keeps both.
    if (controller->currentTheme && sameEntry(controller->currentTheme->dockPath(), *bundle)) {
        controller->btn_closeTheme();
        if (controller->currentTheme) {
            return;
        }
    }
    if (!QFile::moveToTrash(shown(*bundle)) && !FileManager::removePath(*bundle)) {
        failed(
            QStringLiteral("Theme Not Removed"),
            QStringLiteral("%1 could not be moved to the trash or deleted.").arg(shown(*bundle)));
    }
    _reloadThemesList();
}

void CollectionController::btn_editTheme() {
    std::optional<fs::path> bundle = _currentSelectionThemePath();
    if (!bundle) {
        dialogs_.beep();
        return;
    }
    if (!controller->_openThemeAtPath(shown(*bundle))) {
        return;
    }
    collection_window->hide();
    controller->btn_showMainWindow();
    controller->_fadeToTab(MainController::kInformationTab);
}

void CollectionController::failed(const QString& title, const QString& message) {
    dialogs_.alert(collection_window, title, QStringLiteral("OK"), message);
}
