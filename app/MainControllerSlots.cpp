// The drop dispatcher: what a file dropped on one of the window's drop targets is for.
#include <QComboBox>
#include <QFileInfo>

#include "app/Dialogs.h"
#include "app/MainController.h"
#include "platform/FileManager.h"

void MainController::setFileImagePathForSelection(const QString& path, DragDropImageView* view) {
    if (view == welcome_image) {
        if (!openFile(path)) {
            dialogs_.beep();
        }
        return;
    }
    if (!currentTheme) {
        dialogs_.beep();
        return;
    }
    if (view == info_micropreview) {
        if (!currentTheme->setDockMicroPreview(path.toStdString())) {
            dialogs_.beep();
        }
        info_micropreview->setImage(imageAt(currentTheme->dockMicroPreview()));
        return;
    }
    if (view == screenshot_preview) {
        DockStyle style =
            dockStyleAt(preview_dockshow_selection->currentIndex()).value_or(DockStyle::ThreeD);
        if (QFileInfo(path).suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) != 0 ||
            !FileManager::replaceFile(path.toStdString(), currentTheme->previewDockPath(style))) {
            dialogs_.beep();
            return;
        }
        _preview_showDockPreviewForSelection();
        return;
    }
    // Replacing a slot's image belongs to the slot browser.
    dialogs_.beep();
}
