#pragma once
#include <windows.h>

#include "install/ExtractTarget.h"

// Output files through CreateFileA/WriteFile.
class Win32ExtractTarget : public ExtractTarget {
public:
    Win32ExtractTarget() = default;
    ~Win32ExtractTarget() override { CloseOutput(); }
    Win32ExtractTarget(const Win32ExtractTarget&) = delete;
    Win32ExtractTarget& operator=(const Win32ExtractTarget&) = delete;

    bool FileExists(const char* path) override;
    int CreateOutput(const char* path) override;
    bool WriteOutput(const void* data, uint32_t length) override;
    void CloseOutput() override;
    int GetDocumentsFolder(char* buffer) override;

private:
    HANDLE output_ = INVALID_HANDLE_VALUE;
};
