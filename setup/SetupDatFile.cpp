#include "setup/SetupDatFile.h"

#include <windows.h>

#include <cstdlib>
#include <memory>
#include <new>

#include "setup/InstallationSet.h"
#include "setup/SetupDatParser.h"

namespace {

bool ReadBundledSetupDat(const char* fileName, SetupConfig& config) {
    Win32ArchiveSource file;
    if (!OpenBundledFile(fileName, file)) return false;
    uint32_t size = 0;
    file.Size(&size);
    if (size > kMaxSetupDatSize) return true;  // ignored as a whole, as from the folder
    std::unique_ptr<char[]> data(new (std::nothrow) char[size ? size : 1]);
    if (data && file.ReadFully(data.get(), size)) ParseSetupDat(data.get(), size, config);
    return true;
}

}  // namespace

void ReadSetupDatFile(const char* fileName, SetupConfig& config) {
    if (ReadBundledSetupDat(fileName, config)) return;
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
