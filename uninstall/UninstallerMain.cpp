// VARNUINS.EXE: removes what an installation recorded in its uninstall log.
// Command line: "<program>" [-q] [-l FILE] <log path>. Exit statuses: the
// table of setup/ExitStatus.h (0, 1, 2, 3, 5 and 7 apply).
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "install/SpecialFolder.h"
#include "setup/ActivityLog.h"
#include "setup/ExitStatus.h"
#include "setup/InstallationLock.h"
#include "setup/NameChars.h"
#include "setup/Startup.h"
#include "shell/ProgramsFolder.h"
#include "shell/RegisteredLog.h"
#include "shell/UninstallLogDecoding.h"
#include "shell/UninstallLogReader.h"
#include "uninstall/ProgressWindow.h"
#include "uninstall/UninstallLogFile.h"
#include "uninstall/UninstallCommandLine.h"
#include "uninstall/UninstallRemover.h"
#include "uninstall/Win32RemovalTarget.h"

namespace {

const char* kCaption = "Uninstall";

// Quiet runs show no message box; a script that passed its standard error
// handle still gets the text there.
void Tell(bool quiet, const std::string& text, UINT icon) {
    LogActivity((quiet ? "Message suppressed: " : "Message shown: ") + text);
    if (!quiet) {
        MessageBoxA(nullptr, text.c_str(), kCaption, MB_OK | icon);
        return;
    }
    HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
    if (!errors || errors == INVALID_HANDLE_VALUE) return;
    std::string line = "VARNUINS: " + text + "\r\n";
    DWORD written = 0;
    WriteFile(errors, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

// A folder being removed must not be anyone's current directory, ours
// included (a shortcut may start us inside the program directory).
void LeaveCurrentDirectory() {
    char windowsDirectory[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windowsDirectory, sizeof windowsDirectory);
    if (length > 0 && length < sizeof windowsDirectory) SetCurrentDirectoryA(windowsDirectory);
}

bool UserAgrees(const std::string& appName) {
    std::string question = "Are you sure you want to remove " + appName + " and all of its components?";
    bool yes = MessageBoxA(nullptr, question.c_str(), kCaption, MB_YESNO | MB_ICONQUESTION) == IDYES;
    LogActivity("Message shown: " + question + (yes ? " [answered Yes]" : " [answered No]"));
    return yes;
}

std::string FolderWithoutTrailingBackslash(std::string folder) {
    while (EndsWithChar(folder.c_str(), folder.size(), '\\')) folder.pop_back();
    return folder;
}

// Where this uninstall may act: the folders the setup uses for this user,
// and the keys of the entry that names the log.
RemovalScope ScopeOf(const char* logPath, const std::string& entryName, const std::string& appName) {
    RemovalScope scope;
    scope.logPath = logPath;
    char folder[kPathBufferSize] = {};
    GetProgramsFolder(folder);
    scope.programsFolder = FolderWithoutTrailingBackslash(folder);
    folder[0] = '\0';
    if (GetSpecialFolderPath(folder, CSIDL_PERSONAL) == 0) scope.documentsFolder = FolderWithoutTrailingBackslash(folder);
    scope.entryName = entryName;
    scope.appName = appName;
    return scope;
}

int RemoveAll(HINSTANCE instance, const std::vector<uint8_t>& image, const RemovalScope& scope,
              const std::string& appName, bool quiet) {
    ProgressWindow progress;
    progress.Create(instance, appName.c_str());
    Win32RemovalTarget target;
    RemovalReport report;
    RemoveRecordedItems(image.data(), image.size(), scope, target, ProgressWindow::Update, &progress, report);
    progress.Destroy();
    if (report.associationsChanged) SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    LogActivity("Removed " + std::to_string(report.removed) + " items; " + std::to_string(report.failed.size()) +
                " could not be removed, " + std::to_string(report.scheduled.size()) + " go at the next restart, " +
                std::to_string(report.kept.size()) + " kept, " + std::to_string(report.outside.size()) +
                " outside the installation's reach");
    int status = RemovalExitStatus(report);
    if (!quiet || status != ExitFinished)
        Tell(quiet, RemovalSummaryText(appName, report), status == ExitFinished ? MB_ICONINFORMATION : MB_ICONEXCLAMATION);
    return status;
}

int Finish(int status) {
    LogActivity("The uninstaller ended with exit status " + std::to_string(status));
    CloseActivityLog();
    return status;
}

// A relative -l path, like the uninstall log's, names a file in the folder
// the uninstaller was started in.
void StartActivityLog(const UninstallCommand& command) {
    if (!command.activityLog[0]) return;
    ActivityLogResult result = OpenActivityLog(command.activityLog);
    if (result != ActivityLogOpened)
        Tell(command.quiet, ActivityLogWarning(command.activityLog, result), MB_ICONWARNING);
}

int RunUninstall(HINSTANCE instance, const UninstallCommand& command) {
    // A relative path names a file in the folder we were started in.
    char logPath[kPathBufferSize];
    if (!FullPathOf(command.logPath, logPath, sizeof logPath)) {
        Tell(command.quiet, "The path of the uninstall log is too long.  Nothing was removed.", MB_ICONEXCLAMATION);
        return ExitInvalidCommandLine;
    }
    LeaveCurrentDirectory();
    InstallationLock lock;
    InstallationLockResult locked = lock.Acquire();
    if (locked != LockHeld) {
        Tell(command.quiet, InstallationLockText(locked, "the uninstaller"), MB_ICONEXCLAMATION);
        return ExitAnotherRunning;
    }
    std::vector<uint8_t> image;
    std::string entryName, problem;
    if (!LoadUninstallLog(logPath, image, entryName, problem)) {
        Tell(command.quiet, problem, MB_ICONEXCLAMATION);
        return ExitNotFinished;
    }
    std::string refused;
    if (!DecodeUninstallLog(std::vector<uint8_t>(image), &image, &refused)) {
        Tell(command.quiet, "The uninstall log names an item that this version of Windows cannot use: " + refused +
                                ".  It needs Windows 10 version 1903 or later.  Nothing was removed.",
             MB_ICONEXCLAMATION);
        return ExitNotFinished;
    }
    std::string recordedName = RecordedAppName(image.data(), image.size());
    std::string appName = recordedName.empty() ? "this application" : recordedName;
    LogActivity("Uninstall log " + std::string(logPath) + " of " + appName);
    if (!command.quiet && !UserAgrees(appName)) return ExitNotFinished;
    return RemoveAll(instance, image, ScopeOf(logPath, entryName, recordedName), appName, command.quiet);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystem();  // before anything can load a DLL planted beside us
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    UninstallCommand command;
    UninstallCommandStatus parsed = ParseUninstallCommandLine(GetCommandLineA(), command);
    StartActivityLog(command);
    LogActivity(std::string("The uninstaller started with the command line: ") + GetCommandLineA());
    switch (parsed) {
    case UninstallCommandOk: break;
    case UninstallCommandNoLog:
        Tell(command.quiet,
             "No uninstall log was given.  Usage: VARNUINS.EXE [-q] [-l LOGFILE] <uninstall log file>",
             MB_ICONEXCLAMATION);
        return Finish(ExitInvalidCommandLine);
    case UninstallCommandPathTooLong:
        Tell(command.quiet, "The path of the uninstall log is too long.  Nothing was removed.", MB_ICONEXCLAMATION);
        return Finish(ExitInvalidCommandLine);
    case UninstallCommandNoActivityLog:
        Tell(command.quiet, "The -l switch needs the name of a log file after it.  Nothing was removed.",
             MB_ICONEXCLAMATION);
        return Finish(ExitInvalidCommandLine);
    }
    return Finish(RunUninstall(instance, command));
}
