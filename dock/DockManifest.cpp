#include "dock/DockManifest.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cstdlib>

#include "dock/DockImages.h"
#include "platform/FileManager.h"

namespace {

constexpr std::size_t kMaxManifestBytes = 1024u * 1024u;

// The manifest folder exists, or is made, as a folder of this user that no one else may write.
bool ownFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder.parent_path(), error);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

DockManifest DockManifest::describe(qint64 pid, DockStyle dockStyle, const DockImages& images) {
    DockManifest manifest;
    manifest.pid = pid;
    manifest.dockStyle = dockStyle;
    for (const DockImages::Loaded& image : images.loaded()) {
        manifest.images[image.fileName] = Image{image.width, image.height, image.sha256};
    }
    return manifest;
}

std::filesystem::path DockManifest::folder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) {
        return std::filesystem::path(runtime) / "velvanto-dock";
    }
    return "/tmp/velvanto-dock-" + std::to_string(::geteuid());
}

std::filesystem::path DockManifest::path() {
    return folder() / "manifest.json";
}

QByteArray DockManifest::toJson() const {
    QJsonObject list;
    for (const auto& [name, image] : images) {
        list.insert(
            name, QJsonObject{
                      {"width", image.width}, {"height", image.height}, {"sha256", image.sha256}});
    }
    QJsonObject top{
        {"pid", pid}, {"style", dockStyle == DockStyle::ThreeD ? "3d" : "2d"}, {"images", list}};
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

std::optional<DockManifest> DockManifest::fromJson(const QByteArray& bytes) {
    QJsonObject top = QJsonDocument::fromJson(bytes).object();
    QString style = top.value("style").toString();
    if (!top.value("pid").isDouble() || (style != "3d" && style != "2d") ||
        !top.value("images").isObject()) {
        return std::nullopt;
    }
    DockManifest manifest;
    manifest.pid = top.value("pid").toInteger();
    manifest.dockStyle = style == "3d" ? DockStyle::ThreeD : DockStyle::TwoD;
    const QJsonObject list = top.value("images").toObject();
    for (auto it = list.begin(); it != list.end(); ++it) {
        QJsonObject image = it.value().toObject();
        manifest.images[it.key()] =
            Image{image.value("width").toInt(), image.value("height").toInt(),
                  image.value("sha256").toString()};
    }
    return manifest;
}

bool DockManifest::write() const {
    if (!ownFolder(folder())) {
        return false;
    }
    return FileManager::writeFileAtomically(path(), toJson().toStdString());
}

std::optional<DockManifest> DockManifest::read() {
    FileManager::ReadOptions options;
    options.maxBytes = kMaxManifestBytes;
    auto bytes = FileManager::readFile(path(), options);
    if (!bytes) {
        return std::nullopt;
    }
    return fromJson(QByteArray::fromStdString(*bytes));
}
