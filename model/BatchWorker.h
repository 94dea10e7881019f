#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// One run of the batch converter: a thread that makes one theme bundle per
// source folder, "<destination>/<folder's name>.docktheme", from the theme
// template, fills it with the folder's images (those named as the Dock names
// them), writes the folder's name into its Info.plist as the theme's name,
// and labels the row with its outcome. Uses no Qt and touches nothing of the
// window: each outcome is queued as a Step and the worker calls wake, then
// waits until the UI thread has taken the steps (takeSteps) before it goes on
// with the next folder, so rows finish strictly one after another.
//
// Threads: start, takeSteps, requestStop and join are for the owner's thread
// (the UI thread); wake runs on the worker thread and must do no more than
// post a call to the owner's thread. The catalogue must have been made on the
// owner's thread before start. The destructor stops the run after the folder
// it works on and waits for the thread.
//
// What reaches the disk: only bundles inside destination, one per folder, as
// each row is handled; the source folders are only read. Each bundle is made
// by BundleBuilder::make (whole in a hidden locked folder, then named, never
// over an entry of that name): an "ERROR!" row or a killed run leaves nothing
// under a final name. At the start of a run the hidden folders a killed run
// left in destination are removed (not through links).
class BatchWorker {
public:
    static constexpr const char* kOk = "OK!";
    static constexpr const char* kError = "ERROR!";
    static constexpr const char* kNested =
        "Source path contains subfolders. Contained file will be not used. Move to parent "
        "necessary";

    struct Step {
        std::size_t row = 0;
        std::string status;
        // Why an "ERROR!" row failed, a sentence for the user; empty otherwise.
        std::string reason;
    };

    BatchWorker(std::vector<std::string> folders, std::string destination,
                std::function<void()> wake);
    ~BatchWorker();
    BatchWorker(const BatchWorker&) = delete;
    BatchWorker& operator=(const BatchWorker&) = delete;

    void start();
    // The steps done since the last call, in row order; lets the worker go on.
    // finished tells whether the thread has handled its last row (or stopped).
    std::vector<Step> takeSteps(bool& finished);
    // Ends the run after the folder being converted now.
    void requestStop();
    bool stopRequested() const;
    // Waits for the thread to end (after a finished step or requestStop).
    void join();

    // Converts one folder into a bundle in destination: the row's status and,
    // for "ERROR!", the reason.
    static Step convert(const std::string& folder, const std::string& destination);
    // Removes the hidden folders of rows that a killed run left in destination.
    static void removeLeftovers(const std::string& destination);
    // Whether destination is the source folder or lies inside it, both taken
    // with their links, "." and ".." resolved: a run there would list its own
    // bundles as rows and nest them. False when either path does not resolve.
    static bool insideSource(const std::string& source, const std::string& destination);
    // "OK!", or the nested-folder warning when folder holds a folder.
    static std::string _canCreateProblems(const std::string& folder);

private:
    void _batchTemesStart();

    const std::vector<std::string> folders_;
    const std::string destination_;
    const std::function<void()> wake_;
    mutable std::mutex mutex_;
    std::condition_variable taken_;
    std::vector<Step> steps_;
    bool finished_ = false;
    bool stop_ = false;
    std::thread thread_;
};
