#pragma once
// One installation or removal at a time on this computer: setup.exe and
// VARNUINS.EXE hold a mutex named in the Global namespace for their whole
// run, so that two of them never work on the same folders and keys.
#include <windows.h>

#include <string>

enum InstallationLockResult {
    LockHeld,     // ours until the object is destroyed
    LockBusy,     // another setup or uninstaller holds it
    LockForeign,  // a program without administrator rights made the name: a planted lock
};

class InstallationLock {
public:
    InstallationLock() = default;
    ~InstallationLock();
    InstallationLock(const InstallationLock&) = delete;
    InstallationLock& operator=(const InstallationLock&) = delete;

    InstallationLockResult Acquire();

private:
    HANDLE mutex_ = nullptr;
};

extern const char kInstallationLockName[];

// What the user or the script is told; `again` is what to run again ("Setup").
std::string InstallationLockText(InstallationLockResult result, const char* again);
