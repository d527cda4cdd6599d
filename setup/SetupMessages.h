#pragma once
#include <windows.h>

// Every message box of the setup goes through here (caption "Setup"). An
// unattended run shows none, since nobody is there to answer: the text goes
// to the standard error handle when the caller gave one, and the box answers
// with its default button.
int ShowSetupMessage(HWND owner, const char* text, UINT type);
void SetUnattendedMessages(bool unattended);

// Shows an installation step's error (caption "Setup", exclamation, OK) and
// remembers that one was shown, for the exit status.
void ShowInstallError(HWND owner, const char* text);
bool InstallErrorShown();
void ResetInstallErrors();

// Exit status for scripts: 0 finished without an error message, 1 closed
// before the installation finished, 2 finished but a step reported an error.
enum ExitStatus { ExitFinished = 0, ExitNotFinished = 1, ExitFinishedWithErrors = 2 };
int ComputeExitStatus(bool finished);
