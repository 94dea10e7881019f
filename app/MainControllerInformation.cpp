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
#include "app/ThemeSession.h"
#include "platform/SystemPaths.h"

void MainController::connectInformation() {
    for (QLineEdit* field : {previewdock_title, previewdock_author, previewdock_site,
                             previewdock_version, previewdock_appcasturl}) {
        connect(field, &QLineEdit::textEdited, this, [this] { _setInformationEdited(false); });
    }
    connect(previewdock_description->document(), &QTextDocument::contentsChanged, this, [this] {
        if (!filling_) {
            _setInformationEdited(true);
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

void MainController::connectSession() {
    connect(session_, &ThemeSession::opened, this, [this] {
        _updateThemeShow();
        _preview_showDockPreviewForSelection();
    });
    connect(session_, &ThemeSession::closed, this, [this] {
        _forgetTheme();
        _validateToolbar();
    });
    connect(session_, &ThemeSession::reloaded, this, [this] { _showReloadedTheme(); });
    connect(session_, &ThemeSession::notice, this, [this](const QString& message) {
        edit_window->statusBar()->showMessage(message, 10000);
    });
    connect(session_, &ThemeSession::saved, this, [this] {
        edit_window->statusBar()->showMessage(QStringLiteral("Information saved"), 3000);
    });
    connect(session_, &ThemeSession::editedChanged, this, [this](bool edited) {
        edit_window->setWindowModified(edited);
        _updateWindowTitle();
    });
}

void MainController::_setInformationEdited(bool description) {
    std::optional<RichText> edited;
    if (description) {
        edited = RichTextConversion::toRichText(*previewdock_description->document());
    }
    session_->editInformation(_informationInFields(), std::move(edited));
}

DockTheme::Information MainController::_informationInFields() const {
    return {previewdock_title->text().toStdString(), previewdock_author->text().toStdString(),
            previewdock_site->text().toStdString(), previewdock_version->text().toStdString(),
            previewdock_appcasturl->text().toStdString()};
}

// Every field shows the open theme's value; a value the theme lacks empties its field.
void MainController::_fillInformationFields() {
    // A value the theme lacks empties its field (information() reads it as empty).
    _showInformation(currentTheme->information(), true);
}

void MainController::_showInformation(const DockTheme::Information& values, bool withDescription) {
    filling_ = true;
    previewdock_site->setText(QString::fromStdString(values.site));
    previewdock_author->setText(QString::fromStdString(values.author));
    previewdock_title->setText(QString::fromStdString(values.name));
    previewdock_version->setText(QString::fromStdString(values.version));
    previewdock_appcasturl->setText(QString::fromStdString(values.appcast));
    if (withDescription) {
        previewdock_description->clear();
        if (std::optional<RichText> description = currentTheme->description()) {
            RichTextConversion::fill(*previewdock_description->document(), *description);
        }
    }
    filling_ = false;
}

bool MainController::btn_saveInfo() {
    // The description is written only when it was edited, with the rest or not at all.
    if (!session_->saveInformation(_informationInFields())) {
        return false;
    }
    _updateWindowTitle();
    return true;
}

void MainController::btn_closeDockPreview() {
    if (!currentTheme) {
        return;
    }
    DockTheme::Information values = currentTheme->information();
    values.author = previewdock_author->text().toStdString();
    values.site = previewdock_site->text().toStdString();
    if (!currentTheme->saveInformation(values, nullptr)) {
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
        session_->decoder().request(screenshot_preview,
                                    {currentTheme->bundleFolder(),
                                     QString::fromStdString(currentTheme->previewDockPath(style))},
                                    QSize(), shown);
    } else {
        session_->decoder().cancel(screenshot_preview);
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

bool MainController::hasUnsavedInformation() const {
    return session_->hasUnsavedInformation();
}

bool MainController::hasEditedDescription() const {
    return session_->hasEditedDescription();
}
