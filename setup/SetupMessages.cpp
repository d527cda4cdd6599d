#include "setup/SetupMessages.h"

#include <cstring>
#include <string>

#include "setup/ActivityLog.h"

static volatile LONG installErrors = 0;
static volatile LONG diskFull = 0, fileInUse = 0;
static bool unattendedMessages = false;
static bool quietMessages = false;

namespace {

void WriteToStandardError(const char* text) {
    HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
    if (!errors || errors == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(errors, "Setup: ", 7, &written, nullptr);
    WriteFile(errors, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
    WriteFile(errors, "\r\n", 2, &written, nullptr);
}

int DefaultAnswer(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_YESNO: return (type & MB_DEFMASK) == MB_DEFBUTTON2 ? IDNO : IDYES;
        case MB_OKCANCEL: return (type & MB_DEFMASK) == MB_DEFBUTTON2 ? IDCANCEL : IDOK;
        default: return IDOK;
    }
}

const char* AnswerName(int answer) {
    switch (answer) {
        case IDYES: return "Yes";
        case IDNO: return "No";
        case IDCANCEL: return "Cancel";
        case IDOK: return "OK";
        default: return "none";
    }
}

}  // namespace

int ShowSetupMessage(HWND owner, const char* text, UINT type) {
    int answer;
    if (!unattendedMessages) {
        answer = MessageBoxA(owner, text, "Setup", type);
        LogActivity(std::string("Message shown: ") + text + " [answered " + AnswerName(answer) + "]");
        return answer;
    }
    WriteToStandardError(text);
    answer = DefaultAnswer(type);
    LogActivity(std::string("Message suppressed: ") + text + " [taken as " + AnswerName(answer) + "]");
    return answer;
}

void SetUnattendedMessages(bool unattended) { unattendedMessages = unattended; }
void SetQuietMessages(bool quiet) { quietMessages = quiet; }

void ShowInstallError(HWND owner, const char* text) {
    InterlockedIncrement(&installErrors);
    // A script that ran -q reads what went wrong where it reads the exit status.
    if (quietMessages && !unattendedMessages) WriteToStandardError(text);
    ShowSetupMessage(owner, text, MB_OK | MB_ICONEXCLAMATION);
}

bool InstallErrorShown() { return installErrors != 0; }
LONG InstallErrorCount() { return installErrors; }
void ResetInstallErrors() {
    InterlockedExchange(&installErrors, 0);
    InterlockedExchange(&diskFull, 0);
    InterlockedExchange(&fileInUse, 0);
}

void NoteExitCause(ExitStatus cause) {
    if (cause == ExitDiskFull) InterlockedExchange(&diskFull, 1);
    if (cause == ExitFileInUse) InterlockedExchange(&fileInUse, 1);
}

int ComputeExitStatus(bool finished) {
    if (!finished) return ExitNotFinished;
    if (diskFull) return ExitDiskFull;
    if (fileInUse) return ExitFileInUse;
    return InstallErrorShown() ? ExitFinishedWithErrors : ExitFinished;
}
