#include "setup/InstallDestination.h"

#include <windows.h>

#include "setup/InstallSettings.h"
#include "setup/PathHelpers.h"

namespace {

class FileSystemProbe : public PathProbe {
public:
    bool Exists(const char* path, bool* isDirectory) override {
        DWORD attributes = GetFileAttributesA(path);
        if (attributes == INVALID_FILE_ATTRIBUTES) return false;
        *isDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        return true;
    }
};

}  // namespace

DestinationProblem CheckInstallDestination(const char* path) {
    char programFiles[kPathBufferSize];
    InstallSettingsBase::GetProgramFilesDir(programFiles);
    FileSystemProbe probe;
    return CheckDestination(path, programFiles, probe);
}
