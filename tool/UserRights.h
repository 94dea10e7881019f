#pragma once

#include <sys/types.h>

#include <optional>
#include <vector>

// The rights the tool reads a theme with. Started as root by pkexec
// (PKEXEC_UID) or sudo (SUDO_UID), it reads the bundle as the user who asked
// and takes root's rights back only to write the Dock folder, so nothing that
// user could not read can reach the Dock folder. Files opened as the user stay
// readable after the switch back. Started any other way, the rights are left
// as they are. Only the effective ids change, so root's can be taken back;
// the tool is one thread, and only it calls.
class UserRights {
public:
    // Nothing when a variable is set but does not name a user of this system.
    static std::optional<UserRights> fromEnvironment();

    // Whether reads are made as another user.
    bool dropsRights() const { return active_; }

    // The effective user, group and groups become the asking user's. True when
    // they did, or when there is nothing to change.
    bool actAsUser();
    // The rights the tool was started with come back. True when they did.
    bool actAsStarted();

private:
    bool active_ = false;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    std::vector<gid_t> groups_;
    uid_t startedUid_ = 0;
    gid_t startedGid_ = 0;
    std::vector<gid_t> startedGroups_;
};
