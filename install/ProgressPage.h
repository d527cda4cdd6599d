#pragma once
#include <set>
#include <string>
#include <vector>

#include "install/DirectoryMemo.h"
#include "install/ProgressThrottle.h"
#include "ui/WizardPage.h"

// markFlags
enum : DWORD { MarkSkipped = 1 };

// The last page: starts the install worker when it becomes active, shows
// the steps and the progress bar while it runs, and waits for it at Finish.
// All operations but OnNotify run on the worker thread.
class ProgressPage : public WizardPage {
public:
    explicit ProgressPage(InstallSettings* installSettings) : WizardPage(installSettings) {}
    ~ProgressPage() override;

    BOOL OnNotify(NMHDR* header, WPARAM controlId) override;

    void BeginSteps();
    void NextStep();
    void MarkStepSkipped();
    void FinishSteps();
    // The result line reads that setup was not completed.
    void NotCompleted();
    void UpdateStepMarks();
    void SetProgressRange(unsigned steps);
    void StepProgress();
    // Shows the steps that StepProgress counted but did not draw yet.
    void FlushProgress();

    // The "Copying files onto your hard disk" step (install/ExtractProgramFiles.cpp).
    void ExtractProgramFiles(const char* archiveName, const char* destination);
    // Nonzero when the file could not be recorded: it is then not created.
    int RecordExtractedFile(const char* path, int keep);
    // The extraction's directory callback.
    int CreateMemberDirectory(const char* path);
    // The extraction's callback for a file that is there already: replaced
    // only when the earlier installation of the product made it.
    int ReplaceExistingFile(const char* path);

    // True while the worker thread exists and has not yet ended.
    bool WorkerRunning() const;

    int currentMark = 0;
    int stepIndex = 0;
    DWORD markFlags = 0;
    HANDLE workerThread = nullptr;

    // Starts the worker; tests replace it to see the start failure.
    using ThreadStarter = HANDLE (*)(LPTHREAD_START_ROUTINE entry, void* parameter);
    static HANDLE StartWithCreateThread(LPTHREAD_START_ROUTINE entry, void* parameter);
    static ThreadStarter startThread;

private:
    void StartWorker(HWND sheetWindow);
    void WaitForWorker();
    HBITMAP MarkImage(int which);

    HBITMAP markImages[3] = {};  // in progress, done, skipped
    bool workerStartFailed = false;
    ProgressThrottle progressThrottle;  // worker side only
    HWND progressBar = nullptr;         // worker side only
    DirectoryMemo directoryMemo;        // for one extraction, worker side only
    std::vector<std::string> keptFiles;  // the user's files left in place, worker side only
    std::set<std::string> ownFiles;      // folded paths the product made, earlier or in this run
};

DWORD WINAPI WorkerMain(LPVOID page);
