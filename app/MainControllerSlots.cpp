// The slot browser's commands, the Edit and Image menus, the drop dispatcher
// and the slot preview window.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QUndoStack>

#include "app/Dialogs.h"
#include "app/EditorView.h"
#include "app/ImageDecoder.h"
#include "app/InformationView.h"
#include "app/LiveDockWindow.h"
#include "app/MainController.h"
#include "app/ThemeSession.h"
#include "app/UserDefaults.h"
#include "app/WelcomeView.h"
#include "model/ImageObjectView.h"
#include "model/MiscKit.h"
#include "ui_MainWindow.h"
#include "ui_PreviewWindow.h"
#include "widgets/PellixEffects.h"

namespace fs = std::filesystem;

namespace {

constexpr int kThumbnailStep = 16;

}  // namespace

void MainController::imageBrowserCellWasDoubleClicked(int) {
    _doubleClickCellForPreviews();
}

void MainController::btn_show_previewPanel() {
    _doubleClickCellForPreviews();
}

void MainController::btn_change_docktype(DockCategory category) {
    ui_->dock_type_selection->setCurrentIndex(indexOf(category));
    editor_->setCategory(category);
}

void MainController::btn_change_thumbsize(int side) {
    editor_->setThumbnailSide(side);
}

void MainController::setFileImagePathForSelection(const QString& path, DragDropImageView* view) {
    const InformationView::Target target = information_->target(view);
    if (target == InformationView::Target::MicroPreview) {
        // The view shows the picture whenever one is put in place; with no theme, none.
        if (!session_->theme()) {
            information_->showMicroPreview();
            return;
        }
        session_->putBundleFile(tr("Replace Preview Picture"), "preview_micro.png", path);
    } else if (target == InformationView::Target::Screenshot) {
        _dropScreenshot(path);
    } else if (welcome_->isDropPicture(view)) {
        if (openArchive(path)) {
            return;  // opens once imported
        }
        // Whatever its folder's name: what is no theme gets the defective alert.
        if (!_openThemeAtPath(path.toStdString())) {
            dialogs_.beep();
            return;
        }
        ui_->popup_showEditorOrInfo->setCurrentIndex(
            ui_->popup_showEditorOrInfo->findData(kInformationTab));
        if (shownTab() != kInformationTab) {
            _fadeToTab(kInformationTab);
        }
    } else {
        _replaceSlotImage(path);
    }
}

void MainController::btn_replaceSelectedImage() {
    if (!_slotSelected()) {
        return;
    }
    if (std::optional<QString> chosen = _chooseImage()) {
        _replaceSlotImage(*chosen);
    }
}

void MainController::_choosePictureFor(DragDropImageView* view) {
    if (welcome_->isDropPicture(view)) {
        btn_toolbar_opentheme();
    } else if (editor_->isSelectionPicture(view)) {
        btn_replaceSelectedImage();
    } else if (!session_->theme()) {
        dialogs_.beep();
    } else if (std::optional<QString> chosen = _chooseImage()) {
        setFileImagePathForSelection(*chosen, view);
    }
}

void MainController::_doubleClickCellForPreviews() {
    if (!_slotSelected()) {
        return;
    }
    QList<int> rows = editor_->selectedSlots();
    const DockTheme::SlotList* list = editor_->slotList();
    QString path = QString::fromStdString((*list)[static_cast<std::size_t>(rows.first())]->path());
    QRect frame = editor_->cellFrame(rows.first());
    _makePreviewWindow();
    if (previewWindow_->isVisible()) {
        _openPreviewForSelection(frame);
        return;
    }
    // It opens once its picture is decoded (at most at the screen's size), so the growing
    // snapshot shows it; asked again meanwhile, it opens for the last slot asked.
    auto opened = [this, path, frame](const QImage& image, QSize) {
        preview_->preview_window_image->setImage(image);
        previewWindow_->setWindowTitle(QFileInfo(path).fileName());
        // It opens over the main window the first time, and when it would be off the screen.
        QRect screen = window_->screen()->availableGeometry();
        if (!previewWindow_->testAttribute(Qt::WA_Moved) ||
            !screen.contains(previewWindow_->frameGeometry())) {
            QRect placed = previewWindow_->geometry();
            placed.moveCenter(window_->geometry().center());
            previewWindow_->setGeometry(placed);
        }
        _openPreviewForSelection(frame);
    };
    session_->decoder().request(preview_->preview_window_image,
                                {session_->theme()->bundleFolder(), path},
                                window_->screen()->size(), opened);
}

void MainController::btn_changeProportions(bool actualSize) {
    if (preview_) {
        preview_->preview_window_image->setImageScaling(
            actualSize ? DragDropImageView::Scaling::None
                       : DragDropImageView::Scaling::AxesIndependently);
    }
}

void MainController::btn_showLiveDock(bool shown) {
    editor_->setLiveDockShown(shown);
    defaults_->setBool(UserDefaults::kShowLiveDock, shown);
}

void MainController::btn_showLargerDock() {
    if (!session_->theme()) {
        dialogs_.beep();
        return;
    }
    if (!largerDock_) {
        largerDock_ = new LiveDockWindow(*session_, editor_->liveDock(), window_, this);
    }
    largerDock_->show();
}

