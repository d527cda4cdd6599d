#include "setup/ActivityLog.h"

#include <cstdio>

namespace {

HANDLE logFile = INVALID_HANDLE_VALUE;

// The elevated programs append to a path a user may have prepared: never
// through a link (the file itself a symbolic link or junction, or a hard
// link to a file elsewhere) and never into a device.
bool IsPlainFile(HANDLE file) {
    if (GetFileType(file) != FILE_TYPE_DISK) return false;
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(file, &information)) return false;
    return !(information.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) &&
           information.nNumberOfLinks == 1;
}

}  // namespace

ActivityLogResult OpenActivityLog(const char* path) {
    CloseActivityLog();
    // Append only, so that nothing already in the file is overwritten;
    // shared, so that a second setup refused while this one runs can log too.
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return ActivityLogNotOpened;
    if (!IsPlainFile(file)) {
        CloseHandle(file);
        return ActivityLogRefused;
    }
    logFile = file;
    return ActivityLogOpened;
}

void CloseActivityLog() {
    if (logFile != INVALID_HANDLE_VALUE) CloseHandle(logFile);
    logFile = INVALID_HANDLE_VALUE;
}

std::string ActivityLogLine(const SYSTEMTIME& time, const std::string& text) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u  ", time.wYear, time.wMonth, time.wDay,
                  time.wHour, time.wMinute, time.wSecond);
    std::string line = stamp;
    bool lineEnd = false;
    for (char c : text) {
        bool end = c == '\r' || c == '\n';
        if (end && !lineEnd) line += ' ';
        if (!end) line += c;
        lineEnd = end;
    }
    return line + "\r\n";
}

void LogActivity(const std::string& text) {
    if (logFile == INVALID_HANDLE_VALUE) return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::string line = ActivityLogLine(now, text);
    DWORD written = 0;
    WriteFile(logFile, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);  // one append per line
}

std::string ActivityLogWarning(const char* path, ActivityLogResult result) {
    std::string text = "The log file " + std::string(path);
    text += result == ActivityLogRefused ? " is a link, a device or a folder, and was not written."
                                         : " cannot be opened.";
    return text + "  No log is kept of this run.";
}
