#include "install/Win32ExtractTarget.h"

#include <shlobj.h>

#include "install/ExtractArchive.h"
#include "install/SpecialFolder.h"

bool Win32ExtractTarget::FileExists(const char* path) {
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

int Win32ExtractTarget::CreateOutput(const char* path) {
    CloseOutput();
    output_ = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                          nullptr);
    if (output_ != INVALID_HANDLE_VALUE) return ExtractOk;
    return GetLastError() == ERROR_SHARING_VIOLATION ? ExtractFileInUse : ExtractCreateError;
}

bool Win32ExtractTarget::WriteOutput(const void* data, uint32_t length) {
    DWORD written = 0;
    return WriteFile(output_, data, length, &written, nullptr) && written == length;
}

void Win32ExtractTarget::CloseOutput() {
    if (output_ != INVALID_HANDLE_VALUE) CloseHandle(output_);
    output_ = INVALID_HANDLE_VALUE;
}

int Win32ExtractTarget::GetDocumentsFolder(char* buffer) { return GetSpecialFolderPath(buffer, CSIDL_PERSONAL); }
