#include "uninstall/UninstallLogFile.h"

#include <windows.h>

#include "shell/UninstallLogReader.h"

namespace {

// Far beyond any installation's log; a larger file is not a log.
constexpr LONGLONG kMaxLogSize = 64LL << 20;

bool ReadWholeFile(const char* path, std::vector<uint8_t>& image) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= kMaxLogSize;
    if (ok) {
        image.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ok = image.empty() ||
             (ReadFile(file, image.data(), static_cast<DWORD>(image.size()), &got, nullptr) && got == image.size());
    }
    CloseHandle(file);
    return ok;
}

}  // namespace

bool LoadUninstallLog(const char* path, std::vector<uint8_t>& image, std::string& problem) {
    if (!ReadWholeFile(path, image)) {
        problem = std::string("The uninstall log \"") + path + "\" cannot be read.  Nothing was removed.";
        return false;
    }
    UninstallLogError error;
    if (!ValidateUninstallLog(image.data(), image.size(), nullptr, &error)) {
        problem = std::string("The uninstall log \"") + path + "\" is damaged at offset " +
                  std::to_string(error.offset) + ": " + error.message + ".  Nothing was removed.";
        return false;
    }
    return true;
}
