#include <windows.h>

#include <cstdlib>

#include "setup/CommandLine.h"
#include "setup/InstallSettings.h"
#include "setup/InstallationSet.h"
#include "setup/PathHelpers.h"
#include "setup/SetupDatFile.h"
#include "setup/SetupMessages.h"
#include "setup/SetupWizard.h"
#include "setup/Startup.h"

static void FreeInstalledDir() { installedDir.Free(); }

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    RestrictDllSearchToSystem();  // before anything can load a DLL planted beside us
    std::atexit(FreeInstalledDir);

    SetupConfig config;
    SetOrigin origin = OpenInstallationSet();  // before any file of the set is read
    MakeProgramFolderCurrent();
    if (origin != SetOrigin::DamagedBundle) ReadSetupDatFile("SETUP.DAT", config);
    ParseCommandLine(commandLine, config);
    SetUnattendedMessages(config.unattended);
    if (origin == SetOrigin::DamagedBundle) {  // a cut or damaged download: nothing is written
        ShowSetupMessage(nullptr, kDamagedBundleText, MB_OK | MB_ICONEXCLAMATION);
        return ExitNotFinished;
    }

    bool finished = RunSetupWizard(instance, config);
    if (!config.quiet && finished && !config.readme.IsEmpty()) OpenReadme(config.readme.Get(), installedDir.Get());
    return ComputeExitStatus(finished);
}
