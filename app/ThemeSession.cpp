#include "app/ThemeSession.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QImage>
#include <QStringList>
#include <QTimer>
#include <QUndoStack>

#include <set>

#include "app/AsideFile.h"
#include "app/BundleFileCommand.h"
#include "app/Dialogs.h"
#include "app/ImageDecoder.h"
#include "app/SlotImageCommand.h"
#include "app/TemporaryFolder.h"
#include "app/ThemeCommand.h"
#include "image/ImageFile.h"
#include "model/ThemeBundle.h"
#include "platform/BundleFolder.h"
#include "platform/Log.h"

namespace {

// A writer renames several files in a row: the theme is read again once they settle.
constexpr int kSettleMilliseconds = 150;

}  // namespace

ThemeSession::ThemeSession(Dialogs& dialogs, QObject* parent)
    : QObject(parent),
      dialogs_(dialogs),
      temporaries_(std::make_unique<TemporaryFolder>()),
      history_(new QUndoStack(this)),
      decoder_(new ImageDecoder(this)),
      watcher_(new QFileSystemWatcher(this)),
      settle_(new QTimer(this)) {
    connect(history_, &QUndoStack::indexChanged, this, &ThemeSession::boundHistory);
    settle_->setSingleShot(true);
    settle_->setInterval(kSettleMilliseconds);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, settle_, qOverload<>(&QTimer::start));
    connect(settle_, &QTimer::timeout, this, [this] {
        syncWithDisk();
        emit picturesChanged();
    });
}

ThemeSession::~ThemeSession() {
    // The commands refer to the theme: they go first. No signal: the views may be gone.
    history_->clear();
}

