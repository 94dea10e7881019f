#pragma once

#include <string>

#include "privileged/AuthorizationBackend.h"

// Rights through polkit. The check is "pkcheck --action-id ID --process PID",
// with "--allow-user-interaction" when the user may be asked (the desktop's
// authentication agent shows the dialog, and this call blocks until it is
// answered; with no agent to ask it is errAuthorizationInteractionNotAllowed,
// as without interaction); a tool is started with "pkexec TOOL ARGS", not
// waited for, or run to its end (pkexec's 126 and 127 say the user dismissed
// or was refused).
// The apply tool has an action of its own (its policy file lies in the
// resources, with auth_admin_keep); any other path is checked against
// polkit's generic exec action.
class PolkitAuthorization : public AuthorizationBackend {
public:
    static constexpr const char* kApplyAction = "org.velvanto.apply-theme";
    static constexpr const char* kExecAction = "org.freedesktop.policykit.exec";

    // The programs are given so tests can put recorders in their place.
    PolkitAuthorization(std::string applyTool, std::string pkcheck = "/usr/bin/pkcheck",
                        std::string pkexec = "/usr/bin/pkexec");

    // The action that guards running path.
    std::string actionFor(const std::string& path) const;

protected:
    OSStatus obtain(const std::vector<std::string>& paths, bool interaction) override;
    OSStatus start(const std::string& tool, const std::vector<std::string>& arguments) override;
    std::vector<std::string> privilegedCommand(const std::string& tool) const override;
    OSStatus statusForExit(int exitCode) const override;

private:
    std::string applyTool_;
    std::string pkcheck_;
    std::string pkexec_;
};
