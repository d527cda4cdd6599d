// Feeds arbitrary bytes to the SETUP.DAT parser and, as a command line, to
// the -q parser.
#include <cstddef>
#include <cstdint>
#include <string>

#include "setup/CommandLine.h"
#include "setup/SetupDatParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetupConfig config;
    ParseSetupDat(reinterpret_cast<const char*>(data), size, config);
    if (config.appname.Length() > kMaxConfigValueLength) __builtin_trap();
    std::string line(reinterpret_cast<const char*>(data), size);
    ParseCommandLine(line.c_str(), config);
    if (config.progdir.Length() > kMaxConfigValueLength) __builtin_trap();
    return 0;
}
