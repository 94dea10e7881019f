#include "cli/ThemeCommandLine.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <ostream>

#include "cli/UnpackedArchive.h"
#include "image/ImageFile.h"
#include "image/ThemePreview.h"
#include "model/ArchiveImport.h"
#include "model/DockTheme.h"
#include "model/MiscKit.h"
#include "model/ThemeArchive.h"
#include "platform/Descriptor.h"
#include "platform/FileManager.h"
#include "platform/Log.h"

// The commands that pack a theme as one file and unpack one (export, import), and
// the picture of one for file managers (thumbnail).

namespace {

std::string errorText(int error) {
    return std::strerror(error);
}

bool writeAll(int fd, const QByteArray& bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t wrote =
            ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (wrote < 0 && errno != EINTR) {
            return false;
        }
        done += wrote > 0 ? wrote : 0;
    }
    return true;
}

// What -o names for standard output.
constexpr const char* kStandardOutput = "-";

// A thumbnail's size when none is asked for (a file manager's "normal" size),
// the smallest and largest drawn, and how long an archive may take to read for it.
constexpr int kThumbnailSize = 128;
constexpr int kMinThumbnailSize = 16;
constexpr int kMaxThumbnailSize = 1024;
constexpr std::chrono::seconds kThumbnailTime{10};

}  // namespace

int ThemeCommandLine::exportBundle(const QCommandLineParser& parser) {
    const std::string bundle = operands(parser).front();
    const QString output = QStringLiteral("output");
    const std::string archive =
        parser.isSet(output) ? bytesOf(parser.value(output))
                             : FileManager::lastComponent(bundle) + ThemeArchive::kExportSuffix;
    const bool toOutput = archive == kStandardOutput;
    if (toOutput && terminal_.progress) {
        return fail(kStandardOutput,
                    filled(tr("standard output is a terminal; redirect it or name a file"), {}));
    }
    if (!openTheme(bundle)) {
        return kFailure;
    }
    // Made whole in a temporary folder first, then copied out.
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/velvanto-theme-XXXXXX"));
    const std::string written =
        toOutput ? QFile::encodeName(folder.filePath(QStringLiteral("theme.zip"))).toStdString()
                 : archive;
    struct stat there {};
    if (!toOutput && (::lstat(archive.c_str(), &there) == 0 || errno != ENOENT)) {
        return fail(archive, "exists already; name another with -o");
    }
    if (toOutput && !folder.isValid()) {
        return fail(QFile::encodeName(QDir::tempPath()).toStdString(), errorText(errno));
    }
    // Checked first as import checks it; the archive takes its name only if it is still free.
    std::string why;
    if (!ThemeArchive::write(bundle, written, MiscKit::sharedFiles(), ImageFile::readerSize,
                             FileManager::Existing::Kept, &why)) {
        return fail(bundle, why);
    }
    if (!toOutput) {
        out_ << archive << '\n';
        return kSuccess;
    }
    const Descriptor file(FileManager::openRegularFile(written, false));
    char block[64 * 1024];
    ssize_t got = 0;
    while (file.valid() && (got = ::read(file.get(), block, sizeof block)) > 0 &&
           out_.write(block, got)) {
    }
    return file.valid() && got == 0 ? kSuccess : fail(written, errorText(errno));
}

int ThemeCommandLine::importArchive(const QCommandLineParser& parser) {
    const std::string archive = operands(parser).front();
    const std::string folder = parser.isSet(QStringLiteral("to"))
                                   ? bytesOf(parser.value(QStringLiteral("to")))
                                   : std::string(".");
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

int ThemeCommandLine::thumbnail(const QCommandLineParser& parser) {
    const QString sizeOption = QStringLiteral("size");
    bool number = true;
    const int size =
        parser.isSet(sizeOption) ? parser.value(sizeOption).toInt(&number) : kThumbnailSize;
    if (!number || size < kMinThumbnailSize || size > kMaxThumbnailSize) {
        return usage(filled(tr("--size takes %1 to %2 pixels, not '%3'"),
                            {std::to_string(kMinThumbnailSize), std::to_string(kMaxThumbnailSize),
                             Log::escaped(bytesOf(parser.value(sizeOption)))}));
    }
    const std::vector<std::string> given = operands(parser);
    const std::string& input = given[0];
    const std::string& output = given[1];
    // A file manager asks for every file it lists: an archive that reads
    // slowly is given up, as one that is too large or hostile is refused.
    std::optional<UnpackedArchive> archive;
    if (!std::filesystem::is_directory(input)) {
        const auto deadline = std::chrono::steady_clock::now() + kThumbnailTime;
        archive.emplace(input, [deadline] { return std::chrono::steady_clock::now() > deadline; });
        if (!archive->bundle()) {
            return fail(input, archive->why() == ThemeArchive::kCancelled
                                   ? filled(tr("it takes too long to read"), {})
                                   : archive->why());
        }
    }
    const auto theme = openTheme(archive ? *archive->bundle() : input);
    if (!theme) {
        return kFailure;
    }
    // The micro preview, fitted into size by size: it is wider than high.
    const QImage picture = ThemePreview::drawMicroPreview(*theme, size);
    QByteArray png;
    QBuffer buffer(&png);
    if (picture.isNull() || !buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG")) {
        return fail(input, filled(tr("its Dock could not be drawn"), {}));
    }
    if (!FileManager::writeNew(output, 0644, false, FileManager::Existing::RegularFileReplaced,
                               [&png](int fd) { return writeAll(fd, png); })) {
        return fail(output, errorText(errno));
    }
    out_ << output << '\n';
    return kSuccess;
}
