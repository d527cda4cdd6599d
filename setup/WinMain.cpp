#include <windows.h>

#include <cstdlib>
#include <string>

#include "setup/ActivityLog.h"
#include "setup/CommandLine.h"
#include "setup/InstallSettings.h"
#include "setup/InstallationLock.h"
#include "setup/InstallationSet.h"
#include "setup/PathHelpers.h"
#include "setup/SetupDatFile.h"
#include "setup/SetupMessages.h"
#include "setup/SetupWizard.h"
#include "setup/Startup.h"
#include "shell/ComposedText.h"

static void FreeInstalledDir() { installedDir.Free(); }

namespace {

// A relative -l path names a file in the folder setup.exe was started in,
// not in the set's folder that is current by the time the line is read.
void StartActivityLog(const char* path, const char* startDirectory) {
    bool relative = path[0] != '\\' && path[0] != '/' && !(path[0] && path[1] == ':');
    SetupString full = relative && startDirectory[0] ? JoinedPath(startDirectory, path) : SetupString(path);
    ActivityLogResult result = OpenActivityLog(full.Get());
    if (result != ActivityLogOpened)
        ShowSetupMessage(nullptr, ActivityLogWarning(path, result).c_str(), MB_OK | MB_ICONWARNING);
}

int Finish(int status) {
    LogActivity("Setup ended with exit status " + std::to_string(status));
    CloseActivityLog();
    return status;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    RestrictDllSearchToSystem();  // before anything can load a DLL planted beside us
    std::atexit(FreeInstalledDir);

    SetupConfig config;
    char startDirectory[kPathBufferSize] = {};
    GetCurrentDirectoryA(sizeof startDirectory, startDirectory);
    SetOrigin origin = OpenInstallationSet();  // before any file of the set is read
    MakeProgramFolderCurrent();
    if (origin != SetOrigin::DamagedBundle) ReadSetupDatFile("SETUP.DAT", config);
    ParseCommandLine(commandLine, config);
    if (config.quiet) config.quietDirUnrepresentable.Assign(UnrepresentableText(GetCommandLineW(), GetACP()).c_str());
    SetUnattendedMessages(config.unattended);
    SetQuietMessages(config.quiet);
    if (!config.logFile.IsEmpty()) StartActivityLog(config.logFile.Get(), startDirectory);
    char setFolder[kPathBufferSize] = {};
    GetCurrentDirectoryA(sizeof setFolder, setFolder);
    LogActivity(std::string("Setup started in ") + setFolder + " with the command line: " +
                (commandLine ? commandLine : ""));
    if (config.commandLineProblem) {
        std::string text = std::string(config.commandLineProblem) + "  Nothing was installed.";
        ShowSetupMessage(nullptr, text.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return Finish(ExitInvalidCommandLine);
    }
    if (origin == SetOrigin::DamagedBundle) {  // a cut or damaged download: nothing is written
        ShowSetupMessage(nullptr, kDamagedBundleText, MB_OK | MB_ICONEXCLAMATION);
        return Finish(ExitNotFinished);
    }
    InstallationLock lock;
    InstallationLockResult locked = lock.Acquire();
    if (locked != LockHeld) {
        ShowSetupMessage(nullptr, InstallationLockText(locked, "Setup").c_str(), MB_OK | MB_ICONEXCLAMATION);
        return Finish(ExitAnotherRunning);
    }

    WizardResult result = RunSetupWizard(instance, config);
    if (result == WizardDirectoryRefused) return Finish(ExitInvalidCommandLine);
    bool finished = result == WizardFinished;
    LogActivity(finished ? "The wizard closed after the installation"
                         : "The wizard closed before the installation finished");
    if (!config.quiet && finished && !config.readme.IsEmpty()) OpenReadme(config.readme.Get(), installedDir.Get());
    return Finish(ComputeExitStatus(finished));
}
