#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class DockTheme;
class QCommandLineParser;
class QString;

// The command line for theme authors: "velvanto-theme COMMAND [OPTIONS] ARGS",
// the theme check, a bundle's information and slots, and the archives, each
// through the model operations the editor uses (ThemeCheck, DockTheme,
// ThemeArchive) with the shared catalogue (MiscKit::sharedFiles()).
//
// Commands: check BUNDLE… [--json] [--strict]; info BUNDLE [--set FIELD=VALUE…]
// (written as the editor saves its information); slots BUNDLE [--json];
// set-image BUNDLE KEY FILE [--unique-name] (DockTheme::setFileName, a name
// the theme has already refused as "Duplicate file", a FILE that is no
// picture refused first); new NAME [--from-folder DIR | --from-dock] (an
// empty DIR refused, one without a Dock image warned about); render BUNDLE
// (ThemeScreenshots, the stand-in Dock's renderer as a child process); batch
// SRC DST (BatchWorker: the template, a hidden folder given its name when
// whole, a line per folder; a DST that is SRC or inside it a usage error);
// apply BUNDLE and restore [--original] (the apply tool, run through
// SXAuthentication as the editor does, on SystemPaths::systemRoot()); export
// BUNDLE [-o FILE]; import ARCHIVE [--to DIR]; keygen KEYFILE (a new
// signing key, ThemeSignature::writeKeyFile, its public key on out; info
// --set public-key=KEY names it in a theme, DockTheme::storePublicKey);
// update-check BUNDLE… [--json], update BUNDLE [--allow-unsigned] (ThemeUpdater
// on a local event loop, four checks at once) and appcast ARCHIVE… --key
// KEYFILE --url-prefix URL [--notes FILE] (each archive read as import reads it).
//
// Arguments are the bytes the process got: a path may hold any bytes but NUL
// (a line break, bytes that are not UTF-8) and is used as given. Options are
// QCommandLineParser's ("--" ends them); --help on the program and on each
// command, --version on the program. Results go to out, messages to err as
// "velvanto-theme: …", never in colour; results are coloured only on a
// terminal (Terminal). A check's lines and every message
// keep to one line: control characters of paths and names are written as
// "\n", "\xHH" (Log::escaped); export tells the path it wrote as it is,
// import the folder as given and the theme's name in it (the archive's, a
// stranger's) escaped. Log lines of the model are held back while a command
// runs.
//
// Exit status: kSuccess, kFailure (check: an error, with --strict a warning
// too; output that can't be written), kUsage (an unknown command or option, a
// missing or extra argument, a batch DST within SRC). A command that fails
// writes no file.
//
// Needs a QCoreApplication (the image formats of the check) and the resource
// folder set (the catalogue). Use it on one thread.
class ThemeCommandLine {
public:
    static constexpr const char* kProgram = "velvanto-theme";
    static constexpr int kSuccess = 0;
    static constexpr int kFailure = 1;
    static constexpr int kUsage = 2;

    // What standard output is: on a terminal batch draws a progress bar, and
    // findings and rows are coloured unless NO_COLOR is set. Plain by default.
    struct Terminal {
        bool progress = false;
        bool colour = false;
        int columns = 80;
        // Standard output's, as the process has it now.
        static Terminal ofStandardOutput();
    };

    // Runs the command in arguments (arguments[0] is the program's name),
    // for out as the terminal describes it (plain when not given).
    static int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                   Terminal terminal);
    static int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

