#pragma once
// The uninstaller's command line, as the "UninstallString" value writes it:
// the quoted program path, one blank, then the log file's full path
// unquoted (it may contain blanks). "-q" before the path: no questions.
#include <cstddef>

#include "setup/PathHelpers.h"

enum UninstallCommandStatus { UninstallCommandOk, UninstallCommandNoLog, UninstallCommandPathTooLong };

struct UninstallCommand {
    bool quiet = false;
    char logPath[kPathBufferSize] = {};
};

// The whole command line, program path included (GetCommandLineA).
UninstallCommandStatus ParseUninstallCommandLine(const char* commandLine, UninstallCommand& command);
