#include "image/ThemeScreenshots.h"

#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

#include "model/DockTheme.h"
#include "model/MiscKit.h"
#include "model/ThemeBundle.h"
#include "platform/BundleFolder.h"
#include "platform/Descriptor.h"
#include "platform/FileManager.h"
#include "platform/Process.h"
#include "platform/SystemPaths.h"

#ifndef VELVANTO_DOCK_PROGRAM
#define VELVANTO_DOCK_PROGRAM ""
#endif

namespace {

// The last line of a program's messages, its reason for failing.
std::string lastLine(std::string text) {
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    const auto newline = text.rfind('\n');
    return newline == std::string::npos ? text : text.substr(newline + 1);
}

}  // namespace

std::string ThemeScreenshots::dockProgram() {
    const std::string bundled = (SystemPaths::resourceFolder() / "Dock").string();
    return ::access(bundled.c_str(), X_OK) == 0 ? bundled : std::string(VELVANTO_DOCK_PROGRAM);
}

void ThemeScreenshots::gatherImages(const DockTheme& theme, const std::string& folder) {
    // 2D images first: a 3D image of the same name then takes its place.
    for (const auto& slotList : theme.listOfImages()) {
        for (const DockTheme::Item& item : slotList) {
            auto original = MiscKit::sharedFiles().getOriginalFileNameForKey(item->keyDock());
            Descriptor image = theme.openImage(item->path());
            if (original && ThemeBundle::isPlainFileName(*original) && image.valid()) {
                FileManager::replaceFileFromDescriptor(image.get(), folder + "/" + *original);
            }
        }
    }
}

bool ThemeScreenshots::render(const std::string& bundle, const std::string& temporaryFolder,
                              std::string* why) {
    std::string reason;
    std::unique_ptr<DockTheme> theme = DockTheme::initWithBundleAtPath(bundle, &reason);
    if (!theme && reason.empty()) {
        reason = "the theme does not open";
    }
    // Held from the reading of its images to the writing of the screenshots,
    // so a writer elsewhere neither changes what is drawn nor sweeps them half-made.
    Descriptor lock = theme ? theme->bundleFolder()->lock() : Descriptor();
    if (theme && !lock.valid()) {
        reason = BundleFolder::kLockHeldElsewhere;
    } else if (theme && !theme->reload(&reason)) {
        theme.reset();
        reason = reason.empty() ? "the theme does not open" : reason;
    }
    QTemporaryDir run(QString::fromStdString(temporaryFolder) + QStringLiteral("/render-XXXXXX"));
    const std::string folder = run.path().toStdString();
    const std::string images = folder + "/images";
    if (theme && (!run.isValid() || ::mkdir(images.c_str(), 0700) != 0)) {
        reason = "no folder could be made for its images in " + temporaryFolder;
    }
    std::vector<std::pair<std::string, std::string>> screenshots;
    if (reason.empty()) {
        gatherImages(*theme, images);
        const std::string dock = dockProgram();
        for (DockStyle style : {DockStyle::ThreeD, DockStyle::TwoD}) {
            const std::string name =
                std::filesystem::path(theme->previewDockPath(style)).filename().string();
            auto drawn = Process::run({dock, "--render", style == DockStyle::ThreeD ? "3d" : "2d",
                                       folder + "/" + name, "--resources", images},
                                      Process::Capture::Errors);
            if (!drawn) {
                reason = "the Dock's renderer " + dock + " could not be started";
                break;
            }
            if (drawn->exitStatus != 0) {
                reason = lastLine(drawn->output);
                reason = reason.empty() ? "the Dock's renderer failed with exit status " +
                                              std::to_string(drawn->exitStatus)
                                        : reason;
                break;
            }
            auto bytes = FileManager::readFile(folder + "/" + name);
            if (!bytes) {
                reason = "the Dock's renderer wrote no " + name;
                break;
            }
            screenshots.emplace_back(name, std::move(*bytes));
        }
    }
    // Both or neither reach the bundle, through its folder, never through a link.
    if (reason.empty() && !theme->bundleFolder()->writeFiles(screenshots, false)) {
        reason = "the screenshots could not be written (" + std::string(std::strerror(errno)) + ")";
    }
    if (why) {
        *why = reason;
    }
    return reason.empty();
}
