#pragma once
#include <windows.h>

#include <string>

#include "install/LinkGuard.h"
#include "install/RecordedInstall.h"
#include "shell/UnfollowedHandle.h"

// The installation's folders, log file and registry values through the
// Windows API.
class Win32InstallSystem final : public InstallSystem {
public:
    // The log and the completed log are written through the guard.
    explicit Win32InstallSystem(LinkGuard& guard) : guard_(guard) {}
    ~Win32InstallSystem() {
        CloseLog();
        CloseValueKey();
    }
    Win32InstallSystem(const Win32InstallSystem&) = delete;
    Win32InstallSystem& operator=(const Win32InstallSystem&) = delete;

    PathState StateOf(const char* path) override;
    bool MakeFolder(const char* path) override;
    void RemoveEmptyFolder(const char* path) override;
    bool HoldsOnly(const char* folder, const std::vector<std::string>& items) override;
    std::vector<std::string> UnclaimedJournals(const char* folder) override;
    bool KeyExists(uint32_t root, const char* keyPath) override;
    bool SetValue(uint32_t root, const char* keyPath, const char* name, const char* text) override;
    void DeleteValue(uint32_t root, const char* keyPath, const char* name) override;
    void DeleteKey(uint32_t root, const char* keyPath) override;
    bool OpenNewLog(const char* path) override;
    bool AppendLog(const uint8_t* data, uint32_t length) override;
    void CloseLog() override;
    bool WriteWholeFile(const char* path, const uint8_t* data, size_t size) override;
    bool PutInPlace(const char* from, const char* to) override;
    void RemoveFile(const char* path) override;
    bool DigestText(const uint8_t* data, size_t size, char* text) override;

private:
    void CloseValueKey();

    LinkGuard& guard_;
    UnfollowedHandle log_;
    // The key of the last value set, kept open: the journal's digest goes
    // into the same entry after every record.
    HKEY valueKey_ = nullptr;
    uint32_t valueRoot_ = 0;
    std::string valueKeyPath_;
};

// The predefined key of a root as the log stores it (null for any other value).
HKEY RootKeyOf(uint32_t root);
