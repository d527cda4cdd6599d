#pragma once
// Removes what an installation recorded, working through a validated
// uninstall log in file order (contents before their containers). The
// system calls sit behind RemovalTarget, so the rules are plain code.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum RemovalOutcome {
    RemovalDone,        // removed now
    RemovalAbsent,      // already gone: skipped silently
    RemovalKept,        // a folder or key that still holds other items: left by design
    RemovalScheduled,   // in use: removed at the next restart
    RemovalFailed,
};

class RemovalTarget {
public:
    // A file or shortcut; clears a read-only attribute first and schedules a
    // file in use for removal at restart.
    virtual RemovalOutcome RemoveFile(const char* path) = 0;
    // A folder, only when it is empty; never recursively.
    virtual RemovalOutcome RemoveFolder(const char* path) = 0;
    // An empty folder left behind by a file that is removed at restart.
    virtual RemovalOutcome RemoveFolderAtRestart(const char* path) = 0;
    // A registry key, only when it has no subkeys.
    virtual RemovalOutcome RemoveKey(uint32_t rootKey, const char* keyPath) = 0;

protected:
    ~RemovalTarget() = default;
};

// Called after each record: records done, total records, what was handled.
typedef void (*RemovalProgress)(void* context, size_t done, size_t total, const char* item);

struct RemovalReport {
    // Items as shown to the user ("C:\dir\file", "HKEY_CURRENT_USER\Software\X"),
    // by their final outcome, each once, in log order.
    std::vector<std::string> failed;
    std::vector<std::string> scheduled;
    std::vector<std::string> kept;
    size_t removed = 0;
    bool associationsChanged = false;  // a key under HKEY_CLASSES_ROOT was removed
};

// The image must have passed ValidateUninstallLog.
void RemoveRecordedItems(const uint8_t* image, size_t size, RemovalTarget& target, RemovalProgress progress,
                         void* progressContext, RemovalReport& report);

// The text of the first application-name record; empty when there is none.
std::string RecordedAppName(const uint8_t* image, size_t size);

// "X:\..." or "\\server\share..."; anything else is never touched, as a
// relative path would name whatever lies in the current directory.
bool IsFullPath(const char* path);

// Exit status: 0 everything was removed (folders and keys kept because they
// hold other items count as done), 2 something failed or waits for a restart.
int RemovalExitStatus(const RemovalReport& report);

// The closing message for the user.
std::string RemovalSummaryText(const std::string& appName, const RemovalReport& report);
