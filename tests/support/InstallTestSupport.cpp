#include "support/InstallTestSupport.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>

#include "shell/ProgramsFolder.h"
#include "shell/UninstallLogReader.h"
#include "support/UninstallTestSupport.h"

namespace installtest {

DialogAnswerer::DialogAnswerer() {
    InitializeCriticalSection(&lock_);
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

DialogAnswerer::~DialogAnswerer() {
    SetEvent(stop_);
    while (MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(thread_);
    CloseHandle(stop_);
    DeleteCriticalSection(&lock_);
}

std::vector<SeenDialog> DialogAnswerer::Seen() {
    EnterCriticalSection(&lock_);
    std::vector<SeenDialog> copy = seen_;
    LeaveCriticalSection(&lock_);
    return copy;
}

int DialogAnswerer::Count() { return static_cast<int>(Seen().size()); }

void DialogAnswerer::Hold(bool hold) {
    EnterCriticalSection(&lock_);
    hold_ = hold;
    LeaveCriticalSection(&lock_);
}

DWORD WINAPI DialogAnswerer::Run(LPVOID self) {
    DialogAnswerer* answerer = static_cast<DialogAnswerer*>(self);
    // The dialogs belong to other threads; look for new ones every 10 ms.
    while (WaitForSingleObject(answerer->stop_, 10) == WAIT_TIMEOUT) answerer->Scan();
    return 0;
}

void DialogAnswerer::Scan() { EnumWindows(Visit, reinterpret_cast<LPARAM>(this)); }

BOOL CALLBACK DialogAnswerer::Visit(HWND window, LPARAM selfParameter) {
    DialogAnswerer* self = reinterpret_cast<DialogAnswerer*>(selfParameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[32] = {}, caption[64] = {};
    GetClassNameA(window, className, sizeof className);
    // Not GetWindowTextA: that sends WM_GETTEXT to the thread that owns
    // the window, which may be the one waiting for this thread.
    WCHAR wideCaption[64] = {};
    InternalGetWindowText(window, wideCaption, 64);
    WideCharToMultiByte(CP_ACP, 0, wideCaption, -1, caption, sizeof caption, nullptr, nullptr);
    if (process != GetCurrentProcessId() || strcmp(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    bool exitQuestion = strcmp(caption, "Exit Setup") == 0;
    if (!exitQuestion && strcmp(caption, "Setup") != 0) return TRUE;
    EnterCriticalSection(&self->lock_);
    bool known = std::find(self->answered_.begin(), self->answered_.end(), window) != self->answered_.end();
    bool hold = self->hold_;
    LeaveCriticalSection(&self->lock_);
    if (known) return TRUE;
    char text[512] = {};
    GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
    EnterCriticalSection(&self->lock_);
    bool recorded = std::find(self->answered_.begin(), self->answered_.end(), window) != self->answered_.end();
    if (!recorded && (!hold || exitQuestion)) {
        self->seen_.push_back(SeenDialog{caption, text});
        self->answered_.push_back(window);
    }
    LeaveCriticalSection(&self->lock_);
    if (recorded || (hold && !exitQuestion)) return TRUE;
    int button = exitQuestion ? 1006 /* "&Resume" */ : IDOK;
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, button)));
    return TRUE;
}

ShortcutInfo ResolveShortcut(const std::string& linkPath) {
    ShortcutInfo info;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return info;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wide[MAX_PATH * 2];
        MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH * 2);
        if (SUCCEEDED(file->Load(wide, STGM_READ))) {
            char buffer[1024] = {};
            link->GetPath(buffer, sizeof buffer, nullptr, SLGP_RAWPATH);
            info.target = buffer;
            buffer[0] = '\0';
            link->GetArguments(buffer, sizeof buffer);
            info.arguments = buffer;
            buffer[0] = '\0';
            link->GetDescription(buffer, sizeof buffer);
            info.description = buffer;
            info.loaded = true;
        }
        file->Release();
    }
    link->Release();
    return info;
}

std::string ReadRegistryString(HKEY root, const char* keyPath, const char* valueName) {
    HKEY key;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return "<missing>";
    char data[2048] = {};
    DWORD type = 0, size = sizeof data - 1;
    LONG status = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) return "<missing>";
    return data;
}

void DeleteRegistryTree(HKEY root, const char* keyPath) {
    RegDeleteTreeA(root, keyPath);  // removes what is below the key
    RegDeleteKeyA(root, keyPath);
}

std::string ProgramsFolder() {
    char path[MAX_PATH] = {};
    GetProgramsFolder(path);
    return path;
}

std::string WindowsDirectory() {
    char path[MAX_PATH] = {};
    GetWindowsDirectoryA(path, sizeof path);
    return path;
}

std::string CurrentDirectory() {
    char path[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof path, path);
    return path;
}

bool IsDirectory(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteTextFile(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size();
}

void ExpectShortcut(const std::string& link, const std::string& target, const std::string& arguments,
                    const std::string& description) {
    ShortcutInfo info = ResolveShortcut(link);
    ASSERT_TRUE(info.loaded) << link;
    EXPECT_EQ(info.target, target) << link;
    EXPECT_EQ(info.arguments, arguments) << link;
    EXPECT_EQ(info.description, description) << link;
}

std::string ReadWholeFile(const std::string& path) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string text;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

void KeepWineMenuBuilderAway() {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "winemenubuilder.exe", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);  // "" = disabled
    RegCloseKey(key);
}

std::vector<std::string> LogToolLines(const std::string& logPath) {
    logtest::ProcessResult run = logtest::RunProcess(logtest::BuildProgramPath("uninstlog.exe") + " \"" + logPath + "\"");
    if (!run.finished || run.exitCode != 0)
        return {"<tool failed " + std::to_string(run.exitCode) + ": " + run.errors + ">"};
    std::vector<std::string> lines;
    size_t start = 0, end;
    while ((end = run.output.find('\n', start)) != std::string::npos) {
        lines.push_back(run.output.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string LogLine(unsigned char kind, unsigned root, const std::string& text) {
    std::string line = UninstallKindName(kind);
    line += ' ';
    if (kind == 1) {
        const char* rootName = RootKeyName(root);
        line += rootName ? rootName : "?";
        line += ' ';
    }
    return line + text;
}

}  // namespace installtest
