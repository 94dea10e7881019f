#include "privileged/PolkitAuthorization.h"

#include <unistd.h>

#include "platform/Process.h"

namespace {

// pkcheck's exit codes.
constexpr int kAuthorized = 0;
constexpr int kChallenge = 2;
constexpr int kDismissed = 3;
// pkexec's own exit codes.
constexpr int kExecDismissed = 126;
constexpr int kExecNotAuthorized = 127;

}  // namespace

PolkitAuthorization::PolkitAuthorization(std::string applyTool, std::string pkcheck,
                                         std::string pkexec)
    : applyTool_(std::move(applyTool)), pkcheck_(std::move(pkcheck)), pkexec_(std::move(pkexec)) {}

std::string PolkitAuthorization::actionFor(const std::string& path) const {
    return path == applyTool_ ? kApplyAction : kExecAction;
}

OSStatus PolkitAuthorization::obtain(const std::vector<std::string>& paths, bool interaction) {
    for (const std::string& path : paths) {
        std::vector<std::string> argv = {pkcheck_, "--action-id", actionFor(path), "--process",
                                         std::to_string(::getpid())};
        if (interaction) {
            argv.push_back("--allow-user-interaction");
        }
        auto result = Process::run(argv);
        if (!result) {
            return errAuthorizationDenied;
        }
        switch (result->exitStatus) {
            case kAuthorized:
                continue;
            case kChallenge:
                // Asked to let the user answer, pkcheck says so only when no
                // authentication agent is there to ask: nobody refused.
                return errAuthorizationInteractionNotAllowed;
            case kDismissed:
                return errAuthorizationCanceled;
            default:
                return errAuthorizationDenied;
        }
    }
    return errAuthorizationSuccess;
}

OSStatus PolkitAuthorization::start(const std::string& tool,
                                    const std::vector<std::string>& arguments) {
    return launch({pkexec_, tool}, arguments);
}

std::vector<std::string> PolkitAuthorization::privilegedCommand(const std::string& tool) const {
    return {pkexec_, tool};
}

OSStatus PolkitAuthorization::statusForExit(int exitCode) const {
    switch (exitCode) {
        case kExecDismissed:
            return errAuthorizationCanceled;
        case kExecNotAuthorized:
            return errAuthorizationDenied;
        default:
            return errAuthorizationSuccess;
    }
}
