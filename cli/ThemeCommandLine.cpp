#include "cli/ThemeCommandLine.h"

#include <QCommandLineParser>

#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <ostream>

#include "image/ImageFile.h"
#include "model/DockTheme.h"
#include "platform/Log.h"

// The program's dispatch, its parsing and what its commands share; the
// commands are defined in ThemeCommandLineInspect.cpp, ThemeCommandLineMake.cpp,
// ThemeCommandLineDock.cpp, ThemeCommandLineArchives.cpp, ThemeCommandLineKeys.cpp
// and ThemeCommandLineUpdates.cpp.

namespace {

// Arguments travel through Qt as Latin-1, which carries every byte as it is:
// option names are ASCII, and each value comes back as the bytes given.
QString carried(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
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
        {"info", "BUNDLE", "its name, author, site, version, feed, key and counts",
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
        {"keygen", "KEYFILE", "a new signing key in KEYFILE, its public key told",
         &ThemeCommandLine::keygen},
        {"update-check", "BUNDLE...", "whether its feed has a newer version",
         &ThemeCommandLine::updateCheck},
        {"update", "BUNDLE", "the newer version its feed offers, installed",
         &ThemeCommandLine::update},
        {"appcast", "ARCHIVE...", "an update feed of signed archives for its users",
         &ThemeCommandLine::appcast},
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

std::string ThemeCommandLine::bytesOf(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

std::vector<std::string> ThemeCommandLine::operands(const QCommandLineParser& parser) {
    std::vector<std::string> result;
    const QStringList positional = parser.positionalArguments();
    for (qsizetype index = 1; index < positional.size(); ++index) {
        result.push_back(bytesOf(positional.at(index)));
    }
    return result;
}

void ThemeCommandLine::describe(QCommandLineParser& parser, const char* command,
                                const char* description, const char* operand,
                                const char* operandHelp, const char* syntax) {
    parser.setApplicationDescription(wrapped(description));
    parser.addPositionalArgument(QString::fromUtf8(command), QStringLiteral("The command."),
                                 QString::fromUtf8(command));
    if (!operand) {
        return;
    }
    parser.addPositionalArgument(QString::fromUtf8(operand), QString::fromUtf8(operandHelp),
                                 QString::fromUtf8(syntax ? syntax : operand));
}