private:
    ThemeCommandLine(std::ostream& out, std::ostream& err, Terminal terminal)
        : out_(out), err_(err), terminal_(terminal) {}

    // ThemeCommandLine.cpp: the dispatch, parsing and what the commands share.

    // What parse() gives once it showed the help.
    static constexpr int kHelpShown = -1;

    // A command: its name, operands and one-line summary for the help, and what runs it.
    struct Command {
        const char* name;
        const char* operands;
        const char* summary;
        int (ThemeCommandLine::*run)(const std::vector<std::string>& arguments);
    };
    static const std::vector<Command>& commands();

    int dispatch(const std::vector<std::string>& arguments);
    // Parses arguments (with --help); kSuccess to go on, kHelpShown once the
    // help is on out, kUsage once a usage error is told.
    int parse(QCommandLineParser& parser, const std::vector<std::string>& arguments);
    // The same for a command taking from minimum to maximum operands after its name.
    int parse(QCommandLineParser& parser, const std::vector<std::string>& arguments,
              std::size_t minimum, std::size_t maximum);
    // The exit status of a parse that did not go on: help shown is a success.
    static int outcome(int parsed);
    int usage(const std::string& message);
    // Tells err "velvanto-theme: PATH: WHY"; kFailure.
    int fail(const std::string& path, const std::string& why);
    // The theme at bundle; nothing, told on err, when it does not open.
    std::unique_ptr<DockTheme> openTheme(const std::string& bundle);
    // Parses a command taking one BUNDLE and opens it (its path to bundle);
    // nothing, with the exit status to end with in status, when the help was
    // shown, the arguments were wrong or the theme does not open.
    std::unique_ptr<DockTheme> parseTheme(QCommandLineParser& parser,
                                          const std::vector<std::string>& arguments,
                                          std::string& bundle, int& status);
    // text in the colour of the SGR code when out is a coloured terminal.
    std::string painted(const std::string& text, const char* code) const;
    // The progress bar's line for done of total, on a terminal: the bar
    // drawn over the line it is on, without a line end.
    std::string progressLine(std::size_t done, std::size_t total) const;
    // An argument as the bytes given (arguments travel through Qt as Latin-1).
    static std::string bytesOf(const QString& text);
    // The positional arguments after the command, as bytes.
    static std::vector<std::string> operands(const QCommandLineParser& parser);
    // Gives parser command's help: what it does, and its operand if it has one.
    static void describe(QCommandLineParser& parser, const char* command, const char* description,
                         const char* operand = nullptr, const char* operandHelp = nullptr,
                         const char* syntax = nullptr);

    // The colours of results on a terminal, as SGR codes.
    static constexpr const char* kRed = "1;31";
    static constexpr const char* kYellow = "33";
    static constexpr const char* kGreen = "32";

    // ThemeCommandLineInspect.cpp: what a bundle holds.
    int check(const std::vector<std::string>& arguments);
    int info(const std::vector<std::string>& arguments);
    int slotTable(const std::vector<std::string>& arguments);

    // ThemeCommandLineMake.cpp: bundles made or changed.
    int setImage(const std::vector<std::string>& arguments);
    int newBundle(const std::vector<std::string>& arguments);
    int render(const std::vector<std::string>& arguments);
    int batch(const std::vector<std::string>& arguments);

    // ThemeCommandLineDock.cpp: the Dock changed through the apply tool.
    // Runs the apply tool with argument through the editor's rights path;
    // a failure is told about what.
    int runApplyTool(const std::string& argument, const std::string& what);
    int apply(const std::vector<std::string>& arguments);
    int restore(const std::vector<std::string>& arguments);

    // ThemeCommandLineArchives.cpp: a theme as one file.
    int exportBundle(const std::vector<std::string>& arguments);
    int importArchive(const std::vector<std::string>& arguments);

    // ThemeCommandLineKeys.cpp: an author's signing keys.
    int keygen(const std::vector<std::string>& arguments);

    // ThemeCommandLineUpdates.cpp: a theme's updates (ThemeUpdater), its feed for authors.
    int updateCheck(const std::vector<std::string>& arguments);
    int update(const std::vector<std::string>& arguments);
    int appcast(const std::vector<std::string>& arguments);

    std::ostream& out_;
    std::ostream& err_;
    const Terminal terminal_;
};
