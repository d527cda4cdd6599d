#include <cstring>
#include <memory>

#include "install/ExtractArchive.h"
#include "install/ExtractMessages.h"
#include "install/Win32InstallSystem.h"
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
#include "setup/NameChars.h"

namespace {

const char kUninstaller[] = "VARNUINS.EXE";

const char kLogNotCreatedText[] =
    "Error saving uninstall information.  You may be low on disk space.  The uninstaller will not be able to "
    "remove all application files.";
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

SetupString FolderOf(const char* path) {
    const char* separator = FindLastChar(path, '\\');
    SetupString folder;
    if (separator) folder.Assign(path, static_cast<size_t>(separator - path));
    return folder;
}

// The entry of this application whose log lies in this folder, or else the
// first one no installation holds: an installation into another folder, or
// another application's in the same one, keeps its own.
SetupString ChooseEntryKey(const char* mainProgram, const char* displayName, const char* programDirectory) {
    SetupString free;
    for (unsigned number = 1; number <= kMaxEntryNumber; ++number) {
        SetupString name = EntryKeyName(mainProgram, number);
        UninstallEntryValues entry;
        bool exists = ReadUninstallEntry(name.Get(), entry);
        if (exists && entry.logPath[0] && SamePath(FolderOf(entry.logPath).Get(), programDirectory) &&
            std::strcmp(entry.displayName, displayName) == 0)
            return name;
        if ((!exists || !entry.logPath[0]) && free.IsEmpty()) free.Assign(name.Get());
    }
    return free.IsEmpty() ? SetupString(mainProgram) : free;
}

}  // namespace

// Only the log that the same Uninstall entry names, in the same folder, with
// the same application name and the digest the setup stored for it (that of
// the completed log, or of one whose installation stopped short).
void InstallSettings::FindEarlierLog(const char* keyName, const char* displayName, const char* programDirectory) {
    earlierLogPath.Free();
    earlierLogImage.clear();
    UninstallEntryValues entry;
    if (!ReadUninstallEntry(keyName, entry) || !entry.logPath[0]) return;
    std::vector<uint8_t> image;
    if (!SamePath(FolderOf(entry.logPath).Get(), programDirectory) || !ReadLogImage(entry.logPath, image) ||
        CheckLogImage(image, entry) != LogTrusted)
        return;
    // Carried over into a log of this process's code page: its texts must be in it too.
    std::string refused;
    if (!DecodeUninstallLog(std::vector<uint8_t>(image), &image, &refused) ||
        RecordedAppName(image.data(), image.size()) != displayName)
        return;
    earlierLogPath.Assign(entry.logPath);
    earlierLogImage.swap(image);
}

bool InstallSettings::PrepareUninstallInfo(const char* keyName, const char* displayName, const char* exeName,
                                           const char* programDirectory, char* logFileName) {
    SetupString entryName = ChooseEntryKey(keyName, displayName, programDirectory);
    FindEarlierLog(entryName.Get(), displayName, programDirectory);  // before its entry is overwritten
    uninstallKeyName.Assign(entryName.Get());
    FifteenBitRandom random(GetTickCount());
    if (!ChooseUninstallLogName(random, LogNameInUse, const_cast<char*>(programDirectory), logFileName)) {
        ShowInstallError(sheetWindow, kLogNotCreatedText);  // never overwrite another installation's log
        return false;
    }
    InstallPlan plan;
    plan.programDir = programDirectory;
    plan.logPath = JoinedPath(programDirectory, logFileName).Get();
    plan.entryKey = Concatenated(kUninstallEntriesKey, entryName.Get()).Get();
    plan.appPathsKey = Concatenated(kAppPathsKey, exeName).Get();
    plan.appPathsDefault = JoinedPath(programDirectory, exeName).Get();
    plan.displayName = displayName;
    plan.uninstallString = UninstallStringValue(WindowsDirectory().Get(), plan.logPath.c_str()).Get();
    plan.appName = appName.Get();
    plan.earlierRecords = earlierLogImage;
    // Before the entry names it: an installation stopped at any point can be removed.
    SetupString uninstaller = JoinedPath(WindowsDirectory().Get(), kUninstaller);
    bool uninstallerThere = GetFileAttributesA(uninstaller.Get()) != INVALID_FILE_ATTRIBUTES;
    uninstallerCopied = CopySetFile(kUninstaller, uninstaller.Get());
    installSystem.reset(new Win32InstallSystem(writeGuard));
    journalDigest.reset(new Sha256());
    run.reset(new RecordedInstall(*installSystem, *journalDigest, *this));
    if (run->Begin(plan)) {
        WriteUninstallEntryDetails(plan.entryKey.c_str(), programDirectory, exeName, plan.logPath.c_str());
        return true;
    }
    if (uninstallerCopied && !uninstallerThere) DeleteFileA(uninstaller.Get());  // nothing to uninstall
    ShowInstallError(sheetWindow, kLogNotCreatedText);
    return false;
}

void InstallSettings::FinishUninstallInfo(const char* programDirectory, const char* applicationName,
                                          const char* logFileName) {
    if (!logFileName[0] || !run || !run->Started()) return;  // reported when it was prepared
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
    // Whatever could not be recorded was not created; the log as far as it
    // got still removes everything that was.
    if (run->Broken() && !InstallErrorShown()) ShowInstallError(sheetWindow, ExtractFailureMessage(ExtractWriteError));
    bool completed = run->Finish(CompletedLog(logPath.Get(), applicationName));
    // The earlier installation's records are in the new log now.
    if (completed && !earlierLogPath.IsEmpty()) DeleteFileA(earlierLogPath.Get());
    if (!uninstallerCopied) ShowInstallError(sheetWindow, kUninstallerNotCopiedText);
}

// As the design has always written it: the application name first, then the
// log itself, then everything else newest first, the earlier installation's last.
std::vector<uint8_t> InstallSettings::CompletedLog(const char* logPath, const char* applicationName) {
    std::unique_ptr<RecordedInstall> recording;
    recording.swap(run);  // these two are in the log file already
    AddTextRecord(UninstallFile, logPath);
    AddTextRecord(UninstallAppName, applicationName);
    LogCreatedItems();  // this installation's own, before an earlier one's join them
    recording.swap(run);
    CarryOverEarlierLog();
    std::vector<uint8_t> image;
    for (const UninstallRecordNode* node = uninstallRecords; node; node = node->next)
        image.insert(image.end(), node->record, node->record + LoadLittleEndian32(node->record + 4));
    return image;
}
