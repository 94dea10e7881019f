#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "model/DockStyle.h"
#include "model/DockTheme.h"
#include "model/RichText.h"

class AsideFile;
class QImage;
class Dialogs;
class ImageDecoder;
class QFileSystemWatcher;
class QTimer;
class QUndoCommand;
class QUndoStack;
class QWidget;
class TemporaryFolder;

// The owner of the open theme, as one object: the DockTheme the editor
// shows, the information edits not yet saved, and the history of its changes.
// It is the one door to the theme: opening, closing, saving, every edit (the
// information, a slot's image, a bundle picture, each with what its undo
// keeps) and any change of the open theme's folder from elsewhere (the
// collection) are its operations; views see the theme read-only, connect to
// its signals themselves and never keep a theme of their own. Work done off
// the UI thread for the open theme carries generation() and is dropped when
// the generation moved on meanwhile.
//
// Owns the theme, the history (a child QUndoStack, cleared before the
// theme goes, since its commands refer to it), the decoder of the theme's
// pictures (a child, whose thumbnails and requests are forgotten with the
// theme, so no picture of a closed theme is shown) and the folder of the
// copies that undo keeps (removed with the session). Asks and tells the user
// only through dialogs (not owned), over the window given by setWindow. GUI
// thread only; it blocks only while a question is up.
//
// Other programs may change the open theme (velvanto-theme, a second
// editor). A watcher on the bundle's folders, and a look before each save,
// notice it: syncWithDisk() reloads the theme in place, keeps the unsaved
// information edits (asking only where the other program changed the same
// field), drops the history when a step no longer matches the bundle, and
// says so through notice().
//
// What reaches the disk when: opening removes what a killed save left in the
// bundle; saveInformation writes Info.plist and, when the description was
// edited, description.rtf, both or neither (DockTheme::saveInformation), and
// on failure the theme in memory keeps its saved values. Edits stay in memory
// until saved or dropped. The history's commands write when pushed, undone
// and redone.
//
// The history is bounded by the bytes its steps keep aside (ThemeCommand::
// keptBytes), kHistoryBytes in all: once a push goes beyond, the oldest steps
// let go of their copies at once and leave the history when an undo reaches
// them, so the Undo command never offers one. The newest step always stays.
class ThemeSession : public QObject {
    Q_OBJECT

public:
    // How an open ended.
    enum class Opening { Opened, Defective, Cancelled };

    // The most bytes the history's steps keep aside in all.
    static constexpr qint64 kHistoryBytes = qint64(256) * 1024 * 1024;

    explicit ThemeSession(Dialogs& dialogs, QObject* parent = nullptr);
    ~ThemeSession() override;

    // The window that questions and alerts belong to.
    void setWindow(QWidget* window) { window_ = window; }

    // The open theme, read-only; nullptr when none is open. Valid until closed()
    // or reloaded() (a reload keeps the object, its slot lists are new).
    const DockTheme* theme() const { return theme_.get(); }
    // Changes whenever the open theme does: opened, closed or read again.
    quint64 generation() const { return generation_; }
    // Whether the open theme's folder is the entry at path (links in path followed).
    bool isAt(const std::string& path) const;
    QUndoStack& history() const { return *history_; }
    // Bounds the history to bytes kept aside instead of kHistoryBytes (tests).
    void setHistoryBytes(qint64 bytes) { historyBytes_ = bytes; }
    ImageDecoder& decoder() const { return *decoder_; }
    // The editor's folder for temporary files (TemporaryFolder); empty when none could be made.
    const QString& temporaryFolder() const;

    // Opens the bundle at path in place of the open theme, after asking about
    // the open theme's unsaved edits. Defective (whyNot says why) leaves the
    // open theme; so does Cancelled, when the user cancelled the question.
    Opening open(const std::string& path, std::string* whyNot = nullptr);
    // Makes theme the open theme, dropping the open one without asking.
    void adopt(std::unique_ptr<DockTheme> theme);
    // Whether the open theme may go: asks about unsaved edits, saving them on
    // Save and dropping them on Don't Save; false when the user cancelled or
    // the save failed.
    bool mayClose();
    // Closes the open theme once mayClose() agrees; false when it stays.
    bool close();
    // See ThemeHost::changeThemeFolder; the welcome view is not this class's
    // concern. When the open theme has steps in its history, asks first.
    bool changeFolder(const std::string& path, const std::function<bool()>& change);

