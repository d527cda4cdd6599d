#include "uninstall/UninstallLogFile.h"

#include <windows.h>

#include "shell/RegisteredLog.h"
#include "shell/UninstallLogReader.h"

namespace {

std::string Refusal(const char* path, const std::string& reason) {
    return std::string("The uninstall log \"") + path + "\" " + reason + ".  Nothing was removed.";
}

// The entry of the list of installed programs whose "UninstallString" names
// this log. Only administrators can change these keys.
bool FindEntryOfLog(const char* path, std::string& entryName, UninstallEntryValues& values) {
    HKEY entries;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallEntriesKey, 0, KEY_ENUMERATE_SUB_KEYS, &entries) != ERROR_SUCCESS)
        return false;
    bool found = false;
    char name[256];
    for (DWORD index = 0; !found; ++index) {
        DWORD length = sizeof name;
        LONG status = RegEnumKeyExA(entries, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) continue;  // not a name the setup writes
        if (status != ERROR_SUCCESS) break;
        found = ReadUninstallEntry(name, values) && values.logPath[0] && SamePath(values.logPath, path);
        if (found) entryName = name;
    }
    RegCloseKey(entries);
    return found;
}

}  // namespace

bool LoadUninstallLog(const char* path, std::vector<uint8_t>& image, std::string& entryName, std::string& problem) {
    if (!ReadLogImage(path, image)) {
        problem = Refusal(path, "cannot be read");
        return false;
    }
    UninstallLogError error;
    if (!ValidateUninstallLog(image.data(), image.size(), nullptr, &error)) {
        problem = Refusal(path, "is damaged at offset " + std::to_string(error.offset) + ": " + error.message);
        return false;
    }
    UninstallEntryValues entry;
    if (!FindEntryOfLog(path, entryName, entry)) {
        problem = Refusal(path, "belongs to no installed program: no entry of the list of installed programs names it");
        return false;
    }
    if (!entry.logDigest[0]) {
        problem = Refusal(path, "cannot be checked: its installation stored no digest of it");
        return false;
    }
    if (!DigestMatches(image, entry.logDigest)) {
        problem = Refusal(path, "was changed after the installation, so it cannot be trusted");
        return false;
    }
    return true;
}
