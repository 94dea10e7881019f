#pragma once

#include <QUndoCommand>

#include <functional>
#include <memory>
#include <string>

#include "app/AsideFile.h"

class DockTheme;

// The replacement of one file of a theme bundle (the small preview, a Dock
// screenshot), as an entry of the editor's history.
//
// Made after the file was replaced (the first redo() does nothing): it holds
// copies, outside the bundle, of the file before (none when there was no
// file) and after. undo() puts the old file back through the theme (or
// removes the new one when there was none, only ever a regular file), redo()
// the new one, each written to a temporary file renamed into place; shown()
// is called after each so the window shows it. A change that fails beeps and
// logs the theme's reason. The copies go when the command is dropped from the
// history. The theme is not owned: the history is cleared before the theme
// goes. UI thread only.
class BundleFileCommand : public QUndoCommand {
public:
    // name is the file's name in the bundle, one of ThemeBundle::topLevelFiles().
    BundleFileCommand(const QString& text, DockTheme& theme, std::string name,
                      std::unique_ptr<AsideFile> before, std::unique_ptr<AsideFile> after,
                      std::function<void()> shown);

    void undo() override;
    void redo() override;

private:
    void put(const AsideFile* file);

    DockTheme& theme_;
    std::string name_;
    std::unique_ptr<AsideFile> before_;
    std::unique_ptr<AsideFile> after_;
    std::function<void()> shown_;
    bool done_ = true;
};
