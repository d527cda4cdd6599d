// VARNUINS.EXE: removes what an installation recorded in its uninstall log.
// Command line: "<program>" [-q] <log path>. Exit status: 0 everything was
// removed, 1 declined or the log was unusable or not the one the setup
// wrote, 2 some items remain or were refused.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "install/SpecialFolder.h"
#include "setup/Startup.h"
#include "shell/ProgramsFolder.h"
#include "shell/RegisteredLog.h"
#include "shell/UninstallLogReader.h"
#include "uninstall/ProgressWindow.h"
#include "uninstall/UninstallLogFile.h"
#include "uninstall/UninstallCommandLine.h"
#include "uninstall/UninstallRemover.h"
#include "uninstall/Win32RemovalTarget.h"

namespace {

const char* kCaption = "Uninstall";
enum { ExitRemoved = 0, ExitNotRemoved = 1, ExitIncomplete = 2 };

// Quiet runs show no message box; a script that passed its standard error
// handle still gets the text there.
void Tell(bool quiet, const std::string& text, UINT icon) {
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
    return MessageBoxA(nullptr, question.c_str(), kCaption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

std::string FolderWithoutTrailingBackslash(std::string folder) {
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
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
    int status = RemovalExitStatus(report);
    if (!quiet || status != ExitRemoved)
        Tell(quiet, RemovalSummaryText(appName, report), status == ExitRemoved ? MB_ICONINFORMATION : MB_ICONEXCLAMATION);
    return status;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystem();  // before anything can load a DLL planted beside us
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    UninstallCommand command;
    switch (ParseUninstallCommandLine(GetCommandLineA(), command)) {
    case UninstallCommandOk: break;
    case UninstallCommandNoLog:
        Tell(command.quiet, "No uninstall log was given.  Usage: VARNUINS.EXE [-q] <uninstall log file>",
             MB_ICONEXCLAMATION);
        return ExitNotRemoved;
    case UninstallCommandPathTooLong:
        Tell(command.quiet, "The path of the uninstall log is too long.  Nothing was removed.", MB_ICONEXCLAMATION);
        return ExitNotRemoved;
    }
    // A relative path names a file in the folder we were started in.
    char logPath[kPathBufferSize];
    if (!FullPathOf(command.logPath, logPath, sizeof logPath)) {
        Tell(command.quiet, "The path of the uninstall log is too long.  Nothing was removed.", MB_ICONEXCLAMATION);
        return ExitNotRemoved;
    }
    LeaveCurrentDirectory();
    std::vector<uint8_t> image;
    std::string entryName, problem;
    if (!LoadUninstallLog(logPath, image, entryName, problem)) {
        Tell(command.quiet, problem, MB_ICONEXCLAMATION);
        return ExitNotRemoved;
    }
    std::string recordedName = RecordedAppName(image.data(), image.size());
    std::string appName = recordedName.empty() ? "this application" : recordedName;
    if (!command.quiet && !UserAgrees(appName)) return ExitNotRemoved;
    return RemoveAll(instance, image, ScopeOf(logPath, entryName, recordedName), appName, command.quiet);
}
