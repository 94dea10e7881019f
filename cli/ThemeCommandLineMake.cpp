#include "cli/ThemeCommandLine.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFuture>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <fcntl.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <sstream>

#include "image/ImageFile.h"
#include "image/ThemePreview.h"
#include "image/ThemeScreenshots.h"
#include "model/BatchWorker.h"
#include "model/BundleBuilder.h"
#include "model/DockTheme.h"
#include "model/MiscKit.h"
#include "model/ThemeBundle.h"
#include "platform/Descriptor.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "platform/SystemPaths.h"

// The commands that make or change bundles: set-image, new, render, batch.

namespace {

// A theme made here gets a micro preview of its own, drawn from its images, so
// that it stands apart in the collection; failing to draw one is only a warning.
void drawMicroPreview(const std::string& bundle, std::ostream& err) {
    if (std::string why; !ThemePreview::renderMicroPreview(bundle, &why)) {
        err << ThemeCommandLine::kProgram << ": " << Log::escaped(bundle)
            << ": warning: it keeps the stock micro preview (" << Log::escaped(why) << ")\n";
    }
}

}  // namespace

int ThemeCommandLine::setImage(const QCommandLineParser& parser) {
    const std::vector<std::string> given = operands(parser);
    const std::string& bundle = given[0];
    const std::string& key = given[1];
    const std::string& file = given[2];
    const auto theme = openTheme(bundle);
    if (!theme) {
        return kFailure;
    }
    const std::optional<DockCategory> category = MiscKit::categoryForKey(key);
    if (!category || !theme->getFileNameForKey(key, *category)) {
        return fail(bundle, "the theme has no slot " + key);
    }
    const std::string proposed = parser.isSet(QStringLiteral("unique-name"))
                                     ? MiscKit::UUIDString()
                                     : FileManager::lastComponent(file);
    if (theme->verifyNameExistForFile(proposed)) {
        return fail(bundle, "Duplicate file: " + proposed +
                                " already exists in the theme; use --unique-name");
    }
    // A file the check would refuse never becomes a slot's image. One that
    // does not open is left to the copy, which tells why.
    const Descriptor picture(
        FileManager::openRegularFile(file, true, AT_FDCWD, ThemeBundle::kMaxImageBytes));
    if (picture.valid() && !ImageFile::pictureSize(picture.get())) {
        return fail(file, "not a picture the theme check reads; the theme is unchanged");
    }
    const std::optional<std::string> made = theme->setFileName(file, key, *category, proposed);
    if (!made) {
        return fail(file, theme->errorString());
    }
    out_ << *made << '\n';
    return kSuccess;
}

int ThemeCommandLine::newBundle(const QCommandLineParser& parser) {
    const QString fromFolder = QStringLiteral("from-folder");
    const QString fromDock = QStringLiteral("from-dock");
    if (parser.isSet(fromFolder) && parser.isSet(fromDock)) {
        return usage("--from-folder and --from-dock exclude each other");
    }
    // "themes/Mine", "themes/Mine/" and "themes/Mine.docktheme" all name themes/Mine.docktheme.
    std::string given = operands(parser).front();
    while (given.size() > 1 && given.back() == '/') {
        given.pop_back();
    }
    const std::string suffix = std::string(".") + ThemeBundle::kExtension;
    if (given.ends_with(suffix)) {
        given.resize(given.size() - suffix.size());
    }
    const std::filesystem::path chosen(given);
    const std::string name = chosen.filename().string();
    if (name.empty() || name == "." || name == ".." || given == "/") {
        return usage("'" + Log::escaped(operands(parser).front()) + "' does not name a theme");
    }
    std::string images;
    std::optional<std::string> author;
    if (parser.isSet(fromFolder)) {
        images = bytesOf(parser.value(fromFolder));
        std::error_code error;
        if (std::filesystem::is_empty(images, error) && !error) {
            return fail(images, "the folder is empty; no theme was made");
        }
    } else if (parser.isSet(fromDock)) {
        images = SystemPaths::dockResourcesFolder();
        if (!MiscKit::sharedFiles().holdsDockImages(images)) {
            return fail(images, "there are no Dock images here");
        }
    } else {
        author = SystemPaths::fullUserName();
    }
    const std::string folder = chosen.has_parent_path() ? chosen.parent_path().string() : ".";
    BundleBuilder::removeLeftovers(folder);
    const std::string why = BundleBuilder::make(folder, name + suffix, images, {name, author});
    if (!why.empty()) {
        return fail(given, why);
    }
    // Made as asked, but most likely not what was meant: the names are wrong.
    if (parser.isSet(fromFolder) && !MiscKit::sharedFiles().holdsDockImages(images)) {
        err_ << kProgram << ": " << Log::escaped(images)
             << ": warning: no image of the folder is named as the Dock names its images; the "
                "theme has the stock images\n";
    }
    drawMicroPreview(given + suffix, err_);
    out_ << given << suffix << '\n';
    return kSuccess;
}

