#include "install/ProgressPage.h"

#include "shell/UninstallLogMerge.h"

#include <commctrl.h>

#include "resource.h"
#include "setup/InstallSettings.h"
#include "setup/SetupMessages.h"
#include "shell/UninstallRecord.h"

namespace {

const char kStartFailedText[] =
    "An error occurred starting the installation procedure.  Your system may be low on memory.  Try running Setup "
    "again after closing all other running applications.";

enum { ImageCurrent, ImageDone, ImageSkipped };
const int kMarkBitmapIds[] = {IDB_STEP_CURRENT, IDB_STEP_DONE, IDB_STEP_SKIPPED};
const int kLastStep = 8;

}  // namespace

HANDLE ProgressPage::StartWithCreateThread(LPTHREAD_START_ROUTINE entry, void* parameter) {
    return CreateThread(nullptr, 0, entry, parameter, 0, nullptr);
}

ProgressPage::ThreadStarter ProgressPage::startThread = ProgressPage::StartWithCreateThread;

ProgressPage::~ProgressPage() {
    // The sheet never closes under a running worker, but a sheet closed after
    // the install without Finish still leaves a handle to reap.
    WaitForWorker();
    for (HBITMAP image : markImages) {
        if (image) DeleteObject(image);
    }
}

DWORD WINAPI WorkerMain(LPVOID parameter) {
    ProgressPage* page = static_cast<ProgressPage*>(parameter);
    page->BeginSteps();
    page->settings->RunInstall(page, page->wizardSheet);
    return 0;
}

bool ProgressPage::WorkerRunning() const {
    return workerThread && WaitForSingleObject(workerThread, 0) == WAIT_TIMEOUT;
}

BOOL ProgressPage::OnNotify(NMHDR* header, WPARAM controlId) {
    switch (header->code) {
        case PSN_SETACTIVE:
            WizardPage::OnNotify(header, controlId);
            PostMessageA(header->hwndFrom, PSM_SETWIZBUTTONS, 0, PSWIZB_DISABLEDFINISH);
            EnableWindow(GetDlgItem(header->hwndFrom, IDCANCEL), FALSE);
            currentMark = 0;
            StartWorker(header->hwndFrom);
            return TRUE;
        case PSN_WIZFINISH:
            WaitForWorker();
            settings->outcome |= OutcomeFinished;
            return TRUE;
        case PSN_QUERYCANCEL:
            // Escape and the close box still reach the sheet while the worker
            // runs; closing then would free the settings under it.
            if (WorkerRunning()) {
                SetMessageResult(TRUE);
                return TRUE;
            }
            if (workerStartFailed) return TRUE;  // the sheet's own way out after the start failure: no question
            return WizardPage::OnNotify(header, controlId);
        default: return WizardPage::OnNotify(header, controlId);
    }
}

void ProgressPage::StartWorker(HWND sheetWindow) {
    workerThread = startThread(WorkerMain, this);
    if (workerThread) return;
    ShowSetupMessage(sheetWindow, kStartFailedText, MB_OK | MB_ICONEXCLAMATION);
    // A posted WM_DESTROY does not end a modal sheet everywhere (Wine keeps
    // its loop running); cancelling through the sheet does, unfinished.
    workerStartFailed = true;
    PostMessageA(sheetWindow, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

// Waits for the worker while still carrying out the window calls it sends,
// so that a worker in the middle of one cannot deadlock the wait.
void ProgressPage::WaitForWorker() {
    if (!workerThread) return;
    while (MsgWaitForMultipleObjects(1, &workerThread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(workerThread);
    workerThread = nullptr;
}

void ProgressPage::BeginSteps() {
    currentMark = 0;
    markFlags &= ~MarkSkipped;
    stepIndex = 1;
    UpdateStepMarks();
}

void ProgressPage::NextStep() {
    if (stepIndex < kLastStep) ++stepIndex;
    UpdateStepMarks();
}

void ProgressPage::MarkStepSkipped() { markFlags |= MarkSkipped; }

void ProgressPage::FinishSteps() {
    stepIndex = 0;
    UpdateStepMarks();
    ShowWindow(GetDlgItem(window, IDC_RESULT_LINE), SW_SHOW);
    PostMessageA(wizardSheet, PSM_SETTITLEA, 0, reinterpret_cast<LPARAM>("Setup Completed"));
    PostMessageA(wizardSheet, PSM_SETWIZBUTTONS, 0, PSWIZB_FINISH);
    // Unattended, nobody would press it: the sheet closes as soon as Finish is usable.
    if (settings->options & OptionUnattended) PostMessageA(wizardSheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
}

// The pictures are loaded once and kept for the page's lifetime: the static
// controls do not free images given to them with STM_SETIMAGE.
HBITMAP ProgressPage::MarkImage(int which) {
    if (!markImages[which]) {
        markImages[which] = static_cast<HBITMAP>(LoadImageA(
            settings->instance, MAKEINTRESOURCEA(kMarkBitmapIds[which]), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
    }
    return markImages[which];
}

void ProgressPage::UpdateStepMarks() {
    int newMark = stepIndex ? IDC_STEP_MARK_BASE + stepIndex : 0;
    if (currentMark) {
        HBITMAP image = MarkImage((markFlags & MarkSkipped) ? ImageSkipped : ImageDone);
        SendDlgItemMessageA(window, currentMark, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image));
    }
    markFlags &= ~MarkSkipped;
    if (newMark) {
        HWND mark = GetDlgItem(window, newMark);
        if (mark) {
            SendMessageA(mark, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(MarkImage(ImageCurrent)));
            ShowWindow(mark, SW_SHOW);
        }
    }
    currentMark = newMark;
}

void ProgressPage::SetProgressRange(unsigned steps) {
    HWND bar = GetDlgItem(window, IDC_PROGRESS_BAR);
    progressBar = bar;
    if (steps < 0xFFFF) {
        SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, steps + 1));
    } else {  // beyond the 16-bit range the bar would wrap; the 32-bit range keeps it true
        SendMessageA(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(steps < 0x7FFFFFFF ? steps + 1 : 0x7FFFFFFF));
    }
    SendMessageA(bar, PBM_SETSTEP, 1, 0);
    RECT client = {};
    GetClientRect(bar, &client);
    progressThrottle.Reset(steps + 1, static_cast<uint32_t>(client.right > 0 ? client.right : 0), GetTickCount());
}

// Every step is counted, but the bar is sent its position only when the
// change shows: a message to the page's thread per 32 KB chunk would take
// most of the install time under Wine. The position is posted: a sent
// message would hold the worker until the page has repainted the bar.
void ProgressPage::StepProgress() {
    if (progressThrottle.Step(GetTickCount()) && progressBar)
        PostMessageA(progressBar, PBM_SETPOS, progressThrottle.Position(), 0);
}

void ProgressPage::FlushProgress() {
    if (progressThrottle.Flush() && progressBar)
        PostMessageA(progressBar, PBM_SETPOS, progressThrottle.Position(), 0);
}

int ProgressPage::RecordExtractedFile(const char* path, int keep) {
    if (keep) return 0;
    if (!settings->AddTextRecord(UninstallFile, path)) return 1;
    ownFiles.insert(FoldedPath(path));
    return 0;
}
