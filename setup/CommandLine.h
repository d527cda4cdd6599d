#pragma once
#include "setup/SetupConfig.h"

// "-q", white space, directory: quiet mode into that directory (the rest of
// the line verbatim, or the inside of one pair of quotes around it). "-s" in
// its place: unattended, which is quiet mode that presses Finish itself and
// shows no message box. Anything else on the command line is ignored.
void ParseCommandLine(const char* commandLine, SetupConfig& config);
