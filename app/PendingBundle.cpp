#include "app/PendingBundle.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include "platform/BundleFolder.h"
#include "platform/FileManager.h"

namespace {

std::string text(const QString& string) {
    return QFile::encodeName(string).toStdString();
}

QString reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Renames from to to unless anything has that name. Where the file system
// can't refuse in the rename itself, an empty folder of ours claims the name
// first and the rename replaces it.
bool renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    if (::mkdir(to.c_str(), 0700) != 0) {
        return false;
    }
    if (::rename(from.c_str(), to.c_str()) == 0) {
        return true;
    }
    int error = errno;
    ::rmdir(to.c_str());
    errno = error;
    return false;
}

}  // namespace

PendingBundle::PendingBundle(QString path, QString finalPath)
    : path_(std::move(path)), final_(std::move(finalPath)) {}

PendingBundle::~PendingBundle() {
    if (!placed_) {
        FileManager::removePath(text(path_));
    }
}

std::unique_ptr<PendingBundle> PendingBundle::make(const QString& finalPath, QString* whyNot) {
    QFileInfo target(finalPath);
    std::string pattern =
        text(target.path() + QStringLiteral("/") + QLatin1String(BundleFolder::kTemporaryPrefix) +
             target.fileName() + QStringLiteral("-XXXXXX"));
    if (!::mkdtemp(pattern.data())) {
        *whyNot = QStringLiteral("the folder can't be written (%1)").arg(reason(errno));
        return nullptr;
    }
    std::unique_ptr<PendingBundle> bundle(
        new PendingBundle(QFile::decodeName(pattern.c_str()), finalPath));
    // The folder gets the mode a folder made by the user's programs has.
    ::chmod(pattern.c_str(), 0755);
    bundle->folder_ =
        Descriptor(::open(pattern.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW));
    if (!bundle->folder_.valid()) {
        *whyNot = QStringLiteral("the folder can't be written (%1)").arg(reason(errno));
        return nullptr;
    }
    return bundle;
}

bool PendingBundle::place(QString* whyNot) {
    if (!renameNoReplace(text(path_), text(final_))) {
        *whyNot = errno == EEXIST || errno == ENOTEMPTY
                      ? QStringLiteral("something with that name is there already")
                      : QStringLiteral("it could not be named so (%1)").arg(reason(errno));
        return false;
    }
    placed_ = true;
    path_ = final_;
    return true;
}
