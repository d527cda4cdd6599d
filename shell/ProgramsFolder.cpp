#include "shell/ProgramsFolder.h"

#include <windows.h>
#include <shlobj.h>

#include "setup/PathHelpers.h"
#include "setup/TextDecoding.h"

namespace {

bool WidePathOfPrograms(WCHAR* wide) {
    wide[0] = L'\0';
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator) return false;
    LPITEMIDLIST folder = nullptr;
    bool found = false;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &folder)) && folder) {
        found = SHGetPathFromIDListW(folder, wide) && wide[0];
        allocator->Free(folder);
    }
    allocator->Release();
    return found;
}

}  // namespace

// Through the wide call: the "A" one would put '?' for every character the
// process's code page lacks, and shortcuts would go to a folder that is not there.
bool GetProgramsFolder(char* path, std::string* unrepresentable) {
    path[0] = '\0';
    WCHAR wide[MAX_PATH];
    if (!WidePathOfPrograms(wide)) return false;
    std::string narrow;
    size_t length = static_cast<size_t>(lstrlenW(wide));
    if (NarrowExactly(wide, length, &narrow) && CopyText(path, kPathBufferSize, narrow.c_str())) return true;
    path[0] = '\0';
    if (unrepresentable) {
        char name[3 * MAX_PATH + 1] = {};
        int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, name, sizeof name, nullptr, nullptr);
        *unrepresentable = size > 0 ? DescribeUtf8Name(name, static_cast<size_t>(size - 1)) : std::string();
    }
    return false;
}
