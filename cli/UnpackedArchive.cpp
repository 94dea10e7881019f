#include "cli/UnpackedArchive.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "image/ImageFile.h"
#include "model/ArchiveImport.h"
#include "model/MiscKit.h"
#include "model/ThemeBundle.h"

UnpackedArchive::UnpackedArchive(const std::string& path, const ThemeArchive::Cancelled& cancelled)
    : folder_(QDir::tempPath() + QStringLiteral("/velvanto-theme-XXXXXX")) {
    const std::string folder = QFile::encodeName(folder_.path()).toStdString();
    if (!folder_.isValid()) {
        why_ = "no temporary folder could be made in " +
               QFile::encodeName(QDir::tempPath()).toStdString();
        return;
    }
    import_ = std::make_unique<ArchiveImport>(folder);
    if (!import_->valid()) {
        why_ = std::strerror(errno);
        return;
    }
    const std::string hidden = folder + "/" + import_->hiddenName();
    if (const auto name = import_->unpack(path, ImageFile::readerSize, &why_, cancelled)) {
        bundle_ = hidden + "/" + *name;
        return;
    }
    // A theme the check refused was unpacked whole, the one folder there; its
    // check's first error is then the refusal itself.
    std::error_code error;
    std::filesystem::directory_iterator entries(hidden, error);
    const std::filesystem::directory_iterator end;
    if (error || entries == end) {
        return;
    }
    const std::filesystem::path theme = entries->path();
    const std::string suffix = std::string(".") + ThemeBundle::kExtension;
    if (entries->symlink_status(error).type() == std::filesystem::file_type::directory &&
        theme.filename().string().ends_with(suffix) && entries.increment(error) == end &&
        ThemeCheck::firstError(ThemeCheck::check(theme.string(), MiscKit::sharedFiles(),
                                                 ImageFile::readerSize)) == why_) {
        refusedByCheck_ = theme.string();
    }
}

UnpackedArchive::~UnpackedArchive() = default;
