#include "cli/ThemeCommandLine.h"

#include <QCommandLineParser>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <ostream>

#include "image/ImageFile.h"
#include "image/ThemeScreenshots.h"
#include "model/BatchWorker.h"
#include "model/DockTheme.h"
#include "model/MiscKit.h"
#include "model/OriginalDockManifest.h"
#include "model/ThemeArchive.h"
#include "model/ThemeBundle.h"
#include "model/ThemeCheck.h"
#include "model/Utf8.h"
#include "platform/BundleFolder.h"
#include "platform/Descriptor.h"
#include "platform/FolderTree.h"
#include "platform/Log.h"
#include "platform/Renaming.h"
#include "platform/SystemPaths.h"
#include "platform/WorkFolder.h"
#include "privileged/SXAuthentication.h"

namespace {

// The hidden folders archives are unpacked in.
constexpr const char* kImportPrefix = ".velvanto-import-";

// The colours of results on a terminal, as SGR codes.
constexpr const char* kRed = "1;31";
constexpr const char* kYellow = "33";
constexpr const char* kGreen = "32";

// Arguments travel through Qt as Latin-1, which carries every byte as it is:
// option names are ASCII, and each value comes back as the bytes given.
QString carried(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

std::string bytesOf(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

std::string utf8(const QString& text) {
    return text.toStdString();
}

const QCommandLineOption& helpOption() {
    static const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                         QStringLiteral("Shows this help."));
    return help;
}

// The parser's help with the program named by its name, not its path.
std::string helpText(const QCommandLineParser& parser) {
    std::string text = utf8(parser.helpText());
    const std::string usage = "Usage: ";
    const auto options = text.find(" [options]");
    if (text.compare(0, usage.size(), usage) == 0 && options != std::string::npos) {
        text.replace(usage.size(), options - usage.size(), ThemeCommandLine::kProgram);
    }
    return text;
}

// text with each line longer than a terminal's 79 columns broken at spaces,
// for the help and the manual page made from it.
QString wrapped(const std::string& text) {
    constexpr std::size_t kColumns = 79;
    std::string result;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        std::string line = text.substr(start, end - start);
        while (line.size() > kColumns && line.rfind(' ', kColumns) != std::string::npos &&
               line.rfind(' ', kColumns) > 0) {
            const std::size_t cut = line.rfind(' ', kColumns);
            result += line.substr(0, cut) + "\n";
            line.erase(0, cut + 1);
        }
        result += line + (end < text.size() ? "\n" : "");
        start = end + 1;
    }
    return QString::fromUtf8(result.c_str());
}

QString jsonText(const std::string& text) {
    return QString::fromStdString(text);
}

void writeJson(std::ostream& out, const QJsonArray& array) {
    out << QJsonDocument(array).toJson(QJsonDocument::Indented).toStdString();
}

const char* severityName(ThemeFinding::Severity severity) {
    return severity == ThemeFinding::Severity::Error ? "error" : "warning";
}

const char* categoryName(DockCategory category) {
    return category == DockCategory::TwoD ? "2D" : "3D";
}

std::string sizeText(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

// The bundle's own name: the path's last component, trailing "/" left out.
std::string bundleName(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The columns text takes on a terminal: a column per character of UTF-8.
std::size_t columnsOf(const std::string& text) {
    return std::size_t(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string errorText(int error) {
    return std::strerror(error);
}

// The log's lines are held back while it lives: the command tells its own errors.
class QuietLog {
public:
    QuietLog() : previous_(Log::setSink([](const std::string&) {})) {}
    ~QuietLog() { Log::setSink(previous_); }
    QuietLog(const QuietLog&) = delete;
    QuietLog& operator=(const QuietLog&) = delete;

private:
    Log::Sink previous_;
};

// One slot of a bundle as "slots" shows it.
struct SlotRow {
    DockCategory category = DockCategory::TwoD;
    std::string key;
    std::string natural;
    std::string file;
    std::optional<ImageSize> size;
    DockSize dockSize;
    bool tooBig() const {
        return size && (size->width > dockSize.width || size->height > dockSize.height);
    }
};

std::optional<ImageSize> imageSize(const DockTheme& theme, const std::string& path) {
    const Descriptor file = theme.openImage(path);
    if (!file.valid()) {
        return std::nullopt;
    }
    if (auto size = ImageHeader::fromDescriptor(file.get())) {
        return size;
    }
    return ImageFile::readerSize(file.get());
}

std::vector<SlotRow> slotRows(const DockTheme& theme) {
    const MiscKit& catalogue = MiscKit::sharedFiles();
    std::vector<SlotRow> rows;
    for (DockCategory category : {DockCategory::TwoD, DockCategory::ThreeD}) {
        for (const DockTheme::Item& item : theme.slotList(category)) {
            SlotRow row;
            row.category = category;
            row.key = item->keyDock();
            row.natural = catalogue.getNaturalNameForKey(row.key).value_or("");
            row.file = theme.getFileNameForKey(row.key, category).value_or("");
            row.size = imageSize(theme, item->path());
            row.dockSize = catalogue.getSizeForFileKey(row.key);
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

}  // namespace

ThemeCommandLine::Terminal ThemeCommandLine::Terminal::ofStandardOutput() {
    Terminal terminal;
    terminal.progress = ::isatty(STDOUT_FILENO) == 1;
    const char* noColour = ::getenv("NO_COLOR");
    terminal.colour = terminal.progress && (!noColour || !*noColour);
    winsize size{};
    if (terminal.progress && ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        terminal.columns = size.ws_col;
    }
    return terminal;
}

int ThemeCommandLine::run(const std::vector<std::string>& arguments, std::ostream& out,
                          std::ostream& err, Terminal terminal) {
    QuietLog quiet;
    ThemeCommandLine commandLine(out, err, terminal);
    const int status = commandLine.dispatch(arguments);
    if (!out.flush()) {
        err << kProgram << ": standard output could not be written\n";
        return kFailure;
    }
    return status;
}

int ThemeCommandLine::run(const std::vector<std::string>& arguments, std::ostream& out,
                          std::ostream& err) {
    return run(arguments, out, err, Terminal());
}

const std::vector<ThemeCommandLine::Command>& ThemeCommandLine::commands() {
    static const std::vector<Command> table = {
        {"check", "BUNDLE...", "the theme check, one line per finding", &ThemeCommandLine::check},
        {"info", "BUNDLE", "its name, author, site, version, feed and counts",
         &ThemeCommandLine::info},
        {"slots", "BUNDLE", "every slot: its file, size and the Dock's size",
         &ThemeCommandLine::slotTable},
        {"set-image", "BUNDLE KEY FILE", "a copy of FILE made the image of the slot KEY",
         &ThemeCommandLine::setImage},
        {"new", "NAME", "a new bundle NAME.docktheme from the stock theme",
         &ThemeCommandLine::newBundle},
        {"render", "BUNDLE", "the two Dock screenshots drawn from its images",
         &ThemeCommandLine::render},
        {"batch", "SRC DST", "a bundle in DST for each sub-folder of SRC",
         &ThemeCommandLine::batch},
        {"apply", "BUNDLE", "the theme put on the Dock (administrator rights)",
         &ThemeCommandLine::apply},
        {"restore", "", "the stock theme or the Dock's own images back",
         &ThemeCommandLine::restore},
        {"export", "BUNDLE", "the bundle as one zip archive", &ThemeCommandLine::exportBundle},
        {"import", "ARCHIVE", "a theme archive unpacked and checked into a folder",
         &ThemeCommandLine::importArchive},
    };
    return table;
}

int ThemeCommandLine::dispatch(const std::vector<std::string>& arguments) {
    // The program's help lists the commands of the table it dispatches on.
    std::string description =
        "Checks, describes, makes, packs and applies Dock themes (.docktheme bundles).\n\n"
        "Commands:\n";
    // Summaries start in one column, two spaces or more after the longest
    // synopsis, as help2man reads a list.
    std::size_t width = 0;
    for (const Command& command : commands()) {
        width = std::max(width, std::strlen(command.name) + 1 + std::strlen(command.operands) + 2);
    }
    for (const Command& command : commands()) {
        std::string synopsis = std::string(command.name) + " " + command.operands;
        synopsis.resize(width, ' ');
        description += "  " + synopsis + command.summary + "\n";
    }
    description += "\n\"velvanto-theme COMMAND --help\" tells more of each command.";
    QCommandLineParser parser;
    parser.setApplicationDescription(wrapped(description));
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Tells the program's version."));
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The command to run."),
                                 QStringLiteral("COMMAND [OPTIONS] [ARGS...]"));
    if (const int parsed = parse(parser, arguments); parsed != kSuccess) {
        return outcome(parsed);
    }
    if (parser.isSet(version)) {
        out_ << kProgram << ' ' << VELVANTO_VERSION << '\n';
        return kSuccess;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        return usage("no command given; see \"velvanto-theme --help\"");
    }
    const std::string name = bytesOf(positional.first());
    for (const Command& command : commands()) {
        if (name == command.name) {
            return (this->*command.run)(arguments);
        }
    }
    return usage("unknown command '" + Log::escaped(name) + "'; see \"velvanto-theme --help\"");
}

int ThemeCommandLine::parse(QCommandLineParser& parser, const std::vector<std::string>& arguments) {
    parser.addOption(helpOption());
    QStringList all;
    for (const std::string& argument : arguments) {
        all << carried(argument);
    }
    if (!parser.parse(all)) {
        return usage(utf8(parser.errorText()));
    }
    if (parser.isSet(helpOption())) {
        out_ << helpText(parser);
        return kHelpShown;
    }
    return kSuccess;
}

int ThemeCommandLine::parse(QCommandLineParser& parser, const std::vector<std::string>& arguments,
                            std::size_t minimum, std::size_t maximum) {
    if (const int parsed = parse(parser, arguments); parsed != kSuccess) {
        return parsed;
    }
    // The first positional argument is the command itself.
    const auto count = std::size_t(parser.positionalArguments().size()) - 1;
    if (count < minimum) {
        return usage("missing argument; see \"" + std::string(kProgram) + " " +
                     bytesOf(parser.positionalArguments().first()) + " --help\"");
    }
    if (count > maximum) {
        return usage("too many arguments");
    }
    return kSuccess;
}

int ThemeCommandLine::outcome(int parsed) {
    return parsed == kHelpShown ? kSuccess : parsed;
}

int ThemeCommandLine::usage(const std::string& message) {
    err_ << kProgram << ": " << message << '\n';
    return kUsage;
}

int ThemeCommandLine::fail(const std::string& path, const std::string& why) {
    err_ << kProgram << ": " << Log::escaped(path) << ": " << Log::escaped(why) << '\n';
    return kFailure;
}

std::unique_ptr<DockTheme> ThemeCommandLine::openTheme(const std::string& bundle) {
    std::string why;
    auto theme = DockTheme::initWithBundleAtPath(bundle, &why);
    if (!theme) {
        fail(bundle, why);
    }
    return theme;
}

std::unique_ptr<DockTheme> ThemeCommandLine::parseTheme(QCommandLineParser& parser,
                                                        const std::vector<std::string>& arguments,
                                                        std::string& bundle, int& status) {
    if (const int parsed = parse(parser, arguments, 1, 1); parsed != kSuccess) {
        status = outcome(parsed);
        return nullptr;
    }
    bundle = bytesOf(parser.positionalArguments().at(1));
    auto theme = openTheme(bundle);
    status = theme ? kSuccess : kFailure;
    return theme;
}

namespace {

// The positional arguments after the command, as bytes.
std::vector<std::string> operands(const QCommandLineParser& parser) {
    std::vector<std::string> result;
    const QStringList positional = parser.positionalArguments();
    for (qsizetype index = 1; index < positional.size(); ++index) {
        result.push_back(bytesOf(positional.at(index)));
    }
    return result;
}

// The field of information a --set names; nothing for a name it does not know.
// Without information, tells only whether the name is known (any non-null).
std::string* informationField(const std::string& field, DockTheme::Information* information) {
    static DockTheme::Information probe;
    DockTheme::Information& values = information ? *information : probe;
    if (field == "name") {
        return &values.name;
    }
    if (field == "author") {
        return &values.author;
    }
    if (field == "site") {
        return &values.site;
    }
    if (field == "version") {
        return &values.version;
    }
    return field == "feed" ? &values.appcast : nullptr;
}

// Gives parser command's help: what it does, and its operand if it has one.
void describe(QCommandLineParser& parser, const char* command, const char* description,
              const char* operand = nullptr, const char* operandHelp = nullptr,
              const char* syntax = nullptr) {
    parser.setApplicationDescription(wrapped(description));
    parser.addPositionalArgument(QString::fromUtf8(command), QStringLiteral("The command."),
                                 QString::fromUtf8(command));
    if (!operand) {
        return;
    }
    parser.addPositionalArgument(QString::fromUtf8(operand), QString::fromUtf8(operandHelp),
                                 QString::fromUtf8(syntax ? syntax : operand));
}

}  // namespace

int ThemeCommandLine::check(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("Lists the findings as a JSON array."));
    const QCommandLineOption strict(QStringLiteral("strict"),
                                    QStringLiteral("Fails on warnings too."));
    parser.addOptions({json, strict});
    describe(parser, "check",
             "Checks theme bundles as the editor does before a theme reaches the "
             "Dock. Exit status 0 when no bundle has an error, 1 when one has.",
             "BUNDLE", "Theme bundles.", "BUNDLE...");
    if (const int parsed = parse(parser, arguments, 1, SIZE_MAX); parsed != kSuccess) {
        return outcome(parsed);
    }
    QJsonArray list;
    bool failing = false;
    for (const std::string& bundle : operands(parser)) {
        const auto findings =
            ThemeCheck::check(bundle, MiscKit::sharedFiles(), ImageFile::readerSize);
        for (const ThemeFinding& finding : findings) {
            failing = failing || finding.severity == ThemeFinding::Severity::Error ||
                      parser.isSet(strict);
            if (parser.isSet(json)) {
                list.append(QJsonObject{{"bundle", jsonText(bundle)},
                                        {"severity", severityName(finding.severity)},
                                        {"key", jsonText(finding.key)},
                                        {"file", jsonText(finding.file)},
                                        {"text", jsonText(finding.sentence)}});
                continue;
            }
            std::string where = finding.key;
            if (!finding.file.empty()) {
                where += (where.empty() ? "(" : " (") + finding.file + ")";
            }
            // One line each, whatever the path and the bundle's names hold.
            const bool error = finding.severity == ThemeFinding::Severity::Error;
            out_ << Log::escaped(bundle) << ": "
                 << painted(severityName(finding.severity), error ? kRed : kYellow) << ": "
                 << Log::escaped((where.empty() ? "" : where + ": ") + finding.sentence) << '\n';
        }
    }
    if (parser.isSet(json)) {
        writeJson(out_, list);
    }
    return failing ? kFailure : kSuccess;
}

int ThemeCommandLine::info(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption set(
        QStringLiteral("set"),
        QStringLiteral("Writes FIELD (name, author, site, version or feed) as VALUE into "
                       "Info.plist first, as the editor saves it; may be given again."),
        QStringLiteral("FIELD=VALUE"));
    parser.addOption(set);
    describe(parser, "info", "Tells a theme's information, its screenshots and its counts.",
             "BUNDLE", "A theme bundle.");
    if (const int parsed = parse(parser, arguments, 1, 1); parsed != kSuccess) {
        return outcome(parsed);
    }
    std::vector<std::pair<std::string, std::string>> changes;
    for (const QString& assignment : parser.values(set)) {
        const std::string text = bytesOf(assignment);
        const auto equals = text.find('=');
        changes.emplace_back(text.substr(0, equals),
                             equals == std::string::npos ? "" : text.substr(equals + 1));
        if (equals == std::string::npos || !informationField(changes.back().first, nullptr)) {
            return usage("--set takes name=, author=, site=, version= or feed=, not '" +
                         Log::escaped(text) + "'");
        }
    }
    const std::string bundle = operands(parser).front();
    const auto theme = openTheme(bundle);
    if (!theme) {
        return kFailure;
    }
    DockTheme::Information information = theme->information();
    if (!changes.empty()) {
        for (const auto& [field, value] : changes) {
            *informationField(field, &information) = value;
        }
        if (!theme->saveInformation(information, nullptr)) {
            return fail(bundle, theme->errorString());
        }
    }
    std::string screenshots;
    for (DockStyle style : {DockStyle::ThreeD, DockStyle::TwoD}) {
        if (theme->existDockPreview(style)) {
            screenshots += std::string(screenshots.empty() ? "" : ", ") +
                           categoryName(categoryForStyle(style));
        }
    }
    const auto findings = ThemeCheck::check(bundle, MiscKit::sharedFiles(), ImageFile::readerSize);
    std::size_t errors = 0;
    for (const ThemeFinding& finding : findings) {
        errors += finding.severity == ThemeFinding::Severity::Error ? 1 : 0;
    }
    out_ << "Name: " << Log::escaped(information.name) << '\n'
         << "Author: " << Log::escaped(information.author) << '\n'
         << "Site: " << Log::escaped(information.site) << '\n'
         << "Version: " << Log::escaped(information.version) << '\n'
         << "Feed: " << Log::escaped(information.appcast) << '\n'
         << "Screenshots: " << (screenshots.empty() ? "none" : screenshots) << '\n'
         << "Slots: " << theme->dock_2d_images().size() << " 2D, " << theme->dock_3d_images().size()
         << " 3D\n"
         << "Check: " << errors << " errors, " << findings.size() - errors << " warnings\n";
    return kSuccess;
}

int ThemeCommandLine::slotTable(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("Lists the slots as a JSON array."));
    parser.addOption(json);
    describe(parser, "slots",
             "Lists every slot of both categories: key, natural name, file, the image's size, the "
             "size the Dock draws and whether the image is too big for it.",
             "BUNDLE", "A theme bundle.");
    std::string bundle;
    int status = kSuccess;
    const auto theme = parseTheme(parser, arguments, bundle, status);
    if (!theme) {
        return status;
    }
    const std::vector<SlotRow> rows = slotRows(*theme);
    if (parser.isSet(json)) {
        QJsonArray list;
        for (const SlotRow& row : rows) {
            QJsonObject object{{"category", categoryName(row.category)},
                               {"key", jsonText(row.key)},
                               {"natural", jsonText(row.natural)},
                               {"file", jsonText(row.file)},
                               {"dockWidth", double(row.dockSize.width)},
                               {"dockHeight", double(row.dockSize.height)},
                               {"tooBig", row.tooBig()}};
            object.insert("width", row.size ? QJsonValue(row.size->width) : QJsonValue());
            object.insert("height", row.size ? QJsonValue(row.size->height) : QJsonValue());
            list.append(object);
        }
        writeJson(out_, list);
        return kSuccess;
    }
    std::vector<std::vector<std::string>> table{
        {"CATEGORY", "KEY", "NAME", "FILE", "SIZE", "DOCK SIZE", ""}};
    for (const SlotRow& row : rows) {
        // A stranger's names reach the terminal with their control characters escaped.
        table.push_back({categoryName(row.category), Log::escaped(row.key), row.natural,
                         Log::escaped(row.file),
                         row.size ? sizeText(row.size->width, row.size->height) : "?",
                         sizeText(int(row.dockSize.width), int(row.dockSize.height)),
                         row.tooBig() ? painted("too big", kYellow) : ""});
    }
    std::vector<std::size_t> widths(table.front().size(), 0);
    for (const auto& line : table) {
        for (std::size_t column = 0; column < line.size(); ++column) {
            widths[column] = std::max(widths[column], columnsOf(line[column]));
        }
    }
    for (const auto& line : table) {
        std::string text;
        for (std::size_t column = 0; column < line.size(); ++column) {
            text += line[column];
            if (column + 1 < line.size()) {
                text += std::string(widths[column] - columnsOf(line[column]) + 2, ' ');
            }
        }
        while (!text.empty() && text.back() == ' ') {
            text.pop_back();
        }
        out_ << text << '\n';
    }
    return kSuccess;
}

int ThemeCommandLine::setImage(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption unique(
        QStringLiteral("unique-name"),
        QStringLiteral("Names the copy with a generated unique name, not FILE's own name."));
    parser.addOption(unique);
    describe(parser, "set-image",
             "Makes a copy of the image FILE the image of the slot KEY, as the editor does: the "
             "copy is refused when the theme has a file of its name already (\"Duplicate "
             "file\"), and the slot's old file is removed when no key names it any more.",
             "BUNDLE", "A theme bundle.", "BUNDLE KEY FILE");
    if (const int parsed = parse(parser, arguments, 3, 3); parsed != kSuccess) {
        return outcome(parsed);
    }
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
    const std::string proposed = parser.isSet(unique) ? MiscKit::UUIDString() : bundleName(file);
    if (theme->verifyNameExistForFile(proposed)) {
        return fail(bundle, "Duplicate file: " + proposed +
                                " already exists in the theme; use --unique-name");
    }
    const std::optional<std::string> made = theme->setFileName(file, key, *category, proposed);
    if (!made) {
        return fail(file, theme->errorString());
    }
    out_ << *made << '\n';
    return kSuccess;
}

int ThemeCommandLine::newBundle(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption fromFolder(
        QStringLiteral("from-folder"),
        QStringLiteral("Takes the images of DIR named as the Dock names them."),
        QStringLiteral("DIR"));
    const QCommandLineOption fromDock(
        QStringLiteral("from-dock"),
        QStringLiteral("Takes the images the Dock has installed now (a back-up of the Dock)."));
    parser.addOptions({fromFolder, fromDock});
    describe(parser, "new",
             "Makes the theme bundle NAME.docktheme from the stock theme, named after NAME, as "
             "the editor's New Theme, New Theme from Folder and Back Up Current Dock do. "
             "Nothing is replaced.",
             "NAME", "The new theme's path, without .docktheme.");
    if (const int parsed = parse(parser, arguments, 1, 1); parsed != kSuccess) {
        return outcome(parsed);
    }
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
    } else if (parser.isSet(fromDock)) {
        images = SystemPaths::dockResourcesFolder();
        if (!MiscKit::sharedFiles().holdsDockImages(images)) {
            return fail(images, "there are no Dock images here");
        }
    } else {
        author = SystemPaths::fullUserName();
    }
    const std::string folder = chosen.has_parent_path() ? chosen.parent_path().string() : ".";
    const BatchWorker::Step made = BatchWorker::make(images, folder, name, author);
    if (made.status != BatchWorker::kOk) {
        return fail(given, made.reason);
    }
    out_ << given << suffix << '\n';
    return kSuccess;
}

int ThemeCommandLine::render(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    describe(parser, "render",
             "Draws the theme's 3D and 2D Dock screenshots (preview_3d.png, preview_2d.png) from "
             "its own images with the stand-in Dock's renderer, as the editor's Render Dock "
             "Screenshots does. Needs no display.",
             "BUNDLE", "A theme bundle.");
    std::string bundle;
    int status = kSuccess;
    const auto theme = parseTheme(parser, arguments, bundle, status);
    if (!theme) {
        return status;
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

int ThemeCommandLine::batch(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    describe(parser, "batch",
             "The batch converter: makes DST/<folder>.docktheme for each sub-folder of SRC from "
             "the stock theme and the folder's images, one line per folder (OK, or ERROR: and "
             "why). A bundle already in DST is left untouched. Exit status 1 when a folder "
             "failed; the others are made.",
             "SRC", "The folder of image folders.", "SRC DST");
    if (const int parsed = parse(parser, arguments, 2, 2); parsed != kSuccess) {
        return outcome(parsed);
    }
    const std::vector<std::string> given = operands(parser);
    const std::string& destination = given[1];
    if (!std::filesystem::is_directory(destination)) {
        return fail(destination, "not a folder");
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
    bool failing = false;
    for (std::size_t row = 0; row < folders.size(); ++row) {
        const BatchWorker::Step step = BatchWorker::convert(folders[row], destination);
        const bool error = step.status == BatchWorker::kError;
        failing = failing || error;
        if (terminal_.progress) {
            out_ << "\r\033[K";
        }
        out_ << Log::escaped(bundleName(folders[row])) << ": "
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

int ThemeCommandLine::runApplyTool(const std::string& argument, const std::string& what) {
    const SXAuthentication::ToolRun run = SXAuthentication::sharedInstance().runCommand(
        SystemPaths::applyToolPath().string(), {argument});
    if (run.status == errAuthorizationToolExecuteFailure) {
        return fail(what, "the apply tool could not be started");
    }
    if (run.status != errAuthorizationSuccess) {
        return fail(what, "administrator rights were refused or cancelled");
    }
    if (run.exitStatus != SystemPaths::kApplyToolSucceeded) {
        return fail(what,
                    "the apply tool failed with exit status " + std::to_string(run.exitStatus));
    }
    return kSuccess;
}

int ThemeCommandLine::apply(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    describe(parser, "apply",
             "Puts the theme's images on the Dock with the apply tool, asking for administrator "
             "rights as the editor does, and restarts the Dock.",
             "BUNDLE", "A theme bundle.");
    std::string bundle;
    int status = kSuccess;
    if (!parseTheme(parser, arguments, bundle, status)) {
        return status;
    }
    return runApplyTool(std::filesystem::absolute(bundle).string(), bundle);
}

int ThemeCommandLine::restore(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption original(
        QStringLiteral("original"),
        QStringLiteral("Puts back the images the Dock had before the first theme instead."));
    parser.addOption(original);
    describe(parser, "restore",
             "Puts the stock theme on the Dock with the apply tool, as the editor's Restore Dock "
             "does.");
    if (const int parsed = parse(parser, arguments, 0, 0); parsed != kSuccess) {
        return outcome(parsed);
    }
    if (parser.isSet(original)) {
        const std::string root = SystemPaths::systemRoot();
        if (!OriginalDockManifest::readFromRoot(root)) {
            return fail(root, "no original images of the Dock are kept");
        }
        return runApplyTool(OriginalDockManifest::kRestoreArgument, root);
    }
    const auto stock = openTheme(DockTheme::fullPath());
    if (!stock) {
        return kFailure;
    }
    return runApplyTool(stock->dockPath(), stock->dockPath());
}

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
    const std::string archive = parser.isSet(output)
                                    ? bytesOf(parser.value(output))
                                    : bundleName(bundle) + ThemeArchive::kExportSuffix;
    if (!openTheme(bundle)) {
        return kFailure;
    }
    std::string why;
    // An archive's names are UTF-8: a theme named otherwise could not be read back.
    if (const std::string name = bundleName(bundle); Utf8::sanitize(name) != name) {
        return fail(bundle, "the bundle's name is not UTF-8; rename it before export");
    }
    if (::access(archive.c_str(), F_OK) == 0 || errno != ENOENT) {
        return fail(archive, "exists already; name another with -o");
    }
    if (!ThemeArchive::write(bundle, archive, &why)) {
        return fail(archive, why);
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
    const Descriptor into(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!into.valid()) {
        return fail(folder, errorText(errno));
    }
    // Unpacked into a hidden folder first, so that a refused archive leaves
    // nothing; one a killed import left is removed first.
    WorkFolder::removeLeftovers(folder, kImportPrefix);
    std::string hiddenName;
    const Descriptor incoming = WorkFolder::make(folder, kImportPrefix, hiddenName);
    const std::string hidden = folder + "/" + hiddenName;
    std::string why = errorText(errno);
    std::optional<std::string> name;
    if (incoming.valid()) {
        name = ThemeArchive::extract(archive, incoming.get(), hidden, MiscKit::sharedFiles(),
                                     ImageFile::readerSize, &why);
    }
    bool placed = false;
    if (name) {
        placed = Renaming::withoutReplacing(incoming.get(), *name, into.get(), *name);
        why = errno == EEXIST ? folder + "/" + *name + " exists already" : errorText(errno);
    }
    if (incoming.valid()) {
        FolderTree::remove(into.get(), hiddenName);
    }
    if (!placed) {
        return fail(archive, why);
    }
    out_ << folder << "/" << *name << '\n';
    return kSuccess;
}

std::string ThemeCommandLine::painted(const std::string& text, const char* code) const {
    return terminal_.colour ? "\033[" + std::string(code) + "m" + text + "\033[0m" : text;
}

std::string ThemeCommandLine::progressLine(std::size_t done, std::size_t total) const {
    const std::string count = " " + std::to_string(done) + "/" + std::to_string(total);
    // "[####----] done/total", as wide as the terminal leaves room for.
    const std::size_t width =
        std::clamp<std::size_t>(std::size_t(std::max(terminal_.columns, 0)), 20, 200) -
        count.size() - 3;
    const std::size_t filled = total == 0 ? width : width * done / total;
    return "\r\033[K[" + painted(std::string(filled, '#'), kGreen) +
           std::string(width - filled, '-') + "]" + count;
}
