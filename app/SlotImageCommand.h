#pragma once

#include <QUndoCommand>

#include <functional>
#include <memory>

#include "app/AsideFile.h"
#include "model/DockStyle.h"

class DockTheme;

// The replacement of one slot's image, as an entry of the editor's history.
//
// Made after the replacement was done (the first redo() does nothing): it
// holds copies, outside the bundle, of the slot's old image and of the new
// one, and their names. undo() puts the old image back under its old name
// through the theme (which writes Info.plist and removes the new image),
// redo() the new one; so the bundle on disk always matches Info.plist, and
// undo restores the old image byte for byte. The copies go when the command
// is dropped from the history. shown(row, category) is called after each
// change so the window shows it. A change that fails beeps, logs and leaves
// the slot as it was. The theme is not owned: the history is cleared before
// the theme goes. UI thread only.
class SlotImageCommand : public QUndoCommand {
public:
    struct Slot {
        std::string key;
        DockCategory category = DockCategory::TwoD;
        std::size_t row = 0;
    };
    using Shown = std::function<void(std::size_t row, DockCategory category)>;

    SlotImageCommand(DockTheme& theme, Slot slot, std::unique_ptr<AsideFile> before,
                     std::string oldName, std::unique_ptr<AsideFile> after, std::string newName,
                     Shown shown);

    void undo() override;
    void redo() override;

private:
    void put(const AsideFile& image, const std::string& name);

    DockTheme& theme_;
    Slot slot_;
    std::unique_ptr<AsideFile> before_;
    std::string oldName_;
    std::unique_ptr<AsideFile> after_;
    std::string newName_;
    Shown shown_;
    bool done_ = true;
};
