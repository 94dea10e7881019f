#pragma once

#include <QString>
#include <QUndoCommand>

#include <string>

#include <string>

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
    virtual qint64 keptBytes() const { return 0; }
    // Lets go of what the step keeps aside, for the history's bound: the step
    // can no longer be undone and is marked obsolete, so the history drops
    // it, without undoing it, when an undo reaches it.
    virtual void release() { setObsolete(true); }

protected:
    ThemeCommand(const QString& text, DockTheme& theme, Dialogs& dialogs, QWidget* window);

    DockTheme& theme() const { return theme_; }
    // A failed step: logged, marked obsolete, the beep and an alert titled
    // title saying the theme's reason. Always false.
    bool failed(const QString& title);

private:
    DockTheme& theme_;
    Dialogs& dialogs_;
    QWidget* window_;
};
