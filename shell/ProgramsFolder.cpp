#include "shell/ProgramsFolder.h"

#include <windows.h>
#include <shlobj.h>

void GetProgramsFolder(char* path) {
    path[0] = '\0';
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator) return;
    LPITEMIDLIST folder = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &folder)) && folder) {
        if (!SHGetPathFromIDListA(folder, path)) path[0] = '\0';
        allocator->Free(folder);
    }
    allocator->Release();
}
