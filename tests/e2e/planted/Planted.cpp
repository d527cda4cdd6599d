// Stands in for a DLL that an ordinary user plants beside an elevated
// program: loaded, it leaves C:\e2e\planted-loaded\NAME.txt naming the
// program that loaded it. Nothing else: it never lets the program run on
// with a missing entry, which would only hide the load.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char self[MAX_PATH] = {}, program[MAX_PATH] = {}, marker[2 * MAX_PATH] = {};
    GetModuleFileNameA(instance, self, MAX_PATH - 1);
    GetModuleFileNameA(nullptr, program, MAX_PATH - 1);
    const char* name = self;
    for (const char* at = self; *at; ++at)
        if (*at == '\\') name = at + 1;
    CreateDirectoryA("C:\\e2e\\planted-loaded", nullptr);
    lstrcpynA(marker, "C:\\e2e\\planted-loaded\\", sizeof marker);
    lstrcatA(marker, name);
    lstrcatA(marker, ".txt");
    HANDLE file = CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, program, lstrlenA(program), &written, nullptr);
        CloseHandle(file);
    }
    return TRUE;
}
