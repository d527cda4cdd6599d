#pragma once
// The uninstaller's command line, as the "UninstallString" value writes it:
// the quoted program path, one blank, then the log file's full path
// unquoted (it may contain blanks). Before the path, in any order: "-q", no
// questions; "-l FILE", append a log of the run to FILE (in quotes when it
// has blanks).
#include <cstddef>

#include "setup/PathHelpers.h"

enum UninstallCommandStatus {
    UninstallCommandOk,
    UninstallCommandNoLog,
    UninstallCommandPathTooLong,
    UninstallCommandNoActivityLog,  // -l without a file name, or one too long
};

struct UninstallCommand {
    bool quiet = false;
    char logPath[kPathBufferSize] = {};
    char activityLog[kPathBufferSize] = {};  // -l; empty: none
};

// The whole command line, program path included (GetCommandLineA).
UninstallCommandStatus ParseUninstallCommandLine(const char* commandLine, UninstallCommand& command);
