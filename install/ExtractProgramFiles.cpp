#include <cstring>
#include <string>
#include <vector>

#include "install/DirectoryChain.h"
#include "install/ExtractArchive.h"
#include "install/ExtractMessages.h"
#include "install/ProgressPage.h"
#include "resource.h"
#include "setup/InstallSettings.h"
#include "setup/SetupMessages.h"
#include "shell/UninstallLogMerge.h"

namespace {

ProgressPage* PageOf(void* context) { return static_cast<ProgressPage*>(context); }

void CreateDestinationLevel(void* context, const char* level) {
    PageOf(context)->settings->CreateDirectoryLogged(level, FALSE);
}

void OnProgressRange(void* context, uint32_t steps) { PageOf(context)->SetProgressRange(steps); }
void OnProgressStep(void* context) { PageOf(context)->StepProgress(); }
int OnDirectory(void* context, const char* path) { return PageOf(context)->CreateMemberDirectory(path); }
int OnFile(void* context, const char* path, int keep) { return PageOf(context)->RecordExtractedFile(path, keep); }
int OnExistingFile(void* context, const char* path) { return PageOf(context)->ReplaceExistingFile(path); }

// The list stops here, so that the message box stays on the screen.
constexpr size_t kMaxListedFiles = 15;

std::string KeptFilesText(const std::vector<std::string>& files) {
    std::string text = "These files were on your disk before Setup ran.  Setup left them as they were and did not "
                       "install its own:";
    for (size_t i = 0; i < files.size() && i < kMaxListedFiles; ++i) text += "\r\n" + files[i];
    if (files.size() > kMaxListedFiles) text += "\r\n(and " + std::to_string(files.size() - kMaxListedFiles) + " more)";
    return text;
}

}  // namespace

// Every member reports every level of its folder; a level already handled in
// this extraction exists and is recorded, so asking again would only cost a
// file-system query and a search of the uninstall records per member. A
// folder that was there before is not recorded: the uninstaller leaves it.
int ProgressPage::CreateMemberDirectory(const char* path) {
    if (directoryMemo.Covers(path)) return 0;
    int result = settings->CreateDirectoryLogged(path, FALSE);
    if (result == 0) directoryMemo.Remember(path);
    return result;
}

void ProgressPage::NotCompleted() { SetDlgItemTextA(window, IDC_RESULT_LINE, kSetupNotCompletedLine); }

void ProgressPage::ExtractProgramFiles(const char* archiveName, const char* destination) {
    HWND bar = GetDlgItem(window, IDC_PROGRESS_BAR);
    HWND status = GetDlgItem(window, IDC_COPYING_TEXT);
    ShowWindow(bar, SW_SHOW);
    ShowWindow(status, SW_SHOW);
    directoryMemo = DirectoryMemo();
    keptFiles.clear();
    const std::vector<uint8_t>& earlier = settings->earlierLogImage;
    ownFiles = RecordedFiles(earlier.empty() ? nullptr : earlier.data(), earlier.size());
    // A destination that does not fit the path buffers is refused as the
    // disk-writing failure it would otherwise turn into.
    int result = ExtractCreateError;
    if (ForEachDirectoryLevel(destination, CreateDestinationLevel, this)) {
        const ExtractCallbacks handlers = {OnProgressRange, OnProgressStep, OnDirectory, OnFile, OnExistingFile};
        result = ExtractArchive(archiveName, destination, handlers, this);
        FlushProgress();
    }
    if (result == ExtractFileInUse) NoteExitCause(ExitFileInUse);
    if (result != ExtractOk) {
        NotCompleted();
        SetupString message(ExtractFailureMessage(result));
        if (result == ExtractNameNotRepresentable) {
            message.Append(" ");
            message.Append(RefusedMemberName());
        }
        ShowInstallError(wizardSheet, message.Get());
    }
    if (!keptFiles.empty()) ShowInstallError(wizardSheet, KeptFilesText(keptFiles).c_str());
    if (!keptFiles.empty() || result == ExtractLinkRefused) MarkStepSkipped();
    ShowWindow(bar, SW_HIDE);
    ShowWindow(status, SW_HIDE);
}

// Only a file that this installation wrote already (two members of one
// path) or that the earlier installation in this folder recorded is the
// product's own; anything else there is the user's, a saved game in the
// documents folder or a file in a folder they chose, and stays.
int ProgressPage::ReplaceExistingFile(const char* path) {
    if (ownFiles.count(FoldedPath(path))) return 1;
    keptFiles.push_back(path);
    return 0;
}
