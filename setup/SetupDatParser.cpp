#include "setup/SetupDatParser.h"

#include <cstring>

#include "setup/PathHelpers.h"

namespace {

enum class KeyKind { Text, Flag, NoLicense };

struct KeyEntry {
    const char* name;
    KeyKind kind;
    SetupString SetupConfig::*text;
    bool SetupConfig::*flag;
};

const KeyEntry kKeys[] = {
    {"appname", KeyKind::Text, &SetupConfig::appname, nullptr},
    {"progdir", KeyKind::Text, &SetupConfig::progdir, nullptr},
    {"startfolder", KeyKind::Text, &SetupConfig::startfolder, nullptr},
    {"debugger", KeyKind::Flag, nullptr, &SetupConfig::debugger},
    {"game", KeyKind::Flag, nullptr, &SetupConfig::game},
    {"mainexe", KeyKind::Text, &SetupConfig::mainexe, nullptr},
    {"savesuffix", KeyKind::Text, &SetupConfig::savesuffix, nullptr},
    {"nolicense", KeyKind::NoLicense, nullptr, nullptr},
    {"license", KeyKind::Text, &SetupConfig::license, nullptr},
    {"readme", KeyKind::Text, &SetupConfig::readme, nullptr},
    {"readme_title", KeyKind::Text, &SetupConfig::readme_title, nullptr},
    {"v3", KeyKind::Flag, nullptr, &SetupConfig::v3},
};

// isspace of the C locale, less the line ends (they never reach a line).
bool IsLeadingBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

const KeyEntry* FindKey(const char* key, size_t length) {
    for (const KeyEntry& entry : kKeys) {
        if (std::strlen(entry.name) == length && CompareNoCaseN(entry.name, key, length) == 0) return &entry;
    }
    return nullptr;
}

void ApplyLine(const char* line, size_t length, SetupConfig& config) {
    size_t at = 0;
    while (at < length && IsLeadingBlank(line[at])) ++at;
    if (at == length || line[at] == '#') return;
    if (std::memchr(line, '\0', length)) return;
    const char* key = line + at;
    const char* equals = static_cast<const char*>(std::memchr(key, '=', length - at));
    size_t keyLength = equals ? static_cast<size_t>(equals - key) : length - at;
    const KeyEntry* entry = FindKey(key, keyLength);
    if (!entry) return;
    const char* value = equals ? equals + 1 : "1";
    size_t valueLength = equals ? static_cast<size_t>(line + length - value) : 1;
    if (valueLength > kMaxConfigValueLength) return;  // malformed, whatever the key's kind
    switch (entry->kind) {
        case KeyKind::Flag: config.*(entry->flag) = true; break;
        case KeyKind::NoLicense: config.license.Assign(""); break;
        case KeyKind::Text: (config.*(entry->text)).Assign(value, valueLength); break;
    }
}

}  // namespace

void ParseSetupDat(const char* data, size_t size, SetupConfig& config) {
    if (!data || size > kMaxSetupDatSize) return;
    size_t at = 0;
    while (at < size) {
        while (at < size && IsLineEnd(data[at])) ++at;
        size_t start = at;
        while (at < size && !IsLineEnd(data[at])) ++at;
        if (at > start) ApplyLine(data + start, at - start, config);
    }
}
