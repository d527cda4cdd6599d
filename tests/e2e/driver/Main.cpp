// e2edriver: runs setup.exe as a user would and reports a transcript.
//   e2edriver [--timeout SECONDS] [--snap-dir DIR] SCRIPTFILE
//   e2edriver [--timeout SECONDS] [--snap-dir DIR] -e "command; command; ..."
// Exit status 0 when every command held, 1 at the first that did not, 2 on a usage error.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "Driver.h"
#include "Script.h"

namespace {

struct Options {
    DWORD timeoutMs = 30000;
    std::string snapDirectory;
    std::string script;
};

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    text.assign((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return true;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--timeout" && hasValue) {
            options.timeoutMs = static_cast<DWORD>(std::atoi(argv[++i])) * 1000;
        } else if (arg == "--snap-dir" && hasValue) {
            options.snapDirectory = argv[++i];
        } else if (arg == "-e" && hasValue) {
            options.script = argv[++i];
        } else if (!ReadFile(arg, options.script)) {
            std::fprintf(stderr, "e2edriver: cannot read %s\n", arg.c_str());
            return false;
        }
    }
    return !options.script.empty();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: e2edriver [--timeout SECONDS] [--snap-dir DIR] (SCRIPTFILE | -e COMMANDS)\n");
        return 2;
    }
    std::vector<Command> commands;
    std::string error;
    if (!ParseScript(options.script, commands, error)) {
        std::fprintf(stderr, "e2edriver: %s\n", error.c_str());
        return 2;
    }
    CoInitialize(nullptr);  // for resolving shortcuts
    bool passed;
    {
        Driver driver(options.timeoutMs, options.snapDirectory);
        passed = driver.Run(commands);
    }
    CoUninitialize();
    return passed ? 0 : 1;
}
