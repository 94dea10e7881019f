#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

// The five operations of the system's authorization services, with their
// status values and flags, behind one interface. The backend is chosen once
// per process, on first use: the direct backend when the process runs as
// root or can write the Dock resources folder, else polkit. Tests install a
// scripted double before first use. One thread at a time (the editor asks
// on a worker thread, so that the window never waits for the dialog).

using OSStatus = std::int32_t;
using AuthorizationFlags = std::uint32_t;

constexpr OSStatus errAuthorizationSuccess = 0;
constexpr OSStatus errAuthorizationDenied = -60005;
constexpr OSStatus errAuthorizationCanceled = -60006;
constexpr OSStatus errAuthorizationInteractionNotAllowed = -60007;
constexpr OSStatus errAuthorizationToolExecuteFailure = -60031;

constexpr AuthorizationFlags kAuthorizationFlagDefaults = 0;
constexpr AuthorizationFlags kAuthorizationFlagInteractionAllowed = 1;
constexpr AuthorizationFlags kAuthorizationFlagExtendRights = 2;
constexpr AuthorizationFlags kAuthorizationFlagDestroyRights = 8;

constexpr const char* kAuthorizationRightExecute = "system.privilege.admin";

struct AuthorizationItem {
    const char* name = nullptr;
    std::size_t valueLength = 0;
    void* value = nullptr;
    std::uint32_t flags = 0;
};

struct AuthorizationRights {
    std::uint32_t count = 0;
    AuthorizationItem* items = nullptr;
};

// An authorization: opaque to its users, owned by the backend that made it
// until free() is called on it.
struct AuthorizationOpaqueRef;
using AuthorizationRef = AuthorizationOpaqueRef*;

class AuthorizationServices {
public:
    virtual ~AuthorizationServices() = default;

    // The process's backend, chosen on the first call.
    static AuthorizationServices& shared();
    // Puts backend in place of the chosen one (start-up and tests).
    static void install(std::unique_ptr<AuthorizationServices> backend);

    virtual OSStatus create(const AuthorizationRights* rights, const void* environment,
                            AuthorizationFlags flags, AuthorizationRef* authorization) = 0;
    // Checks (and with kAuthorizationFlagInteractionAllowed, obtains by asking
    // the user) the rights, extending them into the authorization. On success
    // *granted is a set the caller releases with freeItemSet.
    virtual OSStatus copyRights(AuthorizationRef authorization, const AuthorizationRights* rights,
                                const void* environment, AuthorizationFlags flags,
                                AuthorizationRights** granted) = 0;
    virtual OSStatus freeItemSet(AuthorizationRights* set) = 0;
    virtual OSStatus free(AuthorizationRef authorization, AuthorizationFlags flags) = 0;
    // Starts the tool with administrator rights and returns once it started;
    // arguments is a NULL-terminated vector or NULL. No pipe is offered.
    virtual OSStatus executeWithPrivileges(AuthorizationRef authorization, const char* pathToTool,
                                           AuthorizationFlags options, char* const* arguments,
                                           std::FILE** communicationsPipe) = 0;
    // Runs the tool with administrator rights and waits for its end; on
    // success *exitStatus is its exit code (-1 when a signal ended it).
    // Blocks: never call it on the UI thread.
    virtual OSStatus runWithPrivileges(AuthorizationRef authorization, const char* pathToTool,
                                       char* const* arguments, int* exitStatus) = 0;
};
