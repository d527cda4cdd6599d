#include <windows.h>

#include <cstdlib>

#include "setup/CommandLine.h"
#include "setup/InstallSettings.h"
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
    char modulePath[kPathBufferSize] = {};
    DWORD length = GetModuleFileNameA(nullptr, modulePath, kPathBufferSize);
    if (length > 0 && length < kPathBufferSize) {
        CutAtLastSeparator(modulePath);
        SetCurrentDirectoryA(modulePath);
    }
    ReadSetupDatFile("SETUP.DAT", config);
    ParseCommandLine(commandLine, config);

    bool finished = RunSetupWizard(instance, config);
    if (!config.quiet && finished && !config.readme.IsEmpty()) OpenReadme(config.readme.Get(), installedDir.Get());
    return ComputeExitStatus(finished);
}
