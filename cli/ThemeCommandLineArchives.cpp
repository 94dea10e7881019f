#include "cli/ThemeCommandLine.h"

#include <QCommandLineParser>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ostream>

#include "image/ImageFile.h"
#include "model/ArchiveImport.h"
#include "model/DockTheme.h"
#include "model/MiscKit.h"
#include "model/ThemeArchive.h"
#include "platform/Descriptor.h"
#include "platform/FileManager.h"
#include "platform/Log.h"

// The commands that pack a theme as one file and unpack one: export, import.

namespace {

std::string errorText(int error) {
    return std::strerror(error);
}

}  // namespace

int ThemeCommandLine::exportBundle(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The archive to write."),
                                    QStringLiteral("FILE"));
    parser.addOption(output);
    describe(parser, "export",
             "Writes a theme bundle as one zip archive, by default \"<bundle name>.zip\" in the "
             "current folder. An existing file is not replaced.",
             "BUNDLE", "A theme bundle.");
    if (const int parsed = parse(parser, arguments, 1, 1); parsed != kSuccess) {
        return outcome(parsed);
    }
    const std::string bundle = operands(parser).front();
    const std::string archive =
        parser.isSet(output) ? bytesOf(parser.value(output))
                             : FileManager::lastComponent(bundle) + ThemeArchive::kExportSuffix;
    if (!openTheme(bundle)) {
        return kFailure;
    }
    struct stat there {};
    if (::lstat(archive.c_str(), &there) == 0 || errno != ENOENT) {
        return fail(archive, "exists already; name another with -o");
    }
    // Checked first as import checks it; the archive takes its name only if it is still free.
    std::string why;
    if (!ThemeArchive::write(bundle, archive, MiscKit::sharedFiles(), ImageFile::readerSize,
                             FileManager::Existing::Kept, &why)) {
        return fail(bundle, why);
    }
    out_ << archive << '\n';
    return kSuccess;
}

int ThemeCommandLine::importArchive(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption target(QStringLiteral("to"),
                                    QStringLiteral("The folder to put the theme in."),
                                    QStringLiteral("DIR"), QStringLiteral("."));
    parser.addOption(target);
    describe(parser, "import",
             "Unpacks a theme archive (zip, tar, 7z) into a folder, by default the current one, "
             "once it passes the theme check. A theme of the same name there is not replaced.",
             "ARCHIVE", "A theme archive.");
    if (const int parsed = parse(parser, arguments, 1, 1); parsed != kSuccess) {
        return outcome(parsed);
    }
    const std::string archive = operands(parser).front();
    const std::string folder = bytesOf(parser.value(target));
    if (!Descriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)).valid()) {
        return fail(folder, errorText(errno));
    }
    // A refused archive leaves nothing; what a killed import left goes first.
    ArchiveImport::removeLeftovers(folder);
    ArchiveImport import(folder);
    std::string why = errorText(errno);
    std::optional<std::string> name;
    if (import.valid()) {
        name = import.unpack(archive, ImageFile::readerSize, &why);
    }
    bool placed = false;
    if (name) {
        placed = import.place(*name);
        why = errno == EEXIST ? folder + "/" + *name + " exists already" : errorText(errno);
    }
    if (!placed) {
        return fail(archive, why);
    }
    // The theme's name is the archive's, a stranger's: escaped, as every message is.
    out_ << folder << "/" << Log::escaped(*name) << '\n';
    return kSuccess;
}
