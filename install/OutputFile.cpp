#include "install/OutputFile.h"

bool WriteWhole(HANDLE file, const void* data, uint32_t length) {
    const char* rest = static_cast<const char*>(data);
    while (length > 0) {
        DWORD written = 0;
        if (!WriteFile(file, rest, length, &written, nullptr) || written == 0 || written > length) return false;
        rest += written;
        length -= written;
    }
    return true;
}

void SetOutputLength(HANDLE file, uint32_t length) {
    FILE_END_OF_FILE_INFO end = {};
    end.EndOfFile.QuadPart = length;
    SetFileInformationByHandle(file, FileEndOfFileInfo, &end, sizeof end);
}
