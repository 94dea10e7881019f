#pragma once

#include <QString>

#include <memory>

class QTemporaryDir;

// A copy of a file kept outside the theme bundle for as long as an undo
// command needs it: made by keep(), removed when the AsideFile is destroyed.
// The copies lie in one private temporary folder of the process (removed
// with its last copy). UI thread only.
class AsideFile {
public:
    // A copy of the file at path; nothing when it could not be copied.
    static std::unique_ptr<AsideFile> keep(const QString& path);
    ~AsideFile();
    AsideFile(const AsideFile&) = delete;
    AsideFile& operator=(const AsideFile&) = delete;

    const QString& path() const { return path_; }
    // Puts a copy back at destination (a temporary file renamed into place).
    bool restoreTo(const QString& destination) const;

private:
    AsideFile(std::shared_ptr<QTemporaryDir> folder, QString path);

    std::shared_ptr<QTemporaryDir> folder_;
    QString path_;
};
