#include "setup/CommandLine.h"

#include <cstring>

namespace {
// isspace of the C locale; bytes of 0x80 and above are never white space.
bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
}  // namespace

void ParseCommandLine(const char* commandLine, SetupConfig& config) {
    if (!commandLine) return;
    const char* at = commandLine;
    while (IsWhite(*at)) ++at;
    if (at[0] != '-' || (at[1] != 'q' && at[1] != 's') || !IsWhite(at[2])) return;
    config.unattended = at[1] == 's';  // quiet, and nothing waits for anyone
    at += 3;
    while (IsWhite(*at)) ++at;
    config.quiet = true;
    size_t length = std::strlen(at);
    if (length > kMaxConfigValueLength) {
        config.quietDirTooLong = true;
        config.progdir.Assign("");
        return;
    }
    config.progdir.Assign(at, length);
}
