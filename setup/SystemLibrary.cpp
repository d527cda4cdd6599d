#include "setup/SystemLibrary.h"

#include "setup/PathHelpers.h"

namespace {

constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

// Systems without the search flags refuse it as an invalid parameter; there
// the full path of the system folder's file does the same.
HMODULE LoadByFullPath(const char* name) {
    char system[kPathBufferSize];
    char path[kPathBufferSize];
    UINT length = GetSystemDirectoryA(system, sizeof system);
    if (length == 0 || length >= sizeof system) return nullptr;
    if (!JoinPath(path, sizeof path, system, name)) return nullptr;
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

HMODULE LoadSystemLibrary(const char* name) {
    HMODULE module = LoadLibraryExA(name, nullptr, kSearchSystem32);
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER) module = LoadByFullPath(name);
    return module;
}

FARPROC SystemLibraryEntry(const char* dll, const char* entry) {
    HMODULE module = LoadSystemLibrary(dll);
    return module ? GetProcAddress(module, entry) : nullptr;
}
