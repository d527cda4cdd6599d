#pragma once
#include <cstddef>

#include "setup/SetupString.h"

// Longest value accepted from SETUP.DAT or the command line: every value ends
// up in a path or a name composed in a 260-character buffer.
constexpr size_t kMaxConfigValueLength = 259;

// Also taken when savesuffix is given empty.
constexpr char kDefaultSaveSuffix[] = "SAV";

// The values read from SETUP.DAT and the command line.
struct SetupConfig {
    SetupString appname;
    SetupString progdir;
    SetupString startfolder;
    SetupString mainexe;
    SetupString savesuffix;
    SetupString license;
    SetupString readme;
    SetupString readme_title;
    SetupString version;    // the Uninstall entry's DisplayVersion; not set: no value
    SetupString publisher;  // its Publisher; likewise
    bool debugger = false;
    bool game = false;
    bool v3 = false;
    bool quiet = false;
    bool unattended = false;  // quiet too: -s
    // -q named a directory too long to install into; quiet setup refuses it.
    bool quietDirTooLong = false;
    SetupString logFile;                       // -l: the run's log, appended to
    const char* commandLineProblem = nullptr;  // a malformed command line: why
    // The command line of -q or -s, described, when the process's code page
    // cannot hold one of its characters; quiet setup refuses the directory.
    SetupString quietDirUnrepresentable;
    // The first SETUP.DAT key whose value this Windows cannot hold in its
    // code page; the setup refuses to start.
    const char* unrepresentableKey = nullptr;

    SetupConfig() { SetDefaults(); }
    void SetDefaults();
};