const QString& ThemeSession::temporaryFolder() const {
    return temporaries_->path();
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
    ++generation_;
    setEdits(std::nullopt);
    savedDescription_ = theme_->description();
    watch();
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
    // What was changed since opening is on disk but goes with the folder: asked first.
    if (wasOpen && history_->count() > 0 &&
        !dialogs_.ask(window_, tr("Change Open Theme?"), tr("Go On"), tr("Cancel"),
                      tr("The theme open in the window is replaced or removed in "
                         "the collection. The changes you made to it since you "
                         "opened it go with it and can't be undone. Go on?"))) {
        return false;
    }
    if (wasOpen && !close()) {
        return false;
    }
    const bool changed = change();
    struct stat there {};
    if (wasOpen && ::lstat(path.c_str(), &there) == 0) {
        std::string why;
        if (open(path, &why) == Opening::Defective) {
            Log::write("The changed theme does not open: " + why);
        } else if (changed) {
            // A collection's Replace or an installed update: either way a new copy.
            emit notice(tr("The theme was replaced by a new copy and opened again"));
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
    // Another program may have changed the theme: what it changed is taken
    // in first, and the fields now hold the merged values.
    const bool behind = theme_->changedOnDisk();
    syncWithDisk();
    const DockTheme::Information merged = behind && edits_ ? edits_->values : values;
    const RichText* description = edits_ && edits_->description ? &*edits_->description : nullptr;
    // A description the theme's file could not give (its field showed nothing
    // of it) is replaced only when the user says so.
    if (description && !theme_->description() &&
        !dialogs_.ask(window_, tr("Replace Description?"), tr("Replace"), tr("Cancel"),
                      tr("The theme's description could not be read (%1). Saving "
                         "replaces it with the text shown. Replace it?")
                          .arg(QString::fromStdString(theme_->errorString())))) {
        return false;
    }
    if (!theme_->saveInformation(merged, description)) {
        dialogs_.alert(window_, tr("Information Not Saved"), tr("OK"),
                       tr("The theme information could not be written to %1: %2.")
                           .arg(QString::fromStdString(theme_->dockPath()),
                                QString::fromStdString(theme_->errorString())));
        return false;
    }
    if (description) {
        savedDescription_ = *description;
    }
    setEdits(std::nullopt);
    emit saved();
    return true;
}

bool ThemeSession::syncWithDisk() {
    if (!theme_ || syncing_) {
        return true;
    }
    const bool tableChanged = theme_->changedOnDisk();
    std::optional<RichText> description = theme_->description();
    const bool descriptionChanged = !(description == savedDescription_);
    if (!tableChanged && !descriptionChanged) {
        return true;
    }
    syncing_ = true;
    const DockTheme::Information before = theme_->information();
    std::string why;
    if (tableChanged && !theme_->reload(&why)) {
        syncing_ = false;
        Log::write("The open theme changed on disk and no longer opens: " + why);
        emit notice(tr("Another program changed the theme so that it no longer "
                       "opens (%1); the window shows it as it was")
                        .arg(QString::fromStdString(why)));
        return false;
    }
    ++generation_;
    mergeEdits(before, descriptionChanged);
    savedDescription_ = std::move(description);
    const bool dropped = !historyApplies();
    if (dropped) {
        history_->clear();
    }
    watch();
    syncing_ = false;
    emit reloaded();
    emit notice(dropped ? tr("Another program changed the theme: it was read again, "
                             "and the undo steps that no longer apply were dropped")
                        : tr("Another program changed the theme: it was read again"));
    return true;
}

std::optional<DockTheme::Information> ThemeSession::unsavedInformation() const {
    return edits_ ? std::optional<DockTheme::Information>(edits_->values) : std::nullopt;
}

bool ThemeSession::storeAuthorAndSite(const std::string& author, const std::string& site) {
    if (!theme_) {
        return false;
    }
    syncWithDisk();
    DockTheme::Information values = theme_->information();
    values.author = author;
    values.site = site;
    if (!theme_->saveInformation(values, nullptr)) {
        dialogs_.alert(window_, tr("Information Not Saved"), tr("OK"),
                       tr("The theme information could not be written to %1.")
                           .arg(QString::fromStdString(theme_->indexFile())));
        return false;
    }
    // What is stored now is no longer an unsaved edit.
    if (edits_ && edits_->values == theme_->information() && !edits_->description) {
        setEdits(std::nullopt);
    }
    emit saved();
    return true;
}

bool ThemeSession::replaceSlotImage(DockCategory category, int row, const QString& path,
                                    const std::string& proposedName) {
    // The slot's old image is the one on disk now, should another program have changed it.
    syncWithDisk();
    const DockTheme::SlotList* list = theme_ ? &theme_->slotList(category) : nullptr;
    if (!list || row < 0 || static_cast<std::size_t>(row) >= list->size()) {
        dialogs_.beep();
        return false;
    }
    const ImageObjectView& item = *(*list)[static_cast<std::size_t>(row)];
    const std::string key = item.keyDock();
    Log::write("set new path " + Log::escaped(path.toStdString()) + " (key: " + key + ")");
    if (theme_->verifyNameExistForFile(proposedName)) {
        dialogs_.beep();
        dialogs_.alert(window_, tr("Duplicate file"), tr("OK"),
                       tr("This file already exist in theme package"));
        return false;
    }
    std::unique_ptr<AsideFile> after = keepNew(path, tr("Image Not Replaced"));
    if (!after) {
        return false;
    }
    // A file the theme check refuses as no picture would make the theme fail to apply.
    const Descriptor kept = ImageFile::open(after->path());
    if (!kept.valid() || !ImageFile::pictureSize(kept.get())) {
        refuse(tr("Image Not Replaced"), path, tr("it is not a picture the theme check reads"));
        return false;
    }
    std::unique_ptr<AsideFile> before;
    bool undoable = true;
    if (!keepForUndo(QString::fromStdString(item.path()), before, undoable)) {
        return false;
    }
    SlotImageCommand::Slot slot{key, category, static_cast<std::size_t>(row)};
    auto* command = new SlotImageCommand(
        *theme_, slot, std::move(before), std::move(after), proposedName,
        [this](std::size_t shownRow, DockCategory shownCategory) {
            emit slotChanged(shownCategory, static_cast<int>(shownRow));
        },
        dialogs_, window_);
    return perform(command, undoable && command->undoable());
}

bool ThemeSession::putBundleFile(const QString& what, const std::string& name,
                                 const QString& path) {
    if (!theme_) {
        dialogs_.beep();
        return false;
    }
    std::unique_ptr<AsideFile> after = keepNew(path, tr("Picture Not Replaced"));
    if (!after) {
        return false;
    }
    std::unique_ptr<AsideFile> before;
    bool undoable = true;
    if (!keepForUndo(QString::fromStdString(theme_->dockPath() + "/" + name), before, undoable)) {
        return false;
    }
    // The theme copies it beside the old file and renames it over it: a
    // failed copy leaves the old one, shown, and Info.plist untouched.
    auto* command = new BundleFileCommand(
        what, *theme_, name, std::move(before), std::move(after),
        [this, name] { emit fileChanged(name); }, dialogs_, window_);
    if (!perform(command, undoable)) {
        return false;
    }
    if (name != "preview_micro.png") {
        theme_->backup();
    }
    return true;
}

bool ThemeSession::putBundlePicture(const QString& what, const std::string& name,
                                    const QImage& picture) {
    const QString file =
        QDir(temporaryFolder()).filePath(QStringLiteral("drawn-") + QString::fromStdString(name));
    if (picture.isNull() || !picture.save(file, "PNG")) {
        refuse(tr("Picture Not Replaced"), QString::fromStdString(name),
               tr("it could not be drawn"));
        QFile::remove(file);
        return false;
    }
    const bool put = putBundleFile(what, name, file);
    QFile::remove(file);
    return put;
}

void ThemeSession::screenshotsDrawn() {
    if (theme_) {
        for (DockStyle style : {DockStyle::ThreeD, DockStyle::TwoD}) {
            emit fileChanged(
                std::filesystem::path(theme_->previewDockPath(style)).filename().string());
        }
    }
}

void ThemeSession::drop() {
    history_->clear();
    decoder_->clear();
    setEdits(std::nullopt);
    settle_->stop();
    if (!watcher_->directories().isEmpty()) {
        watcher_->removePaths(watcher_->directories());
    }
    savedDescription_.reset();
    const std::unique_ptr<DockTheme> gone = std::move(theme_);
    ++generation_;
    emit closed();
}

void ThemeSession::setEdits(std::optional<Edits> edits) {
    const bool was = edits_.has_value();
    edits_ = std::move(edits);
    if (was != edits_.has_value()) {
        emit editedChanged(edits_.has_value());
    }
}

void ThemeSession::watch() {
    if (!watcher_->directories().isEmpty()) {
        watcher_->removePaths(watcher_->directories());
    }
    QStringList folders{QString::fromStdString(theme_->dockPath())};
    const std::optional<PlistValue>& info = theme_->infoDictionary();
    const auto base = info ? ThemeBundle::imageBase(*info) : std::nullopt;
    if (base && !base->folder.empty()) {
        folders << QString::fromStdString(theme_->bundleFolder()->pathOf(base->folder));
    }
    watcher_->addPaths(folders);
}

void ThemeSession::boundHistory() {
    if (bounding_) {
        return;
    }
    bounding_ = true;
    // A released step is obsolete: an undo deletes it without undoing it.
    while (history_->index() > 0 && history_->command(history_->index() - 1)->isObsolete()) {
        history_->undo();
    }
    qint64 kept = 0;
    for (int i = history_->count() - 1; i >= 0; --i) {
        // The history owns its steps; command() only hands them out const.
        auto* step = dynamic_cast<ThemeCommand*>(const_cast<QUndoCommand*>(history_->command(i)));
        if (!step || step->isObsolete()) {
            continue;
        }
        kept += step->keptBytes();
        if (kept > historyBytes_ && i < history_->count() - 1) {
            step->release();
        }
    }
    bounding_ = false;
}

bool ThemeSession::historyApplies() const {
    // Of each subject, the nearest done step must have left the bundle as it
    // is, and the nearest undone step must find it so.
    std::set<std::string> done;
    for (int i = history_->index() - 1; i >= 0; --i) {
        const auto* step = dynamic_cast<const ThemeCommand*>(history_->command(i));
        if (step && !step->isObsolete() && done.insert(step->subject()).second &&
            !step->applies(true)) {
            return false;
        }
    }
    std::set<std::string> undone;
    for (int i = history_->index(); i < history_->count(); ++i) {
        const auto* step = dynamic_cast<const ThemeCommand*>(history_->command(i));
        if (step && undone.insert(step->subject()).second && !step->applies(false)) {
            return false;
        }
    }
    return true;
}

void ThemeSession::mergeEdits(const DockTheme::Information& before, bool descriptionChanged) {
    if (!edits_) {
        return;
    }
    using Field = std::string DockTheme::Information::*;
    static const std::pair<Field, const char*> kFields[] = {
        {&DockTheme::Information::name, QT_TR_NOOP("name")},
        {&DockTheme::Information::author, QT_TR_NOOP("author")},
        {&DockTheme::Information::site, QT_TR_NOOP("web site")},
        {&DockTheme::Information::version, QT_TR_NOOP("version")},
        {&DockTheme::Information::appcast, QT_TR_NOOP("update feed")},
    };
    const DockTheme::Information disk = theme_->information();
    Edits merged = *edits_;
    std::vector<Field> conflicting;
    QStringList names;
    for (const auto& [field, name] : kFields) {
        if (merged.values.*field == before.*field) {
            merged.values.*field = disk.*field;  // not edited here: the other program's value
        } else if (disk.*field != before.*field && merged.values.*field != disk.*field) {
            conflicting.push_back(field);
            names << tr(name);
        }
    }
    const bool descriptionConflicts = descriptionChanged && merged.description.has_value();
    if (descriptionConflicts) {
        names << tr("description");
    }
    if (!names.isEmpty() &&
        !dialogs_.ask(window_, tr("Theme Changed on Disk"), tr("Keep My Edits"), tr("Use Theirs"),
                      tr("Another program changed the %1 of this theme while you "
                         "were editing. Keep your edits, or use what is on disk now?")
                          .arg(names.join(QStringLiteral(", "))))) {
        for (Field field : conflicting) {
            merged.values.*field = disk.*field;
        }
        if (descriptionConflicts) {
            merged.description.reset();
        }
    }
    if (merged.values == disk && !merged.description) {
        setEdits(std::nullopt);
    } else {
        setEdits(std::move(merged));
    }
}

std::unique_ptr<AsideFile> ThemeSession::keepNew(const QString& path, const QString& title) {
    // The bundle gets the very bytes kept for redo; only a regular file of an image's size is
    // taken.
    QString why;
    std::unique_ptr<AsideFile> kept = AsideFile::keep(temporaryFolder(), path, true, &why);
    if (!kept) {
        Log::write("Cannot copy " + Log::escaped(path.toStdString()));
        refuse(title, path, tr("it %1").arg(why));
    }
    return kept;
}

bool ThemeSession::keepForUndo(const QString& path, std::unique_ptr<AsideFile>& kept,
                               bool& undoable) {
    struct stat info {};
    undoable = true;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return true;  // nothing of the user's to keep: undo removes what comes
    }
    QString why;
    kept = AsideFile::keep(temporaryFolder(), path, false, &why);
    if (kept) {
        return true;
    }
    undoable = false;
    return dialogs_.ask(window_, tr("Replace Without Undo?"), tr("Replace"), tr("Cancel"),
                        tr("“%1” %2 and can't be kept for undo. Replace it anyway?")
                            .arg(QFileInfo(path).fileName(), why));
}

bool ThemeSession::perform(QUndoCommand* command, bool undoable) {
    const int before = history_->index();
    history_->push(command);  // an obsolete command, one that failed, is dropped
    if (history_->index() == before) {
        return false;
    }
    if (!undoable) {
        history_->clear();  // a file that can't be kept can't be put back
    }
    return true;
}

void ThemeSession::refuse(const QString& title, const QString& file, const QString& why) {
    dialogs_.beep();
    dialogs_.alert(window_, title, tr("OK"), tr("%1 was not put in the theme: %2.").arg(file, why));
}
