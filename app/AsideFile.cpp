#include "app/AsideFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/FileManager.h"

namespace {

std::shared_ptr<QTemporaryDir> sharedFolder() {
    static std::weak_ptr<QTemporaryDir> folder;
    std::shared_ptr<QTemporaryDir> shared = folder.lock();
    if (!shared) {
        shared = std::make_shared<QTemporaryDir>(QDir::tempPath() +
                                                 QStringLiteral("/velvanto-undo-XXXXXX"));
        folder = shared;
    }
    return shared;
}

}  // namespace

AsideFile::AsideFile(std::shared_ptr<QTemporaryDir> folder, QString path)
    : folder_(std::move(folder)), path_(std::move(path)) {}

AsideFile::~AsideFile() {
    QFile::remove(path_);
}

std::unique_ptr<AsideFile> AsideFile::keep(const QString& path) {
    static quint64 counter = 0;
    std::shared_ptr<QTemporaryDir> folder = sharedFolder();
    if (!folder->isValid()) {
        return nullptr;
    }
    QString copy = folder->filePath(QString::number(++counter));
    if (!FileManager::replaceFile(path.toStdString(), copy.toStdString())) {
        return nullptr;
    }
    return std::unique_ptr<AsideFile>(new AsideFile(std::move(folder), copy));
}

bool AsideFile::restoreTo(const QString& destination) const {
    return FileManager::replaceFile(path_.toStdString(), destination.toStdString());
}
