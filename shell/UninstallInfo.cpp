#include "setup/InstallSettings.h"
#include "setup/InstallationSet.h"
#include "setup/NameRules.h"
#include "setup/PathHelpers.h"
#include "setup/SetupMessages.h"
#include "shell/ComposedText.h"
#include "shell/UninstallLogName.h"
#include "shell/UninstallRecord.h"

namespace {

const char kAppPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
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

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (IsOpen()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

void InstallSettings::PrepareUninstallInfo(const char* keyName, const char* displayName, const char* exeName,
                                           const char* programDirectory, char* logFileName) {
    FifteenBitRandom random(GetTickCount());
    bool named = ChooseUninstallLogName(random, LogNameInUse, const_cast<char*>(programDirectory), logFileName);
    SetupString appPaths = Concatenated(kAppPathsKey, keyName);
    SetupString uninstall = Concatenated(kUninstallKey, keyName);
    WriteRegistryString(HKEY_LOCAL_MACHINE, appPaths.Get(), "", JoinedPath(programDirectory, exeName).Get(), 1);
    WriteRegistryString(HKEY_LOCAL_MACHINE, appPaths.Get(), "Path", programDirectory, 1);
    WriteRegistryString(HKEY_LOCAL_MACHINE, uninstall.Get(), "DisplayName", displayName, 1);
    if (!named) return;  // no log to hand to the uninstaller
    SetupString logPath = JoinedPath(programDirectory, logFileName);
    WriteRegistryString(HKEY_LOCAL_MACHINE, uninstall.Get(), "UninstallString",
                        UninstallStringValue(WindowsDirectory().Get(), logPath.Get()).Get(), 1);
}

void InstallSettings::FinishUninstallInfo(const char* programDirectory, const char* applicationName,
                                          const char* logFileName) {
    if (!logFileName[0]) {  // every log name was taken: never overwrite another installation's log
        ShowInstallError(sheetWindow, kLogNotCreatedText);
        return;
    }
    SetupString uninstaller = JoinedPath(WindowsDirectory().Get(), kUninstaller);
    SetupString logPath = JoinedPath(programDirectory, logFileName);
    SetupString description = Concatenated("\"Uninstall ", applicationName, "\"");
    SetupString linkName = Concatenated("Uninstall ", LinkFileName(applicationName).Get(), ".lnk");
    CreateShortcut(uninstaller.Get(), logPath.Get(), JoinedPath(programDirectory, linkName.Get()).Get(),
                   description.Get());
    if (!startMenuPath.IsEmpty()) {
        CreateShortcut(uninstaller.Get(), logPath.Get(), JoinedPath(startMenuPath.Get(), linkName.Get()).Get(),
                       description.Get());
    }
    {
        FileHandle log(CreateFileA(logPath.Get(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
        if (!log.IsOpen()) {
            ShowInstallError(sheetWindow, kLogNotCreatedText);
            return;
        }
        AddTextRecord(UninstallFile, logPath.Get());
        AddTextRecord(UninstallAppName, applicationName);
        if (!WriteUninstallRecords(log.Get())) ShowInstallError(sheetWindow, kLogNotWrittenText);
    }
    if (!CopySetFile(kUninstaller, uninstaller.Get())) ShowInstallError(sheetWindow, kUninstallerNotCopiedText);
}
