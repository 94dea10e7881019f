#include "privileged/AuthorizationBackend.h"

#include <cstring>

#include "platform/Process.h"

// What an authorization holds: the tool paths whose rights were extended into it.
struct AuthorizationOpaqueRef {
    std::set<std::string> rights;
};

namespace {

constexpr OSStatus errAuthorizationInvalidSet = -60001;
constexpr OSStatus errAuthorizationInvalidRef = -60002;

}  // namespace

AuthorizationBackend::~AuthorizationBackend() {
    for (AuthorizationRef authorization : authorizations_) {
        delete authorization;
    }
}

OSStatus AuthorizationBackend::create(const AuthorizationRights* rights, const void* environment,
                                      AuthorizationFlags flags, AuthorizationRef* authorization) {
    if (!authorization) {
        return errAuthorizationInvalidRef;
    }
    auto* made = new AuthorizationOpaqueRef;
    authorizations_.insert(made);
    *authorization = made;
    if (rights && rights->count > 0) {
        return copyRights(made, rights, environment, flags, nullptr);
    }
    return errAuthorizationSuccess;
}

OSStatus AuthorizationBackend::copyRights(AuthorizationRef authorization,
                                          const AuthorizationRights* rights, const void*,
                                          AuthorizationFlags flags, AuthorizationRights** granted) {
    if (!authorization || !authorizations_.count(authorization)) {
        return errAuthorizationInvalidRef;
    }
    if (!rights || (rights->count > 0 && !rights->items)) {
        return errAuthorizationInvalidSet;
    }
    std::vector<std::string> missing;
    for (std::uint32_t i = 0; i < rights->count; ++i) {
        const AuthorizationItem& item = rights->items[i];
        if (!item.name || std::strcmp(item.name, kAuthorizationRightExecute) != 0 ||
            (!item.value && item.valueLength > 0)) {
            return errAuthorizationInvalidSet;
        }
        std::string path(static_cast<const char*>(item.value), item.valueLength);
        if (!authorization->rights.count(path)) {
            missing.push_back(path);
        }
    }
    if (!missing.empty()) {
        OSStatus status = obtain(missing, (flags & kAuthorizationFlagInteractionAllowed) != 0);
        if (status != errAuthorizationSuccess) {
            return status;
        }
        if (flags & kAuthorizationFlagExtendRights) {
            authorization->rights.insert(missing.begin(), missing.end());
        }
    }
    if (granted) {
        *granted = new AuthorizationRights{0, nullptr};
    }
    return errAuthorizationSuccess;
}

OSStatus AuthorizationBackend::freeItemSet(AuthorizationRights* set) {
    delete set;
    return errAuthorizationSuccess;
}

OSStatus AuthorizationBackend::free(AuthorizationRef authorization, AuthorizationFlags) {
    if (!authorization || !authorizations_.erase(authorization)) {
        return errAuthorizationInvalidRef;
    }
    delete authorization;
    return errAuthorizationSuccess;
}

OSStatus AuthorizationBackend::executeWithPrivileges(AuthorizationRef authorization,
                                                     const char* pathToTool, AuthorizationFlags,
                                                     char* const* arguments, std::FILE**) {
    if (!authorization || !authorizations_.count(authorization)) {
        return errAuthorizationInvalidRef;
    }
    if (!pathToTool) {
        return errAuthorizationToolExecuteFailure;
    }
    std::vector<std::string> args;
    for (char* const* arg = arguments; arg && *arg; ++arg) {
        args.emplace_back(*arg);
    }
    return start(pathToTool, args);
}

OSStatus AuthorizationBackend::runWithPrivileges(AuthorizationRef authorization,
                                                 const char* pathToTool, char* const* arguments,
                                                 int* exitStatus) {
    if (!authorization || !authorizations_.count(authorization)) {
        return errAuthorizationInvalidRef;
    }
    if (!pathToTool) {
        return errAuthorizationToolExecuteFailure;
    }
    std::vector<std::string> command = privilegedCommand(pathToTool);
    for (char* const* arg = arguments; arg && *arg; ++arg) {
        command.emplace_back(*arg);
    }
    auto result = Process::run(command);
    if (!result) {
        return errAuthorizationToolExecuteFailure;
    }
    OSStatus status = statusForExit(result->exitStatus);
    if (status == errAuthorizationSuccess && exitStatus) {
        *exitStatus = result->exitStatus;
    }
    return status;
}

std::vector<std::string> AuthorizationBackend::privilegedCommand(const std::string& tool) const {
    return {tool};
}

OSStatus AuthorizationBackend::statusForExit(int) const {
    return errAuthorizationSuccess;
}

OSStatus AuthorizationBackend::launch(std::vector<std::string> command,
                                      const std::vector<std::string>& arguments) {
    command.insert(command.end(), arguments.begin(), arguments.end());
    return Process::startDetached(command) > 0 ? errAuthorizationSuccess
                                               : errAuthorizationToolExecuteFailure;
}
