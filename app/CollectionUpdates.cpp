#include "app/CollectionUpdates.h"

#include <algorithm>

#include "image/ImageFile.h"
#include "model/ThemeBundle.h"
#include "platform/BundleFolder.h"

CollectionUpdates::CollectionUpdates(QObject* parent) : QObject(parent) {}

CollectionUpdates::~CollectionUpdates() {
    cancel();
}

void CollectionUpdates::checkAll(const std::vector<std::string>& bundles) {
    cancel();
    found_.clear();
    for (const std::string& bundle : bundles) {
        if (hasFeed(bundle)) {
            waiting_.push_back(bundle);
        }
    }
    total_ = static_cast<int>(waiting_.size());
    done_ = 0;
    failed_ = 0;
    emit progress(0, total_);
    if (total_ == 0) {
        emit finished(0, 0);
        return;
    }
    while (static_cast<int>(running_.size()) < kParallel && !waiting_.empty()) {
        startNext();
    }
}

void CollectionUpdates::cancel() {
    waiting_.clear();
    // Deleted without their signals: a check ended so tells no one.
    for (ThemeUpdater* updater : std::exchange(running_, {})) {
        updater->disconnect(this);
        delete updater;
    }
}

const UpdateCheck* CollectionUpdates::available(const std::string& bundle) const {
    auto found = found_.find(bundle);
    return found != found_.end() && found->second.outcome == UpdateCheck::Outcome::Available
               ? &found->second
               : nullptr;
}

void CollectionUpdates::forget(const std::string& bundle) {
    found_.erase(bundle);
}

bool CollectionUpdates::hasFeed(const std::string& bundle) {
    std::shared_ptr<const BundleFolder> folder = BundleFolder::open(bundle);
    std::optional<PlistValue> info = folder ? ThemeBundle::readInfo(*folder) : std::nullopt;
    const std::string* feed = info ? info->stringFor("VL_DockAppCast") : nullptr;
    return feed && !feed->empty();
}

void CollectionUpdates::startNext() {
    const std::string bundle = waiting_.front();
    waiting_.pop_front();
    auto* updater = new ThemeUpdater(ImageFile::readerSize, this);
    running_.push_back(updater);
    connect(updater, &ThemeUpdater::checked, this, [this, updater](const UpdateCheck& result) {
        std::erase(running_, updater);
        updater->deleteLater();
        found_[result.bundlePath] = result;
        ++done_;
        failed_ += result.outcome == UpdateCheck::Outcome::Failed ? 1 : 0;
        emit checked(result.bundlePath, result);
        emit progress(done_, total_);
        if (!waiting_.empty()) {
            startNext();
        } else if (running_.empty()) {
            const auto found = std::ranges::count_if(found_, [](const auto& entry) {
                return entry.second.outcome == UpdateCheck::Outcome::Available;
            });
            emit finished(static_cast<int>(found), failed_);
        }
    });
    updater->check(bundle);
}
