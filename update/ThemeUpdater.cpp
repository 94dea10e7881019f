#include "update/ThemeUpdater.h"

#include <QDir>
#include <QFile>
#include <QFutureWatcher>
#include <QNetworkProxyFactory>
#include <QStandardPaths>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "model/ArchiveImport.h"
#include "model/DockTheme.h"
#include "model/ThemeArchive.h"
#include "model/ThemeCollection.h"
#include "model/ThemeSignature.h"
#include "platform/Descriptor.h"
#include "platform/Renaming.h"
#include "update/UpdateTransfer.h"

namespace fs = std::filesystem;

// What check() and install() read of the theme.
struct ThemeUpdater::Theme {
    QString name;
    QString version;
    QUrl feed;
    std::optional<std::string> key;
};

// What the worker made of a downloaded archive.
struct ThemeUpdater::Unpacked {
    bool ok = false;
    QString why;
};

namespace {

constexpr const char* kVersionKey = "VL_DockVersion";
constexpr const char* kPreviousInfix = ".velvanto-previous-";

QString cancelledText() {
    return QStringLiteral("cancelled");
}

QString text(const std::string& bytes) {
    return QString::fromStdString(bytes);
}

// "VL_DockVersion" as stored; "" when the theme has none (it counts as 0).
QString storedVersion(const DockTheme& theme) {
    const PlistValue* value =
        theme.infoDictionary() ? theme.infoDictionary()->find(kVersionKey) : nullptr;
    const std::string* version = value ? value->asString() : nullptr;
    return version ? text(*version) : QString();
}

// The bundle's path without a trailing separator, its folder and its name there.
struct Place {
    std::string path;
    std::string folder;
    std::string name;
};

Place placeOf(const std::string& bundlePath) {
    fs::path path = fs::path(bundlePath).lexically_normal();
    if (path.filename().empty()) {
        path = path.parent_path();
    }
    const fs::path folder = path.parent_path();
    return {path.string(), folder.empty() ? std::string(".") : folder.string(),
            path.filename().string()};
}

// Why item can't be installed over theme under the rules, or empty.
QString itemRefusal(const AppcastItem& item, bool keyed) {
    if (const QString why = UpdateTransfer::refusal(QUrl(), item.url, keyed); !why.isEmpty()) {
        return QStringLiteral("the update's address is refused: ") + why;
    }
    if (keyed && item.signature.isEmpty()) {
        return QStringLiteral("the update has no signature, and its theme is signed by its author");
    }
    return {};
}

}  // namespace

ThemeUpdater::ThemeUpdater(ThemeCheck::Decoder decoder, QObject* parent)
    : QObject(parent), decoder_(std::move(decoder)) {
    // The system's proxy settings, as every other program of the desktop.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    qRegisterMetaType<UpdateCheck>();
}

ThemeUpdater::~ThemeUpdater() {
    stopTransfer();
    if (cancelled_) {
        *cancelled_ = true;
    }
}

void ThemeUpdater::check(const std::string& bundlePath) {
    cancel();
    busy_ = true;
    installing_ = false;
    const quint64 generation = ++generation_;
    pending_ = UpdateCheck();
    pending_.bundlePath = bundlePath;
    Theme theme;
    QString why;
    if (!readTheme(bundlePath, theme, &why)) {
        pending_.why = why;
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (generation == generation_) {
                    finishCheck(pending_);
                }
            },
            Qt::QueuedConnection);
        return;
    }
    pending_.name = theme.name;
    pending_.currentVersion = theme.version;
    const bool keyed = theme.key.has_value();
    transfer_ = new UpdateTransfer(&manager_, this);
    connect(transfer_, &UpdateTransfer::finished, this, [this, keyed](bool ok, const QString& why) {
        UpdateTransfer* transfer = transfer_;
        transfer_ = nullptr;
        transfer->deleteLater();
        UpdateCheck result = pending_;
        using Failure = UpdateTransfer::Failure;
        if (!ok) {
            result.why = transfer->failure() == Failure::Cancelled ? cancelledText()
                         : transfer->failure() == Failure::TooLarge
                             ? QStringLiteral("not a feed: ") + why
                             : QStringLiteral("can't reach the server: ") + why;
            finishCheck(result);
            return;
        }
        QString parseWhy;
        const auto items = Appcast::parse(transfer->body(), transfer->finalUrl(), &parseWhy);
        if (!items) {
            result.why = QStringLiteral("not a feed: ") + parseWhy;
            finishCheck(result);
            return;
        }
        const auto newest = Appcast::newest(*items, result.currentVersion.toStdString());
        if (!newest) {
            result.outcome = UpdateCheck::Outcome::UpToDate;
        } else if (const QString refused = itemRefusal(*newest, keyed); !refused.isEmpty()) {
            result.why = refused;
        } else {
            result.outcome = UpdateCheck::Outcome::Available;
            result.item = *newest;
            result.signedByAuthor = keyed;
        }
        finishCheck(result);
    });
    UpdateTransfer::Options options;
    options.allowHttp = keyed;
    options.maxBytes = Appcast::kMaxFeedBytes;
    options.connectTimeoutMs = timeouts_.connectMs;
    options.idleTimeoutMs = timeouts_.idleMs;
    transfer_->start(theme.feed, options);
}

