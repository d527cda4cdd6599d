#include "install/Win32ExtractTarget.h"

#include <shlobj.h>

#include "install/ExtractArchive.h"
#include "install/OutputFile.h"
#include "install/SpecialFolder.h"
#include "setup/SetupMessages.h"

namespace {

// A deployment tool must tell a full disk from other write errors.
void NoteWhetherDiskFull() {
    DWORD error = GetLastError();
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) NoteExitCause(ExitDiskFull);
}

}  // namespace

Win32ExtractTarget::Win32ExtractTarget() : closer_(CloseOutputHandle, kOutputCloserThreads) {}

bool Win32ExtractTarget::FileExists(const char* path) {
    HANDLE file = OpenSettled(closer_, [&] {
        return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    });
    missing_ = file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND ? path : "";
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

// A file just found missing is created without looking for one to replace:
// one that appeared since then makes the creation fail, never a write
// into it. A file in use may be one of this extraction's own still waiting
// to be closed: once they are all closed, the creation is tried again.
int Win32ExtractTarget::CreateOutput(const char* path) {
    bool justMissing = !missing_.empty() && missing_ == path;
    missing_.clear();
    CloseOutput();
    int result = guard_.CreateFile(path, output_, !justMissing);
    if (result == ExtractFileInUse) {
        closer_.Drain();
        result = guard_.CreateFile(path, output_, !justMissing);
    }
    if (result == ExtractCreateError) NoteWhetherDiskFull();
    return result;
}

void Win32ExtractTarget::PlanOutput(uint32_t length) { SetOutputLength(output_.Get(), length); }

// A drive that fills up takes part of a block and reports success; only the
// write of the rest tells why.
bool Win32ExtractTarget::WriteOutput(const void* data, uint32_t length) {
    const char* rest = static_cast<const char*>(data);
    while (length > 0) {
        DWORD written = 0;
        if (!WriteFile(output_.Get(), rest, length, &written, nullptr) || written == 0 || written > length) {
            NoteWhetherDiskFull();
            return false;
        }
        rest += written;
        length -= written;
    }
    return true;
}

void Win32ExtractTarget::CutOutput() { SetEndOfFile(output_.Get()); }

void Win32ExtractTarget::CloseOutput() {
    HANDLE handle = output_.Release();
    if (handle != INVALID_HANDLE_VALUE) closer_.Close(handle);
}

int Win32ExtractTarget::GetDocumentsFolder(char* buffer) { return GetSpecialFolderPath(buffer, CSIDL_PERSONAL); }

// A path just found missing leads nowhere; what appears there since then
// makes the creation fail (above).
bool Win32ExtractTarget::IsLink(const char* path) {
    if (!missing_.empty() && missing_ == path) return false;
    return guard_.LeadsElsewhere(path);
}
