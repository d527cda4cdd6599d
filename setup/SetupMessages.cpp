#include "setup/SetupMessages.h"

#include <cstring>

static volatile LONG installErrors = 0;
static bool unattendedMessages = false;

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

}  // namespace

int ShowSetupMessage(HWND owner, const char* text, UINT type) {
    if (!unattendedMessages) return MessageBoxA(owner, text, "Setup", type);
    WriteToStandardError(text);
    return DefaultAnswer(type);
}

void SetUnattendedMessages(bool unattended) { unattendedMessages = unattended; }

void ShowInstallError(HWND owner, const char* text) {
    InterlockedIncrement(&installErrors);
    ShowSetupMessage(owner, text, MB_OK | MB_ICONEXCLAMATION);
}

bool InstallErrorShown() { return installErrors != 0; }
void ResetInstallErrors() { InterlockedExchange(&installErrors, 0); }

int ComputeExitStatus(bool finished) {
    if (!finished) return ExitNotFinished;
    return InstallErrorShown() ? ExitFinishedWithErrors : ExitFinished;
}
