// Feeds arbitrary bytes to the uninstall log reader and, when they pass, to
// the removal. Every record the reader accepts must lie inside the image,
// carry a terminated text that fits its length, and encode back to the same
// bytes (filler aside). The removal may act only on places of the
// installation, checked here by rules of their own, and on the log last.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "shell/UninstallLogReader.h"
#include "shell/UninstallRecord.h"
#include "uninstall/UninstallRemover.h"

namespace {

const char kLog[] = "C:\\Program Files\\Varnplay\\UnInst1A2B.inf";
const char* const kFileRoots[] = {"c:\\program files\\varnplay\\", "c:\\users\\u\\start menu\\programs\\",
                                  "c:\\users\\u\\documents\\"};
const char* const kKeyRoots[] = {"software\\microsoft\\windows\\currentversion\\app paths\\varnplay.exe",
                                 "software\\microsoft\\windows\\currentversion\\uninstall\\varnplay.exe",
                                 "software\\varn", "varn.game", "varn.save", "varn.debugconfig"};

std::string Lower(const char* text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool HasDotComponent(const std::string& path) {
    for (size_t at = 0; (at = path.find("\\.", at)) != std::string::npos; ++at) {
        size_t end = path.find('\\', at + 1);
        std::string component = path.substr(at + 1, end == std::string::npos ? end : end - at - 1);
        if (component == "." || component == "..") return true;
    }
    return false;
}

bool PlainPathBelow(const char* path, const char* root) {
    std::string lower = Lower(path);
    return lower.size() > std::strlen(root) && lower.compare(0, std::strlen(root), root) == 0 &&
           !HasDotComponent(lower) && lower.find_first_of(":/", 2) == std::string::npos;
}

class CheckingTarget : public RemovalTarget {
public:
    explicit CheckingTarget(const std::string& appName) : gameType_(Lower(appName.c_str()) + ".save") {}

    RemovalOutcome RemoveFile(const char* path) override {
        bool log = Lower(path) == Lower(kLog);
        if (logRemoved_ && !log) __builtin_trap();
        bool inside = false;
        for (const char* root : kFileRoots) inside = inside || PlainPathBelow(path, root);
        if (!inside) __builtin_trap();
        logRemoved_ = logRemoved_ || log;
        return Outcome(path);
    }
    // Only a file that RemoveFile found in use, inside the installation.
    RemovalOutcome RemoveAtRestart(const char* path) override {
        if (Outcome(path) != RemovalInUse || logRemoved_) __builtin_trap();
        return std::strlen(path) % 2 ? RemovalScheduled : RemovalFailed;
    }
    bool UsersCanChangeWayTo(const char* path) override { return std::strlen(path) % 3 == 0; }
    RemovalOutcome RemoveFolder(const char* path) override {
        std::string lower = Lower(path);
        bool parent = std::string("c:\\program files\\varnplay").compare(0, lower.size(), lower) == 0;
        bool inside = parent && lower.size() > 3;
        for (const char* root : kFileRoots) inside = inside || PlainPathBelow(path, root);
        if (!inside) __builtin_trap();
        return Outcome(path);
    }
    RemovalOutcome RemoveKey(uint32_t rootKey, const char* keyPath) override {
        CheckKey(rootKey, keyPath);
        return Outcome(keyPath);
    }
    bool PassesThroughLink(const char* path, size_t trustedLength) override {
        if (trustedLength > std::strlen(path)) __builtin_trap();
        return std::strlen(path) % 7 == 3;
    }
    KeyValueState ReadKeyValue(uint32_t rootKey, const char* keyPath, const char* name, std::string& value) override {
        CheckKey(rootKey, keyPath);
        // Named values are read of extensions only.
        if (*name && (rootKey != 0x80000000u || keyPath[0] != '.')) __builtin_trap();
        value = *name ? (keyPath[1] == 'S' ? "application/x-varn-save" : "text/plain")
                      : (keyPath[1] == 'G' ? "VARN.Game" : "Other");
        return static_cast<KeyValueState>(std::strlen(keyPath) % 4);
    }
    RemovalOutcome SetKeyValue(uint32_t rootKey, const char* keyPath, const char* name, const char*) override {
        CheckKey(rootKey, keyPath);
        if (*name && std::strcmp(name, "Content Type") != 0) __builtin_trap();  // no other value is ever written
        std::string lower = Lower(keyPath);
        if (rootKey != 0x80000000u || lower.empty() || lower[0] != '.') __builtin_trap();  // extensions only
        return Outcome(keyPath);
    }

private:
    void CheckKey(uint32_t rootKey, const char* keyPath) const {
        if (rootKey < 0x80000000u || rootKey > 0x80000002u) __builtin_trap();
        std::string lower = Lower(keyPath);
        bool extension = rootKey == 0x80000000u && lower.size() > 1 && lower[0] == '.' &&
                         lower.find('\\') == std::string::npos;
        bool inside = extension || lower == gameType_ || lower.compare(0, gameType_.size() + 1, gameType_ + "\\") == 0;
        for (const char* root : kKeyRoots)
            inside = inside || lower == root || lower.compare(0, std::strlen(root) + 1, std::string(root) + "\\") == 0;
        if (!inside) __builtin_trap();
    }
    // Every outcome a real system could give, chosen by the path.
    static RemovalOutcome Outcome(const char* path) { return static_cast<RemovalOutcome>(std::strlen(path) % 7); }

    std::string gameType_;
    bool logRemoved_ = false;
};

void CheckRecord(const uint8_t* data, size_t size, const UninstallLogRecord& record) {
    uint32_t length = LoadLittleEndian32(data + record.offset + 4);
    if (record.offset + length > size) __builtin_trap();
    const uint8_t* text = reinterpret_cast<const uint8_t*>(record.text);
    if (text < data || text + record.textLength >= data + record.offset + length) __builtin_trap();
    if (record.text[record.textLength] != '\0' || std::strlen(record.text) != record.textLength) __builtin_trap();
    std::vector<uint8_t> encoded(length);
    if (record.kind == UninstallKey) {
        if (KeyRecordLength(record.textLength) != length) __builtin_trap();
        EncodeKeyRecord(encoded.data(), record.rootKey, record.text, record.textLength);
    } else {
        if (TextRecordLength(record.textLength) != length) __builtin_trap();
        EncodeTextRecord(encoded.data(), record.kind, record.text, record.textLength);
    }
    const uint8_t* original = data + record.offset;
    // Bytes 1-3 and the last 3 are filler, which readers ignore.
    if (encoded[0] != original[0] || std::memcmp(&encoded[4], original + 4, length - 7) != 0) __builtin_trap();
}

void Remove(const uint8_t* data, size_t size) {
    RemovalScope scope;
    scope.logPath = kLog;
    scope.programsFolder = "C:\\Users\\u\\Start Menu\\Programs";
    scope.documentsFolder = "C:\\Users\\u\\Documents";
    scope.entryName = "varnplay.exe";
    scope.appName = RecordedAppName(data, size);
    CheckingTarget target(scope.appName);
    RemovalReport report;
    RemoveRecordedItems(data, size, scope, target, nullptr, nullptr, report);
    RemovalSummaryText(scope.appName, report);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    UninstallLogReader reader(data, size);
    UninstallLogRecord record;
    size_t end = 0;
    while (reader.Next(record)) {
        if (record.offset != end) __builtin_trap();
        CheckRecord(data, size, record);
        end = record.offset + LoadLittleEndian32(data + record.offset + 4);
    }
    if (reader.Failed() ? reader.Error().offset != end || !reader.Error().message[0] : end != size) __builtin_trap();
    if (!reader.Failed()) Remove(data, size);
    return 0;
}