void MainController::setUpMenus() {
    Ui::MainWindow& main = *ui_;
    QUndoStack& history = session_->history();
    auto* menu_edit = new QMenu(tr("&Edit"), window_);
    menu_edit->setObjectName(QStringLiteral("menu_edit"));
    window_->menuBar()->insertMenu(main.menu_dock->menuAction(), menu_edit);
    QAction* undo = history.createUndoAction(menu_edit, tr("Undo"));
    undo->setShortcuts(QKeySequence::Undo);
    QAction* redo = history.createRedoAction(menu_edit, tr("Redo"));
    redo->setShortcuts(QKeySequence::Redo);
    menu_edit->addAction(undo);
    menu_edit->addAction(redo);

    auto add = [this, menu = main.menu_image](const QString& title, const QKeySequence& keys,
                                              auto slot) {
        QAction* action = menu->addAction(title);
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    main.menu_image->addSeparator();
    add(tr("Replace Image…"), QKeySequence(QStringLiteral("Ctrl+R")),
        [this] { btn_replaceSelectedImage(); });
    main.menu_openWith->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
    main.action_showInfo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+I")));
    main.action_showEditor->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+E")));
    main.tbar_preview->setShortcut(QKeySequence(QStringLiteral("Ctrl+Y")));
    // The same keys close the preview from the preview window itself.
    main.tbar_preview->setShortcutContext(Qt::ApplicationShortcut);
    main.menu_image->addSeparator();
    for (DockCategory category : {DockCategory::TwoD, DockCategory::ThreeD}) {
        int index = indexOf(category);
        add(main.dock_type_selection->itemText(index),
            QKeySequence(QStringLiteral("Ctrl+%1").arg(index + 1)),
            [this, category] { btn_change_docktype(category); });
    }
    auto zoomBy = [slider = main.slider_images_thumbsize](int step) {
        slider->setValue(slider->value() + step);
    };
    add(tr("Larger Thumbnails"), QKeySequence(QKeySequence::ZoomIn),
        [zoomBy] { zoomBy(kThumbnailStep); });
    add(tr("Smaller Thumbnails"), QKeySequence(QKeySequence::ZoomOut),
        [zoomBy] { zoomBy(-kThumbnailStep); });
    connect(main.tbar_preview, &QAction::triggered, this, [this] { btn_show_previewPanel(); });

    // The live Dock, shown unless the user hid it, at the size chosen last.
    main.menu_view->addSeparator();
    QAction* live = main.menu_view->addAction(tr("&Live Dock"));
    live->setCheckable(true);
    live->setChecked(defaults_->boolForKey(UserDefaults::kShowLiveDock).value_or(true));
    editor_->setLiveDockShown(live->isChecked());
    connect(live, &QAction::toggled, this, [this](bool shown) { btn_showLiveDock(shown); });
    if (std::optional<QString> size = defaults_->stringForKey(UserDefaults::kLiveDockSize)) {
        editor_->setLiveDockSize(size->toInt());
    }
    connect(editor_, &EditorView::liveDockSizeChosen, this, [this](int tile) {
        defaults_->setString(UserDefaults::kLiveDockSize, QString::number(tile));
    });
    connect(editor_, &EditorView::slotImageDropped, this,
            [this](const QString& path) { _replaceSlotImage(path); });
    connect(editor_, &EditorView::largerViewWanted, this, [this] { btn_showLargerDock(); });
    connectPreferences();
}

void MainController::_dropScreenshot(const QString& path) {
    const DockTheme* theme = session_->theme();
    if (!theme || QFileInfo(path).suffix() != QLatin1String("png")) {
        dialogs_.beep();
        return;
    }
    std::string name =
        fs::path(theme->previewDockPath(information_->screenshotStyle())).filename().string();
    session_->putBundleFile(tr("Replace Dock Screenshot"), name, path);
}

std::optional<QString> MainController::_chooseImage() {
    Dialogs::OpenPanel panel;
    panel.title = tr("Choose an image");
    panel.prompt = tr("Replace");
    return dialogs_.runOpenPanel(window_, panel);
}

bool MainController::_slotSelected() {
    if (session_->theme() && !editor_->selectedSlots().isEmpty()) {
        return true;
    }
    dialogs_.beep();
    window_->statusBar()->showMessage(
        tr("No image is selected: select one among the thumbnails first."), 10000);
    return false;
}

void MainController::_replaceSlotImage(const QString& path) {
    if (!_slotSelected()) {
        return;
    }
    QList<int> rows = editor_->selectedSlots();
    std::string proposed = defaults_->isSet(UserDefaults::kGenerateUUID)
                               ? MiscKit::UUIDString()
                               : QFileInfo(path).fileName().toStdString();
    session_->replaceSlotImage(editor_->category(), rows.first(), path, proposed);
}

void MainController::_openPreviewForSelection(const QRect& rect) {
    if (previewWindow_->isVisible()) {
        PellixEffects::zoomOffToRect(previewWindow_, rect);
    } else {
        PellixEffects::zoomOnFromRect(previewWindow_, rect);
    }
}
