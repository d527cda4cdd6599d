// Test helper: keeps a file open without write or delete sharing, as a
// running program would.
// Usage: holdopen FILE READY_EVENT RELEASE_EVENT   until told to let go
//        holdopen FILE -run COMMAND_LINE           while the command runs;
//                                                  exits with its status
// Its own failures exit with 101 to 105, above the statuses of our programs.
#include <windows.h>

#include <cstring>

namespace {

int RunWhileOpen(char* commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return 105;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 105;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}

int WaitForRelease(const char* readyName, const char* releaseName) {
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, readyName);
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, releaseName);
    if (!ready || !release) return 103;
    SetEvent(ready);
    return WaitForSingleObject(release, 60000) == WAIT_OBJECT_0 ? 0 : 104;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return 101;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return 102;
    int status = std::strcmp(argv[2], "-run") == 0 ? RunWhileOpen(argv[3]) : WaitForRelease(argv[2], argv[3]);
    CloseHandle(file);
    return status;
}
