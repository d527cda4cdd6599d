#include <cstring>

#include "install/ExtractArchive.h"
#include "setup/InstallSettings.h"
#include "setup/InstallationSet.h"
#include "setup/NameRules.h"
#include "setup/PathHelpers.h"
#include "setup/SetupMessages.h"
#include "shell/ComposedText.h"
#include "shell/ProgramsFolder.h"
#include "shell/RegisteredLog.h"
#include "shell/Sha256.h"
#include "shell/UninstallLogDecoding.h"
#include "shell/UninstallLogReader.h"
#include "shell/UninstallLogName.h"
#include "shell/UninstallRecord.h"

namespace {

const char kUninstaller[] = "VARNUINS.EXE";

const char kLogNotCreatedText[] =
    "Error saving uninstall information.  You may be low on disk space.  The uninstaller will not be able to "
    "remove all application files.";
const char kLogNotWrittenText[] =
    "Error writing uninstall information file.  You may be low on disk space.  The uninstaller will not be able "
    "to remove all application files.";
const char kUninstallerNotCopiedText[] = "Error copying file: VARNUINS.EXE.  You may be low on disk space.";

SetupString WindowsDirectory() {
    char directory[kPathBufferSize] = {};
    UINT length = GetWindowsDirectoryA(directory, sizeof directory);
    if (length >= sizeof directory) directory[0] = '\0';
    return SetupString(directory);
}

bool LogNameInUse(void* programDirectory, const char* name) {
    SetupString path = JoinedPath(static_cast<const char*>(programDirectory), name);
    return GetFileAttributesA(path.Get()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

// Only the log that the same Uninstall entry names, in the same folder, with
// the same application name and the digest the setup stored for it.
void InstallSettings::FindEarlierLog(const char* keyName, const char* displayName, const char* programDirectory) {
    earlierLogPath.Free();
    earlierLogImage.clear();
    UninstallEntryValues entry;
    if (!ReadUninstallEntry(keyName, entry) || !entry.logPath[0]) return;
    char folder[kPathBufferSize];
    CopyText(folder, sizeof folder, entry.logPath);
    char* separator = const_cast<char*>(FindLastChar(folder, '\\'));
    if (!separator) return;
    *separator = '\0';
    std::vector<uint8_t> image;
    if (!SamePath(folder, programDirectory) || !ReadLogImage(entry.logPath, image) ||
        !DigestMatches(image, entry.logDigest) || !ValidateUninstallLog(image.data(), image.size(), nullptr, nullptr))
        return;
    // Carried over into a log of this process's code page: its texts must be in it too.
    std::string refused;
    if (!DecodeUninstallLog(std::vector<uint8_t>(image), &image, &refused) ||
        RecordedAppName(image.data(), image.size()) != displayName)
        return;
    earlierLogPath.Assign(entry.logPath);
    earlierLogImage.swap(image);
}

void InstallSettings::PrepareUninstallInfo(const char* keyName, const char* displayName, const char* exeName,
                                           const char* programDirectory, char* logFileName) {
    FindEarlierLog(keyName, displayName, programDirectory);  // before its entry is overwritten
    uninstallKeyName.Assign(keyName);
    FifteenBitRandom random(GetTickCount());
    bool named = ChooseUninstallLogName(random, LogNameInUse, const_cast<char*>(programDirectory), logFileName);
    SetupString appPaths = Concatenated(kAppPathsKey, keyName);
    SetupString uninstall = Concatenated(kUninstallEntriesKey, keyName);
    WriteRegistryString(HKEY_LOCAL_MACHINE, appPaths.Get(), "", JoinedPath(programDirectory, exeName).Get(), 1);
    WriteRegistryString(HKEY_LOCAL_MACHINE, appPaths.Get(), "Path", programDirectory, 1);
    WriteRegistryString(HKEY_LOCAL_MACHINE, uninstall.Get(), "DisplayName", displayName, 1);
    SetupString logPath;  // none to hand to the uninstaller when no name was free
    if (named) {
        logPath = JoinedPath(programDirectory, logFileName);
        WriteRegistryString(HKEY_LOCAL_MACHINE, uninstall.Get(), "UninstallString",
                            UninstallStringValue(WindowsDirectory().Get(), logPath.Get()).Get(), 1);
    }
    WriteUninstallEntryDetails(uninstall.Get(), programDirectory, exeName, logPath.Get());
}

void InstallSettings::FinishUninstallInfo(const char* programDirectory, const char* applicationName,
                                          const char* logFileName) {
    if (!logFileName[0]) {  // every log name was taken: never overwrite another installation's log
        ShowInstallError(sheetWindow, kLogNotCreatedText);
        return;
    }
    SetupString uninstaller = JoinedPath(WindowsDirectory().Get(), kUninstaller);
    // Links there were reported by the extraction and the Start Menu step:
    // nothing goes through them.
    writeGuard.Trust(programDirectory);
    char programs[kPathBufferSize] = {};
    GetProgramsFolder(programs);
    if (programs[0]) writeGuard.Trust(programs);
    SetupString logPath = JoinedPath(programDirectory, logFileName);
    SetupString description = Concatenated("\"Uninstall ", applicationName, "\"");
    SetupString linkName = Concatenated("Uninstall ", LinkFileName(applicationName).Get(), ".lnk");
    CreateShortcut(uninstaller.Get(), logPath.Get(), JoinedPath(programDirectory, linkName.Get()).Get(),
                   description.Get());
    if (!startMenuPath.IsEmpty()) {
        CreateShortcut(uninstaller.Get(), logPath.Get(), JoinedPath(startMenuPath.Get(), linkName.Get()).Get(),
                       description.Get());
    }
    if (!uninstallKeyName.IsEmpty())
        WriteEstimatedSize(Concatenated(kUninstallEntriesKey, uninstallKeyName.Get()).Get());
    bool complete;
    {
        // A new file only: anything that took the name since it was chosen
        // is somebody else's.
        UnfollowedHandle log;
        if (writeGuard.CreateFile(logPath.Get(), log, false) != ExtractOk) {
            ShowInstallError(sheetWindow, kLogNotCreatedText);
            return;
        }
        complete = WriteLogAndDigest(log.Get(), logPath.Get(), applicationName);
    }
    // The earlier installation's records are in the new log now.
    if (complete && !earlierLogPath.IsEmpty()) DeleteFileA(earlierLogPath.Get());
    if (!CopySetFile(kUninstaller, uninstaller.Get())) ShowInstallError(sheetWindow, kUninstallerNotCopiedText);
}

// The digest covers exactly the records written, and goes into the
// Uninstall entry, which only administrators can change. False, after
// telling the user, when the log is not complete or its digest not stored.
bool InstallSettings::WriteLogAndDigest(HANDLE file, const char* logPath, const char* applicationName) {
    AddTextRecord(UninstallFile, logPath);
    AddTextRecord(UninstallAppName, applicationName);
    LogCreatedItems();  // this installation's own, before an earlier one's join them
    CarryOverEarlierLog();
    Sha256 digest;
    bool complete = WriteUninstallRecords(file, &digest);
    if (!complete) ShowInstallError(sheetWindow, kLogNotWrittenText);
    char digestText[kSha256TextSize];
    SetupString entry = Concatenated(kUninstallEntriesKey, uninstallKeyName.Get());
    if (uninstallKeyName.IsEmpty() || !digest.FinishText(digestText) ||
        SetRegistryString(HKEY_LOCAL_MACHINE, entry.Get(), kLogDigestValueName, digestText) != ERROR_SUCCESS) {
        ShowInstallError(sheetWindow, kLogNotCreatedText);
        return false;
    }
    return complete;
}
