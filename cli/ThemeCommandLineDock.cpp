#include "cli/ThemeCommandLine.h"

#include <QCommandLineParser>

#include <filesystem>

#include "model/DockTheme.h"
#include "model/OriginalDockManifest.h"
#include "platform/SystemPaths.h"
#include "privileged/ApplyToolOutcome.h"
#include "privileged/SXAuthentication.h"

// The commands that change the Dock through the apply tool: apply, restore.

int ThemeCommandLine::runApplyTool(const std::string& argument, const std::string& what) {
    const SXAuthentication::ToolRun run = SXAuthentication::sharedInstance().runCommand(
        SystemPaths::applyToolPath().string(), {argument});
    const std::optional<std::string> why = ApplyToolOutcome::whyFailed(run.status, run.exitStatus);
    return why ? fail(what, *why) : kSuccess;
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
