#include <objbase.h>

#include <string>

#include "install/ProgressPage.h"
#include "setup/ActivityLog.h"
#include "setup/InstallSettings.h"
#include "setup/PathHelpers.h"
#include "setup/SetupMessages.h"

namespace {

// The worker is a single-threaded apartment for the whole sequence: the
// shell link objects of the shortcut steps need one.
struct ComApartment {
    ComApartment() { CoInitialize(nullptr); }
    ~ComApartment() { CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

// A step's result for the -l log: the messages it showed are logged as they
// appear, so the count tells which step they belong to.
class StepLog {
public:
    explicit StepLog(const char* name) : name_(name), errors_(InstallErrorCount()) { LogActivity(name_ + ": started"); }
    void End(const char* done = "done") {
        LONG errors = InstallErrorCount() - errors_;
        LogActivity(name_ + ": " + (errors ? "reported " + std::to_string(errors) + " error(s)" : std::string(done)));
    }

private:
    std::string name_;
    LONG errors_;
};

}  // namespace

void InstallSettings::RunInstall(ProgressPage* page, HWND sheet) {
    ComApartment apartment;
    LogActivity(std::string("Installing ") + appName.Get() + " into " + programDir.Get());
    char logFileName[kPathBufferSize] = {};
    bool prepared = PrepareUninstallInfo(mainExe.Get(), appName.Get(), mainExe.Get(), programDir.Get(), logFileName);
    installedDir.Assign(programDir.Get());
    if (!prepared) {  // nothing could be recorded, so nothing is installed
        page->NotCompleted();
        page->FinishSteps();
        return;
    }
    StepLog files("Step 1, copying files");
    page->ExtractProgramFiles("insfiles.vsa", programDir.Get());
    files.End();
    // Steps 2 and 3 share one routine: the Start Menu and the associations.
    StepLog shell("Steps 2 and 3, Start Menu items and file associations");
    if (product & ProductGame) {
        InstallGameShell(page, sheet);
    } else {
        InstallProductShell(page, sheet);
    }
    bool associations = (product & ProductGame) || (options & OptionCreateAssociations);
    shell.End(associations ? "done" : "done, associations not chosen");
    page->NextStep();
    StepLog uninstall("Step 4, saving uninstall information");
    WriteSetupDoneFlags();
    FinishUninstallInfo(programDir.Get(), appName.Get(), logFileName);
    uninstall.End();
    page->FinishSteps();
}
