#include "support/UninstallTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "setup/InstallSettings.h"
#include "shell/RegisteredLog.h"
#include "shell/Sha256.h"
#include "shell/UninstallLogReader.h"
#include "shell/UninstallRecord.h"

namespace logtest {

std::vector<LoggedRecord> ListedRecords(const InstallSettings& settings) {
    std::vector<LoggedRecord> out;
    for (const UninstallRecordNode* node = settings.uninstallRecords; node; node = node->next) {
        const uint8_t* record = node->record;
        LoggedRecord entry{record[0], 0, {}};
        if (record[0] == UninstallKey) {
            entry.root = LoadLittleEndian32(record + 8);
            entry.text = reinterpret_cast<const char*>(record + 12);
        } else {
            entry.text = reinterpret_cast<const char*>(record + 8);
        }
        out.push_back(entry);
    }
    return out;
}

std::vector<LoggedRecord> ParsedRecords(const std::vector<uint8_t>& image) {
    std::vector<LoggedRecord> out;
    UninstallLogReader reader(image.data(), image.size());
    UninstallLogRecord record;
    while (reader.Next(record))
        out.push_back(LoggedRecord{record.kind, record.rootKey, std::string(record.text, record.textLength)});
    EXPECT_FALSE(reader.Failed()) << "at " << reader.Error().offset << ": " << reader.Error().message;
    return out;
}

std::vector<uint8_t> ReadBinaryFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    uint8_t chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(file);
    return bytes;
}

bool WriteBinaryFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

bool WriteLogFile(const InstallSettings& settings, const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = settings.WriteUninstallRecords(file);
    CloseHandle(file);
    return ok;
}

bool RegisterLog(const char* entryName, const std::string& logPath) {
    char digest[kSha256TextSize];
    std::vector<uint8_t> image = ReadBinaryFile(logPath);
    if (!Sha256Text(image.data(), image.size(), digest)) return false;
    std::string key = std::string(kUninstallEntriesKey) + entryName;
    std::string command = "\"C:\\windows\\VARNUINS.EXE\" " + logPath;
    return SetRegistryString(HKEY_LOCAL_MACHINE, key.c_str(), "UninstallString", command.c_str()) == ERROR_SUCCESS &&
           SetRegistryString(HKEY_LOCAL_MACHINE, key.c_str(), kLogDigestValueName, digest) == ERROR_SUCCESS;
}

std::string BuildProgramPath(const char* fileName) {
    const char* buildDir = std::getenv("VSETUP_BUILD_DIR");
    std::string path = std::string("Z:") + (buildDir ? buildDir : ".") + "/" + fileName;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

namespace {

// Reads a pipe to its end on a helper thread, so that a child writing more
// than the pipe holds never blocks.
struct PipeDrain {
    HANDLE pipe;
    std::string text;
    static DWORD WINAPI Run(void* context) {
        PipeDrain* self = static_cast<PipeDrain*>(context);
        char chunk[4096];
        DWORD got = 0;
        while (ReadFile(self->pipe, chunk, sizeof chunk, &got, nullptr) && got) self->text.append(chunk, got);
        return 0;
    }
};

bool MakePipe(HANDLE* readEnd, HANDLE* writeEnd) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    if (!CreatePipe(readEnd, writeEnd, &inherit, 0)) return false;
    SetHandleInformation(*readEnd, HANDLE_FLAG_INHERIT, 0);
    return true;
}

}  // namespace

ProcessResult RunProcess(const std::string& commandLine, DWORD timeoutMs, const char* directory) {
    ProcessResult result;
    HANDLE outRead, outWrite, errRead, errWrite;
    if (!MakePipe(&outRead, &outWrite)) return result;
    if (!MakePipe(&errRead, &errWrite)) {
        CloseHandle(outRead);
        CloseHandle(outWrite);
        return result;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    result.started =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, directory, &startup, &process) != 0;
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    PipeDrain out{outRead, {}}, err{errRead, {}};
    HANDLE drains[2] = {CreateThread(nullptr, 0, PipeDrain::Run, &out, 0, nullptr),
                        CreateThread(nullptr, 0, PipeDrain::Run, &err, 0, nullptr)};
    if (result.started) {
        result.finished = WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0;
        if (!result.finished) TerminateProcess(process.hProcess, 255);
        GetExitCodeProcess(process.hProcess, &result.exitCode);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    WaitForMultipleObjects(2, drains, TRUE, 10000);
    CloseHandle(drains[0]);
    CloseHandle(drains[1]);
    CloseHandle(outRead);
    CloseHandle(errRead);
    result.output = out.text;
    result.errors = err.text;
    return result;
}

bool StartProcess(const std::string& commandLine, PROCESS_INFORMATION* process) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, process) != 0;
}

namespace {

struct BoxSearch {
    DWORD processId;
    HWND found;
};

// Message boxes are dialogs with their text in the static control 0xFFFF.
BOOL CALLBACK FindBox(HWND window, LPARAM context) {
    BoxSearch* search = reinterpret_cast<BoxSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (owner == search->processId && IsWindowVisible(window) && std::string(className) == "#32770" &&
        GetDlgItem(window, 0xFFFF)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND WaitForMessageBox(const PROCESS_INFORMATION& process, DWORD timeoutMs) {
    DWORD deadline = GetTickCount() + timeoutMs;
    for (;;) {
        BoxSearch search = {process.dwProcessId, nullptr};
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        // Waiting on the process bounds each round and ends the search when it exits.
        if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
        if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return nullptr;
    }
}

std::string MessageBoxText(HWND box) {
    char text[4096] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

void PressButton(HWND box, int buttonId) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}

DWORD FinishProcess(PROCESS_INFORMATION& process, DWORD timeoutMs) {
    DWORD code = 255;
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 255);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    process = PROCESS_INFORMATION();
    return code;
}

bool RegistryKeyExists(HKEY root, const char* keyPath) {
    HKEY key;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

PendingRenames::PendingRenames() {
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, KEY_ALL_ACCESS,
                  &key_);
    had_ = Read(&original_);
}

PendingRenames::~PendingRenames() {
    if (had_)
        RegSetValueExA(key_, "PendingFileRenameOperations", 0, REG_MULTI_SZ,
                       reinterpret_cast<const BYTE*>(original_.data()), static_cast<DWORD>(original_.size()));
    else
        RegDeleteValueA(key_, "PendingFileRenameOperations");
    RegCloseKey(key_);
}

bool PendingRenames::Read(std::string* data) const {
    std::vector<char> buffer(65536);
    DWORD size = static_cast<DWORD>(buffer.size()), type = 0;
    if (RegQueryValueExA(key_, "PendingFileRenameOperations", nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS)
        return false;
    data->assign(buffer.data(), size);
    return true;
}

std::string MakeScratchDirectory(const char* name) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string path = std::string(temp) + name;
    RemoveTree(path);
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}


bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace logtest
