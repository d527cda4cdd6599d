// Feeds arbitrary bytes to the SETUP.DAT parser and the checks of its names,
// and, as a command line, to the -q parser and the destination check.
#include <cstddef>
#include <cstdint>
#include <string>

#include "setup/CommandLine.h"
#include "setup/ConfigCheck.h"
#include "setup/DestinationCheck.h"
#include "setup/InstallDirectory.h"
#include "setup/PathHelpers.h"
#include "setup/SetupDatParser.h"

namespace {

// Every level exists, as a folder when its length is even.
class AnyProbe : public PathProbe {
public:
    bool Exists(const char* path, bool* isDirectory) override {
        *isDirectory = std::string(path).size() % 2 == 0;
        return true;
    }
};

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
    return 0;
}
