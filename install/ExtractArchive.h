#pragma once
// Expanding the setup archive into a destination directory.
#include <cstdint>

enum ExtractResult {
    ExtractOk = 0,
    ExtractReadError = 1,
    ExtractCreateError = 2,
    ExtractWriteError = 3,
    ExtractNoMemory = 4,
    ExtractNoDirectoryHandler = 5,
    ExtractDirectoryError = 6,
    ExtractFileInUse = 7,
    ExtractLinkRefused = 8,  // a junction, symbolic link or mount point where files were to go
    // A member name holds a character the process's code page cannot (a
    // UTF-8 name on a Windows that runs the setup in an ANSI code page).
    ExtractNameNotRepresentable = 9,
};

// Every callback is optional and receives the caller's context first.
typedef void (*ExtractProgressRangeCallback)(void* context, uint32_t steps);
typedef void (*ExtractProgressStepCallback)(void* context);
typedef int (*ExtractDirectoryCallback)(void* context, const char* directoryPath);  // 0: the directory exists
// Called before the file is created; a nonzero result (it could not be
// recorded) ends the extraction with ExtractWriteError.
typedef int (*ExtractFileCallback)(void* context, const char* filePath, int keep);
// A member without "$Keep\" whose file is there already: nonzero to replace
// it, 0 to leave it as it is (the member's data is then discarded). Without
// this callback such files are replaced.
typedef int (*ExtractExistingFileCallback)(void* context, const char* filePath);

struct ExtractCallbacks {
    ExtractProgressRangeCallback onProgressRange;
    ExtractProgressStepCallback onProgressStep;
    ExtractDirectoryCallback onDirectory;
    ExtractFileCallback onFile;
    ExtractExistingFileCallback onExistingFile;
};

// Windows only: reads the set's file archiveName (from the bundle or the
// folder) and writes the members under destination. Returns an ExtractResult.
int ExtractArchive(const char* archiveName, const char* destination, ExtractCallbacks callbacks, void* context);

// After ExtractNameNotRepresentable: the member's name for a message, its
// characters outside ASCII written as <U+0418>.
const char* RefusedMemberName();
