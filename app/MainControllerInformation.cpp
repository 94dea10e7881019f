// The information view's commands: saving its fields, the author's site and
// the Dock screenshots.
#include <QMainWindow>
#include <QStatusBar>

#include "app/Dialogs.h"
#include "app/InformationView.h"
#include "app/MainController.h"
#include "app/ScreenshotRenderer.h"
#include "app/ThemeSession.h"
#include "image/ThemePreview.h"

bool MainController::btn_saveInfo() {
    return information_->save();
}

void MainController::btn_closeDockPreview() {
    information_->storeAuthorAndSite();
}

void MainController::btn_previewAuthorSite() {
    information_->visitSite();
}

void MainController::btn_preview_changeShowPreview() {
    information_->showScreenshot();
}

void MainController::btn_renderMicroPreview() {
    const DockTheme* theme = session_->theme();
    if (!theme) {
        dialogs_.beep();
        return;
    }
    session_->putBundlePicture(tr("Render Preview Picture"), "preview_micro.png",
                               ThemePreview::drawMicroPreview(*theme));
}

void MainController::btn_renderDockScreenshots() {
    if (!session_->theme() || renderer_->isRunning()) {
        dialogs_.beep();
        return;
    }
    window_->statusBar()->showMessage(tr("Drawing the Dock screenshots…"));
    renderedGeneration_ = session_->generation();
    renderer_->start(QString::fromStdString(session_->theme()->dockPath()));
}
