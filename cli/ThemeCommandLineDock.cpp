#include "cli/ThemeCommandLine.h"

#include <QCommandLineParser>

#include <filesystem>
#include <ostream>

#include "cli/CapturedErrors.h"
#include "model/DockTheme.h"
#include "model/OriginalDockManifest.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "platform/SystemPaths.h"
#include "privileged/ApplyToolOutcome.h"
#include "privileged/SXAuthentication.h"

// The commands that change the Dock through the apply tool: apply, restore.

namespace {

// How many of the tool's last lines a failure shows.
constexpr std::size_t kToolLines = 5;

}  // namespace

int ThemeCommandLine::runApplyTool(const std::string& argument, const std::string& what,
                                   const std::string& done, bool verbose) {
    // The tool logs every step; unasked, only a failure shows its end.
    std::optional<CapturedErrors> captured;
    if (!verbose) {
        captured.emplace();
    }
    const SXAuthentication::ToolRun run = SXAuthentication::sharedInstance().runCommand(
        SystemPaths::applyToolPath().string(), {argument});
    const std::vector<std::string> last =
        captured ? captured->lastLines(kToolLines) : std::vector<std::string>();
    captured.reset();
    const std::optional<std::string> why = ApplyToolOutcome::whyFailed(run.status, run.exitStatus);
    if (!why) {
        out_ << done << '\n';
        return kSuccess;
    }
    fail(what, *why);
    if (!last.empty()) {
        err_ << kProgram << ": " << filled(tr("the apply tool's last lines:"), {}) << '\n';
        for (const std::string& line : last) {
            err_ << "  " << line << '\n';
        }
    }
    return kFailure;
}

int ThemeCommandLine::apply(const QCommandLineParser& parser) {
    const std::string bundle = operands(parser).front();
    const auto theme = openTheme(bundle);
    if (!theme) {
        return kFailure;
    }
    const std::string name = theme->information().name;
    return runApplyTool(
        std::filesystem::absolute(bundle).string(), bundle,
        filled(tr("Applied %1; the Dock restarts"),
               {Log::escaped(name.empty() ? FileManager::lastComponent(bundle) : name)}),
        parser.isSet(QStringLiteral("verbose")));
}

int ThemeCommandLine::restore(const QCommandLineParser& parser) {
    const bool verbose = parser.isSet(QStringLiteral("verbose"));
    if (parser.isSet(QStringLiteral("original"))) {
        const std::string root = SystemPaths::systemRoot();
        if (!OriginalDockManifest::readFromRoot(root)) {
            return fail(root, "no original images of the Dock are kept");
        }
        return runApplyTool(
            OriginalDockManifest::kRestoreArgument, root,
            filled(tr("Restored the Dock's original images; the Dock restarts"), {}), verbose);
    }
    const auto stock = openTheme(DockTheme::fullPath());
    if (!stock) {
        return kFailure;
    }
    return runApplyTool(stock->dockPath(), stock->dockPath(),
                        filled(tr("Restored the stock theme; the Dock restarts"), {}), verbose);
}
