#include "support/UnixSide.h"

#include <windows.h>

std::string UnixPathOf(const std::string& windowsPath) {
    typedef char*(__cdecl * UnixName)(const WCHAR*);
    UnixName toUnix = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return std::string();
    WCHAR wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH)) return std::string();
    char* unixPath = toUnix(wide);
    if (!unixPath) return std::string();
    std::string path = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return path;
}

bool RunUnixProgram(const std::string& program, const std::string& firstArgument, const std::string& secondArgument) {
    std::string command = program + " \"" + firstArgument + "\"";
    if (!secondArgument.empty()) command += " \"" + secondArgument + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, 20000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool Eventually(const std::function<bool()>& condition) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (condition()) return true;
        Sleep(50);
    }
    return condition();
}
