#include "uninstall/UninstallCommandLine.h"

#include <cstring>

#include "shell/UninstallLogName.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const char* SkipBlanks(const char* at) {
    while (IsBlank(*at)) ++at;
    return at;
}

bool IsSwitch(const char* at, char letter) {
    return at[0] == '-' && (at[1] == letter || at[1] == letter - 'a' + 'A') && (at[2] == '\0' || IsBlank(at[2]));
}

// The -l file: a word, or the inside of quotes. Null when there is none or
// it does not fit.
const char* ReadActivityLog(const char* at, UninstallCommand& command) {
    const char* start = at;
    const char* end;
    if (*at == '"') {
        start = at + 1;
        end = std::strchr(start, '"');
        if (!end) return nullptr;
    } else {
        end = at;
        while (*end && !IsBlank(*end)) ++end;
    }
    size_t length = static_cast<size_t>(end - start);
    if (length == 0 || length >= sizeof command.activityLog) return nullptr;
    std::memcpy(command.activityLog, start, length);
    command.activityLog[length] = '\0';
    return *end == '"' ? end + 1 : end;
}

}  // namespace

UninstallCommandStatus ParseUninstallCommandLine(const char* commandLine, UninstallCommand& command) {
    command = UninstallCommand();
    if (!commandLine) return UninstallCommandNoLog;
    const char* at = AfterProgramPath(commandLine);
    for (;;) {
        if (IsSwitch(at, 'q')) {
            command.quiet = true;
            at = SkipBlanks(at + 2);
        } else if (IsSwitch(at, 'l')) {
            at = ReadActivityLog(SkipBlanks(at + 2), command);
            if (!at) return UninstallCommandNoActivityLog;
            at = SkipBlanks(at);
        } else {
            break;
        }
    }
    size_t length = std::strlen(at);
    while (length > 0 && IsBlank(at[length - 1])) --length;
    // A path quoted by hand is accepted too; the quotes are not part of it.
    if (length >= 2 && at[0] == '"' && at[length - 1] == '"') {
        ++at;
        length -= 2;
    }
    if (length == 0) return UninstallCommandNoLog;
    if (length >= sizeof command.logPath) return UninstallCommandPathTooLong;
    std::memcpy(command.logPath, at, length);
    command.logPath[length] = '\0';
    return UninstallCommandOk;
}
