#pragma once

#include <QMetaType>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "model/ThemeCheck.h"
#include "update/Appcast.h"

class ArchiveImport;
class UpdateTransfer;

// What a check of one theme found.
struct UpdateCheck {
    enum class Outcome { UpToDate, Available, Failed };
    Outcome outcome = Outcome::Failed;
    std::string bundlePath;
    // The theme's name ("VL_DockName", else the bundle's) and "VL_DockVersion" ("" when none).
    QString name;
    QString currentVersion;
    // With Available: the release offered.
    AppcastItem item;
    // With Available: the theme names its author's key, so the release must be signed by it.
    bool signedByAuthor = false;
    // With Failed: the step that failed and why, e.g. "can't reach the server: …".
    QString why;
};
Q_DECLARE_METATYPE(UpdateCheck)

// The update of one theme bundle from its feed ("VL_DockAppCast"): check()
// reads the feed and compares versions; install() downloads the release,
// verifies it, unpacks it and puts it in place of the bundle.
//
// The rules: a theme with a key ("VL_DockPublicEDKey") takes only a release
// whose archive's Ed25519 signature verifies with that key, whose theme names
// the same key and whose "VL_DockVersion" is exactly the version announced;
// http is allowed for it (the signature protects it). A theme without a key
// is offered a release only over https (feed and archive), and install()
// takes it only with allowUnsigned (the user confirmed "This update is not
// signed by its author. Install it anyway?", or --allow-unsigned).
//
// Install's steps: ArchiveImport::removeLeftovers on the bundle's folder,
// then the download into a new ArchiveImport's hidden folder there
// (UpdateTransfer, at most ThemeArchive::kMaxTotalBytes and exactly the
// announced length), the signature and the unpacking (ThemeArchive's bounds
// and the theme check) on a worker, the key and version checks, then
// placer(bundlePath, swap): swap gives the new theme the old bundle's name in
// one step (ThemeCollection::placeImported, replacing) and moves the old
// version to the desktop's trash (QFile::moveToTrash); where there is no
// trash it stays beside the bundle as ".<bundle name>.velvanto-previous-<version>",
// which installed() names. Every failure leaves the bundle untouched and no
// temporary file; why names the step and the reason.
//
// One operation at a time; a check or install started while one runs
// cancels it first. Several updaters may run side by side (the collection's
// four checks). Lives on one thread with an event loop (the editor's UI
// thread): every call and signal is on it; hashing, verifying and unpacking
// run on QThreadPool::globalInstance() (through QtConcurrent, as the editor's
// Background does) and their result is dropped after cancel() or the
// updater's end.
class ThemeUpdater : public QObject {
    Q_OBJECT
public:
    // Runs swap (true when the new bundle took the old one's place) around
    // what the caller must do with an open theme; returns swap's result, or
    // false without calling it when the user declined.
    using Placer =
        std::function<bool(const std::string& bundlePath, const std::function<bool()>& swap)>;
    struct Timeouts {
        int connectMs = 10000;
        int idleMs = 30000;
    };
    // What install() says when the user did not allow an unsigned release.
    static constexpr const char* kUnsigned = "the update is not signed by its author";

    // decoder: the picture decoder of the theme check (ImageFile::readerSize).
    explicit ThemeUpdater(ThemeCheck::Decoder decoder, QObject* parent = nullptr);
    ~ThemeUpdater() override;

    // For tests: shorter timeouts.
    void setTimeouts(Timeouts timeouts) { timeouts_ = timeouts; }

    // Checks the theme at bundlePath; checked() follows from the event loop.
    void check(const std::string& bundlePath);
    // Installs item (a check's Available) over the theme at bundlePath;
    // progress() while downloading, installed() at the end.
    void install(const std::string& bundlePath, const AppcastItem& item, bool allowUnsigned,
                 Placer placer);
    // Ends what runs; its signal follows with Failed / false and "cancelled".
    void cancel();
    bool busy() const { return busy_; }

signals:
    void checked(const UpdateCheck& result);
    void progress(qint64 received, qint64 total);
    // ok: the new version is in place; why: on failure the step and reason,
    // on success empty, or where the old version was kept when not in the trash.
    void installed(bool ok, const QString& why);

private:
    struct Theme;
    struct Unpacked;
    // The theme's key, version and feed, or why it can't be updated.
    static bool readTheme(const std::string& bundlePath, Theme& theme, QString* why);
    void finishCheck(UpdateCheck result);
    void downloaded(bool ok, const QString& why);
    void unpacked(const Unpacked& result);
    void finishInstall(bool ok, const QString& why);
    // Moves the old version (oldPath, in the import's hidden folder) to the
    // trash or beside the bundle; where it went when not to the trash.
    static QString putAway(const std::string& oldPath, const std::string& bundlePath,
                           const QString& version);
    void stopTransfer();

    ThemeCheck::Decoder decoder_;
    QNetworkAccessManager manager_;
    Timeouts timeouts_;
    QPointer<UpdateTransfer> transfer_;
    bool busy_ = false;
    bool installing_ = false;
    // Bumped by every start and cancel: a worker's result of an older one is dropped.
    quint64 generation_ = 0;
    std::shared_ptr<std::atomic_bool> cancelled_;
    std::shared_ptr<ArchiveImport> import_;
    std::string bundlePath_;
    AppcastItem item_;
    QString publicKey_;
    Placer placer_;
    UpdateCheck pending_;
};
