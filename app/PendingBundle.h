#pragma once

#include <QString>

#include <memory>

#include "platform/Descriptor.h"

// A new theme bundle made whole before it gets its name: built under a hidden
// temporary name beside its final place (".velvanto-<name>-XXXXXX", made with
// mkdtemp and held open), filled by the caller (BundleBuilder), then renamed
// to the final name by place(), never over anything that has that name.
//
// Owns the temporary folder until place() succeeds: dropping it before removes
// the folder and all in it (ours, made just now), links not followed, so a
// bundle that is not whole never stays. UI thread.
class PendingBundle {
public:
    // Makes the empty temporary folder beside finalPath; nothing when it
    // could not, whyNot then saying why.
    static std::unique_ptr<PendingBundle> make(const QString& finalPath, QString* whyNot);
    ~PendingBundle();
    PendingBundle(const PendingBundle&) = delete;
    PendingBundle& operator=(const PendingBundle&) = delete;

    // Where the bundle is built until it is placed, and that folder, open.
    const QString& path() const { return path_; }
    int fd() const { return folder_.get(); }
    // Renames the bundle to its final path; false, with whyNot, when anything
    // has that name already or the rename failed (the bundle stays ours).
    bool place(QString* whyNot);

private:
    PendingBundle(QString path, QString finalPath);

    Descriptor folder_;
    QString path_;
    QString final_;
    bool placed_ = false;
};
