#include "app/ScreenshotRenderer.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtConcurrent/QtConcurrentRun>

#include "app/ImageFile.h"
#include "model/DockTheme.h"
#include "model/MiscKit.h"
#include "model/ThemeBundle.h"
#include "platform/Descriptor.h"
#include "platform/FileManager.h"
#include "platform/Process.h"
#include "platform/SystemPaths.h"

#ifndef VELVANTO_DOCK_PROGRAM
#define VELVANTO_DOCK_PROGRAM ""
#endif

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
    watcher_.setFuture(QtConcurrent::run(
        &worker_, [bundle, folder = temporaryFolder_] { return render(bundle, folder); }));
    return true;
}

void ScreenshotRenderer::waitForEnd() {
    watcher_.waitForFinished();
}

QString ScreenshotRenderer::dockProgram() {
    QString bundled = QString::fromStdString((SystemPaths::resourceFolder() / "Dock").string());
    return QFileInfo(bundled).isExecutable() ? bundled : QStringLiteral(VELVANTO_DOCK_PROGRAM);
}

void ScreenshotRenderer::gatherImages(const DockTheme& theme, const QString& folder) {
    // 2D images first: a 3D image of the same name then takes its place.
    for (const auto& slotList : theme.listOfImages()) {
        for (const DockTheme::Item& item : slotList) {
            auto original = MiscKit::sharedFiles().getOriginalFileNameForKey(item->keyDock());
            Descriptor image = ImageFile::open(QString::fromStdString(item->path()));
            if (original && ThemeBundle::isPlainFileName(*original) && image.valid()) {
                FileManager::replaceFileFromDescriptor(image.get(),
                                                       folder.toStdString() + "/" + *original);
            }
        }
    }
}

bool ScreenshotRenderer::render(const QString& bundle, const QString& temporaryFolder) {
    std::unique_ptr<DockTheme> theme = DockTheme::initWithBundleAtPath(bundle.toStdString());
    QTemporaryDir images(temporaryFolder + QStringLiteral("/render-XXXXXX"));
    if (!theme || !images.isValid()) {
        return false;
    }
    gatherImages(*theme, images.path());
    std::string dock = dockProgram().toStdString();
    bool ok = true;
    for (DockStyle style : {DockStyle::ThreeD, DockStyle::TwoD}) {
        auto run = Process::run({dock, "--render", style == DockStyle::ThreeD ? "3d" : "2d",
                                 theme->previewDockPath(style), "--resources",
                                 images.path().toStdString()});
        ok = ok && run && run->exitStatus == 0;
    }
    return ok;
}
