#include "dock/DockProgram.h"

#include <unistd.h>

#include <QApplication>
#include <QGuiApplication>

#include <cstdio>

#include "dock/DockImages.h"
#include "dock/DockManifest.h"
#include "dock/DockRenderer.h"
#include "dock/DockWindow.h"
#include "model/MiscKit.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "platform/PropertyList.h"
#include "platform/SystemPaths.h"

namespace {

constexpr int kDefaultTileSize = 64;

const char* const kUsage = "usage: Dock [--render 3d|2d OUT.png [--resources DIR]]\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

}  // namespace

int DockProgram::main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (arguments.empty()) {
        return show(argc, argv);
    }
    if (arguments[0] == "--render") {
        return render(argc, argv, arguments);
    }
    return usage();
}

int DockProgram::tileSizeFromPreferences() {
    auto preferences = PropertyList::readDictionary(SystemPaths::dockPreferencesPath());
    const PlistValue* size = preferences ? preferences->find("tilesize") : nullptr;
    if (size && size->asInteger()) {
        return static_cast<int>(std::clamp<std::int64_t>(*size->asInteger(), 0, 1024));
    }
    if (size && size->asReal() && *size->asReal() >= 0 && *size->asReal() <= 1024) {
        return static_cast<int>(*size->asReal());
    }
    return kDefaultTileSize;
}

int DockProgram::render(int argc, char** argv, const std::vector<std::string>& arguments) {
    bool withFolder = arguments.size() == 5 && arguments[3] == "--resources";
    if ((arguments.size() != 3 && !withFolder) || (arguments[1] != "3d" && arguments[1] != "2d") ||
        arguments[2].empty()) {
        return usage();
    }
    std::string folder = withFolder ? arguments[4] : SystemPaths::dockResourcesFolder();
    if (!FileManager::isDirectory(folder)) {
        std::fprintf(stderr, "Dock: %s is not a folder\n", folder.c_str());
        return 1;
    }
    // A screenshot needs no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    DockStyle style = arguments[1] == "3d" ? DockStyle::ThreeD : DockStyle::TwoD;
    if (!DockRenderer::renderToFile(MiscKit::sharedFiles(), folder, style, arguments[2])) {
        std::fprintf(stderr, "Dock: could not write %s\n", arguments[2].c_str());
        return 1;
    }
    return 0;
}

int DockProgram::show(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    const MiscKit& catalogue = MiscKit::sharedFiles();
    std::string folder = SystemPaths::dockResourcesFolder();
    DockStyle style = MiscKit::currentDockType();
    DockImages images = DockImages::load(catalogue, folder);
    Log::write("Dock: " + std::to_string(images.loaded().size()) + " images from " + folder +
               (style == DockStyle::ThreeD ? ", 3D" : ", 2D"));
    DockWindow window(images, style, tileSizeFromPreferences());
    window.setStackOpen(true);  // as in the screenshots, so every piece shows at once
    window.show();
    DockManifest manifest = DockManifest::describe(::getpid(), style, images);
    if (!manifest.write()) {
        Log::write("Dock: could not write " + DockManifest::path().string());
    }
    return application.exec();
}
