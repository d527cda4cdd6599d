// A stand-in readme for the end-to-end tests: when the shell opens it, it
// writes "readme-opened.txt" beside itself with the directory it was started
// in, so a test can see that, where and how often the readme was opened.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    char* slash = std::strrchr(path, '\\');
    if (!slash || static_cast<size_t>(slash + 1 - path) + sizeof "readme-opened.txt" > MAX_PATH) return 1;
    std::strcpy(slash + 1, "readme-opened.txt");
    char directory[MAX_PATH] = {};
    DWORD directoryLength = GetCurrentDirectoryA(MAX_PATH, directory);
    if (directoryLength >= MAX_PATH) directoryLength = 0;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, "opened in ", 10, &written, nullptr);
    WriteFile(file, directory, directoryLength, &written, nullptr);
    WriteFile(file, "\r\n", 2, &written, nullptr);
    CloseHandle(file);
    return 0;
}
