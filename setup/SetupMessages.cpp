#include "setup/SetupMessages.h"

static volatile LONG installErrors = 0;

int ShowSetupMessage(HWND owner, const char* text, UINT type) { return MessageBoxA(owner, text, "Setup", type); }

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
