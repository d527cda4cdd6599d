// The Uninstall entry's details: what Windows' list of installed programs
// shows and what package managers read to recognise an installation. The
// write of the entry's name has recorded its key already: these values go
// with it, and the uninstall log keeps the records of an entry without them.
#include <set>
#include <string>

#include "setup/ActivityLog.h"
#include "setup/InstallSettings.h"
#include "setup/PathHelpers.h"
#include "shell/ComposedText.h"
#include "shell/UninstallLogName.h"
#include "shell/UninstallRecord.h"

namespace {

std::string InstallDate() {
    SYSTEMTIME today;
    GetLocalTime(&today);
    char text[16];
    wsprintfA(text, "%04u%02u%02u", today.wYear, today.wMonth, today.wDay);
    return text;
}

std::string Folded(const char* text) {
    std::string folded(text);
    if (!folded.empty()) CharLowerBuffA(&folded[0], static_cast<DWORD>(folded.size()));
    return folded;
}

const char* RecordText(const uint8_t* record) { return reinterpret_cast<const char*>(record + kRecordHeaderSize); }

}  // namespace

// logPath is empty when no uninstall log could be named: then there is no
// command to give either.
void InstallSettings::WriteUninstallEntryDetails(const char* entryKey, const char* programDirectory,
                                                 const char* exeName, const char* logPath) const {
    HKEY machine = HKEY_LOCAL_MACHINE;
    if (logPath[0]) {
        char windows[kPathBufferSize] = {};
        UINT length = GetWindowsDirectoryA(windows, sizeof windows);
        if (length >= sizeof windows) windows[0] = '\0';
        SetRegistryString(machine, entryKey, "QuietUninstallString",
                          UninstallStringValue(windows, Concatenated("-q ", logPath).Get()).Get());
    }
    if (!displayVersion.IsEmpty()) SetRegistryString(machine, entryKey, "DisplayVersion", displayVersion.Get());
    if (!publisher.IsEmpty()) SetRegistryString(machine, entryKey, "Publisher", publisher.Get());
    SetRegistryString(machine, entryKey, "InstallLocation", programDirectory);
    SetRegistryString(machine, entryKey, "DisplayIcon", JoinedPath(programDirectory, exeName).Get());
    SetRegistryString(machine, entryKey, "InstallDate", InstallDate().c_str());
    // The setup can neither change nor repair an installation: no buttons that do nothing.
    SetRegistryDword(machine, entryKey, "NoModify", 1);
    SetRegistryDword(machine, entryKey, "NoRepair", 1);
}

void InstallSettings::WriteEstimatedSize(const char* entryKey) const {
    SetRegistryDword(HKEY_LOCAL_MACHINE, entryKey, "EstimatedSize", InstalledKilobytes());
}

DWORD InstallSettings::InstalledKilobytes() const {
    std::set<std::string> seen;
    unsigned long long bytes = 0;
    for (const UninstallRecordNode* node = uninstallRecords; node; node = node->next) {
        if (node->record[0] != UninstallFile || !seen.insert(Folded(RecordText(node->record))).second) continue;
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(RecordText(node->record), GetFileExInfoStandard, &data)) continue;
        bytes += (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    unsigned long long kilobytes = (bytes + 1023) / 1024;
    return kilobytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(kilobytes);
}

void InstallSettings::LogCreatedItems() const {
    std::set<std::string> files, folders, keys;
    for (const UninstallRecordNode* node = uninstallRecords; node; node = node->next) {
        const uint8_t* record = node->record;
        if (record[0] == UninstallFile) files.insert(Folded(RecordText(record)));
        if (record[0] == UninstallDirectory) folders.insert(Folded(RecordText(record)));
        if (record[0] == UninstallKey)
            keys.insert(std::to_string(LoadLittleEndian32(record + 8)) + Folded(RecordText(record) + 4));
    }
    LogActivity("Recorded for the uninstaller: " + std::to_string(files.size()) + " files, " +
                std::to_string(folders.size()) + " folders, " + std::to_string(keys.size()) + " registry keys");
}
