#include <objbase.h>

#include "install/ProgressPage.h"
#include "setup/InstallSettings.h"
#include "setup/PathHelpers.h"

namespace {

// The worker is a single-threaded apartment for the whole sequence: the
// shell link objects of the shortcut steps need one.
struct ComApartment {
    ComApartment() { CoInitialize(nullptr); }
    ~ComApartment() { CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

}  // namespace

void InstallSettings::RunInstall(ProgressPage* page, HWND sheet) {
    ComApartment apartment;
    char logFileName[kPathBufferSize] = {};
    PrepareUninstallInfo(mainExe.Get(), appName.Get(), mainExe.Get(), programDir.Get(), logFileName);
    installedDir.Assign(programDir.Get());
    page->ExtractProgramFiles("insfiles.vsa", programDir.Get());
    if (product & ProductGame) {
        InstallGameShell(page, sheet);
    } else {
        InstallProductShell(page, sheet);
    }
    page->NextStep();
    WriteSetupDoneFlags();
    FinishUninstallInfo(programDir.Get(), appName.Get(), logFileName);
    page->FinishSteps();
}
