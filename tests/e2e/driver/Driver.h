#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Script.h"
#include "SetupWindows.h"

// Runs a script against one setup process: starts it, follows its windows,
// presses buttons, answers dialogs and checks the outcome. Every event goes
// to the transcript on standard output.
class Driver {
public:
    Driver(DWORD stepTimeoutMs, std::string snapDirectory);
    ~Driver();

    // False at the first command that does not hold; the setup process is then ended.
    bool Run(const std::vector<Command>& commands);

private:
    typedef std::string (Driver::*Action)(const Command&);
    struct ActionEntry {
        const char* name;
        size_t minArgs;
        Action action;
    };
    static const ActionEntry kActions[];

    std::string Execute(const Command& command);

    // Waiting: condition polled until it holds or the step's deadline passes.
    // Message boxes nobody asked for, and the end of the setup, stop the wait.
    enum WaitFlags { WaitPlain = 0, AllowModal = 1, AllowExit = 2 };
    std::string WaitFor(const std::string& what, const std::function<bool()>& condition, int flags = WaitPlain);
    std::string UnexpectedWindows(const SetupWindows& windows);
    bool Exited() const;
    SetupWindows Windows() const;

    // Actions (one per script command).
    std::string Start(const Command&);
    std::string ExpectPage(const Command&);
    std::string ExpectPages(const Command&);
    std::string Next(const Command&);
    std::string Back(const Command&);
    std::string Cancel(const Command&);
    std::string WaitFinish(const Command&);
    std::string Finish(const Command&);
    std::string MessageBox(const Command&);
    std::string ExitSetup(const Command&);
    std::string Dialog(const Command&);
    std::string TypeId(const Command&);
    std::string ClickId(const Command&);
    std::string ExpectText(const Command&);
    std::string ExpectNoText(const Command&);
    std::string ExpectBackground(const Command&);
    std::string ExpectRunning(const Command&);
    std::string WaitExit(const Command&);
    std::string RunOther(const Command&);
    std::string Snap(const Command&);
    std::string ExpectFile(const Command&);
    std::string ExpectNoFile(const Command&);
    std::string WaitFile(const Command&);
    std::string ExpectFileText(const Command&);
    std::string ExpectReg(const Command&);
    std::string ExpectKey(const Command&);
    std::string ExpectNoKey(const Command&);
    std::string ExpectShortcut(const Command&);
    std::string DeleteKey(const Command&);
    std::string DeleteTree(const Command&);
    std::string SaveKey(const Command&);
    std::string Timeout(const Command&);
    std::string KillAfter(const Command&);
    std::string ReadLog(const Command&);
    std::string ExpectLog(const Command&);
    std::string ExpectLogLine(const Command&);
    std::string ExpectNoLog(const Command&);
    std::string ExpectNotRunning(const Command&);
    std::vector<std::string> RunningPrograms() const;
    std::string ShowShortcuts(const Command&);
    std::string ShowKey(const Command&);
    std::string ShowLog(const Command&);
    // What an ordinary user may do around an elevated setup (Tampering.cpp).
    std::string HoldForDelete(const Command&);
    std::string ReleaseFiles(const Command&);
    std::string WorkingFolder(const Command&);
    std::string StartSwapped(const Command&);
    std::string ExpectSameFile(const Command&);
    std::string ShowSignature(const Command&);
    std::string StartProcess(const Command& command, const std::function<std::string()>& beforeResume);

    std::string PressSheetButton(int buttonId, int pressCode, const char* name);
    std::string WaitForFinishButton(HWND& sheet);
    std::string WaitForSheet(HWND& sheet);
    HWND TargetWindow();
    std::string ExitStatusText() const;
    void Log(const std::string& line) const;
    void Stop();
    void ForgetProcess();

    DWORD stepTimeoutMs_;
    std::string snapDirectory_;

    PROCESS_INFORMATION process_ = {};
    HANDLE job_ = nullptr;  // setup.exe and the programs it starts (the readme)
    ULONGLONG resumedAt_ = 0;  // GetTickCount64 when setup.exe began to run
    std::vector<std::string> logLines_;
    HWND dialog_ = nullptr;  // target of type-id/click-id while it exists
    int lastPageIndex_ = -1;
    std::vector<HANDLE> heldFiles_;  // hold-for-delete, closed when the driver ends
    // Started from elsewhere by default: setup.exe must find its files by its own path.
    std::string workingFolder_ = "C:\\";
};

std::wstring Utf8ToWide(const std::string& text);
