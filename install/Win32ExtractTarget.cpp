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

// A closer's item: an output file, or a slot with a write to do before it closes its file.
void FinishOutput(void* laterWrites, void* item) {
    LaterWrites& later = *static_cast<LaterWrites*>(laterWrites);
    if (later.IsSlot(item)) {
        later.Finish(item);
    } else {
        CloseHandle(static_cast<HANDLE>(item));
    }
}

}  // namespace

Win32ExtractTarget::Win32ExtractTarget() : closer_(FinishOutput, &later_, kOutputCloserThreads) {}

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

bool Win32ExtractTarget::WriteOutput(const void* data, uint32_t length) {
    if (WriteWhole(output_.Get(), data, length)) return true;
    NoteWhetherDiskFull();
    return false;
}

// Put off only where a closer will do it: without one, closing happens at
// once and so does the write.
bool Win32ExtractTarget::WriteWholeOutput(const void* data, uint32_t length) {
    held_ = closer_.Threads() ? later_.Hold(output_.Get(), data, length) : nullptr;
    return held_ || WriteOutput(data, length);
}

bool Win32ExtractTarget::SettleWrites() {
    closer_.Drain();
    if (!later_.Failed()) return true;
    SetLastError(later_.FailureCode());
    NoteWhetherDiskFull();
    return false;
}

// Only a member that failed is cut, and its write was never put off.
void Win32ExtractTarget::CutOutput() { SetEndOfFile(output_.Get()); }

// A held write goes to the closer with its file, which it writes before closing.
void Win32ExtractTarget::CloseOutput() {
    HANDLE handle = output_.Release();
    void* held = held_;
    held_ = nullptr;
    if (held) {
        closer_.Close(held);
    } else if (handle != INVALID_HANDLE_VALUE) {
        closer_.Close(handle);
    }
}

int Win32ExtractTarget::GetDocumentsFolder(char* buffer) { return GetSpecialFolderPath(buffer, CSIDL_PERSONAL); }

// A path just found missing leads nowhere; what appears there since then
// makes the creation fail (above).
bool Win32ExtractTarget::IsLink(const char* path) {
    if (!missing_.empty() && missing_ == path) return false;
    return guard_.LeadsElsewhere(path);
}
