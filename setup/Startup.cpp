#include "setup/Startup.h"

#include <shellapi.h>

#include <cstring>
#include <vector>

#include "setup/SystemLibrary.h"
#include "setup/TextDecoding.h"

namespace {

// Loaded later by name by the system's own DLLs (the Common Controls' visual
// styles and what they draw with), which may not ask for the restricted
// search (Wine's delay loads do not): taken from the system folder first,
// the later loads find them loaded.
const char* const kPreloadedLibraries[] = {"uxtheme.dll", "msimg32.dll"};

}  // namespace

bool RestrictDllSearchToSystem() {
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return false;
    FARPROC entry = GetProcAddress(kernel, "SetDefaultDllDirectories");
    // Through void* to silence the cast warning: the signature is the documented one.
    SetDefaultDllDirectoriesFn setDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(entry));
    bool restricted = setDirectories && setDirectories(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
    for (const char* library : kPreloadedLibraries) LoadSystemLibrary(library);
    return restricted;
}

void CutAtLastSeparator(wchar_t* path) {
    wchar_t* cut = nullptr;
    for (wchar_t* at = path; *at; ++at) {
        if (*at == L'\\' || *at == L'/' || *at == L':') cut = at;
    }
    if (cut) *cut = L'\0';
}

bool MakeProgramFolderCurrent() {
    constexpr DWORD kLongPathSize = 32768;  // the longest name Windows gives a file
    std::vector<wchar_t> path(kLongPathSize);
    DWORD length = GetModuleFileNameW(nullptr, path.data(), kLongPathSize);
    if (length == 0 || length >= kLongPathSize) return false;
    CutAtLastSeparator(path.data());
    return SetCurrentDirectoryW(path.data()) != 0;
}

std::string UnrepresentableText(const wchar_t* text, unsigned codePage) {
    if (codePage == CP_UTF8 || !text) return std::string();
    BOOL usedDefault = FALSE;
    WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr, &usedDefault);
    if (!usedDefault) return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], size, nullptr, nullptr);
    return DescribeUtf8Name(utf8.data(), utf8.size() - 1);
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
