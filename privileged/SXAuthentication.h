#pragma once

#include <string>
#include <vector>

#include "privileged/AuthorizationServices.h"

// Posted (object: the SXAuthentication) each time fetchPassword obtains rights.
inline constexpr const char* SXAuthenticatedNotification = "SXAuthenticatedNotification";
// Posted (object: the SXAuthentication) each time deauthenticate frees an authorization.
inline constexpr const char* SXDeauthenticatedNotification = "SXDeauthenticatedNotification";

// The editor's gateway to administrator rights: one authorization for the
// life of the process, a dialog only while it doesn't hold the rights for a
// tool, starting a tool with those rights, and finding or killing a process
// by name. Rights are asked for per tool path; a path longer than 127 bytes
// gets no rights, and at most the first 20 paths of a list are looked at.
// One thread at a time; fetchPassword and runCommand block (while the dialog
// is up, while the tool runs), so the editor calls them on a worker thread.
class SXAuthentication {
public:
    static constexpr std::size_t kMaxRights = 20;
    static constexpr std::size_t kRightSlotBytes = 128;
    static constexpr std::size_t kMaxArguments = 19;

    // The process-wide instance, made on the first call and never released.
    static SXAuthentication& sharedInstance();

    SXAuthentication();
    // Ends the authorization (deauthenticate).
    ~SXAuthentication();
    SXAuthentication(const SXAuthentication&) = delete;
    SXAuthentication& operator=(const SXAuthentication&) = delete;

    // Whether the authorization holds the rights for paths, without asking;
    // makes the authorization when there is none.
    bool isAuthenticated(const std::vector<std::string>& paths);
    // Asks the user for the rights (the system's dialog); posts
    // SXAuthenticatedNotification when they were obtained.
    bool fetchPassword(const std::vector<std::string>& paths);
    // isAuthenticated, else fetchPassword, then isAuthenticated once more.
    bool authenticate(const std::vector<std::string>& paths);
    // Destroys the authorization and its rights; posts SXDeauthenticatedNotification.
    void deauthenticate();

    // Obtains the rights for path and starts it with administrator rights
    // with at most the first 19 arguments; returns once it started. On a
    // failure to start: beep and the log line "Error %d in AuthorizationExecuteWithPrivileges".
    bool executeCommand(const std::string& path, const std::vector<std::string>& args);

    // How a privileged run ended: status is success when the rights were had
    // and the tool ran to its end with exitStatus; otherwise it says why not:
    // errAuthorizationCanceled or errAuthorizationDenied when the user
    // dismissed or failed the dialog, errAuthorizationInteractionNotAllowed
    // when no one could be asked (polkit found no authentication agent).
    struct ToolRun {
        OSStatus status = errAuthorizationDenied;
        int exitStatus = -1;
    };
    // Obtains the rights for path (asking when they aren't held), runs it with
    // administrator rights with at most the first 19 arguments and waits for its end.
    ToolRun runCommand(const std::string& path, const std::vector<std::string>& args);

    // Why a tool did not run, in a few words for a message ("the apply tool"
    // is the one tool started so); empty for success.
    static std::string whyNotRun(OSStatus status);

    // The id of the first listed process whose command line holds name, or 0.
    // Runs "/bin/ps" with an argument vector: the name reaches no shell.
    int getPID(const std::string& name);
    // Runs "/bin/kill" on getPID(name) with administrator rights.
    bool killProcess(const std::string& name);

    AuthorizationRef authorizationRef() const { return authorizationRef_; }

private:
    // fetchPassword, with the services' status.
    OSStatus requestRights(const std::vector<std::string>& paths);
    // authenticate, with the status of the dialog when it did not give the rights.
    OSStatus obtainRights(const std::vector<std::string>& paths);
    // Asks the services for the rights of paths with flags; denied when a path doesn't fit a slot.
    OSStatus copyRights(const std::vector<std::string>& paths, AuthorizationFlags flags);

    AuthorizationRef authorizationRef_ = nullptr;
};
