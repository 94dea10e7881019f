#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QThreadPool>

class DockTheme;

// Draws a theme's two Dock screenshots from its own images with the stand-in
// Dock's renderer ("Dock --render 3d|2d OUT --resources DIR") and stores them
// as the theme's "preview_3d.png" and "preview_2d.png" (the renderer writes
// each through a temporary file renamed into place). The theme's images are
// first copied, under their Dock file names, into a folder made for the run
// in the editor's temporary folder (given when made, kept by its owner longer
// than this object), since a theme may name its images as it likes; only
// regular files of an image's size are copied, never through a link. All of
// it runs on the renderer's own thread (never one of the global pool: it waits
// for the Dock program); the outcome comes back on the UI thread through
// rendered(). One run at a time.
class ScreenshotRenderer : public QObject {
    Q_OBJECT

public:
    explicit ScreenshotRenderer(QString temporaryFolder, QObject* parent = nullptr);
    ~ScreenshotRenderer() override;

    // Starts drawing for bundle; false while a run is under way.
    bool start(const QString& bundle);
    bool isRunning() const { return running_; }
    void waitForEnd();

    // The stand-in Dock program: "Dock" in the resource folder, else the build's.
    static QString dockProgram();
    // Copies theme's images into folder under their Dock file names. A key
    // set in both categories gets its 3D image, as the apply tool installs it.
    // An image that is not a regular file of at most ThemeBundle::kMaxImageBytes
    // (a FIFO, a link) is left out. Any thread may call.
    static void gatherImages(const DockTheme& theme, const QString& folder);

signals:
    void rendered(const QString& bundle, bool ok);

private:
    static bool render(const QString& bundle, const QString& temporaryFolder);

    QString temporaryFolder_;
    QThreadPool worker_;  // one thread
    QFutureWatcher<bool> watcher_;
    QString bundle_;
    bool running_ = false;
};
