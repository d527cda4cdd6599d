#include "install/SpecialFolder.h"

#include <windows.h>
#include <shlobj.h>

#include "install/ExtractArchive.h"

int GetSpecialFolderPath(char* buffer, int csidl) {
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items))) return ExtractCreateError;
    // A folder without a file system path must not leave the buffer undefined.
    buffer[0] = '\0';
    BOOL found = SHGetPathFromIDListA(items, buffer);
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator))) {
        allocator->Free(items);
        allocator->Release();
    }
    return found ? 0 : ExtractCreateError;
}
