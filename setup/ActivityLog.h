#pragma once
// The log an administrator asks for with -l: plain-text lines appended to a
// file of their choosing, each stamped with the local time. Both programs
// write to it from any thread; without an open log every call does nothing.
#include <windows.h>

#include <string>

enum ActivityLogResult {
    ActivityLogOpened,
    ActivityLogNotOpened,  // Windows refused the path
    ActivityLogRefused,    // a link, a device or a folder: not written through
};

// Opens (creating it when missing) the file to append to. A failure is the
// caller's to report as a warning: the run goes on without a log.
ActivityLogResult OpenActivityLog(const char* path);
void CloseActivityLog();

void LogActivity(const std::string& text);

// "2026-12-09 19:45:10  text" and CR LF; line ends inside the text become
// blanks, so that one entry stays one line.
std::string ActivityLogLine(const SYSTEMTIME& time, const std::string& text);

// The warning for a log that is not written.
std::string ActivityLogWarning(const char* path, ActivityLogResult result);
