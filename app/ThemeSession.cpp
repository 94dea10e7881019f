#include "app/ThemeSession.h"

#include <sys/stat.h>

#include <QUndoStack>

#include "app/Dialogs.h"
#include "app/ImageDecoder.h"
#include "platform/BundleFolder.h"
#include "platform/Log.h"

ThemeSession::ThemeSession(Dialogs& dialogs, QObject* parent)
    : QObject(parent),
      dialogs_(dialogs),
      history_(new QUndoStack(this)),
      decoder_(new ImageDecoder(this)) {}

ThemeSession::~ThemeSession() {
    // The commands refer to the theme: they go first. No signal: the views may be gone.
    history_->clear();
}

bool ThemeSession::isAt(const std::string& path) const {
    struct stat open {};
    struct stat there {};
    return theme_ && ::fstat(theme_->bundleFolder()->fd(), &open) == 0 &&
           ::stat(path.c_str(), &there) == 0 && open.st_dev == there.st_dev &&
           open.st_ino == there.st_ino;
}

ThemeSession::Opening ThemeSession::open(const std::string& path, std::string* whyNot) {
    std::unique_ptr<DockTheme> theme = DockTheme::initWithBundleAtPath(path, whyNot);
    if (!theme) {
        return Opening::Defective;
    }
    if (!mayClose()) {
        return Opening::Cancelled;
    }
    // What a killed save left in the bundle goes now.
    theme->removeLeftovers();
    adopt(std::move(theme));
    return Opening::Opened;
}

void ThemeSession::adopt(std::unique_ptr<DockTheme> theme) {
    if (theme_) {
        drop();
    }
    theme_ = std::move(theme);
    setEdits(std::nullopt);
    emit opened();
}

bool ThemeSession::mayClose() {
    if (!theme_ || !edits_) {
        return true;
    }
    switch (dialogs_.askSaveChanges(window_)) {
        case Dialogs::SaveAnswer::Save:
            return saveInformation(edits_->values);
        case Dialogs::SaveAnswer::DontSave:
            setEdits(std::nullopt);
            return true;
        case Dialogs::SaveAnswer::Cancel:
            break;
    }
    return false;
}

bool ThemeSession::close() {
    if (!mayClose()) {
        return false;
    }
    if (theme_) {
        drop();
    }
    return true;
}

bool ThemeSession::changeFolder(const std::string& path, const std::function<bool()>& change) {
    const bool wasOpen = isAt(path);
    if (wasOpen && !close()) {
        return false;
    }
    const bool changed = change();
    struct stat there {};
    if (wasOpen && ::lstat(path.c_str(), &there) == 0) {
        std::string why;
        if (open(path, &why) == Opening::Defective) {
            Log::write("The changed theme does not open: " + why);
        }
    }
    return changed;
}

void ThemeSession::editInformation(const DockTheme::Information& values,
                                   std::optional<RichText> description) {
    if (!description && edits_) {
        description = std::move(edits_->description);
    }
    setEdits(Edits{values, std::move(description)});
}

bool ThemeSession::saveInformation(const DockTheme::Information& values) {
    if (!theme_) {
        dialogs_.beep();
        return false;
    }
    const RichText* description = edits_ && edits_->description ? &*edits_->description : nullptr;
    // A description the theme's file could not give (its field showed nothing
    // of it) is replaced only when the user says so.
    if (description && !theme_->description() &&
        !dialogs_.ask(window_, QStringLiteral("Replace Description?"), QStringLiteral("Replace"),
                      QStringLiteral("Cancel"),
                      QStringLiteral("The theme's description could not be read (%1). Saving "
                                     "replaces it with the text shown. Replace it?")
                          .arg(QString::fromStdString(theme_->errorString())))) {
        return false;
    }
    if (!theme_->saveInformation(values, description)) {
        dialogs_.alert(window_, QStringLiteral("Information Not Saved"), QStringLiteral("OK"),
                       QStringLiteral("The theme information could not be written to %1: %2.")
                           .arg(QString::fromStdString(theme_->dockPath()),
                                QString::fromStdString(theme_->errorString())));
        return false;
    }
    setEdits(std::nullopt);
    emit saved();
    return true;
}

void ThemeSession::drop() {
    history_->clear();
    decoder_->clear();
    setEdits(std::nullopt);
    const std::unique_ptr<DockTheme> gone = std::move(theme_);
    emit closed();
}

void ThemeSession::setEdits(std::optional<Edits> edits) {
    const bool was = edits_.has_value();
    edits_ = std::move(edits);
    if (was != edits_.has_value()) {
        emit editedChanged(edits_.has_value());
    }
}
