#pragma once
// The SETUP.DAT values that become names of files, folders, registry keys and
// shortcuts are checked at start, before anything is written: a value that
// cannot be used stops the setup with one message naming its key. The packer
// reports the same problems to the publisher.
#include <cstddef>

#include "setup/SetupConfig.h"
#include "setup/SetupString.h"

struct ConfigProblem {
    const char* key;     // as SETUP.DAT writes it
    const char* reason;  // completes "The value of KEY in SETUP.DAT ..."
};

// More problems than keys cannot be found.
constexpr size_t kMaxConfigProblems = 11;

// Checks the values this configuration uses as names: startfolder, mainexe,
// savesuffix (a single game), license, readme, and the shortcut names made
// from appname (a single game) and readme_title, then the Uninstall entry's
// texts version and publisher. Writes the first `capacity`
// problems in that order and returns how many there are.
size_t CheckSetupConfig(const SetupConfig& config, ConfigProblem* problems, size_t capacity);

// "The value of KEY in SETUP.DAT REASON.  Nothing was installed."
SetupString ConfigProblemMessage(const ConfigProblem& problem);
