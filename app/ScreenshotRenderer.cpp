#include "app/ScreenshotRenderer.h"

#include "app/Background.h"
#include "image/ThemeScreenshots.h"

ScreenshotRenderer::ScreenshotRenderer(QString temporaryFolder, QObject* parent)
    : QObject(parent), temporaryFolder_(std::move(temporaryFolder)) {
    worker_.setMaxThreadCount(1);
}

ScreenshotRenderer::~ScreenshotRenderer() {
    future_.waitForFinished();
}

bool ScreenshotRenderer::start(const QString& bundle) {
    if (running_) {
        return false;
    }
    running_ = true;
    bundle_ = bundle;
    future_ = Background::run(
        &worker_, this,
        [bundle, folder = temporaryFolder_] {
            return ThemeScreenshots::render(bundle.toStdString(), folder.toStdString());
        },
        [this](bool ok) {
            running_ = false;
            emit rendered(bundle_, ok);
        });
    return true;
}

void ScreenshotRenderer::waitForEnd() {
    future_.waitForFinished();
}
