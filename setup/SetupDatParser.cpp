#include "setup/SetupDatParser.h"

#include <cstring>

#include "setup/PathHelpers.h"
#include "setup/TextDecoding.h"

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
    {"version", KeyKind::Text, &SetupConfig::version, nullptr},
    {"publisher", KeyKind::Text, &SetupConfig::publisher, nullptr},
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

// Blank lines are never read; a line of blanks alone reads as a comment.
void ReadLine(const char* text, size_t length, SetupDatLine* line) {
    size_t at = 0;
    while (at < length && IsLeadingBlank(text[at])) ++at;
    line->kind = SetupDatLineKind::Comment;
    if (at == length || text[at] == '#') return;
    line->kind = SetupDatLineKind::HoldsNul;
    if (std::memchr(text, '\0', length)) return;
    line->key = text + at;
    const char* equals = static_cast<const char*>(std::memchr(line->key, '=', length - at));
    line->hasEquals = equals != nullptr;
    line->keyLength = equals ? static_cast<size_t>(equals - line->key) : length - at;
    line->value = equals ? equals + 1 : "1";
    line->valueLength = equals ? static_cast<size_t>(text + length - line->value) : 1;
    const KeyEntry* entry = FindKey(line->key, line->keyLength);
    line->kind = SetupDatLineKind::UnknownKey;
    if (!entry) return;
    line->name = entry->name;
    line->isFlag = entry->kind != KeyKind::Text;
    // Malformed, whatever the key's kind.
    line->kind = line->valueLength > kMaxConfigValueLength ? SetupDatLineKind::ValueTooLong : SetupDatLineKind::Setting;
}

void ApplySetting(const SetupDatLine& line, StoredEncoding encoding, SetupConfig& config) {
    const KeyEntry* entry = FindKey(line.key, line.keyLength);
    std::string value;
    switch (entry->kind) {
        case KeyKind::Flag: config.*(entry->flag) = true; break;
        case KeyKind::NoLicense: config.license.Assign(""); break;
        case KeyKind::Text:
            if (!DecodeStoredText(line.value, line.valueLength, encoding, &value)) {
                if (!config.unrepresentableKey) config.unrepresentableKey = entry->name;
            } else if (value.size() <= kMaxConfigValueLength) {  // longer in UTF-8: ignored like any too long
                (config.*(entry->text)).Assign(value.data(), value.size());
            }
            break;
    }
}

}  // namespace

bool NextSetupDatLine(const char* data, size_t size, size_t* at, size_t* lineEnds, SetupDatLine* line) {
    if (!data || size > kMaxSetupDatSize) return false;
    if (*at == 0) *at = Utf8BomLength(data, size);  // Notepad's "UTF-8 with BOM"
    for (; *at < size && IsLineEnd(data[*at]); ++*at) {
        // CR LF ends one line, so only its LF counts.
        bool crBeforeLf = data[*at] == '\r' && *at + 1 < size && data[*at + 1] == '\n';
        if (!crBeforeLf) ++*lineEnds;
    }
    if (*at == size) return false;
    size_t start = *at;
    while (*at < size && !IsLineEnd(data[*at])) ++*at;
    *line = SetupDatLine();
    line->number = *lineEnds + 1;
    ReadLine(data + start, *at - start, line);
    return true;
}

void ParseSetupDat(const char* data, size_t size, SetupConfig& config) {
    if (!data || size > kMaxSetupDatSize) return;
    size_t bom = Utf8BomLength(data, size);
    StoredEncoding encoding = JudgeStoredText(data + bom, size - bom);  // one file, one encoding
    size_t at = 0, lineEnds = 0;
    SetupDatLine line;
    while (NextSetupDatLine(data, size, &at, &lineEnds, &line)) {
        if (line.kind == SetupDatLineKind::Setting) ApplySetting(line, encoding, config);
    }
}

const char* SetupDatKeyName(size_t index) {
    return index < sizeof kKeys / sizeof kKeys[0] ? kKeys[index].name : nullptr;
}
