#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/AsideFile.h"
#include "app/ThemeCommand.h"
#include "model/DockStyle.h"

// The replacement of one slot's image (see ThemeCommand): it holds copies,
// outside the bundle, of the slot's old image (none when it could not be
// kept) and of the new one, and their names, the old one read from the theme
// when the command is made. redo() puts the new image in under its name
// through the theme (which writes Info.plist and removes the old image),
// undo() the old one; so the bundle on disk always matches Info.plist, and
// undo restores the old image byte for byte. Without a copy of the old image
// undo fails, so the caller clears the history after pushing such a command.
// The copies go when the command is dropped. shown(row, category) is called
// after each change so the window shows it.
class SlotImageCommand : public ThemeCommand {
    Q_DECLARE_TR_FUNCTIONS(SlotImageCommand)

public:
    struct Slot {
        std::string key;
        DockCategory category = DockCategory::TwoD;
        std::size_t row = 0;
    };
    using Shown = std::function<void(std::size_t row, DockCategory category)>;

    SlotImageCommand(DockTheme& theme, Slot slot, std::unique_ptr<AsideFile> before,
                     std::unique_ptr<AsideFile> after, std::string newName, Shown shown,
                     Dialogs& dialogs, QWidget* window);

    // Whether undo() can put the old image back.
    bool undoable() const { return before() && !oldName_.empty(); }
    // The slot names the new image (done) or the old one.
    bool applies(bool done) const override;
    std::string subject() const override;
    void undo() override;
    void redo() override;

private:
    // Puts image in under name, where the slot still names expected.
    bool put(const AsideFile* image, const std::string& name, const std::string& expected);

    Slot slot_;
    std::string oldName_;
    std::string newName_;
    Shown shown_;
};
