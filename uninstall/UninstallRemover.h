#pragma once
// Removes what an installation recorded, working through a validated
// uninstall log in file order (contents before their containers), within
// the places an installation writes to (RemovalScope). The system calls sit
// behind RemovalTarget, so the rules are plain code.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "uninstall/RemovalScope.h"

enum RemovalOutcome {
    RemovalDone,        // removed now
    RemovalAbsent,      // already gone: skipped silently
    RemovalKept,        // a folder or key that still holds other items, or an extension another program took over
                        // (an extension kept for another program's subkeys no longer names our type)
    RemovalScheduled,   // in use: removed at the next restart
    RemovalFailed,      // access denied or another error
    RemovalOutside,     // not a place the installation writes to: never touched
    RemovalInUse,       // in use, and a restart could not safely remove it: left for a second run
};

enum KeyValueState { KeyValueMissingKey, KeyValueText, KeyValueNone, KeyValueUnreadable };

class RemovalTarget {
public:
    // A file or shortcut, through a handle that reached exactly this path;
    // clears a read-only attribute first. A file in use (a sharing
    // violation) gives RemovalInUse.
    virtual RemovalOutcome RemoveFile(const char* path) = 0;
    // Schedules a file's removal at the next restart, by its path:
    // RemovalScheduled or RemovalFailed.
    virtual RemovalOutcome RemoveAtRestart(const char* path) = 0;
    // Whether an ordinary user could rename, replace or take over a folder
    // on the way to the item, from the drive's root to its parent; true
    // when that cannot be told.
    virtual bool UsersCanChangeWayTo(const char* path) = 0;
    // A folder, only when it is empty; never recursively.
    virtual RemovalOutcome RemoveFolder(const char* path) = 0;
    // A registry key, only when it has no subkeys.
    virtual RemovalOutcome RemoveKey(uint32_t rootKey, const char* keyPath) = 0;
    // Whether a folder on the way to the item, after the first trustedLength
    // characters of its path, is a link to somewhere else.
    virtual bool PassesThroughLink(const char* path, size_t trustedLength) = 0;
    // The text of a key's value (name "": its default), to see whose an
    // extension is now and what its content type holds.
    virtual KeyValueState ReadKeyValue(uint32_t rootKey, const char* keyPath, const char* name,
                                       std::string& value) = 0;
    // Sets a key's value to text, or deletes it when text is null.
    virtual RemovalOutcome SetKeyValue(uint32_t rootKey, const char* keyPath, const char* name,
                                       const char* text) = 0;

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
    std::vector<std::string> inUse;
    std::vector<std::string> kept;
    std::vector<std::string> outside;
    size_t removed = 0;
    bool associationsChanged = false;  // a key under HKEY_CLASSES_ROOT was removed
    // Something a second run can remove was left (in use, access denied):
    // the log and the Uninstall entry stay so that the run can be repeated.
    bool logKept = false;
};

// The image must have passed ValidateUninstallLog. The log file itself and
// the Uninstall entry go last, and only when nothing a second run could
// still remove is left.
void RemoveRecordedItems(const uint8_t* image, size_t size, const RemovalScope& scope, RemovalTarget& target,
                         RemovalProgress progress, void* progressContext, RemovalReport& report);

// Exit status: 0 everything was removed (folders and keys kept because they
// hold other items count as done), 2 something is left or was refused.
int RemovalExitStatus(const RemovalReport& report);

// The closing message for the user.
std::string RemovalSummaryText(const std::string& appName, const RemovalReport& report);
