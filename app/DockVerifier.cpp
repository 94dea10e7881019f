#include "app/DockVerifier.h"

#include <signal.h>

#include <QCryptographicHash>

#include "app/Background.h"
#include "dock/DockManifest.h"
#include "model/DockTheme.h"
#include "model/MiscKit.h"
#include "model/ThemeBundle.h"
#include "platform/Descriptor.h"
#include "platform/FileManager.h"

namespace {

constexpr int kPollMs = 100;

bool alive(qint64 pid) {
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) == 0;
}

}  // namespace

DockVerifier::DockVerifier(QObject* parent) : QObject(parent) {
    timer_.setInterval(kPollMs);
    connect(&timer_, &QTimer::timeout, this, &DockVerifier::poll);
}

void DockVerifier::arm() {
    std::optional<DockManifest> manifest = DockManifest::read();
    dockRan_ = manifest && alive(manifest->pid);
    previousPid_ = manifest ? manifest->pid : 0;
    ++generation_;
}

QMap<QString, QString> DockVerifier::expectedImages(const QString& bundle) {
    QMap<QString, QString> images;
    std::unique_ptr<DockTheme> theme = DockTheme::initWithBundleAtPath(bundle.toStdString());
    if (!theme) {
        return images;
    }
    for (const auto& slotList : theme->listOfImages()) {
        for (const DockTheme::Item& item : slotList) {
            auto original = MiscKit::sharedFiles().getOriginalFileNameForKey(item->keyDock());
            // Read as the apply tool reads it: a regular file inside the bundle, bounded.
            const Descriptor file = theme->openImage(item->path());
            const std::optional<std::string> bytes =
                file.valid() ? FileManager::readDescriptor(file.get(), ThemeBundle::kMaxImageBytes)
                             : std::nullopt;
            if (original && bytes) {
                images.insert(
                    QString::fromStdString(*original),
                    QString::fromLatin1(QCryptographicHash::hash(
                                            QByteArrayView(bytes->data(), qsizetype(bytes->size())),
                                            QCryptographicHash::Sha256)
                                            .toHex()));
            }
        }
    }
    return images;
}

void DockVerifier::verify(const QString& bundle, const QString& themeName, int timeoutMs) {
    if (!dockRan_) {
        return;
    }
    // Thirty images of up to 16 MiB each: hashed while the window answers.
    const quint64 generation = ++generation_;
    Background::run(
        QThreadPool::globalInstance(), this, [bundle] { return expectedImages(bundle); },
        [this, themeName, timeoutMs](const QMap<QString, QString>& expected) {
            watch(expected, themeName, timeoutMs);
        },
        [this, generation] { return generation == generation_; });
}

void DockVerifier::verifyImages(const QMap<QString, QString>& expected, const QString& shownAs,
                                int timeoutMs) {
    ++generation_;
    if (dockRan_) {
        watch(expected, shownAs, timeoutMs);
    }
}

void DockVerifier::watch(const QMap<QString, QString>& expected, const QString& shownAs,
                         int timeoutMs) {
    expected_ = expected;
    themeName_ = shownAs;
    remainingPolls_ = timeoutMs / kPollMs;
    timer_.start();
}

void DockVerifier::poll() {
    std::optional<DockManifest> manifest = DockManifest::read();
    if (manifest && manifest->pid != previousPid_ && alive(manifest->pid)) {
        timer_.stop();
        bool matches = true;
        for (auto it = expected_.cbegin(); it != expected_.cend(); ++it) {
            auto shown = manifest->images.find(it.key());
            matches =
                matches && shown != manifest->images.end() && shown->second.sha256 == it.value();
        }
        emit result(matches, matches
                                 ? tr("The Dock shows %1").arg(themeName_)
                                 : tr("The Dock restarted but does not show %1").arg(themeName_));
        return;
    }
    if (--remainingPolls_ <= 0) {
        timer_.stop();
        emit result(false, tr("The Dock did not restart within a few seconds"));
    }
}
