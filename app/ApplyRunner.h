#pragma once

#include <QFuture>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include "platform/SystemPaths.h"

// Applies a theme bundle to the Dock off the UI thread: a worker asks for
// administrator rights (the desktop's dialog may be up for long), runs the
// apply tool on the bundle with them and waits for its end; the outcome comes
// back on the UI thread through ended(). One run at a time: start() refuses
// while one runs. The apply tool is "VelvantoHelper" in the resource folder.
// The worker is the controller's own thread, never one of the global pool, so
// the wait for rights holds no other work (picture decodes, the renderer).
// Lives on the UI thread; the worker touches no widget.
class ApplyRunner : public QObject {
    Q_OBJECT

public:
    // The apply tool's exit status when it went through.
    static constexpr int kToolSucceeded = SystemPaths::kApplyToolSucceeded;

    // What a run does: apply a theme, apply the stock theme, or put back the
    // Dock's own images the tool kept (no bundle).
    enum class Run { Apply, RestoreStock, RestoreOriginal };

    explicit ApplyRunner(QObject* parent = nullptr);
    ~ApplyRunner() override;

    // Starts applying bundle; false (and nothing starts) while a run is under way.
    // run and themeName are handed back with the outcome.
    bool start(const QString& bundle, const QString& themeName, Run run);
    // Starts putting back the Dock's kept images; false while a run is under way.
    bool startRestoringOriginals();
    bool isRunning() const { return running_; }
    // The bundle of the run under way or ended last (empty for a restore of the originals).
    const QString& bundle() const { return bundle_; }
    // Waits for a run under way to end (the editor's end; tests).
    void waitForEnd();

    // The tool applied: the resource folder's "VelvantoHelper".
    static QString toolPath();

signals:
    void started();
    // status: the authorization's status (0 when the tool ran); exitStatus: the tool's.
    void ended(ApplyRunner::Run run, const QString& themeName, int status, int exitStatus);

private:
    struct Outcome {
        int status = 0;
        int exitStatus = -1;
    };
    QThreadPool worker_;  // one thread
    QFuture<Outcome> future_;
    bool running_ = false;
    Run run_ = Run::Apply;
    QString themeName_;
    QString bundle_;
};
