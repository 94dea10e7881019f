#pragma once

#include <QCoreApplication>

#include <initializer_list>
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
// One table (commands(), ThemeCommandLineTable.cpp) names every command, its
// operands and options, what it does and what kind of word each takes: the
// dispatch, each command's parser and help, the help command, the suggestion
// for a mistyped command or option, the manual page and the shell completions
// (the hidden --completion-table, read by make-completions.sh at build time)
// all come from it.
//
// Commands: help [COMMAND]; check BUNDLE… [--json] [--strict] (a BUNDLE may
// be an archive, unpacked as import does into a temporary folder removed
// afterwards); info BUNDLE [--set FIELD=VALUE…] [--json] (written as the
// editor saves its information); slots BUNDLE [--json]; set-image BUNDLE KEY
// FILE [--unique-name] (DockTheme::setFileName, a name the theme has already
// refused as "Duplicate file", a FILE that is no picture refused first); new
// NAME [--from-folder DIR | --from-dock]; render BUNDLE (ThemeScreenshots);
// batch SRC DST (BatchWorker); apply BUNDLE and restore [--original] (the
// apply tool, run through SXAuthentication as the editor does, on
// SystemPaths::systemRoot(); one line of outcome on out, the tool's log on
// standard error only with --verbose, its last lines after a failure);
// export BUNDLE [-o FILE|-] ("-": the archive on out, refused on a terminal);
// import ARCHIVE [--to DIR]; keygen KEYFILE; update-check BUNDLE… [--json],
// update BUNDLE [--allow-unsigned] (ThemeUpdater on a local event loop) and
// appcast ARCHIVE… --key KEYFILE --url-prefix URL [--notes FILE]; thumbnail
// [-s SIZE] INPUT OUTPUT (a file manager's thumbnailer: the theme of an
// archive, read as import reads it within a time bound, or of a bundle,
// drawn as its micro preview fitted into SIZE×SIZE and written as a PNG
// through a temporary file renamed into place).
//
// Arguments are the bytes the process got: a path may hold any bytes but NUL
// (a line break, bytes that are not UTF-8) and is used as given. Options are
// QCommandLineParser's ("--" ends them); --help on the program and on each
// command, --version on the program (without operands). Results go to out,
// messages to err as "velvanto-theme: …" in lower case without a closing
// period, never in colour; results are coloured only on a terminal
// (Terminal). A check's lines and every message keep to one line: control
// characters of paths and names are written as "\n", "\xHH" (Log::escaped).
// Log lines of the model are held back while a command runs. The texts
// shown go through tr() (context "ThemeCommandLine"), so a translation
// installed in the application covers them.
//
// Exit status: kSuccess, kFailure (check: an error, with --strict a warning
// too, or a path that is no theme; output that can't be written), kUsage (an
// unknown command or option, a missing or extra argument, a batch DST within
// SRC). A command that fails writes no file.
//
// Needs a QGuiApplication (the image formats of the check, the drawing of
// thumbnails) and the resource folder set (the catalogue). Use it on one
// thread: apply and restore point the process's standard error at a
// temporary file while the tool runs (CapturedErrors).
class ThemeCommandLine {
    Q_DECLARE_TR_FUNCTIONS(ThemeCommandLine)

public:
    static constexpr const char* kProgram = "velvanto-theme";
    static constexpr int kSuccess = 0;
    static constexpr int kFailure = 1;
    static constexpr int kUsage = 2;

    // What standard output is: on a terminal (progress) batch draws a progress
    // bar and export writes no archive there, and findings and rows are
    // coloured unless NO_COLOR is set (colour). Plain by default.
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

    // translated (a text of tr()) with %1, %2, … replaced by args as bytes,
    // so that paths that are not UTF-8 pass unchanged.
    static std::string filled(const QString& translated, std::initializer_list<std::string> args);
    // "1 error", "2 errors": count in one (for 1) or many, each a tr() text holding %1.
    static std::string counted(std::size_t count, const QString& one, const QString& many);
    // The candidate nearest to word by edit distance (a swap of two letters
    // counting once), when it is near enough to be meant: at most a third of
    // word's length away, and at most 2. Ties go to the first.
    static std::optional<std::string> nearest(const std::string& word,
                                              const std::vector<std::string>& candidates);

private:
    ThemeCommandLine(std::ostream& out, std::ostream& err, Terminal terminal)
        : out_(out), err_(err), terminal_(terminal) {}

    // ThemeCommandLine.cpp: the dispatch, parsing and what the commands share.

