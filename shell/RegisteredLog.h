#pragma once
// An installation's registration with Windows: its Uninstall entry under
// HKEY_LOCAL_MACHINE names the uninstall log ("UninstallString") and holds
// the SHA-256 digest of the log's bytes ("UninstallLogSHA256"). Only
// administrators can change that key, while the log lies in the program
// directory, which users may be able to write: the digest tells the log the
// setup wrote from a changed one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "setup/PathHelpers.h"
#include "shell/RegistryPlaces.h"
#include "shell/Sha256.h"

extern const char kLogDigestValueName[];

struct UninstallEntryValues {
    char logPath[kPathBufferSize] = {};    // from "UninstallString"; empty when missing or unusable
    char logDigest[kSha256TextSize] = {};  // empty when missing
    // Of the log while its installation runs or after it stopped short
    // ("UninstallJournalSHA256"); empty when missing.
    char journalDigest[kSha256TextSize] = {};
    char displayName[kPathBufferSize] = {};  // empty when missing or longer
};

// False when there is no entry of that name.
bool ReadUninstallEntry(const char* keyName, UninstallEntryValues& values);

// The entry of the list of installed programs whose "UninstallString" names
// this log (a full path); false when there is none. Either output may be null.
bool FindEntryOfLog(const char* path, std::string* entryName, UninstallEntryValues* values);

// The whole log file; false when it cannot be read or is far larger than
// any installation's log.
bool ReadLogImage(const char* path, std::vector<uint8_t>& image);

// Whether the image's digest is the recorded one (an empty one never matches).
bool DigestMatches(const std::vector<uint8_t>& image, const char* recordedDigest);

enum LogTrust { LogTrusted, LogDamaged, LogNoDigest, LogChanged };
// Whether a log file's image is the one its entry's digests vouch for. A log
// whose installation stopped short counts as far as its digest reaches. On
// LogTrusted the image holds the records newest first, as a completed log
// has them, and every record is sound.
LogTrust CheckLogImage(std::vector<uint8_t>& image, const UninstallEntryValues& entry);

// The full path Windows makes of a path, into a buffer of size bytes; false
// when it does not fit.
bool FullPathOf(const char* path, char* out, size_t size);
// Whether two paths name the same place once made full (letter case aside).
bool SamePath(const char* a, const char* b);
