#pragma once
#include "uninstall/UninstallRemover.h"

// The uninstaller's removals on the real file system and registry.
class Win32RemovalTarget : public RemovalTarget {
public:
    RemovalOutcome RemoveFile(const char* path) override;
    RemovalOutcome RemoveAtRestart(const char* path) override;
    bool UsersCanChangeWayTo(const char* path) override;
    RemovalOutcome RemoveFolder(const char* path) override;
    RemovalOutcome RemoveKey(uint32_t rootKey, const char* keyPath) override;
    bool PassesThroughLink(const char* path, size_t trustedLength) override;
    KeyValueState ReadKeyValue(uint32_t rootKey, const char* keyPath, const char* name, std::string& value) override;
    RemovalOutcome SetKeyValue(uint32_t rootKey, const char* keyPath, const char* name, const char* text) override;
};
