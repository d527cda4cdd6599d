#pragma once
#include <windows.h>

// WinVerifyTrust's result for the open file (its handle is what is read;
// the path only names it), without any window and without going to the
// network. wintrust.dll comes from the system folder; when it or the entry
// cannot be had, TRUST_E_PROVIDER_UNKNOWN.
LONG VerifyFileSignature(HANDLE file, const wchar_t* path);
