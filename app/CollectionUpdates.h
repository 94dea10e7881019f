#pragma once

#include <QObject>
#include <QString>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "update/ThemeUpdater.h"

// The collection's Check for Updates: the themes of the collection that have
// a feed address are checked, at most kParallel at once (each through a
// ThemeUpdater of its own), and what each found is kept until asked again.
// Only reads: the feeds over the network, the bundles' Info.plist.
//
// GUI thread only; the transfers never block it. Cancelling, checking again
// or this object's end drops the checks under way.
class CollectionUpdates : public QObject {
    Q_OBJECT

public:
    static constexpr int kParallel = 4;

    explicit CollectionUpdates(QObject* parent = nullptr);
    ~CollectionUpdates() override;

    // Checks those of bundles whose Info.plist names a feed address,
    // forgetting what the last run found.
    void checkAll(const std::vector<std::string>& bundles);
    void cancel();
    bool isChecking() const { return !running_.empty() || !waiting_.empty(); }
    // What the last run found for bundle when it found a release; nullptr otherwise.
    const UpdateCheck* available(const std::string& bundle) const;
    // Forgets what was found for bundle (it was updated, or removed).
    void forget(const std::string& bundle);
    // Whether bundle's Info.plist names a feed address.
    static bool hasFeed(const std::string& bundle);

signals:
    // done of total checks ended.
    void progress(int done, int total);
    // The check of bundle ended with result.
    void checked(const std::string& bundle, const UpdateCheck& result);
    // The run ended: how many releases were found and how many checks failed.
    void finished(int available, int failed);

private:
    void startNext();

    std::deque<std::string> waiting_;
    std::vector<ThemeUpdater*> running_;
    std::map<std::string, UpdateCheck> found_;
    int total_ = 0;
    int done_ = 0;
    int failed_ = 0;
};
