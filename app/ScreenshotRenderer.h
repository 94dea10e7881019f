#pragma once

#include <QFuture>
#include <QObject>
#include <QString>
#include <QThreadPool>

// Draws a theme's two Dock screenshots (ThemeScreenshots) for the editor,
// gathering its images in the editor's temporary folder (given when made,
// kept by its owner longer than this object). All of it runs on the
// renderer's own thread (never one of the global pool: it waits for the Dock
// program); the outcome comes back on the UI thread through rendered(). One
// run at a time.
class ScreenshotRenderer : public QObject {
    Q_OBJECT

public:
    explicit ScreenshotRenderer(QString temporaryFolder, QObject* parent = nullptr);
    ~ScreenshotRenderer() override;

    // Starts drawing for bundle; false while a run is under way.
    bool start(const QString& bundle);
    bool isRunning() const { return running_; }
    void waitForEnd();

signals:
    void rendered(const QString& bundle, bool ok);

private:
    QString temporaryFolder_;
    QThreadPool worker_;  // one thread
    QFuture<bool> future_;
    QString bundle_;
    bool running_ = false;
};
