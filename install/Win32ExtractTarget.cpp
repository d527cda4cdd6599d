#include "install/Win32ExtractTarget.h"

#include <shlobj.h>

#include "install/ExtractArchive.h"
#include "install/SpecialFolder.h"
#include "setup/SetupMessages.h"

namespace {

// A deployment tool must tell a full disk from other write errors.
void NoteWhetherDiskFull() {
    DWORD error = GetLastError();
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) NoteExitCause(ExitDiskFull);
}

}  // namespace

bool Win32ExtractTarget::FileExists(const char* path) {
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    missing_ = file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND ? path : "";
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

// A file just found missing is created without looking for one to replace:
// one that appeared since then makes the creation fail, never a write
// into it.
int Win32ExtractTarget::CreateOutput(const char* path) {
    bool justMissing = !missing_.empty() && missing_ == path;
    missing_.clear();
    int result = guard_.CreateFile(path, output_, !justMissing);
    if (result == ExtractCreateError) NoteWhetherDiskFull();
    return result;
}

bool Win32ExtractTarget::WriteOutput(const void* data, uint32_t length) {
    DWORD written = 0;
    bool wrote = WriteFile(output_.Get(), data, length, &written, nullptr) != 0;
    if (wrote && written == length) return true;
    if (wrote)
        NoteExitCause(ExitDiskFull);  // a short write to a local file: the disk is full
    else
        NoteWhetherDiskFull();
    return false;
}

void Win32ExtractTarget::CloseOutput() { output_.Close(); }

int Win32ExtractTarget::GetDocumentsFolder(char* buffer) { return GetSpecialFolderPath(buffer, CSIDL_PERSONAL); }

bool Win32ExtractTarget::IsLink(const char* path) { return guard_.LeadsElsewhere(path); }
