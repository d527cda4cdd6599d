#include "setup/CommandLine.h"

#include <cstring>

namespace {
// isspace of the C locale; bytes of 0x80 and above are never white space.
bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// No Windows path holds a quote, so a directory in one pair of quotes (white
// space may follow the closing one) is taken from inside them; any other
// text is kept verbatim. Returns the directory's length.
size_t WithoutEnclosingQuotes(const char** text) {
    const char* start = *text;
    size_t length = std::strlen(start);
    if (start[0] != '"') return length;
    size_t end = length;
    while (end > 1 && IsWhite(start[end - 1])) --end;
    if (end < 2 || start[end - 1] != '"') return length;
    *text = start + 1;
    return end - 2;
}
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
    size_t length = WithoutEnclosingQuotes(&at);
    if (length > kMaxConfigValueLength) {
        config.quietDirTooLong = true;
        config.progdir.Assign("");
        return;
    }
    config.progdir.Assign(at, length);
}