void ThemeUpdater::install(const std::string& bundlePath, const AppcastItem& item,
                           bool allowUnsigned, Placer placer) {
    cancel();
    busy_ = true;
    installing_ = true;
    const quint64 generation = ++generation_;
    bundlePath_ = bundlePath;
    item_ = item;
    placer_ = std::move(placer);
    Theme theme;
    QString why;
    if (readTheme(bundlePath, theme, &why)) {
        why = itemRefusal(item, theme.key.has_value());
        if (why.isEmpty() && !theme.key && !allowUnsigned) {
            why = QLatin1String(kUnsigned);
        }
    }
    const Place place = placeOf(bundlePath);
    if (why.isEmpty()) {
        // What a killed install left; then a hidden folder for this one.
        ArchiveImport::removeLeftovers(place.folder);
        import_ = std::make_shared<ArchiveImport>(place.folder);
        if (!import_->valid()) {
            why = QStringLiteral("the update could not be stored: ") +
                  QString::fromLocal8Bit(std::strerror(errno));
        }
    }
    if (!why.isEmpty()) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, why] {
                if (generation == generation_) {
                    finishInstall(false, why);
                }
            },
            Qt::QueuedConnection);
        return;
    }
    publicKey_ = theme.key ? text(*theme.key) : QString();
    pending_ = UpdateCheck();
    pending_.currentVersion = theme.version;
    transfer_ = new UpdateTransfer(&manager_, this);
    connect(transfer_, &UpdateTransfer::progress, this, &ThemeUpdater::progress);
    connect(transfer_, &UpdateTransfer::finished, this, &ThemeUpdater::downloaded);
    UpdateTransfer::Options options;
    options.allowHttp = theme.key.has_value();
    options.maxBytes = qint64(ThemeArchive::kMaxTotalBytes);
    options.expectedLength = item.length;
    options.folder =
        QFile::decodeName(QByteArray::fromStdString(place.folder + "/" + import_->hiddenName()));
    options.connectTimeoutMs = timeouts_.connectMs;
    options.idleTimeoutMs = timeouts_.idleMs;
    transfer_->start(item.url, options);
}

void ThemeUpdater::cancel() {
    if (!busy_) {
        return;
    }
    ++generation_;
    stopTransfer();
    if (cancelled_) {
        *cancelled_ = true;
        cancelled_.reset();
    }
    if (installing_) {
        finishInstall(false, cancelledText());
    } else {
        UpdateCheck result = pending_;
        result.outcome = UpdateCheck::Outcome::Failed;
        result.why = cancelledText();
        finishCheck(result);
    }
}

bool ThemeUpdater::readTheme(const std::string& bundlePath, Theme& theme, QString* why) {
    std::string whyNot;
    const std::unique_ptr<DockTheme> opened = DockTheme::initWithBundleAtPath(bundlePath, &whyNot);
    if (!opened) {
        *why = QStringLiteral("the theme can't be read: ") + text(whyNot);
        return false;
    }
    theme.name = text(opened->dockName().value_or(placeOf(bundlePath).name));
    theme.version = storedVersion(*opened);
    theme.key = opened->dockPublicKey();
    const std::string feed = opened->dockAppcast().value_or(std::string());
    if (feed.empty()) {
        *why = QStringLiteral("the theme has no update feed address");
        return false;
    }
    theme.feed = QUrl(text(feed), QUrl::StrictMode);
    if (const QString refused = UpdateTransfer::refusal(QUrl(), theme.feed, theme.key.has_value());
        !refused.isEmpty()) {
        *why = QStringLiteral("the feed address is refused: ") + refused +
               (theme.key ? QString()
                          : QStringLiteral(" (a theme without its author's key updates over "
                                           "https only)"));
        return false;
    }
    return true;
}

void ThemeUpdater::finishCheck(UpdateCheck result) {
    busy_ = false;
    emit checked(result);
}

