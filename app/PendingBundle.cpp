#include "app/PendingBundle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include "platform/BundleFolder.h"
#include "platform/FileManager.h"
#include "platform/Renaming.h"

namespace {

std::string text(const QString& string) {
    return QFile::encodeName(string).toStdString();
}

QString reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
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
    if (!Renaming::withoutReplacing(AT_FDCWD, text(path_), AT_FDCWD, text(final_))) {
        *whyNot = errno == EEXIST || errno == ENOTEMPTY
                      ? QStringLiteral("something with that name is there already")
                      : QStringLiteral("it could not be named so (%1)").arg(reason(errno));
        return false;
    }
    placed_ = true;
    path_ = final_;
    return true;
}
