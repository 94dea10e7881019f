#include "app/AsideFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include <cerrno>
#include <cstring>

#include "model/ThemeBundle.h"
#include "platform/Descriptor.h"
#include "platform/FileManager.h"

namespace {

// Why the copy failed, from errno, as the end of a sentence about the file.
QString failure(int error) {
    if (error == EFBIG) {
        return AsideFile::tr("is larger than %1 MiB")
            .arg(ThemeBundle::kMaxImageBytes / (1024 * 1024));
    }
    return AsideFile::tr("could not be copied (%1)")
        .arg(QString::fromLocal8Bit(std::strerror(error)));
}

}  // namespace

AsideFile::AsideFile(QString path, qint64 size) : path_(std::move(path)), size_(size) {}

AsideFile::~AsideFile() {
    QFile::remove(path_);
}

std::unique_ptr<AsideFile> AsideFile::keep(const QString& folder, const QString& path,
                                           bool followLinks, QString* whyNot) {
    static quint64 counter = 0;
    auto refuse = [whyNot](const QString& why) {
        if (whyNot) {
            *whyNot = why;
        }
        return nullptr;
    };
    Descriptor source(FileManager::openRegularFile(QFile::encodeName(path).toStdString(),
                                                   followLinks, AT_FDCWD, SIZE_MAX));
    struct stat info {};
    if (!source.valid() || ::fstat(source.get(), &info) != 0) {
        return refuse(tr("is not a readable file"));
    }
    if (static_cast<std::uintmax_t>(info.st_size) > ThemeBundle::kMaxImageBytes) {
        return refuse(failure(EFBIG));
    }
    if (folder.isEmpty()) {
        return refuse(failure(ENOENT));
    }
    QString copy = folder + QLatin1Char('/') + QString::number(++counter);
    Descriptor target(::open(QFile::encodeName(copy).constData(),
                             O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!target.valid()) {
        return refuse(failure(errno));
    }
    if (!FileManager::copyDescriptor(source.get(), target.get(), ThemeBundle::kMaxImageBytes)) {
        int error = errno;
        QFile::remove(copy);
        return refuse(failure(error));
    }
    return std::unique_ptr<AsideFile>(new AsideFile(std::move(copy), info.st_size));
}
