#include "install/OutputFile.h"

void CloseOutputHandle(void* handle) { CloseHandle(static_cast<HANDLE>(handle)); }

void SetOutputLength(HANDLE file, uint32_t length) {
    FILE_END_OF_FILE_INFO end = {};
    end.EndOfFile.QuadPart = length;
    SetFileInformationByHandle(file, FileEndOfFileInfo, &end, sizeof end);
}
