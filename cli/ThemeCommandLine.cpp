#include "cli/ThemeCommandLine.h"

#include <QCommandLineParser>

#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iostream>
#include <numeric>
#include <ostream>

#include "model/DockTheme.h"
#include "platform/Log.h"

// The program's dispatch, its parsing and what its commands share; the
// commands are defined in ThemeCommandLineInspect.cpp, ThemeCommandLineMake.cpp,
// ThemeCommandLineDock.cpp, ThemeCommandLineArchives.cpp, ThemeCommandLineKeys.cpp
// and ThemeCommandLineUpdates.cpp, their table in ThemeCommandLineTable.cpp.

namespace {

// Arguments travel through Qt as Latin-1, which carries every byte as it is:
// option names are ASCII, and each value comes back as the bytes given.
QString carried(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

std::string utf8(const QString& text) {
    return text.toStdString();
}

// A terminal's width, for the help and the manual page made from it.
constexpr std::size_t kColumns = 79;

// text with each line longer than kColumns broken at spaces, the rest of a
// line indented by indent.
std::string wrapped(const std::string& text, std::size_t indent = 0) {
    std::string result;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        std::string line = text.substr(start, end - start);
        std::size_t cut = 0;
        while (line.size() > kColumns && (cut = line.rfind(' ', kColumns)) != std::string::npos &&
               cut > indent) {
            result += line.substr(0, cut) + "\n";
            line = std::string(indent, ' ') + line.substr(cut + 1);
        }
        result += line + (end < text.size() ? "\n" : "");
        start = end + 1;
    }
    return result;
}

QString wrappedText(const std::string& text) {
    return QString::fromStdString(wrapped(text));
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

// The option names of "o,output", as the parser takes them.
QStringList namesOf(const char* names) {
    return QString::fromLatin1(names).split(u',');
}

// The option names of "o,output" as typed: "-o,--output".
std::string typedNames(const char* names) {
    std::string typed;
    for (const QString& name : namesOf(names)) {
        typed += (typed.empty() ? "" : ",") + std::string(name.size() == 1 ? "-" : "--") +
                 name.toStdString();
    }
    return typed;
}

// The help option of the program and of each command.
constexpr const char* kHelpText = QT_TRANSLATE_NOOP("ThemeCommandLine", "Shows this help.");
QCommandLineOption helpOption() {
    return QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                              ThemeCommandLine::tr(kHelpText));
}

// The program's options, as the completion table names them.
constexpr const char* kVersion = "version";
constexpr const char* kCompletionTable = "completion-table";

// What the completions offer for the kinds of words that are files.
constexpr const char* kArchiveSuffixes =
    ".zip .tar .tar.gz .tgz .tar.bz2 .tbz2 .tar.xz .txz .tar.zst .7z";
constexpr const char* kImageSuffixes = ".png .tif .tiff .jpg .jpeg .gif .icns";

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
        err << kProgram << ": " << utf8(tr("standard output could not be written")) << '\n';
        return kFailure;
    }
    return status;
}

int ThemeCommandLine::run(const std::vector<std::string>& arguments, std::ostream& out,
                          std::ostream& err) {
    return run(arguments, out, err, Terminal());
}

std::string ThemeCommandLine::filled(const QString& translated,
                                     std::initializer_list<std::string> args) {
    const std::string text = utf8(translated);
    std::string result;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const std::size_t index = at + 1 < text.size() && text[at] == '%' ? text[at + 1] - '1' : 9;
        if (index < args.size()) {
            result += *(args.begin() + index);
            ++at;
        } else {
            result += text[at];
        }
    }
    return result;
}

std::string ThemeCommandLine::counted(std::size_t count, const QString& one, const QString& many) {
    return filled(count == 1 ? one : many, {std::to_string(count)});
}

std::optional<std::string> ThemeCommandLine::nearest(const std::string& word,
                                                     const std::vector<std::string>& candidates) {
    // The optimal string alignment distance, row by row.
    const auto distance = [&word](const std::string& other) {
        std::vector<std::vector<std::size_t>> d(word.size() + 1,
                                                std::vector<std::size_t>(other.size() + 1));
        for (std::size_t i = 0; i <= word.size(); ++i) {
            for (std::size_t j = 0; j <= other.size(); ++j) {
                if (i == 0 || j == 0) {
                    d[i][j] = i + j;
                    continue;
                }
                const std::size_t same = word[i - 1] == other[j - 1] ? 0 : 1;
                d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + same});
                if (i > 1 && j > 1 && word[i - 1] == other[j - 2] && word[i - 2] == other[j - 1]) {
                    d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
                }
            }
        }
        return d[word.size()][other.size()];
    };
    const std::size_t limit = std::min<std::size_t>(2, std::max<std::size_t>(1, word.size() / 3));
    std::optional<std::string> best;
    std::size_t bestDistance = limit + 1;
    for (const std::string& candidate : candidates) {
        if (const std::size_t d = distance(candidate); d < bestDistance) {
            best = candidate;
            bestDistance = d;
        }
    }
    return best;
}

