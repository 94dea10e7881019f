// The slot browser and its selection panel, the drop dispatcher, the history
// of image replacements and the slot preview window.
#include <sys/stat.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSlider>
#include <QTextBrowser>
#include <QUndoStack>

#include "app/AsideFile.h"
#include "app/BundleFileCommand.h"
#include "app/Dialogs.h"
#include "app/ImageDecoder.h"
#include "app/MainController.h"
#include "app/SlotCellDelegate.h"
#include "app/SlotImageCommand.h"
#include "app/SlotListModel.h"
#include "app/TemporaryFolder.h"
#include "app/ThemeSession.h"
#include "app/UserDefaults.h"
#include "image/ImageFile.h"
#include "model/MiscKit.h"
#include "model/ThemeBundle.h"
#include "platform/Log.h"
#include "widgets/PellixEffects.h"

namespace fs = std::filesystem;

namespace {

constexpr int kThumbnailStep = 16;

QString sizeText(double width, double height) {
    return QStringLiteral("%1x%2").arg(width, 0, 'f', 0).arg(height, 0, 'f', 0);
}

std::string text(const QString& string) {
    return string.toStdString();
}

}  // namespace

void MainController::setUpSlots() {
    slots_ = new SlotListModel(session_->decoder(), this);
    QUndoStack& history = session_->history();
    listOfImages->setSelectionMode(QAbstractItemView::ExtendedSelection);
    listOfImages->setItemDelegate(new SlotCellDelegate(listOfImages));

    QMenuBar* bar = edit_window->menuBar();
    auto* menu_dock = edit_window->findChild<QMenu*>(QStringLiteral("menu_dock"));
    auto* menu_edit = new QMenu(QStringLiteral("&Edit"), edit_window);
    menu_edit->setObjectName(QStringLiteral("menu_edit"));
    bar->insertMenu(menu_dock->menuAction(), menu_edit);
    QAction* undo = history.createUndoAction(menu_edit, QStringLiteral("Undo"));
    undo->setShortcuts(QKeySequence::Undo);
    QAction* redo = history.createRedoAction(menu_edit, QStringLiteral("Redo"));
    redo->setShortcuts(QKeySequence::Redo);
    menu_edit->addAction(undo);
    menu_edit->addAction(redo);

    auto* menu_image = edit_window->findChild<QMenu*>(QStringLiteral("menu_image"));
    auto add = [this, menu_image](const QString& title, const QKeySequence& keys, auto slot) {
        QAction* action = menu_image->addAction(title);
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    menu_image->addSeparator();
    add(QStringLiteral("Replace Image…"), QKeySequence(QStringLiteral("Ctrl+R")),
        [this] { btn_replaceSelectedImage(); });
    menu_openWith->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
    for (auto [name, keys] : {std::pair{"action_showInfo", "Ctrl+Shift+I"},
                              std::pair{"action_showEditor", "Ctrl+Shift+E"}}) {
        edit_window->findChild<QAction*>(QLatin1String(name))
            ->setShortcut(QKeySequence(QLatin1String(keys)));
    }
    tbar_preview->setShortcut(QKeySequence(QStringLiteral("Ctrl+Y")));
    // The same keys close the preview from the preview window itself.
    tbar_preview->setShortcutContext(Qt::ApplicationShortcut);
    menu_image->addSeparator();
    for (DockCategory category : {DockCategory::TwoD, DockCategory::ThreeD}) {
        int index = indexOf(category);
        add(dock_type_selection->itemText(index),
            QKeySequence(QStringLiteral("Ctrl+%1").arg(index + 1)), [this, index] {
                dock_type_selection->setCurrentIndex(index);
                btn_change_docktype(dock_type_selection);
            });
    }
    auto zoomBy = [this](int step) {
        slider_images_thumbsize->setValue(slider_images_thumbsize->value() + step);
    };
    add(QStringLiteral("Larger Thumbnails"), QKeySequence(QKeySequence::ZoomIn),
        [zoomBy] { zoomBy(kThumbnailStep); });
    add(QStringLiteral("Smaller Thumbnails"), QKeySequence(QKeySequence::ZoomOut),
        [zoomBy] { zoomBy(-kThumbnailStep); });

    connect(listOfImages, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { imageBrowserCellWasDoubleClicked(index.row()); });
    connect(tbar_preview, &QAction::triggered, this, [this] { btn_show_previewPanel(); });
    connectPreferences();
}

void MainController::_forgetTheme() {
    slots_->setTheme(nullptr, DockCategory::TwoD);
    dock_type_selection->setCurrentIndex(indexOf(DockCategory::TwoD));
}

const DockTheme::SlotList* MainController::dock_images() const {
    if (!currentTheme) {
        return nullptr;
    }
    DockCategory category =
        dockCategoryAt(dock_type_selection->currentIndex()).value_or(DockCategory::TwoD);
    return &currentTheme->slotList(category);
}

int MainController::numberOfItemsInImageBrowser() const {
    return slots_->rowCount();
}

QList<int> MainController::selectedSlots() const {
    QList<int> rows;
    if (QItemSelectionModel* selection = listOfImages->selectionModel()) {
        for (const QModelIndex& index : selection->selectedIndexes()) {
            rows.append(index.row());
        }
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

QUndoStack& MainController::history() const {
    return session_->history();
}

ImageDecoder& MainController::decoder() const {
    return session_->decoder();
}

void MainController::imageBrowserCellWasDoubleClicked(int) {
    _doubleClickCellForPreviews();
}

void MainController::btn_show_previewPanel() {
    _doubleClickCellForPreviews();
}

void MainController::btn_change_docktype(QComboBox* sender) {
    slots_->setCategory(dockCategoryAt(sender->currentIndex()).value_or(DockCategory::TwoD));
}

void MainController::btn_change_thumbsize(QSlider* sender) {
    int side = sender->value();
    listOfImages->setIconSize(QSize(side, side));
    listOfImages->setGridSize(QSize(side + 56, side + 56));  // room for a name of two lines
    slots_->setThumbnailSide(side);
}

void MainController::_updateSelection() {
    QList<int> rows = selectedSlots();
    const ImageObjectView* item = rows.size() == 1 ? slots_->item(rows.first()) : nullptr;
    if (!item) {
        session_->decoder().cancel(selection_preview);
        selection_filename->setText(QStringLiteral("No Selection"));
        selection_preview->setImage(QImage());
        selection_bestSize->clear();
        selection_alertSize->clear();
        return;
    }
    const std::string key = item->keyDock();
    const QString path = QString::fromStdString(item->path());
    selection_filename->setText(QFileInfo(path).fileName());
    selection_naturalTitle->setText(
        QString::fromStdString(MiscKit::sharedFiles().getNaturalNameForKey(key).value_or("")));
    selection_description->clear();
    selection_description->insertPlainText(
        QString::fromStdString(MiscKit::sharedFiles().getDescriptionForKey(key).value_or("")));
    DockSize best = MiscKit::sharedFiles().getSizeForFileKey(key);
    selection_bestSize->setText(sizeText(best.width, best.height));

    // The picture and its size in pixels come from the decoder, at most at the panel's size.
    selection_preview->setImage(QImage());
    session_->decoder().request(
        selection_preview, {currentTheme->bundleFolder(), path},
        selection_preview->size().expandedTo(QSize(256, 256)),
        [this, key](const QImage& image, QSize size) { _showSelectedImage(image, size, key); });
}

void MainController::_showSelectedImage(const QImage& image, const QSize& size,
                                        const std::string& key) {
    const float width = size.isValid() ? static_cast<float>(size.width()) : 0.0f;
    const float height = size.isValid() ? static_cast<float>(size.height()) : 0.0f;
    selection_size->setText(sizeText(width, height));
    selection_preview->setImage(image);
    DockSize best = MiscKit::sharedFiles().getSizeForFileKey(key);
    bool tooBig = size.isValid() && (width > best.width || height > best.height);
    selection_alertSize->setText(tooBig ? QStringLiteral("Size is too big") : QString());
}

void MainController::setFileImagePathForSelection(const QString& path, DragDropImageView* view) {
    if (view == info_micropreview) {
        _dropMicroPreview(path);
    } else if (view == welcome_image) {
        if (openArchive(path)) {
            return;  // opens once imported
        }
        if (!openFile(path)) {
            dialogs_.beep();
            return;
        }
        popup_showEditorOrInfo->setCurrentIndex(popup_showEditorOrInfo->findData(kInformationTab));
        if (shownView() != view_infoTheme) {
            _fadeToTab(kInformationTab);
        }
    } else if (view == screenshot_preview) {
        _dropScreenshot(path);
    } else {
        _replaceSlotImage(path);
    }
}

void MainController::_dropMicroPreview(const QString& path) {
    if (!currentTheme) {
        info_micropreview->setImage(QImage());
        return;
    }
    // The command shows the picture whenever it puts one in place.
    _putBundlePicture(QStringLiteral("Replace Preview Picture"), "preview_micro.png", path,
                      [this] { _showMicroPreview(); });
}

void MainController::_dropScreenshot(const QString& path) {
    if (!currentTheme || QFileInfo(path).suffix() != QLatin1String("png")) {
        dialogs_.beep();
        return;
    }
    DockStyle style =
        dockStyleAt(preview_dockshow_selection->currentIndex()).value_or(DockStyle::ThreeD);
    std::string name = fs::path(currentTheme->previewDockPath(style)).filename().string();
    // The theme copies it beside the old screenshot and renames it over it: a
    // failed copy leaves the old one, shown, and Info.plist untouched.
    if (_putBundlePicture(QStringLiteral("Replace Dock Screenshot"), name, path,
                          [this] { _preview_showDockPreviewForSelection(); })) {
        currentTheme->backup();
    }
}

bool MainController::_putBundlePicture(const QString& what, const std::string& name,
                                       const QString& path, std::function<void()> shown) {
    // The bundle gets the very bytes kept for redo.
    QString why;
    std::unique_ptr<AsideFile> after = AsideFile::keep(temporaries_->path(), path, true, &why);
    if (!after) {
        Log::write("Cannot copy " + Log::escaped(text(path)));
        _showFailure(QStringLiteral("Picture Not Replaced"), path, QStringLiteral("it ") + why);
        return false;
    }
    std::unique_ptr<AsideFile> before;
    bool undoable = true;
    if (!_keepForUndo(QString::fromStdString(currentTheme->dockPath() + "/" + name), before,
                      undoable)) {
        return false;
    }
    return _perform(
        new BundleFileCommand(what, *currentTheme, name, std::move(before), std::move(after),
                              std::move(shown), dialogs_, edit_window),
        undoable);
}

bool MainController::_keepForUndo(const QString& path, std::unique_ptr<AsideFile>& kept,
                                  bool& undoable) {
    struct stat info {};
    undoable = true;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return true;  // nothing of the user's to keep: undo removes what comes
    }
    QString why;
    kept = AsideFile::keep(temporaries_->path(), path, false, &why);
    if (kept) {
        return true;
    }
    undoable = false;
    return dialogs_.ask(edit_window, QStringLiteral("Replace Without Undo?"),
                        QStringLiteral("Replace"), QStringLiteral("Cancel"),
                        QStringLiteral("“%1” %2 and can't be kept for undo. Replace it anyway?")
                            .arg(QFileInfo(path).fileName(), why));
}

bool MainController::_perform(QUndoCommand* command, bool undoable) {
    QUndoStack& history = session_->history();
    const int before = history.index();
    history.push(command);  // an obsolete command, one that failed, is dropped
    if (history.index() == before) {
        return false;
    }
    if (!undoable) {
        history.clear();  // a file that can't be kept can't be put back
    }
    return true;
}

void MainController::_showFailure(const QString& title, const QString& file, const QString& why) {
    dialogs_.beep();
    dialogs_.alert(edit_window, title, QStringLiteral("OK"),
                   QStringLiteral("%1 was not put in the theme: %2.").arg(file, why));
}

void MainController::_replaceSlotImage(const QString& path) {
    // The slot's old image is the one on disk now, should another program have changed it.
    session_->syncWithDisk();
    QList<int> rows = selectedSlots();
    if (!currentTheme || rows.isEmpty()) {
        dialogs_.beep();
        return;
    }
    const int row = rows.first();
    const ImageObjectView* item = slots_->item(row);
    const std::string key = item->keyDock();
    const QString oldPath = QString::fromStdString(item->path());
    Log::write("set new path " + Log::escaped(text(path)) + " (key: " + key + ")");
    std::string proposed = defaults_->isSet(UserDefaults::kGenerateUUID)
                               ? MiscKit::UUIDString()
                               : text(QFileInfo(path).fileName());
    if (currentTheme->verifyNameExistForFile(proposed)) {
        dialogs_.beep();
        dialogs_.alert(edit_window, QStringLiteral("Duplicate file"), QStringLiteral("OK"),
                       QStringLiteral("This file already exist in theme package"));
        return;
    }
    // The bundle gets the very bytes kept for redo; only a regular file of an image's size is
    // taken.
    QString why;
    std::unique_ptr<AsideFile> after = AsideFile::keep(temporaries_->path(), path, true, &why);
    if (!after) {
        Log::write("Cannot copy " + Log::escaped(text(path)));
        _showFailure(QStringLiteral("Image Not Replaced"), path, QStringLiteral("it ") + why);
        return;
    }
    // A file the theme check refuses as no picture would make the theme fail to apply.
    const Descriptor kept = ImageFile::open(after->path());
    if (!kept.valid() || !ImageFile::pictureSize(kept.get())) {
        _showFailure(QStringLiteral("Image Not Replaced"), path,
                     QStringLiteral("it is not a picture the theme check reads"));
        return;
    }
    std::unique_ptr<AsideFile> before;
    bool undoable = true;
    if (!_keepForUndo(oldPath, before, undoable)) {
        return;
    }
    SlotImageCommand::Slot slot{key, slots_->category(), static_cast<std::size_t>(row)};
    auto* command = new SlotImageCommand(
        *currentTheme, slot, std::move(before), std::move(after), proposed,
        [this](std::size_t shownRow, DockCategory shownCategory) {
            _showSlot(static_cast<int>(shownRow), shownCategory);
        },
        dialogs_, edit_window);
    _perform(command, undoable && command->undoable());
}

void MainController::_showReloadedTheme() {
    const QList<int> rows = selectedSlots();
    const std::string key =
        rows.size() == 1 ? slots_->item(rows.first())->keyDock() : std::string();
    _updateThemeShow();
    if (std::optional<DockTheme::Information> unsaved = session_->unsavedInformation()) {
        _showInformation(*unsaved, !session_->hasEditedDescription());
    }
    _preview_showDockPreviewForSelection();
    for (int row = 0; !key.empty() && row < slots_->rowCount(); ++row) {
        if (slots_->item(row)->keyDock() == key) {
            listOfImages->selectionModel()->setCurrentIndex(slots_->index(row),
                                                            QItemSelectionModel::ClearAndSelect);
        }
    }
}

void MainController::_showSlot(int row, DockCategory category) {
    // The refresh keeps the category the slot belongs to, with the slot selected.
    dock_type_selection->setCurrentIndex(indexOf(category));
    _updateThemeShow();
    QModelIndex index = slots_->index(row);
    listOfImages->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    listOfImages->scrollTo(index);
}

void MainController::btn_replaceSelectedImage() {
    if (!currentTheme || selectedSlots().isEmpty()) {
        dialogs_.beep();
        return;
    }
    Dialogs::OpenPanel panel;
    panel.title = QStringLiteral("Choose an image");
    panel.prompt = QStringLiteral("Replace");
    if (std::optional<QString> chosen = dialogs_.runOpenPanel(edit_window, panel)) {
        _replaceSlotImage(*chosen);
    }
}

void MainController::_doubleClickCellForPreviews() {
    QList<int> rows = selectedSlots();
    if (!currentTheme || rows.isEmpty()) {
        dialogs_.beep();
        return;
    }
    QString path = QString::fromStdString(slots_->item(rows.first())->path());
    QRect cell = listOfImages->visualRect(slots_->index(rows.first()));
    QRect frame(listOfImages->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    _makePreviewWindow();
    if (preview_window->isVisible()) {
        _openPreviewForSelection(path, frame, preview_window);
        return;
    }
    // It opens once its picture is decoded (at most at the screen's size), so the growing
    // snapshot shows it; asked again meanwhile, it opens for the last slot asked.
    auto opened = [this, path, frame](const QImage& image, QSize) {
        preview_window_image->setImage(image);
        preview_window->setWindowTitle(QFileInfo(path).fileName());
        // It opens over the main window the first time, and when it would be off the screen.
        QRect screen = edit_window->screen()->availableGeometry();
        if (!preview_window->testAttribute(Qt::WA_Moved) ||
            !screen.contains(preview_window->frameGeometry())) {
            QRect placed = preview_window->geometry();
            placed.moveCenter(edit_window->geometry().center());
            preview_window->setGeometry(placed);
        }
        _openPreviewForSelection(path, frame, preview_window);
    };
    session_->decoder().request(preview_window_image, {currentTheme->bundleFolder(), path},
                                edit_window->screen()->size(), opened);
}

void MainController::_openPreviewForSelection(const QString&, const QRect& rect, QWidget* window) {
    if (window->isVisible()) {
        PellixEffects::zoomOffToRect(window, rect);
    } else {
        PellixEffects::zoomOnFromRect(window, rect);
    }
}

void MainController::btn_changeProportions(QCheckBox* sender) {
    preview_window_image->setImageScaling(sender->isChecked()
                                              ? DragDropImageView::Scaling::None
                                              : DragDropImageView::Scaling::AxesIndependently);
}
