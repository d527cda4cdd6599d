#include "setup/Startup.h"

#include <shellapi.h>

#include <cstring>

bool RestrictDllSearchToSystem() {
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return false;
    FARPROC entry = GetProcAddress(kernel, "SetDefaultDllDirectories");
    // Through void* to silence the cast warning: the signature is the documented one.
    SetDefaultDllDirectoriesFn setDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(entry));
    return setDirectories && setDirectories(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
}

void CutAtLastSeparator(char* path) {
    char* cut = nullptr;
    for (char* at = path; *at; ++at) {
        if (*at == '\\' || *at == '/' || *at == ':') cut = at;
    }
    if (cut) *cut = '\0';
}

void OpenReadme(const char* readme, const char* directory) {
    SetCurrentDirectoryA(directory);
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_DDEWAIT;
    info.lpFile = readme;
    info.lpDirectory = directory;
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
}
