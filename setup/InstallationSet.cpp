#include "setup/InstallationSet.h"

#include <cstring>
#include <memory>
#include <new>

#include "archive/BundleDirectory.h"
#include "setup/PathHelpers.h"

const char kDamagedBundleText[] =
    "The installation files in this Setup program are damaged or incomplete.  You should obtain a new copy of the "
    "Setup program.";

namespace {

HANDLE programFile = INVALID_HANDLE_VALUE;
BundleDirectory bundle;
SetOrigin origin = SetOrigin::Folder;

constexpr uint32_t kCheckBufferSize = 1024 * 1024;

bool FindBundledRange(const char* name, uint32_t* offset, uint32_t* length) {
    if (origin != SetOrigin::Bundle) return false;
    if (SameBundleName(name, "setup.exe")) {
        *offset = 0;
        *length = bundle.imageEnd;
        return true;
    }
    const BundleEntry* entry = bundle.Find(name);
    if (!entry) return false;
    *offset = entry->offset;
    *length = entry->size;
    return true;
}

SetOrigin CheckBundle() {
    DWORD high = 0, size = GetFileSize(programFile, &high);
    if (size == INVALID_FILE_SIZE || high != 0) return SetOrigin::Folder;
    Win32ArchiveSource whole;
    // Without memory to check it, the bundle cannot be trusted.
    if (!whole.OpenWindow(programFile, 0, size)) return SetOrigin::DamagedBundle;
    BundleState state = ReadBundleDirectory(whole, &bundle);
    if (state == BundleState::None) return SetOrigin::Folder;
    if (state == BundleState::Damaged) return SetOrigin::DamagedBundle;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kCheckBufferSize]);
    bool damaged = !buffer || FindDamagedEntry(whole, bundle, buffer.get(), kCheckBufferSize) != nullptr;
    return damaged ? SetOrigin::DamagedBundle : SetOrigin::Bundle;
}

bool WriteWindow(HANDLE out, uint32_t offset, uint32_t length) {
    Win32ArchiveSource source;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kCheckBufferSize]);
    if (!buffer || !source.OpenWindow(programFile, offset, length)) return false;
    for (uint32_t left = length; left;) {
        uint32_t chunk = left < kCheckBufferSize ? left : kCheckBufferSize;
        DWORD written = 0;
        if (!source.ReadFully(buffer.get(), chunk) || !WriteFile(out, buffer.get(), chunk, &written, nullptr) ||
            written != chunk)
            return false;
        left -= chunk;
    }
    return true;
}

// Never leaves a cut program; a file it could not open it does not touch.
bool WriteWindowTo(const char* path, uint32_t offset, uint32_t length) {
    HANDLE out = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    bool complete = WriteWindow(out, offset, length);
    complete = CloseHandle(out) && complete;
    if (!complete) DeleteFileA(path);
    return complete;
}

// Through a temporary file beside the destination, so that an existing file
// (the uninstaller other installations use) is replaced only by a complete
// copy, with a rename on the same volume. Where no temporary name fits, the
// copy goes straight to the destination, as CopyFileA's would.
bool CopyWindow(uint32_t offset, uint32_t length, const char* destination) {
    char directory[kPathBufferSize];
    char temporary[MAX_PATH];
    char* slash = nullptr;
    if (CopyText(directory, sizeof directory, destination)) slash = std::strrchr(directory, '\\');
    if (slash) slash[1] = '\0';
    if (!slash || !GetTempFileNameA(directory, "vsu", 0, temporary)) return WriteWindowTo(destination, offset, length);
    if (WriteWindowTo(temporary, offset, length) && MoveFileExA(temporary, destination, MOVEFILE_REPLACE_EXISTING))
        return true;
    DeleteFileA(temporary);
    return false;
}

}  // namespace

SetOrigin OpenInstallationSet(const char* programPath) {
    CloseInstallationSet();
    programFile = CreateFileA(programPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (programFile == INVALID_HANDLE_VALUE) return origin;
    origin = CheckBundle();
    if (origin == SetOrigin::Folder) CloseInstallationSet();  // a folder set works exactly as before
    return origin;
}

void CloseInstallationSet() {
    if (programFile != INVALID_HANDLE_VALUE) CloseHandle(programFile);
    programFile = INVALID_HANDLE_VALUE;
    bundle = BundleDirectory();
    origin = SetOrigin::Folder;
}

bool OpenBundledFile(const char* name, Win32ArchiveSource& source) {
    uint32_t offset = 0, length = 0;
    return FindBundledRange(name, &offset, &length) && source.OpenWindow(programFile, offset, length);
}

bool IsBundledSet() { return origin == SetOrigin::Bundle; }

// A bundle is the whole set: a file it lacks is not taken from the folder it
// runs from (a Downloads folder), where anybody may have put one.
bool OpenSetFile(const char* name, Win32ArchiveSource& source) {
    if (IsBundledSet()) return OpenBundledFile(name, source);
    return source.Open(name);
}

bool CopySetFile(const char* name, const char* destination) {
    uint32_t offset = 0, length = 0;
    if (IsBundledSet()) return FindBundledRange(name, &offset, &length) && CopyWindow(offset, length, destination);
    return CopyFileA(name, destination, FALSE) != 0;
}
