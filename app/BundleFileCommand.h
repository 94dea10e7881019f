#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/AsideFile.h"
#include "app/ThemeCommand.h"

// The replacement of one file of a theme bundle (the small preview, a Dock
// screenshot; see ThemeCommand): it holds copies, outside the bundle, of the
// file before (none when there was no file) and after. redo() puts the new
// file in through the theme, undo() the old one back (or removes the new one
// when there was none, only ever a regular file), each written to a temporary
// file renamed into place; shown() is called after each so the window shows
// it. The copies go when the command is dropped.
class BundleFileCommand : public ThemeCommand {
    Q_DECLARE_TR_FUNCTIONS(BundleFileCommand)

public:
    // name is the file's name in the bundle, one of ThemeBundle::topLevelFiles().
    BundleFileCommand(const QString& text, DockTheme& theme, std::string name,
                      std::unique_ptr<AsideFile> before, std::unique_ptr<AsideFile> after,
                      std::function<void()> shown, Dialogs& dialogs, QWidget* window);

    // The bundle's file holds the bytes of after (done) or before (none: no file).
    bool applies(bool done) const override;
    std::string subject() const override { return "file:" + name_; }
    void undo() override;
    void redo() override;

private:
    void put(const AsideFile* file);

    std::string name_;
    std::function<void()> shown_;
};
