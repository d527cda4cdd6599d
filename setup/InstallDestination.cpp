#include "setup/InstallDestination.h"

#include <windows.h>

#include "setup/InstallSettings.h"
#include "setup/PathHelpers.h"

namespace {

// A folder as the file system knows it, whatever its spelling.
struct FolderIdentity {
    DWORD volume = 0, indexHigh = 0, indexLow = 0;
    bool valid = false;
    bool operator==(const FolderIdentity& other) const {
        return valid && other.valid && volume == other.volume && indexHigh == other.indexHigh &&
               indexLow == other.indexLow;
    }
};

FolderIdentity IdentityOf(const char* path) {
    FolderIdentity identity;
    HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return identity;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(handle, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        identity.volume = info.dwVolumeSerialNumber;
        identity.indexHigh = info.nFileIndexHigh;
        identity.indexLow = info.nFileIndexLow;
        identity.valid = true;
    }
    CloseHandle(handle);
    return identity;
}

// A 32-bit program on 64-bit Windows is told only of "Program Files (x86)";
// the system's other views name the rest.
FolderIdentity RegisteredFolder(REGSAM view, const char* valueName) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return FolderIdentity();
    char value[kPathBufferSize + 1] = {};  // one spare byte keeps an unterminated value terminated
    DWORD type = 0, size = kPathBufferSize;
    LONG result = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ) return FolderIdentity();
    return IdentityOf(value);
}

class FileSystemProbe : public PathProbe {
public:
    explicit FileSystemProbe(const char* programFiles) {
        programFolders[0] = IdentityOf(programFiles);
        const REGSAM views[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
        size_t used = 1;
        for (REGSAM view : views) {
            programFolders[used++] = RegisteredFolder(view, "ProgramFilesDir");
            programFolders[used++] = RegisteredFolder(view, "ProgramFilesDir (x86)");
        }
    }
    bool Exists(const char* path, bool* isDirectory) override {
        DWORD attributes = GetFileAttributesA(path);
        if (attributes == INVALID_FILE_ATTRIBUTES) return false;
        *isDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        return true;
    }
    bool IsOtherProgramFiles(const char* path) override {
        FolderIdentity identity = IdentityOf(path);
        for (const FolderIdentity& folder : programFolders)
            if (identity == folder) return true;
        return false;
    }

private:
    FolderIdentity programFolders[5];
};

}  // namespace

DestinationProblem CheckInstallDestination(const char* path) {
    char programFiles[kPathBufferSize];
    InstallSettingsBase::GetProgramFilesDir(programFiles);
    FileSystemProbe probe(programFiles);
    return CheckDestination(path, programFiles, probe);
}
