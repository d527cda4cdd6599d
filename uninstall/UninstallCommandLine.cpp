#include "uninstall/UninstallCommandLine.h"

#include <cstring>

#include "shell/UninstallLogName.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const char* SkipBlanks(const char* at) {
    while (IsBlank(*at)) ++at;
    return at;
}

}  // namespace

UninstallCommandStatus ParseUninstallCommandLine(const char* commandLine, UninstallCommand& command) {
    command = UninstallCommand();
    if (!commandLine) return UninstallCommandNoLog;
    const char* at = AfterProgramPath(commandLine);
    if (at[0] == '-' && (at[1] == 'q' || at[1] == 'Q') && (at[2] == '\0' || IsBlank(at[2]))) {
        command.quiet = true;
        at = SkipBlanks(at + 2);
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
