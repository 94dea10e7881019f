#pragma once

#include <QUndoCommand>

#include <functional>
#include <memory>

#include "app/AsideFile.h"

// The replacement of one file of a theme bundle (the small preview, a Dock
// screenshot), as an entry of the editor's history.
//
// Made after the file was replaced (the first redo() does nothing): it holds
// copies, outside the bundle, of the file before (none when there was no
// file) and after. undo() puts the old file back (or removes the new one when
// there was none), redo() the new one, each a temporary file renamed into
// place; shown() is called after each so the window shows it. A change that
// fails beeps and logs. The copies go when the command is dropped from the
// history. UI thread only.
class BundleFileCommand : public QUndoCommand {
public:
    BundleFileCommand(const QString& text, QString target, std::unique_ptr<AsideFile> before,
                      std::unique_ptr<AsideFile> after, std::function<void()> shown);

    void undo() override;
    void redo() override;

private:
    void put(const AsideFile* file);

    QString target_;
    std::unique_ptr<AsideFile> before_;
    std::unique_ptr<AsideFile> after_;
    std::function<void()> shown_;
    bool done_ = true;
};
