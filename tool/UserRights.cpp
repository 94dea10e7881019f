#include "tool/UserRights.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <string_view>

namespace {

// The user id a variable names; nothing when it is not a plain decimal number.
std::optional<uid_t> idFrom(std::string_view text) {
    unsigned long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        value >= static_cast<unsigned long>(static_cast<uid_t>(-1))) {
        return std::nullopt;
    }
    return static_cast<uid_t>(value);
}

std::vector<gid_t> currentGroups() {
    int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(count > 0 ? static_cast<std::size_t>(count) : 0);
    if (count > 0 && ::getgroups(count, groups.data()) != count) {
        groups.clear();
    }
    return groups;
}

}  // namespace

std::optional<UserRights> UserRights::fromEnvironment() {
    UserRights rights;
    if (::geteuid() != 0) {
        return rights;
    }
    const char* asked = std::getenv("PKEXEC_UID");
    if (!asked || !*asked) {
        asked = std::getenv("SUDO_UID");
    }
    if (!asked || !*asked) {
        return rights;
    }
    std::optional<uid_t> uid = idFrom(asked);
    if (!uid) {
        return std::nullopt;
    }
    if (*uid == 0) {
        return rights;
    }
    struct passwd entry {};
    struct passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(*uid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
        return std::nullopt;
    }
    rights.active_ = true;
    rights.uid_ = *uid;
    rights.gid_ = entry.pw_gid;
    int count = 64;
    rights.groups_.resize(static_cast<std::size_t>(count));
    while (::getgrouplist(entry.pw_name, entry.pw_gid, rights.groups_.data(), &count) < 0) {
        rights.groups_.resize(static_cast<std::size_t>(count));
    }
    rights.groups_.resize(static_cast<std::size_t>(count));
    return rights;
}

bool UserRights::actAsUser() {
    if (!active_) {
        return true;
    }
    startedUid_ = ::geteuid();
    startedGid_ = ::getegid();
    startedGroups_ = currentGroups();
    // Groups and group first: once the user id changed, they could not be set.
    if (::setgroups(groups_.size(), groups_.data()) != 0 || ::setegid(gid_) != 0 ||
        ::seteuid(uid_) != 0) {
        actAsStarted();
        return false;
    }
    return true;
}

bool UserRights::actAsStarted() {
    if (!active_) {
        return true;
    }
    return ::seteuid(startedUid_) == 0 && ::setegid(startedGid_) == 0 &&
           ::setgroups(startedGroups_.size(), startedGroups_.data()) == 0;
}
