#include "model/ArchiveImport.h"

#include <fcntl.h>

#include "model/MiscKit.h"
#include "platform/FolderTree.h"
#include "platform/Renaming.h"
#include "platform/WorkFolder.h"

ArchiveImport::ArchiveImport(std::string folder)
    : folder_(std::move(folder)),
      into_(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (into_.valid()) {
        hidden_ = WorkFolder::make(folder_, kPrefix, hiddenName_);
    }
}

ArchiveImport::~ArchiveImport() {
    discard();
}

std::optional<std::string> ArchiveImport::unpack(const std::string& archivePath,
                                                 const ThemeCheck::Decoder& decoder,
                                                 std::string* why,
                                                 const ThemeArchive::Cancelled& cancelled) const {
    return ThemeArchive::extract(archivePath, hidden_.get(), folder_ + "/" + hiddenName_,
                                 MiscKit::sharedFiles(), decoder, why, cancelled);
}

bool ArchiveImport::place(const std::string& name) const {
    return Renaming::withoutReplacing(hidden_.get(), name, into_.get(), name);
}

void ArchiveImport::discard() {
    if (!hidden_.valid()) {
        return;
    }
    FolderTree::remove(into_.get(), hiddenName_);
    hidden_ = Descriptor();
}

void ArchiveImport::removeLeftovers(const std::string& folder) {
    WorkFolder::removeLeftovers(folder, kPrefix);
}
