#include "setup/SignatureCheck.h"

#include <softpub.h>
#include <wintrust.h>

#include "setup/SystemLibrary.h"

LONG VerifyFileSignature(HANDLE file, const wchar_t* path) {
    typedef LONG(WINAPI * VerifyTrustFn)(HWND, GUID*, LPVOID);
    VerifyTrustFn verifyTrust = SystemEntryAs<VerifyTrustFn>("wintrust.dll", "WinVerifyTrust");
    if (!verifyTrust) return TRUST_E_PROVIDER_UNKNOWN;
    WINTRUST_FILE_INFO fileInfo = {};
    fileInfo.cbStruct = sizeof fileInfo;
    fileInfo.pcwszFilePath = path;
    fileInfo.hFile = file;
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &fileInfo;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    HWND noWindow = static_cast<HWND>(INVALID_HANDLE_VALUE);
    LONG status = verifyTrust(noWindow, &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    verifyTrust(noWindow, &action, &data);
    return status;
}