    // What a word of a command line is, for its completion.
    enum class Kind {
        None,
        Bundle,
        Archive,
        Theme,
        Image,
        Folder,
        File,
        SlotKey,
        Field,
        Command,
        Text
    };
    // An option: its names ("o,output"), its value's name (nullptr: a flag)
    // and kind, and its help.
    struct Option {
        const char* names;
        const char* value;
        Kind kind;
        const char* help;
    };
    // An operand: its name as the usage shows it ("BUNDLE", "BUNDLE..." for
    // one or more, "[COMMAND]" for an optional one), its kind and its help.
    struct Operand {
        const char* name;
        Kind kind;
        const char* help;
    };
    // A command: its name, one-line summary for the program's help, its
    // description, operands and options, and what runs it once its
    // arguments parsed.
    struct Command {
        const char* name;
        const char* summary;
        const char* description;
        std::vector<Operand> operands;
        std::vector<Option> options;
        int (ThemeCommandLine::*run)(const QCommandLineParser& parser);
    };
    // ThemeCommandLineTable.cpp: every command, in the order the help lists them.
    static const std::vector<Command>& commands();
    static const Command* commandNamed(const std::string& name);
    // The fields info --set takes.
    static constexpr const char* kFields[] = {"name",    "author", "site",
                                              "version", "feed",   "public-key"};

    int dispatch(const std::vector<std::string>& arguments);
    // Gives parser the program's options and help, or command's.
    static void prepare(QCommandLineParser& parser);
    static void prepare(QCommandLineParser& parser, const Command& command);
    // Parses arguments for command (nullptr: the program); kSuccess to go on,
    // kHelpShown once the help is on out, kUsage once a usage error is told.
    int parse(QCommandLineParser& parser, const std::vector<std::string>& arguments,
              const Command* command);
    // Parses arguments as command's, checks the count of its operands and runs it.
    int runCommand(const Command& command, const std::vector<std::string>& arguments);
    // What parse() gives once it showed the help.
    static constexpr int kHelpShown = -1;
    // The usage error for a command name not in the table, with the nearest one.
    int unknownCommand(const std::string& name);
    // Writes the table the shell completions are made from (see make-completions.sh).
    void writeCompletionTable();
    int usage(const std::string& message);
    // Tells err "velvanto-theme: PATH: WHY"; kFailure.
    int fail(const std::string& path, const std::string& why);
    // The theme at bundle; nothing, told on err, when it does not open.
    std::unique_ptr<DockTheme> openTheme(const std::string& bundle);
    // text in the colour of the SGR code when out is a coloured terminal.
    std::string painted(const std::string& text, const char* code) const;
    // The progress bar's line for done of total, on a terminal: the bar
    // drawn over the line it is on, without a line end.
    std::string progressLine(std::size_t done, std::size_t total) const;
    // An argument as the bytes given (arguments travel through Qt as Latin-1).
    static std::string bytesOf(const QString& text);
    // The positional arguments after the command, as bytes.
    static std::vector<std::string> operands(const QCommandLineParser& parser);

    // The colours of results on a terminal, as SGR codes.
    static constexpr const char* kRed = "1;31";
    static constexpr const char* kYellow = "33";
    static constexpr const char* kGreen = "32";

    int help(const QCommandLineParser& parser);

    // ThemeCommandLineInspect.cpp: what a bundle holds.
    int check(const QCommandLineParser& parser);
    int info(const QCommandLineParser& parser);
    int slotTable(const QCommandLineParser& parser);

    // ThemeCommandLineMake.cpp: bundles made or changed.
    int setImage(const QCommandLineParser& parser);
    int newBundle(const QCommandLineParser& parser);
    int render(const QCommandLineParser& parser);
    int batch(const QCommandLineParser& parser);

    // ThemeCommandLineDock.cpp: the Dock changed through the apply tool.
    // Runs the apply tool with argument through the editor's rights path;
    // tells done on out when it succeeded, and a failure about what with the
    // tool's last lines. The tool's log reaches standard error with verbose only.
    int runApplyTool(const std::string& argument, const std::string& what, const std::string& done,
                     bool verbose);
    int apply(const QCommandLineParser& parser);
    int restore(const QCommandLineParser& parser);

    // ThemeCommandLineArchives.cpp: a theme as one file.
    int exportBundle(const QCommandLineParser& parser);
    int importArchive(const QCommandLineParser& parser);
    int thumbnail(const QCommandLineParser& parser);

    // ThemeCommandLineKeys.cpp: an author's signing keys.
    int keygen(const QCommandLineParser& parser);

    // ThemeCommandLineUpdates.cpp: a theme's updates (ThemeUpdater), its feed for authors.
    int updateCheck(const QCommandLineParser& parser);
    int update(const QCommandLineParser& parser);
    int appcast(const QCommandLineParser& parser);

    std::ostream& out_;
    std::ostream& err_;
    const Terminal terminal_;
};