const ThemeCommandLine::Command* ThemeCommandLine::commandNamed(const std::string& name) {
    const auto& table = commands();
    const auto found = std::find_if(table.begin(), table.end(), [&name](const Command& command) {
        return name == command.name;
    });
    return found == table.end() ? nullptr : &*found;
}

int ThemeCommandLine::dispatch(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    prepare(parser);
    if (const int parsed = parse(parser, arguments, nullptr); parsed != kSuccess) {
        return parsed == kHelpShown ? kSuccess : parsed;
    }
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(QString::fromLatin1(kVersion)) ||
        parser.isSet(QString::fromLatin1(kCompletionTable))) {
        if (!positional.isEmpty()) {
            return usage(filled(
                tr("--%1 takes no argument"),
                {parser.isSet(QString::fromLatin1(kVersion)) ? kVersion : kCompletionTable}));
        }
        if (parser.isSet(QString::fromLatin1(kCompletionTable))) {
            writeCompletionTable();
        } else {
            out_ << kProgram << ' ' << VELVANTO_VERSION << '\n';
        }
        return kSuccess;
    }
    if (positional.isEmpty()) {
        return usage(utf8(tr("no command given; see \"velvanto-theme --help\"")));
    }
    const std::string name = bytesOf(positional.first());
    const Command* command = commandNamed(name);
    return command ? runCommand(*command, arguments) : unknownCommand(name);
}

void ThemeCommandLine::prepare(QCommandLineParser& parser) {
    // The program's help lists the commands of the table it dispatches on;
    // summaries start in one column, two spaces or more after the longest
    // synopsis, as help2man reads a list.
    std::string description =
        utf8(tr("Checks, describes, makes, packs and applies Dock themes (.docktheme bundles)."));
    description += "\n\n" + utf8(tr("Commands:")) + "\n";
    const auto synopsis = [](const Command& command) {
        std::string text = command.name;
        for (const Operand& operand : command.operands) {
            text += std::string(" ") + operand.name;
        }
        return text;
    };
    std::size_t width = 0;
    for (const Command& command : commands()) {
        width = std::max(width, synopsis(command).size() + 2);
    }
    for (const Command& command : commands()) {
        std::string line = synopsis(command);
        line.resize(width, ' ');
        description += wrapped("  " + line + utf8(tr(command.summary)), width + 2) + "\n";
    }
    description += "\n" + utf8(tr("\"velvanto-theme help COMMAND\" tells more of each command."));
    parser.setApplicationDescription(QString::fromStdString(description));
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.addOption(
        QCommandLineOption(QString::fromLatin1(kVersion), tr("Tells the program's version.")));
    QCommandLineOption table(QString::fromLatin1(kCompletionTable),
                             QStringLiteral("The table the shell completions are made from."));
    table.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(table);
    parser.addOption(helpOption());
    parser.addPositionalArgument(QStringLiteral("command"), tr("The command to run."),
                                 QStringLiteral("COMMAND [OPTIONS] [ARGS...]"));
}

void ThemeCommandLine::prepare(QCommandLineParser& parser, const Command& command) {
    parser.setApplicationDescription(wrappedText(utf8(tr(command.description))));
    const QString name = QString::fromLatin1(command.name);
    parser.addPositionalArgument(name, tr("The command."), name);
    for (const Operand& operand : command.operands) {
        QString shown = QString::fromLatin1(operand.name);
        shown.remove(QStringLiteral("...")).remove(u'[').remove(u']');
        parser.addPositionalArgument(shown, tr(operand.help), QString::fromLatin1(operand.name));
    }
    for (const Option& option : command.options) {
        parser.addOption(option.value ? QCommandLineOption(namesOf(option.names), tr(option.help),
                                                           QString::fromLatin1(option.value))
                                      : QCommandLineOption(namesOf(option.names), tr(option.help)));
    }
    parser.addOption(helpOption());
}

