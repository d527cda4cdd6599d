// uninstlog FILE: lists an uninstall log one record per line and checks it.
// Exit status 0 for a sound log, 1 for a damaged one, 2 when the file cannot
// be read or the command line is wrong.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "shell/EarlierDefault.h"
#include "shell/UninstallLogReader.h"
#include "shell/UninstallRecord.h"

namespace {

// Far beyond any real installation; refusing keeps a stray huge file from
// exhausting memory.
constexpr size_t kMaxLogSize = 256u << 20;

bool ReadWholeFile(const char* path, std::vector<uint8_t>& image) {
    FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    uint8_t chunk[65536];
    size_t got;
    bool ok = true;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (image.size() + got > kMaxLogSize) {
            ok = false;
            break;
        }
        image.insert(image.end(), chunk, chunk + got);
    }
    if (std::ferror(file)) ok = false;
    std::fclose(file);
    return ok;
}

// One line per record whatever the text holds: control characters, and the
// percent sign itself, are written as "%" and two hexadecimal digits.
void PrintText(const char* text, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F || c == '%')
            std::printf("%%%02X", c);
        else
            std::fputc(c, stdout);
    }
}

// An application-name record after the first may hold what an extension's
// default value or content type was before the installation.
bool PrintEarlierValue(const UninstallLogRecord& record) {
    std::string extension, value;
    bool hadValue = true;
    const char* name = "";
    if (!DecodeEarlierDefault(record.text, record.textLength, &extension, &value)) {
        if (!DecodeEarlierContentType(record.text, record.textLength, &extension, &hadValue, &value)) return false;
        name = " Content Type";
    }
    std::fputs("WAS HKEY_CLASSES_ROOT ", stdout);
    PrintText(extension.data(), extension.size());
    std::fputs(name, stdout);
    if (hadValue) {
        std::fputs(" = ", stdout);
        PrintText(value.data(), value.size());
    } else {
        std::fputs(" (none)", stdout);
    }
    std::fputc('\n', stdout);
    return true;
}

void PrintRecord(const UninstallLogRecord& record, bool firstName) {
    if (record.kind == UninstallAppName && !firstName && PrintEarlierValue(record)) return;
    std::fputs(UninstallKindName(record.kind), stdout);
    std::fputc(' ', stdout);
    if (record.kind == UninstallKey) {
        std::fputs(RootKeyName(record.rootKey), stdout);
        std::fputc(' ', stdout);
    }
    PrintText(record.text, record.textLength);
    std::fputc('\n', stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: uninstlog FILE\n");
        return 2;
    }
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);  // the same LF-only lines on every system
#endif
    std::vector<uint8_t> image;
    if (!ReadWholeFile(argv[1], image)) {
        std::fprintf(stderr, "uninstlog: %s: cannot read the file\n", argv[1]);
        return 2;
    }
    UninstallLogReader reader(image.data(), image.size());
    UninstallLogRecord record;
    for (bool nameSeen = false; reader.Next(record);) {
        PrintRecord(record, !nameSeen && record.kind == UninstallAppName);
        nameSeen = nameSeen || record.kind == UninstallAppName;
    }
    std::fflush(stdout);
    if (reader.Failed()) {
        std::fprintf(stderr, "uninstlog: %s: damaged record at offset %lu: %s\n", argv[1],
                     static_cast<unsigned long>(reader.Error().offset), reader.Error().message);
        return 1;
    }
    return 0;
}
