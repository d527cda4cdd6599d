#include "shell/UninstallLogName.h"

#include <cstdio>
#include <cstring>

#include "setup/PathHelpers.h"

unsigned FifteenBitRandom::Next() {
    state_ = state_ * 214013u + 2531011u;
    return (state_ >> 16) & 0x7FFF;
}

void FormatUninstallLogName(unsigned number, char* out) {
    std::memcpy(out, "UnInstXXXX.inf", kUninstallLogNameSize);
    out[6] = HexDigit(number >> 12);
    out[7] = HexDigit(number >> 8);
    out[8] = HexDigit(number >> 4);
    out[9] = HexDigit(number);
}

static bool TryName(unsigned number, NameInUse inUse, void* context, char* out) {
    FormatUninstallLogName(number, out);
    return !inUse(context, out);
}

bool ChooseUninstallLogName(FifteenBitRandom& random, NameInUse inUse, void* context, char* out) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (TryName(random.Next(), inUse, context, out)) return true;
    }
    for (unsigned number = 0; number < kUninstallLogNameCount; ++number) {
        if (TryName(number, inUse, context, out)) return true;
    }
    out[0] = '\0';
    return false;
}

SetupString UninstallStringValue(const char* windowsDir, const char* logPath) {
    SetupString command("\"");
    command.Append(windowsDir);
    size_t length = command.Length();
    if (!EndsWithChar(command.Get(), length, '\\')) command.Append("\\");
    command.Append("VARNUINS.EXE\" ");
    command.Append(logPath);
    return command;
}

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const char* AfterProgramPath(const char* commandLine) {
    const char* at = commandLine;
    while (IsBlank(*at)) ++at;
    if (*at == '"') {
        const char* closing = std::strchr(at + 1, '"');
        at = closing ? closing + 1 : at + std::strlen(at);
    } else {
        while (*at && !IsBlank(*at)) ++at;
    }
    while (IsBlank(*at)) ++at;
    return at;
}

bool LogPathOfUninstallString(const char* value, char* out, size_t size) {
    const char* path = AfterProgramPath(value);
    if (!*path || !CopyText(out, size, path)) {
        out[0] = '\0';
        return false;
    }
    return true;
}

SetupString EntryKeyName(const char* mainExe, unsigned number) {
    SetupString name(mainExe);
    if (number > 1) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, " (%u)", number);
        name.Append(suffix);
    }
    return name;
}

size_t MainProgramLength(const char* entryKey) {
    size_t length = std::strlen(entryKey);
    if (length < 5 || entryKey[length - 1] != ')') return length;
    size_t open = length - 2;
    while (open > 0 && entryKey[open] >= '0' && entryKey[open] <= '9') --open;
    bool number = open < length - 2 && entryKey[open + 1] != '0';
    if (!number || entryKey[open] != '(' || open < 2 || entryKey[open - 1] != ' ') return length;
    return open - 1;
}
