#include "setup/InstallationLock.h"

#include <aclapi.h>

#include <vector>

const char kInstallationLockName[] = "Global\\VsetupInstallationLock";

namespace {

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) {
    BYTE buffer[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof buffer;
    return CreateWellKnownSid(type, nullptr, buffer, &size) && EqualSid(sid, buffer);
}

bool IsOwnTokenOwner(PSID sid) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    DWORD size = 0;
    GetTokenInformation(token, TokenOwner, nullptr, 0, &size);
    std::vector<BYTE> buffer(size ? size : 1);
    bool same = GetTokenInformation(token, TokenOwner, buffer.data(), size, &size) &&
                EqualSid(sid, reinterpret_cast<TOKEN_OWNER*>(buffer.data())->Owner);
    CloseHandle(token);
    return same;
}

// An elevated program's objects belong to the Administrators group (or to
// the system account, for deployment services): anyone else who made the
// name made it to block installations.
bool MadeByAdministrator(HANDLE mutex) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(mutex, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        &descriptor) != ERROR_SUCCESS)
        return false;
    // No owner at all (Wine keeps none for unnamed security): nothing to
    // tell a planted lock by, so it counts as another setup's.
    bool trusted = !owner || IsWellKnown(owner, WinBuiltinAdministratorsSid) || IsWellKnown(owner, WinLocalSystemSid) ||
                   IsOwnTokenOwner(owner);
    LocalFree(descriptor);
    return trusted;
}

}  // namespace

InstallationLock::~InstallationLock() {
    if (mutex_) CloseHandle(mutex_);
}

InstallationLockResult InstallationLock::Acquire() {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kInstallationLockName);
    if (!mutex) return GetLastError() == ERROR_ACCESS_DENIED ? LockForeign : LockBusy;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
        mutex_ = mutex;
        return LockHeld;
    }
    InstallationLockResult result = MadeByAdministrator(mutex) ? LockBusy : LockForeign;
    CloseHandle(mutex);
    return result;
}

std::string InstallationLockText(InstallationLockResult result, const char* again) {
    if (result == LockForeign)
        return std::string("A program without administrator rights holds the lock that keeps installations "
                           "apart (") + kInstallationLockName + ").  Nothing was changed.  End that program, or "
                           "restart Windows, then run " + again + " again.";
    return std::string("Another installation or removal is in progress.  Nothing was changed.  Wait until it has "
                       "finished, then run ") + again + " again.";
}