void ThemeUpdater::downloaded(bool ok, const QString& why) {
    UpdateTransfer* transfer = transfer_;
    transfer_ = nullptr;
    transfer->deleteLater();
    using Failure = UpdateTransfer::Failure;
    if (!ok) {
        const Failure failure = transfer->failure();
        finishInstall(false, failure == Failure::Cancelled ? cancelledText()
                             : failure == Failure::Disk
                                 ? QStringLiteral("the download failed: ") + why
                             : failure == Failure::TooLarge || failure == Failure::TooShort
                                 ? QStringLiteral("the download is refused: ") + why
                                 : QStringLiteral("can't reach the server: ") + why);
        return;
    }
    const std::string archive = QFile::encodeName(transfer->takeFile()).toStdString();
    const quint64 generation = generation_;
    cancelled_ = std::make_shared<std::atomic_bool>(false);
    // Copies for the worker; the import stays alive until it ends.
    auto work = [import = import_, archive, cancelled = cancelled_, decoder = decoder_,
                 key = publicKey_.toStdString(), signature = item_.signature.toStdString(),
                 version = item_.version, name = placeOf(bundlePath_).name]() {
        Unpacked result;
        std::string why;
        if (!key.empty()) {
            Descriptor file(::open(archive.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
            if (!ThemeSignature::verifyFile(file.get(), ThemeArchive::kMaxTotalBytes, signature,
                                            key, &why)) {
                result.why = text(why);
                return result;
            }
        }
        const auto unpacked =
            import->unpack(archive, decoder, &why, [cancelled] { return bool(*cancelled); });
        ::unlink(archive.c_str());
        if (!unpacked) {
            result.why = why == ThemeArchive::kCancelled
                             ? cancelledText()
                             : QStringLiteral("the archive is refused: ") + text(why);
            return result;
        }
        std::string whyNot;
        const auto theme = DockTheme::initWithBundleAtPath(
            fs::path(archive).parent_path().string() + "/" + *unpacked, &whyNot);
        if (!theme) {
            result.why = QStringLiteral("the archive is refused: ") + text(whyNot);
        } else if (!key.empty() && theme->dockPublicKey() != key) {
            result.why = QStringLiteral("the update is another theme (its key differs)");
        } else if (storedVersion(*theme) != version) {
            result.why = QStringLiteral("the update is version %1, not the %2 its feed announced")
                             .arg(storedVersion(*theme), version);
        } else if (*unpacked != name && !Renaming::withoutReplacing(import->hiddenFd(), *unpacked,
                                                                    import->hiddenFd(), name)) {
            result.why = QStringLiteral("the update could not be stored: ") +
                         QString::fromLocal8Bit(std::strerror(errno));
        } else {
            result.ok = true;
        }
        return result;
    };
    auto* watcher = new QFutureWatcher<Unpacked>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        if (generation == generation_) {
            unpacked(watcher->result());
        }
    });
    watcher->setFuture(QtConcurrent::run(QThreadPool::globalInstance(), std::move(work)));
}

void ThemeUpdater::unpacked(const Unpacked& result) {
    cancelled_.reset();
    if (!result.ok) {
        finishInstall(false, result.why);
        return;
    }
    const Place place = placeOf(bundlePath_);
    std::optional<std::string> whyNot;
    bool swapped = false;
    QString kept;
    const QString oldVersion = pending_.currentVersion;
    const std::function<bool()> swap = [&] {
        swapped = true;
        whyNot = ThemeCollection(place.folder)
                     .placeImported(*import_, place.name, true, [&](const std::string& oldEntry) {
                         kept = putAway(oldEntry, place.path, oldVersion);
                     });
        return !whyNot;
    };
    const bool placed = placer_ ? placer_(place.path, swap) : swap();
    finishInstall(placed, placed     ? kept
                          : !swapped ? cancelledText()
                                     : QStringLiteral("the update could not be put in place: ") +
                                           text(whyNot.value_or(std::string())));
}

void ThemeUpdater::finishInstall(bool ok, const QString& why) {
    import_.reset();
    placer_ = {};
    busy_ = false;
    emit installed(ok, why);
}

QString ThemeUpdater::putAway(const std::string& oldPath, const std::string& bundlePath,
                              const QString& version) {
    // The user's trash lies in the data folder, which must be there: Qt's
    // trash without it would be made in the current folder.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!data.isEmpty() && QDir().mkpath(data) &&
        QFile::moveToTrash(QFile::decodeName(QByteArray::fromStdString(oldPath)))) {
        return {};
    }
    // No trash here: the old version stays beside the theme, hidden, under a free name.
    const Place place = placeOf(bundlePath);
    std::string safeVersion = version.toStdString();
    std::replace(safeVersion.begin(), safeVersion.end(), '/', '_');
    const std::string base = "." + place.name + kPreviousInfix + safeVersion;
    for (int attempt = 1; attempt <= 100; ++attempt) {
        const std::string name = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        if (Renaming::withoutReplacing(AT_FDCWD, oldPath, AT_FDCWD, place.folder + "/" + name)) {
            return QStringLiteral("the old version is kept at ") + text(place.folder + "/" + name);
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return QStringLiteral(
               "the old version could be put neither in the trash nor beside the "
               "theme, and is gone (") +
           QString::fromLocal8Bit(std::strerror(errno)) + u')';
}

void ThemeUpdater::stopTransfer() {
    if (transfer_) {
        transfer_->disconnect(this);
        transfer_->cancel();
        transfer_->deleteLater();
        transfer_ = nullptr;
    }
}
