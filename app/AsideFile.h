#pragma once

#include <QCoreApplication>
#include <QString>

#include <memory>

// A copy of a file kept outside the theme bundle for as long as an undo
// command needs it: made by keep() in the editor's temporary folder
// (TemporaryFolder), removed when the AsideFile is destroyed. UI thread only.
class AsideFile {
    Q_DECLARE_TR_FUNCTIONS(AsideFile)

public:
    // A copy, in folder, of the regular file at path, of at most
    // ThemeBundle::kMaxImageBytes. Nothing else is opened: not a FIFO, not a
    // device, and with followLinks false not a link. Nothing when the file
    // could not be copied; whyNot then ends a sentence that begins with the
    // file's name ("is larger than 16 MiB").
    static std::unique_ptr<AsideFile> keep(const QString& folder, const QString& path,
                                           bool followLinks, QString* whyNot = nullptr);
    ~AsideFile();
    AsideFile(const AsideFile&) = delete;
    AsideFile& operator=(const AsideFile&) = delete;

    const QString& path() const { return path_; }
    // The copy's size in bytes.
    qint64 size() const { return size_; }
    // The bytes of file (0 without one): what a step keeping it costs.
    static qint64 sizeOf(const AsideFile* file) { return file ? file->size_ : 0; }

private:
    AsideFile(QString path, qint64 size);

    QString path_;
    qint64 size_ = 0;
};
