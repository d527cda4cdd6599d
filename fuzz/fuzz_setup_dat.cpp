// Feeds arbitrary bytes to the SETUP.DAT parser and the checks of its names,
// and, as a command line, to the -q parser and the destination check; then
// reads them once more in a process of the code page the first byte picks,
// through the decoding of stored text and every name check stepping through
// that page's characters.
#include <cstddef>
#include <cstdint>
#include <string>

#include "setup/CommandLine.h"
#include "setup/ConfigCheck.h"
#include "setup/DestinationCheck.h"
#include "setup/InstallDirectory.h"
#include "setup/PathHelpers.h"
#include "setup/NameChars.h"
#include "setup/SetupDatParser.h"
#include "setup/TextDecoding.h"

namespace {

// Every level exists, as a folder when its length is even.
class AnyProbe : public PathProbe {
public:
    bool Exists(const char* path, bool* isDirectory) override {
        *isDirectory = std::string(path).size() % 2 == 0;
        return true;
    }
};

const unsigned kCodePages[] = {1252, 932, 936, 949, 950, kCodePageUtf8};

bool EveryTextIsUtf8(const SetupConfig& config) {
    for (const SetupString* text : {&config.appname, &config.progdir, &config.startfolder, &config.mainexe,
                                    &config.savesuffix, &config.license, &config.readme, &config.readme_title})
        if (!IsValidUtf8(text->Get(), text->Length())) return false;
    return true;
}

// Stored text never comes out longer than the limit, never unterminated, and
// in a UTF-8 process always as UTF-8: no character is lost or made up.
void ReadInCodePage(const uint8_t* data, size_t size) {
    if (size == 0) return;
    SetNameCodePage(kCodePages[data[0] % (sizeof kCodePages / sizeof kCodePages[0])]);
    SetupConfig config;
    ParseSetupDat(reinterpret_cast<const char*>(data + 1), size - 1, config);
    if (NameCodePage() == kCodePageUtf8 && !EveryTextIsUtf8(config)) __builtin_trap();
    if (config.startfolder.Length() > kMaxConfigValueLength) __builtin_trap();
    ConfigProblem problems[kMaxConfigProblems];
    if (CheckSetupConfig(config, problems, kMaxConfigProblems) > kMaxConfigProblems) __builtin_trap();
    std::string decoded;
    const char* text = reinterpret_cast<const char*>(data + 1);
    if (DecodeStoredText(text, size - 1, JudgeStoredText(text, size - 1), &decoded) &&
        NameCodePage() == kCodePageUtf8 && !IsValidUtf8(decoded.data(), decoded.size()))
        __builtin_trap();
    for (const char* at = decoded.c_str(); *at; at = NextChar(at)) {}
    SetNameCodePage(0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetupConfig config;
    ParseSetupDat(reinterpret_cast<const char*>(data), size, config);
    if (config.appname.Length() > kMaxConfigValueLength) __builtin_trap();
    ConfigProblem problems[kMaxConfigProblems];
    if (CheckSetupConfig(config, problems, kMaxConfigProblems) > kMaxConfigProblems) __builtin_trap();
    std::string line(reinterpret_cast<const char*>(data), size);
    ParseCommandLine(line.c_str(), config);
    if (config.progdir.Length() > kMaxConfigValueLength) __builtin_trap();
    char directory[kPathBufferSize];
    AnyProbe probe;
    if (ComposeInstallDirectory("C:\\Program Files", config.progdir.Get(), directory, sizeof directory))
        CheckDestination(directory, "C:\\Program Files", probe);
    ReadInCodePage(data, size);
    return 0;
}
