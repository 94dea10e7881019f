#pragma once

#include <set>
#include <string>
#include <vector>

#include "privileged/AuthorizationServices.h"

// The bookkeeping every backend shares: the authorizations it made and the
// tool paths whose rights each holds once they were extended into it. A
// subclass decides how rights are had (without asking, or by asking the user)
// and how a tool is started. One thread at a time.
class AuthorizationBackend : public AuthorizationServices {
public:
    ~AuthorizationBackend() override;

    OSStatus create(const AuthorizationRights* rights, const void* environment,
                    AuthorizationFlags flags, AuthorizationRef* authorization) override;
    OSStatus copyRights(AuthorizationRef authorization, const AuthorizationRights* rights,
                        const void* environment, AuthorizationFlags flags,
                        AuthorizationRights** granted) override;
    OSStatus freeItemSet(AuthorizationRights* set) override;
    OSStatus free(AuthorizationRef authorization, AuthorizationFlags flags) override;
    OSStatus executeWithPrivileges(AuthorizationRef authorization, const char* pathToTool,
                                   AuthorizationFlags options, char* const* arguments,
                                   std::FILE** communicationsPipe) override;
    OSStatus runWithPrivileges(AuthorizationRef authorization, const char* pathToTool,
                               char* const* arguments, int* exitStatus) override;

protected:
    // Whether the rights for paths may be had: without asking (interaction
    // false) or by asking the user once for all of them.
    virtual OSStatus obtain(const std::vector<std::string>& paths, bool interaction) = 0;
    // Starts tool with arguments as the administrator; returns a status.
    virtual OSStatus start(const std::string& tool, const std::vector<std::string>& arguments) = 0;
    // The command that runs tool as the administrator, before its arguments;
    // the tool itself unless a backend needs a program in front of it.
    virtual std::vector<std::string> privilegedCommand(const std::string& tool) const;
    // Maps the exit code of a finished privileged command to a status;
    // success unless the program in front of the tool reports a refusal.
    virtual OSStatus statusForExit(int exitCode) const;
    // Starts command followed by arguments without waiting for it.
    static OSStatus launch(std::vector<std::string> command,
                           const std::vector<std::string>& arguments);

private:
    std::set<AuthorizationRef> authorizations_;
};
