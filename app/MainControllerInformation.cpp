// The information view: its fields, saving them, the author's site and the
// Dock screenshots.
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QStatusBar>
#include <QTextEdit>

#include "app/Dialogs.h"
#include "app/ImageDecoder.h"
#include "app/MainController.h"
#include "app/RichTextConversion.h"
#include "app/ScreenshotRenderer.h"
#include "platform/SystemPaths.h"

namespace {

QString qt(const std::optional<std::string>& value) {
    return value ? QString::fromStdString(*value) : QString();
}

}  // namespace

void MainController::connectInformation() {
    for (QLineEdit* field : {previewdock_title, previewdock_author, previewdock_site,
                             previewdock_version, previewdock_appcasturl}) {
        connect(field, &QLineEdit::textEdited, this, [this] { _setInformationEdited(true); });
    }
    connect(previewdock_description->document(), &QTextDocument::contentsChanged, this, [this] {
        if (!filling_) {
            _setInformationEdited(true);
            descriptionEdited_ = true;
        }
    });
    connect(renderer_, &ScreenshotRenderer::rendered, this, [this](const QString& bundle, bool ok) {
        if (currentTheme && QString::fromStdString(currentTheme->dockPath()) == bundle) {
            _preview_showDockPreviewForSelection();
        }
        edit_window->statusBar()->showMessage(ok ? QStringLiteral("Dock screenshots drawn")
                                                 : QStringLiteral("The Dock screenshots could "
                                                                  "not be drawn"),
                                              5000);
        emit screenshotsRendered(ok);
    });
}

void MainController::_setInformationEdited(bool edited) {
    informationEdited_ = edited;
    descriptionEdited_ = descriptionEdited_ && edited;
    edit_window->setWindowModified(edited);
}

// Every field shows the open theme's value; a value the theme lacks empties its field.
void MainController::_fillInformationFields() {
    filling_ = true;
    previewdock_site->setText(qt(currentTheme->dockAuthorSite()));
    previewdock_author->setText(qt(currentTheme->dockAuthor()));
    previewdock_title->setText(qt(currentTheme->dockName()));
    previewdock_version->setText(QString::fromStdString(currentTheme->version()));
    previewdock_appcasturl->setText(qt(currentTheme->dockAppcast()));
    previewdock_description->clear();
    if (std::optional<RichText> description = currentTheme->description()) {
        RichTextConversion::fill(*previewdock_description->document(), *description);
    }
    filling_ = false;
    _setInformationEdited(false);
}

bool MainController::btn_saveInfo() {
    if (!currentTheme) {
        dialogs_.beep();
        return false;
    }
    // The description is written only when it was edited; one the theme's
    // file could not give (its field showed nothing of it) is replaced only
    // when the user says so.
    if (descriptionEdited_ && !currentTheme->description() &&
        !dialogs_.ask(edit_window, QStringLiteral("Replace Description?"),
                      QStringLiteral("Replace"), QStringLiteral("Cancel"),
                      QStringLiteral("The theme's description could not be read (%1). Saving "
                                     "replaces it with the text shown. Replace it?")
                          .arg(QString::fromStdString(currentTheme->errorString())))) {
        return false;
    }
    currentTheme->setDockName(previewdock_title->text().toStdString());
    currentTheme->setDockAuthor(previewdock_author->text().toStdString());
    bool described = !descriptionEdited_ ||
                     currentTheme->setDescription(
                         RichTextConversion::toRichText(*previewdock_description->document()));
    currentTheme->setVersion(previewdock_version->text().toStdString());
    currentTheme->setURLAppcast(previewdock_appcasturl->text().toStdString());
    currentTheme->setAuthorSite(previewdock_site->text().toStdString());
    bool written = currentTheme->backup();
    if (!described || !written) {
        QString file = QString::fromStdString(
            !written ? currentTheme->indexFile() : currentTheme->dockPath() + "/description.rtf");
        dialogs_.alert(edit_window, QStringLiteral("Information Not Saved"), QStringLiteral("OK"),
                       QStringLiteral("The theme information could not be written to %1: %2.")
                           .arg(file, QString::fromStdString(currentTheme->errorString())));
        return false;
    }
    _setInformationEdited(false);
    edit_window->setWindowTitle(QStringLiteral("Velvanto - %1 by %2")
                                    .arg(previewdock_title->text(), previewdock_author->text()));
    edit_window->statusBar()->showMessage(QStringLiteral("Information saved"), 3000);
    return true;
}

void MainController::btn_closeDockPreview() {
    if (!currentTheme) {
        return;
    }
    currentTheme->setAuthor(previewdock_author->text().toStdString());
    currentTheme->setAuthorSite(previewdock_site->text().toStdString());
    if (!currentTheme->backup()) {
        dialogs_.alert(edit_window, QStringLiteral("Information Not Saved"), QStringLiteral("OK"),
                       QStringLiteral("The theme information could not be written to %1.")
                           .arg(QString::fromStdString(currentTheme->indexFile())));
    }
}

void MainController::btn_previewAuthorSite() {
    // Only a web address: a stranger's theme must not open local files or start programs.
    QUrl address(previewdock_site->text().trimmed(), QUrl::StrictMode);
    QString scheme = address.scheme().toLower();
    if (!address.isValid() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        address.host().isEmpty()) {
        dialogs_.beep();
        return;
    }
    dialogs_.openUrl(address);
}

void MainController::_preview_showDockPreviewForSelection() {
    DockStyle style =
        dockStyleAt(preview_dockshow_selection->currentIndex()).value_or(DockStyle::ThreeD);
    auto shown = [this](const QImage& image, QSize) {
        QImage shot = image;
        if (shot.isNull()) {
            shot.load(
                QString::fromStdString((SystemPaths::resourceFolder() / "drag_here.png").string()));
        }
        screenshot_preview->setImage(shot);
    };
    if (currentTheme && currentTheme->existDockPreview(style)) {
        decoder_->request(screenshot_preview,
                          QString::fromStdString(currentTheme->previewDockPath(style)), QSize(),
                          shown);
    } else {
        decoder_->cancel(screenshot_preview);
        shown(QImage(), QSize());
    }
}

void MainController::btn_preview_changeShowPreview() {
    _preview_showDockPreviewForSelection();
}

void MainController::btn_renderDockScreenshots() {
    if (!currentTheme || renderer_->isRunning()) {
        dialogs_.beep();
        return;
    }
    edit_window->statusBar()->showMessage(QStringLiteral("Drawing the Dock screenshots…"));
    renderer_->start(QString::fromStdString(currentTheme->dockPath()));
}
