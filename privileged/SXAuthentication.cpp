#include "privileged/SXAuthentication.h"

#include <array>
#include <charconv>
#include <cstring>

#include "platform/Beep.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/Process.h"

SXAuthentication& SXAuthentication::sharedInstance() {
    static SXAuthentication* instance = new SXAuthentication;
    return *instance;
}

SXAuthentication::SXAuthentication() = default;

SXAuthentication::~SXAuthentication() {
    deauthenticate();
}

bool SXAuthentication::isAuthenticated(const std::vector<std::string>& paths) {
    if (!authorizationRef_) {
        AuthorizationRights none{0, nullptr};
        AuthorizationServices::shared().create(&none, nullptr, kAuthorizationFlagDefaults,
                                               &authorizationRef_);
    }
    return !paths.empty() &&
           copyRights(paths, kAuthorizationFlagExtendRights) == errAuthorizationSuccess;
}

bool SXAuthentication::fetchPassword(const std::vector<std::string>& paths) {
    return requestRights(paths) == errAuthorizationSuccess;
}

bool SXAuthentication::authenticate(const std::vector<std::string>& paths) {
    return obtainRights(paths) == errAuthorizationSuccess;
}

void SXAuthentication::deauthenticate() {
    if (!authorizationRef_) {
        return;
    }
    AuthorizationServices::shared().free(authorizationRef_, kAuthorizationFlagDestroyRights);
    authorizationRef_ = nullptr;
    NotificationCenter::defaultCenter().post(SXDeauthenticatedNotification, this);
}

bool SXAuthentication::executeCommand(const std::string& path,
                                      const std::vector<std::string>& args) {
    if (!authenticate({path})) {
        return false;
    }
    std::vector<char*> argv;
    for (std::size_t i = 0; i < args.size() && i < kMaxArguments; ++i) {
        argv.push_back(const_cast<char*>(args[i].c_str()));
    }
    argv.push_back(nullptr);
    OSStatus status = AuthorizationServices::shared().executeWithPrivileges(
        authorizationRef_, path.c_str(), kAuthorizationFlagDefaults,
        args.empty() ? nullptr : argv.data(), nullptr);
    if (status == errAuthorizationSuccess) {
        return true;
    }
    Beep::beep();
    Log::write("Error " + std::to_string(status) + " in AuthorizationExecuteWithPrivileges");
    return false;
}

SXAuthentication::ToolRun SXAuthentication::runCommand(const std::string& path,
                                                       const std::vector<std::string>& args) {
    ToolRun run;
    run.status = obtainRights({path});
    if (run.status != errAuthorizationSuccess) {
        return run;
    }
    std::vector<char*> argv;
    for (std::size_t i = 0; i < args.size() && i < kMaxArguments; ++i) {
        argv.push_back(const_cast<char*>(args[i].c_str()));
    }
    argv.push_back(nullptr);
    run.status = AuthorizationServices::shared().runWithPrivileges(authorizationRef_, path.c_str(),
                                                                   argv.data(), &run.exitStatus);
    if (run.status != errAuthorizationSuccess) {
        Log::write("Error " + std::to_string(run.status) +
                   " in AuthorizationExecuteWithPrivileges");
    }
    return run;
}

std::string SXAuthentication::whyNotRun(OSStatus status) {
    switch (status) {
        case errAuthorizationSuccess:
            return {};
        case errAuthorizationToolExecuteFailure:
            return "the apply tool could not be started";
        case errAuthorizationInteractionNotAllowed:
            return "no authentication agent could ask for the password";
        default:
            return "administrator rights were refused or cancelled";
    }
}

int SXAuthentication::getPID(const std::string& name) {
    auto listing = Process::run({"/bin/ps", "-axwwopid,command"}, Process::Capture::Output);
    if (!listing) {
        Log::write("Error opening pipe: " + name);
        Beep::beep();
        return 0;
    }
    // The first line that holds the name, as a filter by name would keep it.
    const std::string& text = listing->output;
    std::size_t start = 0;
    std::string line;
    bool found = false;
    while (start < text.size() && !found) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        line = text.substr(start, end - start);
        found = !name.empty() && line.find(name) != std::string::npos;
        start = end + 1;
    }
    if (!found) {
        return 0;
    }
    std::size_t first = line.find_first_not_of(" \t");
    std::string prefix = line.substr(first, line.find(name, first) - first);
    if (prefix.empty() || prefix.find("grep") != std::string::npos) {
        return 0;
    }
    int pid = 0;
    std::from_chars(prefix.data(), prefix.data() + prefix.size(), pid);
    return pid > 0 ? pid : 0;
}

bool SXAuthentication::killProcess(const std::string& name) {
    if (!isAuthenticated({name})) {
        authenticate({name});
    }
    std::string pid = std::to_string(getPID(name));
    if (std::stoi(pid) < 1) {
        Beep::beep();
        Log::write("Error killing process " + pid + ", invalid PID.");
        return false;
    }
    executeCommand("/bin/kill", {pid});
    return true;
}

OSStatus SXAuthentication::requestRights(const std::vector<std::string>& paths) {
    if (paths.empty()) {
        return errAuthorizationDenied;
    }
    const OSStatus status =
        copyRights(paths, kAuthorizationFlagInteractionAllowed | kAuthorizationFlagExtendRights);
    if (status == errAuthorizationSuccess) {
        NotificationCenter::defaultCenter().post(SXAuthenticatedNotification, this);
    }
    return status;
}

OSStatus SXAuthentication::obtainRights(const std::vector<std::string>& paths) {
    if (isAuthenticated(paths)) {
        return errAuthorizationSuccess;
    }
    const OSStatus asked = requestRights(paths);
    if (isAuthenticated(paths)) {
        return errAuthorizationSuccess;
    }
    return asked == errAuthorizationSuccess ? errAuthorizationDenied : asked;
}

OSStatus SXAuthentication::copyRights(const std::vector<std::string>& paths,
                                      AuthorizationFlags flags) {
    std::array<std::array<char, kRightSlotBytes>, kMaxRights> slots{};
    std::array<AuthorizationItem, kMaxRights> items{};
    std::size_t count = std::min(paths.size(), kMaxRights);
    for (std::size_t i = 0; i < count; ++i) {
        if (paths[i].size() >= kRightSlotBytes) {
            return errAuthorizationDenied;
        }
        std::memcpy(slots[i].data(), paths[i].c_str(), paths[i].size() + 1);
        items[i] =
            AuthorizationItem{kAuthorizationRightExecute, paths[i].size(), slots[i].data(), 0};
    }
    AuthorizationRights rights{static_cast<std::uint32_t>(count), items.data()};
    AuthorizationRights* granted = nullptr;
    OSStatus status = AuthorizationServices::shared().copyRights(authorizationRef_, &rights,
                                                                 nullptr, flags, &granted);
    if (status == errAuthorizationSuccess) {
        AuthorizationServices::shared().freeItemSet(granted);
    }
    return status;
}
