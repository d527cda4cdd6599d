#pragma once
// The exit statuses of setup.exe and VARNUINS.EXE. A number means the same
// to a deployment tool whichever program returned it; 0 to 2 keep the
// meaning they had before the others existed.
enum ExitStatus {
    ExitFinished = 0,            // done, nothing reported
    ExitNotFinished = 1,         // setup: closed before it finished, or could not start; uninstaller: declined,
                                 // or the log was unusable
    ExitFinishedWithErrors = 2,  // setup: a step reported an error; uninstaller: items remain
    ExitAnotherRunning = 3,      // another setup or uninstall is running: nothing was touched
    ExitDiskFull = 4,            // setup: the disk filled up while installing
    ExitInvalidCommandLine = 5,  // a malformed command line or a refused directory: nothing was touched
    ExitFileInUse = 6,           // setup: a file could not be replaced, a program holds it
    ExitRestartToFinish = 7,     // uninstaller: files in use go at the next restart, then run it again
};
