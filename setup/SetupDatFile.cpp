#include "setup/SetupDatFile.h"

#include <windows.h>

#include <cstdlib>

#include "setup/SetupDatParser.h"

void ReadSetupDatFile(const char* fileName, SetupConfig& config) {
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
