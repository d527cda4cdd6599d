#include <cstring>

#include "install/DirectoryChain.h"
#include "install/ExtractArchive.h"
#include "install/ExtractMessages.h"
#include "install/ProgressPage.h"
#include "resource.h"
#include "setup/InstallSettings.h"
#include "setup/SetupMessages.h"

namespace {

ProgressPage* PageOf(void* context) { return static_cast<ProgressPage*>(context); }

void CreateDestinationLevel(void* context, const char* level) {
    PageOf(context)->settings->CreateDirectoryLogged(level, FALSE);
}

void OnProgressRange(void* context, uint32_t steps) { PageOf(context)->SetProgressRange(steps); }
void OnProgressStep(void* context) { PageOf(context)->StepProgress(); }
int OnDirectory(void* context, const char* path) { return PageOf(context)->CreateMemberDirectory(path); }
void OnFile(void* context, const char* path, int keep) { PageOf(context)->RecordExtractedFile(path, keep); }

}  // namespace

// Every member reports every level of its folder; a level already handled in
// this extraction exists and is recorded, so asking again would only cost a
// file-system query and a search of the uninstall records per member.
int ProgressPage::CreateMemberDirectory(const char* path) {
    if (directoryMemo.Covers(path)) return 0;
    int result = settings->CreateDirectoryLogged(path, TRUE);
    if (result == 0) directoryMemo.Remember(path);
    return result;
}

void ProgressPage::ExtractProgramFiles(const char* archiveName, const char* destination) {
    HWND bar = GetDlgItem(window, IDC_PROGRESS_BAR);
    HWND status = GetDlgItem(window, IDC_COPYING_TEXT);
    ShowWindow(bar, SW_SHOW);
    ShowWindow(status, SW_SHOW);
    directoryMemo = DirectoryMemo();
    // A destination that does not fit the path buffers is refused as the
    // disk-writing failure it would otherwise turn into.
    int result = ExtractCreateError;
    if (ForEachDirectoryLevel(destination, CreateDestinationLevel, this)) {
        const ExtractCallbacks handlers = {OnProgressRange, OnProgressStep, OnDirectory, OnFile};
        result = ExtractArchive(archiveName, destination, handlers, this);
        FlushProgress();
    }
    if (result != ExtractOk) {
        SetDlgItemTextA(window, IDC_RESULT_LINE, kSetupNotCompletedLine);
        ShowInstallError(wizardSheet, ExtractFailureMessage(result));
    }
    ShowWindow(bar, SW_HIDE);
    ShowWindow(status, SW_HIDE);
}
