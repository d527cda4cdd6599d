#pragma once
#include "setup/SetupConfig.h"

// Switches, in any order, before the directory:
//   -q        quiet: only the progress page, which waits for Finish
//   -s        unattended: quiet, and nothing waits for anyone
//   -l FILE   append a log of the run to FILE (in quotes when it has blanks)
// After -q or -s, the rest of the line is the directory, verbatim, or the
// inside of one pair of quotes, after which only switches may follow. With
// no directory the setup installs into the one the wizard would propose.
// Without -q or -s, text that is not a switch is ignored. A malformed line
// sets commandLineProblem; nothing is installed then.
void ParseCommandLine(const char* commandLine, SetupConfig& config);
