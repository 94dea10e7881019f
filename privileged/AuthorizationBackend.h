#pragma once

#include <set>
#include <string>
#include <vector>

#include "privileged/AuthorizationServices.h"

// The bookkeeping every backend shares: the authorizations it made and the
// tool paths whose rights each holds once they were extended into it. A
// subclass decides how rights are had (without asking, or by asking the user)
// and how a tool is started. Main thread only.
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

protected:
    // Whether the rights for paths may be had: without asking (interaction
    // false) or by asking the user once for all of them.
    virtual OSStatus obtain(const std::vector<std::string>& paths, bool interaction) = 0;
    // Starts tool with arguments as the administrator; returns a status.
    virtual OSStatus start(const std::string& tool, const std::vector<std::string>& arguments) = 0;
    // Starts command followed by arguments without waiting for it.
    static OSStatus launch(std::vector<std::string> command,
                           const std::vector<std::string>& arguments);

private:
    std::set<AuthorizationRef> authorizations_;
};
