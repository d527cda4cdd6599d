#include "shell/RegisteredLog.h"

#include "setup/NameChars.h"

#include <windows.h>

#include <cstring>

#include "install/RecordedInstall.h"
#include "shell/UninstallLogName.h"
#include "shell/UninstallLogReader.h"

const char kLogDigestValueName[] = "UninstallLogSHA256";

namespace {

// Far beyond any installation's log; a larger file is not a log.
constexpr LONGLONG kMaxLogSize = 64LL << 20;

// A REG_SZ value that fits into size bytes with its NUL; false otherwise.
// The stored size counts the NUL when the writer stored one.
bool ReadStringValue(HKEY key, const char* name, char* out, size_t size) {
    DWORD type = 0, stored = static_cast<DWORD>(size);
    LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(out), &stored);
    bool terminated = status == ERROR_SUCCESS && stored > 0 && out[stored - 1] == '\0';
    if (status != ERROR_SUCCESS || type != REG_SZ || (!terminated && stored >= size)) {
        out[0] = '\0';
        return false;
    }
    if (!terminated) out[stored] = '\0';
    return true;
}

}  // namespace

bool ReadUninstallEntry(const char* keyName, UninstallEntryValues& values) {
    values = UninstallEntryValues();
    char keyPath[kPathBufferSize];
    if (!CopyText(keyPath, sizeof keyPath, kUninstallEntriesKey) || !AppendText(keyPath, sizeof keyPath, keyName))
        return false;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    char command[2 * kPathBufferSize];
    if (!ReadStringValue(key, "UninstallString", command, sizeof command) ||
        !LogPathOfUninstallString(command, values.logPath, sizeof values.logPath))
        values.logPath[0] = '\0';
    if (!ReadStringValue(key, kLogDigestValueName, values.logDigest, sizeof values.logDigest))
        values.logDigest[0] = '\0';
    if (!ReadStringValue(key, kJournalDigestValueName, values.journalDigest, sizeof values.journalDigest))
        values.journalDigest[0] = '\0';
    if (!ReadStringValue(key, "DisplayName", values.displayName, sizeof values.displayName))
        values.displayName[0] = '\0';
    RegCloseKey(key);
    return true;
}

// Only administrators can change these keys.
bool FindEntryOfLog(const char* path, std::string* entryName, UninstallEntryValues* values) {
    HKEY entries;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallEntriesKey, 0, KEY_ENUMERATE_SUB_KEYS, &entries) != ERROR_SUCCESS)
        return false;
    bool found = false;
    char name[256];
    UninstallEntryValues entry;
    for (DWORD index = 0; !found; ++index) {
        DWORD length = sizeof name;
        LONG status = RegEnumKeyExA(entries, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) continue;  // not a name the setup writes
        if (status != ERROR_SUCCESS) break;
        found = ReadUninstallEntry(name, entry) && entry.logPath[0] && SamePath(entry.logPath, path);
    }
    RegCloseKey(entries);
    if (found && entryName) *entryName = name;
    if (found && values) *values = entry;
    return found;
}

bool ReadLogImage(const char* path, std::vector<uint8_t>& image) {
    image.clear();
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= kMaxLogSize;
    if (ok) {
        image.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ok = image.empty() ||
             (ReadFile(file, image.data(), static_cast<DWORD>(image.size()), &got, nullptr) && got == image.size());
    }
    CloseHandle(file);
    return ok;
}

bool DigestMatches(const std::vector<uint8_t>& image, const char* recordedDigest) {
    char digest[kSha256TextSize];
    return recordedDigest[0] && Sha256Text(image.data(), image.size(), digest) && EqualsNoCase(digest, recordedDigest);
}

LogTrust CheckLogImage(std::vector<uint8_t>& image, const UninstallEntryValues& entry) {
    if (IsJournalImage(image.data(), image.size())) {
        Sha256 digest;
        std::vector<uint8_t> completed;
        switch (CheckJournal(image.data(), image.size(), entry.journalDigest, digest, completed)) {
        case JournalAccepted: image.swap(completed); return LogTrusted;
        case JournalDamaged: return LogDamaged;
        case JournalNoDigest: return entry.journalDigest[0] ? LogChanged : LogNoDigest;
        case JournalChanged: return LogChanged;
        }
    }
    if (!ValidateUninstallLog(image.data(), image.size(), nullptr, nullptr)) return LogDamaged;
    if (!entry.logDigest[0]) return LogNoDigest;
    return DigestMatches(image, entry.logDigest) ? LogTrusted : LogChanged;
}

bool FullPathOf(const char* path, char* out, size_t size) {
    DWORD length = GetFullPathNameA(path, static_cast<DWORD>(size), out, nullptr);
    if (length == 0 || length >= size) {
        out[0] = '\0';
        return false;
    }
    return true;
}

// "C:\dir\" and "C:\dir" name the same folder; "C:\" keeps its backslash.
static void DropTrailingBackslash(char* path) {
    size_t length = std::strlen(path);
    if (length > 3 && EndsWithChar(path, length, '\\')) path[length - 1] = '\0';
}

bool SamePath(const char* a, const char* b) {
    char fullA[kPathBufferSize], fullB[kPathBufferSize];
    if (!FullPathOf(a, fullA, sizeof fullA) || !FullPathOf(b, fullB, sizeof fullB)) return false;
    DropTrailingBackslash(fullA);
    DropTrailingBackslash(fullB);
    return EqualsNoCase(fullA, fullB);
}
