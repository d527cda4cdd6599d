#pragma once
#include <windows.h>

#include "setup/ExitStatus.h"

// Every message box of the setup goes through here (caption "Setup"). An
// unattended run shows none, since nobody is there to answer: the text goes
// to the standard error handle when the caller gave one, and the box answers
// with its default button. Either way the text and answer go to the -l log.
int ShowSetupMessage(HWND owner, const char* text, UINT type);
void SetUnattendedMessages(bool unattended);
// Quiet (-q): installation errors go to standard error as well as to their box.
void SetQuietMessages(bool quiet);

// Shows an installation step's error (caption "Setup", exclamation, OK) and
// remembers that one was shown, for the exit status.
void ShowInstallError(HWND owner, const char* text);
bool InstallErrorShown();
LONG InstallErrorCount();
void ResetInstallErrors();

// A cause a deployment tool must tell from other errors (ExitDiskFull,
// ExitFileInUse); the installation goes on as for any error.
void NoteExitCause(ExitStatus cause);
// Finished: a noted disk full before a file in use before any other error.
int ComputeExitStatus(bool finished);
