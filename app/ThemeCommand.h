#pragma once

#include <QCoreApplication>
#include <QString>
#include <QUndoCommand>

#include <memory>
#include <string>

#include "app/AsideFile.h"

class Dialogs;
class DockTheme;
class QWidget;

// An edit of the open theme's bundle as an entry of the editor's history.
// Made before the edit, it performs it in its first redo() as in every later
// one. A step that fails marks the command obsolete, so the history drops
// it, and tells the user through dialogs (the beep and an alert over window);
// the bundle is then as it was before the step.
//
// The theme, the dialogs and the window are not owned: the history is
// cleared before the theme goes. UI thread only.
class ThemeCommand : public QUndoCommand {
    Q_DECLARE_TR_FUNCTIONS(ThemeCommand)

public:
    // Whether the bundle is still as this step left it (done) or found it
    // (not done), so that undoing or redoing it changes only what it is
    // about; another program may have changed it meanwhile.
    virtual bool applies(bool done) const = 0;
    // What the step changes ("slot:<category>:<key>", "file:<name>"): of the
    // steps of one subject, only the nearest to the history's index is
    // compared with the bundle.
    virtual std::string subject() const = 0;
    // The bytes the step keeps aside (its copies of files) for undo and redo.
    qint64 keptBytes() const;
    // Lets go of what the step keeps aside, for the history's bound: the step
    // can no longer be undone and is marked obsolete, so the history drops
    // it, without undoing it, when an undo reaches it.
    void release();

protected:
    // before and after are the copies, outside the bundle, of what the step
    // replaces and puts in (none: nothing there); the step owns them.
    ThemeCommand(const QString& text, DockTheme& theme, std::unique_ptr<AsideFile> before,
                 std::unique_ptr<AsideFile> after, Dialogs& dialogs, QWidget* window);

    DockTheme& theme() const { return theme_; }
    const AsideFile* before() const { return before_.get(); }
    const AsideFile* after() const { return after_.get(); }
    // A failed step: logged, marked obsolete, the beep and an alert titled
    // title saying the theme's reason. Always false.
    bool failed(const QString& title);

private:
    DockTheme& theme_;
    std::unique_ptr<AsideFile> before_;
    std::unique_ptr<AsideFile> after_;
    Dialogs& dialogs_;
    QWidget* window_;
};