int ThemeCommandLine::render(const QCommandLineParser& parser) {
    const std::string bundle = operands(parser).front();
    const auto theme = openTheme(bundle);
    if (!theme) {
        return kFailure;
    }
    std::string why;
    if (!ThemeScreenshots::render(bundle, QDir::tempPath().toStdString(), &why)) {
        return fail(bundle, why);
    }
    for (DockStyle style : {DockStyle::ThreeD, DockStyle::TwoD}) {
        out_ << theme->previewDockPath(style) << '\n';
    }
    return kSuccess;
}

int ThemeCommandLine::batch(const QCommandLineParser& parser) {
    const std::vector<std::string> given = operands(parser);
    const std::string& destination = given[1];
    if (!std::filesystem::is_directory(destination)) {
        return fail(destination, "not a folder");
    }
    if (BatchWorker::insideSource(given[0], destination)) {
        return usage("'" + Log::escaped(destination) +
                     "' is the source folder or lies inside it; choose a different folder");
    }
    std::error_code error;
    std::vector<std::string> folders;
    for (std::filesystem::directory_iterator entry(given[0], error);
         !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        std::error_code kind;
        if (entry->is_directory(kind)) {
            folders.push_back(entry->path().string());
        }
    }
    if (error) {
        return fail(given[0], error.message());
    }
    std::sort(folders.begin(), folders.end());
    BatchWorker::removeLeftovers(destination);
    // On a terminal a bar under the rows tells how far the run is.
    const auto bar = [&](std::size_t done) {
        if (terminal_.progress) {
            out_ << progressLine(done, folders.size()) << std::flush;
        }
    };
    bar(0);
    // Rows are made on every core, each bundle in a hidden folder of its own,
    // and told in their order as each is done; a row's warnings come with it.
    struct Made {
        BatchWorker::Step step;
        std::string warnings;
    };
    MiscKit::sharedFiles();  // the catalogue is made here, before a worker reads it
    QThreadPool pool;
    const QFuture<Made> made =
        QtConcurrent::mapped(&pool, folders, [&destination](const std::string& folder) {
            Made row{BatchWorker::convert(folder, destination), {}};
            if (row.step.status != BatchWorker::kError) {
                std::ostringstream warnings;
                drawMicroPreview(row.step.bundle, warnings);
                row.warnings = warnings.str();
            }
            return row;
        });
    bool failing = false;
    for (std::size_t row = 0; row < folders.size(); ++row) {
        const Made done = made.resultAt(static_cast<int>(row));
        const BatchWorker::Step& step = done.step;
        const bool error = step.status == BatchWorker::kError;
        failing = failing || error;
        err_ << done.warnings;
        if (terminal_.progress) {
            out_ << "\r\033[K";
        }
        out_ << Log::escaped(FileManager::lastComponent(folders[row])) << ": "
             << (error ? painted("ERROR:", kRed) + " " + Log::escaped(step.reason)
                       : painted("OK", kGreen))
             << '\n';
        bar(row + 1);
    }
    if (terminal_.progress) {
        out_ << "\r\033[K";
    }
    return failing ? kFailure : kSuccess;
}