int ThemeCommandLine::parse(QCommandLineParser& parser, const std::vector<std::string>& arguments,
                            const Command* command) {
    QStringList all;
    for (const std::string& argument : arguments) {
        all << carried(argument);
    }
    if (!parser.parse(all)) {
        const std::string see = std::string("; see \"") + kProgram +
                                (command ? std::string(" ") + command->name : "") + " --help\"";
        if (parser.unknownOptionNames().isEmpty()) {
            // Qt's sentence in the messages' style: lower case, no period.
            std::string said = utf8(parser.errorText());
            said[0] = char(std::tolower(static_cast<unsigned char>(said[0])));
            return usage(said.substr(0, said.find_last_not_of('.') + 1) + see);
        }
        const QString unknown = parser.unknownOptionNames().first();
        const std::string typed = (unknown.size() == 1 ? "-" : "--") + bytesOf(unknown);
        std::vector<std::string> known = {"--help"};
        for (const Option& option : command ? command->options : std::vector<Option>{}) {
            for (const QString& name : namesOf(option.names)) {
                known.push_back((name.size() == 1 ? "-" : "--") + name.toStdString());
            }
        }
        if (!command) {
            known.push_back(std::string("--") + kVersion);
        }
        const auto near = nearest(typed, known);
        return usage(near ? filled(tr("unknown option '%1'; did you mean '%2'?"),
                                   {Log::escaped(typed), *near})
                          : filled(tr("unknown option '%1'"), {Log::escaped(typed)}) + see);
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out_ << helpText(parser);
        return kHelpShown;
    }
    return kSuccess;
}

int ThemeCommandLine::runCommand(const Command& command,
                                 const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    prepare(parser, command);
    if (const int parsed = parse(parser, arguments, &command); parsed != kSuccess) {
        return parsed == kHelpShown ? kSuccess : parsed;
    }
    const std::size_t minimum =
        std::size_t(std::count_if(command.operands.begin(), command.operands.end(),
                                  [](const Operand& operand) { return operand.name[0] != '['; }));
    const bool repeats =
        !command.operands.empty() && std::string(command.operands.back().name).ends_with("...");
    const std::size_t count = operands(parser).size();
    if (count < minimum) {
        return usage(
            filled(tr("missing argument; see \"velvanto-theme %1 --help\""), {command.name}));
    }
    if (count > command.operands.size() && !repeats) {
        return usage(utf8(tr("too many arguments")));
    }
    return (this->*command.run)(parser);
}

int ThemeCommandLine::unknownCommand(const std::string& name) {
    std::vector<std::string> names;
    for (const Command& command : commands()) {
        names.emplace_back(command.name);
    }
    const auto near = nearest(name, names);
    return usage(
        near ? filled(tr("unknown command '%1'; did you mean '%2'?"), {Log::escaped(name), *near})
             : filled(tr("unknown command '%1'; see \"velvanto-theme --help\""),
                      {Log::escaped(name)}));
}

void ThemeCommandLine::writeCompletionTable() {
    // One record a line, its fields apart by tabs: what the shells complete,
    // in the program's source language. "-" stands for the program itself.
    static const char* const kKinds[] = {"none", "bundle", "archive", "theme",   "image", "folder",
                                         "file", "key",    "field",   "command", "text"};
    const auto kind = [](Kind k) { return kKinds[int(k)]; };
    const auto option = [this](const std::string& command, const std::string& names,
                               const char* kindName, const char* help) {
        out_ << "option\t" << command << '\t' << names << '\t' << kindName << '\t' << help << '\n';
    };
    option("-", std::string("--") + kVersion, "none", "Tells the program's version.");
    option("-", "-h,--help", "none", kHelpText);
    for (const Command& command : commands()) {
        out_ << "command\t" << command.name << '\t' << command.summary << '\n';
        for (const Operand& operand : command.operands) {
            out_ << "operand\t" << command.name << '\t' << kind(operand.kind) << '\t'
                 << operand.name << '\n';
        }
        for (const Option& each : command.options) {
            option(command.name, typedNames(each.names), kind(each.kind), each.help);
        }
        option(command.name, "-h,--help", "none", kHelpText);
    }
    out_ << "suffixes\t" << kind(Kind::Archive) << '\t' << kArchiveSuffixes << '\n'
         << "suffixes\t" << kind(Kind::Theme) << '\t' << kArchiveSuffixes << '\n'
         << "suffixes\t" << kind(Kind::Image) << '\t' << kImageSuffixes << '\n'
         << "words\t" << kind(Kind::Field) << '\t'
         << std::accumulate(std::begin(kFields), std::end(kFields), std::string(),
                            [](const std::string& all, const char* field) {
                                return all + (all.empty() ? "" : " ") + field + "=";
                            })
         << '\n';
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

int ThemeCommandLine::help(const QCommandLineParser& parser) {
    const std::vector<std::string> given = operands(parser);
    QCommandLineParser shown;
    if (given.empty()) {
        prepare(shown);
    } else if (const Command* command = commandNamed(given.front())) {
        prepare(shown, *command);
    } else {
        return unknownCommand(given.front());
    }
    out_ << helpText(shown);
    return kSuccess;
}
