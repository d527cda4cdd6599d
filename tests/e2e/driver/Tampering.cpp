// What an ordinary user can do to an elevated setup.exe from outside: hold
// its file open, swap it for another right after it started, plant DLLs
// beside it. Paths are UTF-8, as the script holds them.
#include <windows.h>
#include <softpub.h>
#include <wintrust.h>

#include <cstdio>

#include "Checks.h"
#include "Driver.h"

std::wstring Utf8ToWide(const std::string& text) {
    int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(wide.size() - 1);
    return wide;
}

namespace {

std::string ReadWhole(const std::wstring& path, bool* ok) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::string bytes;
    *ok = file != INVALID_HANDLE_VALUE;
    if (!*ok) return bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

}  // namespace

// A handle with delete access that allows every other access: any program
// may still read, write or delete the file, but one that opens it without
// delete sharing (as a program that wants it unchanged does) cannot.
std::string Driver::HoldForDelete(const Command& command) {
    std::wstring path = Utf8ToWide(ExpandFolders(command.args[0]));
    HANDLE file = CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "cannot open " + command.args[0] + " for deletion (error " + std::to_string(GetLastError()) + ")";
    heldFiles_.push_back(file);
    Log("holding for deletion: " + command.args[0]);
    return "";
}

std::string Driver::ReleaseFiles(const Command&) {
    for (HANDLE file : heldFiles_) CloseHandle(file);
    heldFiles_.clear();
    Log("files released");
    return "";
}

// As Explorer starts a program: in its own folder, the Downloads folder.
std::string Driver::WorkingFolder(const Command& command) {
    workingFolder_ = ExpandFolders(command.args[0]);
    Log("working folder: " + workingFolder_);
    return "";
}

// start-swapped PROGRAM ARGS OTHER: PROGRAM starts, and before its first
// instruction its file is renamed away (PROGRAM.started) and OTHER is copied
// under its name.
std::string Driver::StartSwapped(const Command& command) {
    std::wstring program = Utf8ToWide(ExpandFolders(command.args[0]));
    std::wstring other = Utf8ToWide(ExpandFolders(command.args[2]));
    return StartProcess(command, [&]() -> std::string {
        std::wstring away = program + L".started";
        DeleteFileW(away.c_str());
        if (!MoveFileW(program.c_str(), away.c_str()))
            return "cannot rename the started " + command.args[0] + " (error " + std::to_string(GetLastError()) + ")";
        if (!CopyFileW(other.c_str(), program.c_str(), FALSE))
            return "cannot put " + command.args[2] + " in its place (error " + std::to_string(GetLastError()) + ")";
        Log("swapped: " + command.args[0] + " renamed away, " + command.args[2] + " in its place");
        return "";
    });
}

std::string Driver::ExpectSameFile(const Command& command) {
    bool firstRead = false, secondRead = false;
    std::string first = ReadWhole(Utf8ToWide(ExpandFolders(command.args[0])), &firstRead);
    std::string second = ReadWhole(Utf8ToWide(ExpandFolders(command.args[1])), &secondRead);
    if (!firstRead || !secondRead) return "cannot read " + command.args[firstRead ? 1 : 0];
    if (first != second) return command.args[0] + " is not the same as " + command.args[1];
    Log("same file: " + command.args[0] + " and " + command.args[1]);
    return "";
}

// What WinVerifyTrust says of a file, as setup.exe asks it.
std::string Driver::ShowSignature(const Command& command) {
    std::wstring path = Utf8ToWide(ExpandFolders(command.args[0]));
    WINTRUST_FILE_INFO fileInfo = {};
    fileInfo.cbStruct = sizeof fileInfo;
    fileInfo.pcwszFilePath = path.c_str();
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &fileInfo;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    LONG status = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(status));
    Log("signature of " + command.args[0] + ": " + text);
    return "";
}
