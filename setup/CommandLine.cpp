#include "setup/CommandLine.h"

#include <cstring>

namespace {

const char kLogWithoutFile[] = "The -l switch needs the name of a log file after it.";
const char kLogFileTooLong[] = "The name of the log file is longer than 259 characters.";
const char kTextAfterDirectory[] = "Only switches may follow the installation directory in quotes.";

// isspace of the C locale; bytes of 0x80 and above are never white space.
bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

const char* SkipWhite(const char* at) {
    while (IsWhite(*at)) ++at;
    return at;
}

bool IsSwitch(const char* at, char letter) { return at[0] == '-' && at[1] == letter && (!at[2] || IsWhite(at[2])); }

// No Windows path holds a quote, so a quoted word ends at the next one; an
// unquoted word at white space. Null when a quote is never closed.
const char* WordEnd(const char* at, const char** start, size_t* length) {
    if (*at == '"') {
        const char* close = std::strchr(at + 1, '"');
        if (!close) return nullptr;
        *start = at + 1;
        *length = static_cast<size_t>(close - at - 1);
        return close + 1;
    }
    const char* end = at;
    while (*end && !IsWhite(*end)) ++end;
    *start = at;
    *length = static_cast<size_t>(end - at);
    return end;
}

const char* ReadLogFile(const char* at, SetupConfig& config) {
    const char* start = nullptr;
    size_t length = 0;
    const char* end = *at ? WordEnd(at, &start, &length) : nullptr;
    if (!end || length == 0) {
        config.commandLineProblem = kLogWithoutFile;
        return nullptr;
    }
    if (length > kMaxConfigValueLength) {
        config.commandLineProblem = kLogFileTooLong;
        return nullptr;
    }
    config.logFile.Assign(start, length);
    return end;
}

// One switch at `at`; the text after it, or null when `at` holds none (or a
// malformed one, which sets the problem).
const char* ReadSwitch(const char* at, SetupConfig& config) {
    if (IsSwitch(at, 'q') || IsSwitch(at, 's')) {
        config.quiet = true;
        config.unattended = config.unattended || at[1] == 's';  // quiet, and nothing waits for anyone
        return at + 2;
    }
    if (IsSwitch(at, 'l')) return ReadLogFile(SkipWhite(at + 2), config);
    return nullptr;
}

// The directory in quotes; the text after it must be switches.
void ReadQuotedDirectory(const char* at, SetupConfig& config) {
    const char* close = std::strchr(at + 1, '"');
    size_t length = static_cast<size_t>(close - at - 1);
    if (length > kMaxConfigValueLength) {
        config.quietDirTooLong = true;
        config.progdir.Assign("");
        return;
    }
    config.progdir.Assign(at + 1, length);
    for (at = SkipWhite(close + 1); *at; at = SkipWhite(at)) {
        at = ReadSwitch(at, config);
        if (!at) {
            if (!config.commandLineProblem) config.commandLineProblem = kTextAfterDirectory;
            return;
        }
    }
}

// Anything else: the rest of the line verbatim, trailing blanks included.
void ReadDirectory(const char* at, SetupConfig& config) {
    if (*at == '"' && std::strchr(at + 1, '"')) {
        ReadQuotedDirectory(at, config);
        return;
    }
    if (std::strlen(at) > kMaxConfigValueLength) {
        config.quietDirTooLong = true;
        config.progdir.Assign("");
        return;
    }
    config.progdir.Assign(at);
}

}  // namespace

void ParseCommandLine(const char* commandLine, SetupConfig& config) {
    if (!commandLine) return;
    const char* at = SkipWhite(commandLine);
    while (*at) {
        const char* next = ReadSwitch(at, config);
        if (config.commandLineProblem) return;
        if (!next) break;
        at = SkipWhite(next);
    }
    if (config.quiet && *at) ReadDirectory(at, config);
}
