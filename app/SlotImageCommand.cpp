#include "app/SlotImageCommand.h"

#include "model/DockTheme.h"
#include "model/MiscKit.h"

namespace {

QString titleFor(const std::string& key) {
    std::string name = MiscKit::sharedFiles().getNaturalNameForKey(key).value_or(key);
    return SlotImageCommand::tr("Replace %1").arg(QString::fromStdString(name));
}

}  // namespace

SlotImageCommand::SlotImageCommand(DockTheme& theme, Slot slot, std::unique_ptr<AsideFile> before,
                                   std::unique_ptr<AsideFile> after, std::string newName,
                                   Shown shown, Dialogs& dialogs, QWidget* window)
    : ThemeCommand(titleFor(slot.key), theme, std::move(before), std::move(after), dialogs, window),
      slot_(std::move(slot)),
      oldName_(theme.getFileNameForKey(slot_.key, slot_.category).value_or("")),
      newName_(std::move(newName)),
      shown_(std::move(shown)) {}

bool SlotImageCommand::applies(bool done) const {
    return theme().getFileNameForKey(slot_.key, slot_.category) == (done ? newName_ : oldName_);
}

std::string SlotImageCommand::subject() const {
    return "slot:" + std::to_string(indexOf(slot_.category)) + ":" + slot_.key;
}

void SlotImageCommand::undo() {
    put(undoable() ? before() : nullptr, oldName_, newName_);
}

void SlotImageCommand::redo() {
    put(after(), newName_, oldName_);
}

bool SlotImageCommand::put(const AsideFile* image, const std::string& name,
                           const std::string& expected) {
    std::optional<std::string> path =
        image ? theme().setFileName(image->path().toStdString(), slot_.key, slot_.category, name,
                                    expected)
              : std::nullopt;
    if (!path) {
        return failed(tr("Image Not Replaced"));
    }
    theme().reloadItemAtIndex(slot_.row, *path, slot_.key, slot_.category);
    shown_(slot_.row, slot_.category);
    return true;
}
