#include "setup/SetupDatFile.h"

#include <windows.h>

#include <cstdlib>
#include <memory>
#include <new>

#include "setup/InstallationSet.h"
#include "setup/SetupDatParser.h"

namespace {

// A bundle without SETUP.DAT installs with the defaults.
void ReadBundledSetupDat(const char* fileName, SetupConfig& config) {
    Win32ArchiveSource file;
    uint32_t size = 0;
    if (!OpenBundledFile(fileName, file) || !file.Size(&size)) return;
    if (size > kMaxSetupDatSize) return;  // ignored as a whole, as from the folder
    std::unique_ptr<char[]> data(new (std::nothrow) char[size ? size : 1]);
    if (data && file.ReadFully(data.get(), size)) ParseSetupDat(data.get(), size, config);
}

}  // namespace

void ReadSetupDatFile(const char* fileName, SetupConfig& config) {
    if (IsBundledSet()) return ReadBundledSetupDat(fileName, config);
    HANDLE file = CreateFileA(fileName, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD high = 0, size = GetFileSize(file, &high);
    char* data = nullptr;
    DWORD read = 0;
    bool whole = false;
    if (size != INVALID_FILE_SIZE && high == 0 && size <= kMaxSetupDatSize) {
        data = static_cast<char*>(std::malloc(size ? size : 1));
        whole = data && ReadFile(file, data, size, &read, nullptr) && read == size;
    }
    CloseHandle(file);
    if (whole) ParseSetupDat(data, size, config);
    std::free(data);
}