    // The information fields now hold values; description, when given, is an
    // edit of the description (one given earlier is kept otherwise).
    void editInformation(const DockTheme::Information& values,
                         std::optional<RichText> description = std::nullopt);
    bool hasUnsavedInformation() const { return edits_.has_value(); }
    bool hasEditedDescription() const { return edits_ && edits_->description; }
    // Writes values, and the description when it was edited, to the open
    // theme, whole; asks first before replacing a description the theme
    // could not read. False, after an alert saying why, when nothing was
    // written; the edits stay then.
    bool saveInformation(const DockTheme::Information& values);
    // Reloads the open theme when it changed on disk behind the editor (see
    // above); emits reloaded() and notice() then. False when the theme no
    // longer opens as it is on disk: it stays shown as it was, and an alert
    // says why. Blocks only while a question is up.
    bool syncWithDisk();
    // The edits not yet saved; nothing when there are none.
    std::optional<DockTheme::Information> unsavedInformation() const;
    // Writes only author and site into the theme's Info.plist at once (the
    // information view's own store); the other unsaved edits stay. False,
    // after an alert, when nothing was written.
    bool storeAuthorAndSite(const std::string& author, const std::string& site);

    // Replaces the image of the slot at row of category with the file at
    // path, under the name proposedName, as an undoable step; after a sync
    // with the disk, so the old image is the one there now. Refused, with a
    // beep and an alert saying why and nothing written: a name the theme has
    // ("Duplicate file"), a file that is no picture the check reads or can't
    // be copied. When the old image can't be kept for undo the user is asked
    // first, and the history ends with the step. slotChanged() follows each
    // change, its undo and redo.
    bool replaceSlotImage(DockCategory category, int row, const QString& path,
                          const std::string& proposedName);
    // Puts the file at path in the bundle as name (the micro preview, a Dock
    // screenshot; one of ThemeBundle::topLevelFiles()) as an undoable step
    // titled what; fileChanged(name) follows each change. A Dock screenshot
    // is also kept in the theme's backup. False (beep and alert) when it
    // could not.
    bool putBundleFile(const QString& what, const std::string& name, const QString& path);
    // The same for a picture drawn in the editor, written as a PNG to the
    // temporary folder first (and removed from there after).
    bool putBundlePicture(const QString& what, const std::string& name, const QImage& picture);
    // The open theme's Dock screenshots were drawn anew (by the renderer):
    // fileChanged() for each.
    void screenshotsDrawn();

signals:
    // A theme was opened (or adopted); theme() is it.
    void opened();
    // The open theme went; theme() is empty, and the theme lives until the
    // handlers return, so a view can let it go.
    void closed();
    // The information was written.
    void saved();
    // Whether unsaved information edits exist changed.
    void editedChanged(bool edited);
    // The open theme was read again from disk: its slot lists are new, and
    // the information fields show unsavedInformation() or the theme's values.
    void reloaded();
    // A sentence for the status bar.
    void notice(const QString& message);
    // The slot at row of category names another image (a replacement, its
    // undo or redo); the view showing slots shows it selected.
    void slotChanged(DockCategory category, int row);
    // The bundle's file name (the micro preview, a Dock screenshot) changed.
    void fileChanged(const std::string& name);
    // Something in the bundle's folders changed on disk (a picture rewritten
    // in place too, which leaves Info.plist as it was): pictures drawn from
    // the theme's files are drawn again.
    void picturesChanged();

private:
    struct Edits {
        DockTheme::Information values;
        std::optional<RichText> description;
    };

    // Drops the open theme, its edits and its history; emits closed.
    void drop();
    void setEdits(std::optional<Edits> edits);
    // Watches the open theme's folder and its images folder.
    void watch();
    // Keeps the history within historyBytes_ (see above).
    void boundHistory();
    // Whether every step of the history still matches the bundle.
    bool historyApplies() const;
    // Takes what the other program changed into the unsaved edits, asking
    // where both changed a field; before is the theme's information before
    // the reload.
    void mergeEdits(const DockTheme::Information& before, bool descriptionChanged);
    // A copy of the new file at path, the very bytes the bundle will get and
    // redo puts back; nothing, after the beep and an alert of title, when it
    // can't be copied (not a regular file, too large, unreadable).
    std::unique_ptr<AsideFile> keepNew(const QString& path, const QString& title);
    // Keeps a copy of the file at path for undo in kept (none when no regular
    // file is there). When a file there can't be kept (over 16 MiB,
    // unreadable) asks whether to go on without undo: false when the user
    // said no; undoable false when going on without.
    bool keepForUndo(const QString& path, std::unique_ptr<AsideFile>& kept, bool& undoable);
    // Pushes command, which performs itself, on the history; false when it
    // failed. Without undo the history is cleared after it.
    bool perform(QUndoCommand* command, bool undoable);
    // The beep and an alert of title: file was not put in the theme, why.
    void refuse(const QString& title, const QString& file, const QString& why);

    Dialogs& dialogs_;
    QWidget* window_ = nullptr;
    std::unique_ptr<TemporaryFolder> temporaries_;
    QUndoStack* history_ = nullptr;
    ImageDecoder* decoder_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer* settle_ = nullptr;
    bool syncing_ = false;
    qint64 historyBytes_ = kHistoryBytes;
    bool bounding_ = false;
    // The description as last read or saved, to tell another program's change of it.
    std::optional<RichText> savedDescription_;
    std::unique_ptr<DockTheme> theme_;
    std::optional<Edits> edits_;
    quint64 generation_ = 0;
};
