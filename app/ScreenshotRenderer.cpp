#include "app/ScreenshotRenderer.h"

#include <QtConcurrent/QtConcurrentRun>

#include "image/ThemeScreenshots.h"

ScreenshotRenderer::ScreenshotRenderer(QString temporaryFolder, QObject* parent)
    : QObject(parent), temporaryFolder_(std::move(temporaryFolder)) {
    worker_.setMaxThreadCount(1);
    connect(&watcher_, &QFutureWatcher<bool>::finished, this, [this] {
        running_ = false;
        emit rendered(bundle_, watcher_.result());
    });
}

ScreenshotRenderer::~ScreenshotRenderer() {
    watcher_.waitForFinished();
}

bool ScreenshotRenderer::start(const QString& bundle) {
    if (running_) {
        return false;
    }
    running_ = true;
    bundle_ = bundle;
    watcher_.setFuture(QtConcurrent::run(&worker_, [bundle, folder = temporaryFolder_] {
        return ThemeScreenshots::render(bundle.toStdString(), folder.toStdString());
    }));
    return true;
}

void ScreenshotRenderer::waitForEnd() {
    watcher_.waitForFinished();
}
